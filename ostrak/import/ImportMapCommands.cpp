// The instrument map, the notes choice and the transpose of the import
// window: filled when a module opens or the channels change, read at import.
#include "ImportCommands.h"

#include "FrmImport.h"
#include "TuningSearch.h"
#include "app/FrmMain.h"
#include "common/Numbers.h"

#include <QAbstractItemView>
#include <QSignalBlocker>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace ostrak {

namespace {

constexpr int kLargestTranspose = 96; // eight octaves either way
constexpr int kLargestTuning = 50;    // cents: a larger one is a semitone of transpose

// A whole number, signed, no larger than `largest` either way, and nothing else.
std::optional<int> signedWhole(const std::string& text, int largest)
{
    const std::size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + digits, end, value);
    if (error != std::errc() || stop != end || text.size() == digits || value > largest)
        return std::nullopt;
    return text[0] == '-' ? -value : value;
}

// The leading number of a type text when it is a whole number ("4-Square" is 4).
std::optional<int> typeNumber(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos || !std::isdigit(static_cast<unsigned char>(text[first])))
        return std::nullopt;
    const double n = common::leadingNumber(text);
    if (!(n >= 0 && n <= 255) || n != double(int(n)))
        return std::nullopt;
    return int(n);
}

// The types of a type text: "4-Square" is 4, "4+12 (two slots)" 4 and 12.
std::optional<std::vector<int>> typeSet(const std::string& text)
{
    const std::optional<int> first = typeNumber(text);
    if (!first)
        return std::nullopt;
    std::vector<int> types{*first};
    const std::size_t plus = text.find_first_not_of("0123456789", text.find_first_not_of(' '));
    if (plus != std::string::npos && text[plus] == '+') {
        const std::optional<int> second = typeNumber(text.substr(plus + 1));
        if (!second)
            return std::nullopt;
        types.push_back(*second);
    }
    return types;
}

std::string typeSetText(const std::vector<int>& types) { return common::joinNumbers(types, "+"); }

// The patterns the song order plays, each once.
std::vector<int> orderPatternNumbers(const TrackerModule& module)
{
    std::vector<int> patterns;
    for (const OrderPattern& p : module.orderPatterns())
        patterns.push_back(p.pattern);
    return patterns;
}

} // namespace

std::vector<int> ImportCommands::slotTypes() const
{
    std::vector<int> types;
    for (std::size_t slot = 0; slot < 8; ++slot)
        types.push_back(typeNumber(w_.WaveMatrix[slot]->text8()).value_or(0));
    return types;
}

void ImportCommands::fillChannels()
{
    moduleNotes_ = summariseChannels(*module_, orderPatternNumbers(*module_));
    const QSignalBlocker blockA(f_.cmbChannelA), blockB(f_.cmbChannelB);
    for (const ChannelSummary& c : moduleNotes_.channels) {
        const QString text = QString::fromStdString(c.text());
        f_.cmbChannelA->addItem(text, c.channel);
        f_.cmbChannelB->addItem(text, c.channel);
    }
    f_.cmbChannelB->addItem(QStringLiteral("none"));
    for (QComboBox* box : {f_.cmbChannelA, f_.cmbChannelB}) // the whole texts when the list opens
        box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
    const auto [a, b] = defaultChannels(moduleNotes_.channels);
    f_.cmbChannelA->setCurrentIndex(std::max(a, 0));
    f_.cmbChannelB->setCurrentIndex(b >= 0 ? b : f_.cmbChannelB->count() - 1);
    if (module_->channels() > 2)
        log("Channels picked: " + std::to_string(a + 1) + " and " + std::to_string(b + 1)
            + ", the two with the most notes that are no drums.");
}

SlotOffer ImportCommands::currentOffer() const
{
    std::vector<std::string> patterns(store_.StorePatternA.begin(), store_.StorePatternA.end());
    patterns.insert(patterns.end(), store_.StorePatternB.begin(), store_.StorePatternB.end());
    return slotOffer(slotTypes(), slotsPlayed(patterns));
}

void ImportCommands::refreshMap()
{
    f_.tblInstruments->setRowCount(0);
    if (!module_)
        return;
    const ChannelNotes notes = channelNotes(*module_, orderPatternNumbers(*module_), {channelOf(f_.cmbChannelA), channelOf(f_.cmbChannelB)},
                                            moduleNotes_.drums);
    uses_ = notes.uses;
    steps_ = notes.steps;
    const std::vector<int> slotTypesNow = slotTypes();
    const SlotOffer offer = currentOffer();
    const MapChoice choice = defaultChoice(notes, moduleNotes_, slotTypesNow, offer);
    ostrakWay_ = choice.ostrakWay;

    // The slots' own texts ("4-Square"), each type once, two of a family
    // together, the type a slot may take for the import, and silence.
    QStringList items;
    std::vector<std::vector<int>> listed;
    auto list = [&](const std::vector<int>& types, const std::string& text) {
        if (std::find(listed.begin(), listed.end(), types) == listed.end()) {
            listed.push_back(types);
            items << QString::fromLatin1(text.c_str());
        }
    };
    for (std::size_t slot = 0; slot < 8; ++slot)
        list({slotTypesNow[slot]}, w_.WaveMatrix[slot]->text8());
    const std::string becomes =
        offer.slot < 0 ? "" : " (slot " + std::to_string(offer.slot) + " becomes " + std::to_string(offer.type) + ")";
    if (offer.slot >= 0)
        list({offer.type}, std::to_string(offer.type) + becomes);
    for (std::size_t i = 0, n = listed.size(); i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            if (listed[i][0] < listed[j][0] && sameFamily(listed[i][0], listed[j][0])) {
                const bool offered = listed[j][0] == offer.type && offer.slot >= 0;
                list({listed[i][0], listed[j][0]},
                     typeSetText({listed[i][0], listed[j][0]}) + (offered ? becomes : " (two slots)"));
            }
    list({kSilenceType}, "16 - Silence");
    for (std::size_t i = 0; i < uses_.size(); ++i) {
        const std::vector<int>& types = choice.voicings[i].types;
        const auto at = std::find(listed.begin(), listed.end(), types);
        const QString current = at != listed.end() ? items[int(at - listed.begin())]
                                                   : QString::fromStdString(typeSetText(types));
        f_.addInstrumentRow(uses_[i].number, QString::fromStdString(uses_[i].name),
                            QString::fromStdString(uses_[i].notesText()), items, current, choice.voicings[i].octave);
    }
    const QSignalBlocker block(f_.cmbNotes);
    f_.cmbNotes->setCurrentIndex(choice.mode == NotesMode::PitchCodes ? 0 : 1);
    f_.txtTranspose->setText8(std::to_string(choice.transpose));
    f_.txtTuning->setText8(std::to_string(int(std::lround(choice.cents))));
    int count = 0;
    for (const InstrumentUse& use : uses_)
        count += use.notes();
    log(std::to_string(uses_.size()) + (uses_.size() == 1 ? " instrument, " : " instruments, ") + std::to_string(count)
        + " notes in the channels picked"
        + (ostrakWay_ ? "; written the ostrak way: the cells import as they stand." : "."));
    if (choice.takesOffer)
        log("The tune keeps its intervals better with sound type " + std::to_string(offer.type)
            + " beside its family: the import will set slot " + std::to_string(offer.slot) + " (now \""
            + w_.WaveMatrix[std::size_t(offer.slot)]->text8() + "\", which no stored pattern plays) to "
            + std::to_string(offer.type) + ". Pick other types in the map to keep the slots as they are.");
    if (count == 0)
        log("The channels picked hold no notes: the module may be cut short.");
}

void ImportCommands::setDefaultTranspose()
{
    const std::optional<std::vector<Voicing>> voicings = chosenVoicings();
    if (!voicings)
        return;
    if (f_.cmbNotes->currentIndex() == 0) {
        f_.txtTranspose->setText8(std::to_string(defaultTranspose(uses_, *voicings)));
        f_.txtTuning->setText8("0");
        return;
    }
    // By pitch: the tuning and octaves that keep the intervals on the types shown.
    std::vector<std::vector<std::vector<int>>> choices;
    for (const Voicing& v : *voicings)
        choices.push_back({v.types});
    const Tuning tuning = searchTuning(uses_, steps_, choices, slotTypes());
    f_.txtTranspose->setText8(std::to_string(tuning.transpose));
    f_.txtTuning->setText8(std::to_string(int(std::lround(tuning.cents))));
    for (int row = 0; row < f_.tblInstruments->rowCount() && row < int(tuning.voicings.size()); ++row)
        f_.octaveBox(row)->setValue(tuning.voicings[std::size_t(row)].octave);
}

std::optional<std::vector<Voicing>> ImportCommands::chosenVoicings() const
{
    std::vector<Voicing> voicings;
    for (int row = 0; row < f_.tblInstruments->rowCount(); ++row) {
        const std::optional<std::vector<int>> types = typeSet(f_.typeBox(row)->currentText().toLatin1().toStdString());
        if (!types)
            return std::nullopt;
        voicings.push_back({*types, f_.octaveBox(row)->value()});
    }
    return voicings;
}

std::optional<ImportSettings> ImportCommands::readSettings()
{
    ImportSettings s;
    s.channelA = channelOf(f_.cmbChannelA);
    s.channelB = channelOf(f_.cmbChannelB);
    s.mode = f_.cmbNotes->currentIndex() == 0 ? NotesMode::PitchCodes : NotesMode::ByPitch;
    const std::optional<int> transpose = signedWhole(f_.txtTranspose->text8(), kLargestTranspose);
    if (!transpose) {
        refuse("The transpose must be a whole number of semitones from -" + std::to_string(kLargestTranspose)
               + " to " + std::to_string(kLargestTranspose) + ". Nothing was imported.");
        return std::nullopt;
    }
    const std::optional<int> tuning = signedWhole(f_.txtTuning->text8(), kLargestTuning);
    if (!tuning) {
        refuse("The tuning must be a whole number of cents from -" + std::to_string(kLargestTuning) + " to "
               + std::to_string(kLargestTuning) + ". Nothing was imported.");
        return std::nullopt;
    }
    s.transpose = *transpose;
    s.cents = *tuning;
    s.slotTypes = slotTypes();
    const std::string held = common::joinNumbers(s.slotTypes);
    const SlotOffer offer = currentOffer();
    pendingSlot_.reset();
    bool identity = true;
    for (int row = 0; row < int(uses_.size()) && row < f_.tblInstruments->rowCount(); ++row) {
        const std::string text = f_.typeBox(row)->currentText().toLatin1().toStdString();
        const std::optional<std::vector<int>> types = typeSet(text);
        const int number = uses_[std::size_t(row)].number;
        if (!types) {
            refuse("Instrument " + std::to_string(number) + ": \"" + text
                   + "\" is no sound type. Nothing was imported.");
            return std::nullopt;
        }
        for (int type : *types)
            if (type == kSilenceType ? types->size() > 1
                                     : std::find(s.slotTypes.begin(), s.slotTypes.end(), type) == s.slotTypes.end()
                                           && !(type == offer.type && offer.slot >= 0)) {
                refuse("Instrument " + std::to_string(number) + " is set to sound type " + std::to_string(type)
                       + (type == kSilenceType ? ", silence, which stands alone"
                                               : ", which no slot has (the slots hold " + held + ")")
                       + "; pick the slots' types or 16 for silence. Nothing was imported.");
                return std::nullopt;
            }
        s.voicingOf[number] = {*types, f_.octaveBox(row)->value()};
        identity = identity && s.voicingOf[number] == Voicing{{number}, 0};
    }
    s.asPasted = ostrakWay_ && identity && s.mode == NotesMode::PitchCodes && s.transpose == 0;
    if (offer.slot >= 0 && !s.asPasted) {
        // The offered type takes its slot when the map plays it; that
        // slot's own type then has no slot left.
        const std::size_t slot = std::size_t(offer.slot);
        bool offered = false, displaced = false;
        for (const auto& [number, voicing] : s.voicingOf)
            for (int type : voicing.types) {
                offered = offered || type == offer.type;
                displaced = displaced || type == s.slotTypes[slot];
            }
        if (offered && displaced) {
            refuse("Slot " + std::to_string(offer.slot) + " cannot play both " + std::to_string(s.slotTypes[slot])
                   + " and " + std::to_string(offer.type) + ": pick one of them in the map. Nothing was imported.");
            return std::nullopt;
        }
        if (offered) {
            s.slotTypes[slot] = offer.type;
            pendingSlot_ = offer;
        }
    }
    return s;
}

void ImportCommands::takePendingSlot()
{
    if (!pendingSlot_)
        return;
    ComboBox* wave = w_.WaveMatrix[std::size_t(pendingSlot_->slot)];
    const std::string before = wave->text8();
    // The type's own item text ("12-Lower Square"), as a user would pick it.
    std::string text = std::to_string(pendingSlot_->type);
    for (int i = 0; i < wave->count(); ++i)
        if (typeNumber(wave->itemText(i).toLatin1().toStdString()) == pendingSlot_->type)
            text = wave->itemText(i).toLatin1().toStdString();
    wave->setText8(text);
    log("Slot " + std::to_string(pendingSlot_->slot) + " set to \"" + text + "\" (it was \"" + before
        + "\"): undo last load and restore leaves it so.");
    pendingSlot_.reset();
}

void ImportCommands::logNotes(const std::vector<int>& patterns, const ImportSettings& settings,
                              const PitchReport& report)
{
    int notes = report.notes();
    if (settings.asPasted)
        for (int pattern : patterns)
            for (int row = 0; row < module_->rows(pattern); ++row)
                for (int channel : {settings.channelA, settings.channelB}) {
                    const int note = module_->rawCell(pattern, row, channel).note;
                    notes += note >= 1 && note <= kModuleLastNote;
                }
    if (!settings.asPasted && settings.mode == NotesMode::ByPitch && report.byPitch() > 0) {
        char tuning[160];
        std::snprintf(tuning, sizeof tuning,
                      "Tuning: transpose %d semitones and %+.0f cents, so A-5 plays as %.1f Hz, each instrument "
                      "then in its own octave.",
                      settings.transpose, settings.cents,
                      notePitchHz(kA440Note + settings.transpose) * std::exp2(settings.cents / 1200));
        log(tuning);
    }
    if (!settings.asPasted)
        log(report.logLine());
    if (notes == 0)
        log("The imported channels hold no notes: the module may be cut short.");
}

} // namespace ostrak

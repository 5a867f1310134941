// The instrument map, the notes choice and the transpose of the import
// window: filled when a module opens or the channels change, read at import.
#include "ImportCommands.h"

#include "FrmImport.h"
#include "app/FrmMain.h"
#include "common/Numbers.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ostrak {

namespace {

constexpr int kLargestTranspose = 96; // eight octaves either way

// A whole number of semitones, signed, and nothing else.
std::optional<int> semitones(const std::string& text)
{
    const std::size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + digits, end, value);
    if (error != std::errc() || stop != end || text.size() == digits || value > kLargestTranspose)
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

} // namespace

std::vector<int> ImportCommands::slotTypes() const
{
    std::vector<int> types;
    for (std::size_t slot = 0; slot < 8; ++slot)
        types.push_back(typeNumber(w_.WaveMatrix[slot]->text8()).value_or(0));
    return types;
}

void ImportCommands::refreshMap()
{
    f_.tblInstruments->setRowCount(0);
    if (!module_)
        return;
    std::vector<int> patterns;
    for (const OrderPattern& p : module_->orderPatterns())
        patterns.push_back(p.pattern);
    uses_ = instrumentUse(*module_, patterns, channelOf(f_.cmbChannelA), channelOf(f_.cmbChannelB));
    const std::vector<int> slotTypesNow = slotTypes();
    const MapChoice choice = defaultChoice(uses_, slotTypesNow);
    ostrakWay_ = choice.ostrakWay;

    // The slots' own texts ("4-Square"), each type once, and silence.
    QStringList items;
    std::vector<int> listed;
    for (std::size_t slot = 0; slot < 8; ++slot)
        if (std::find(listed.begin(), listed.end(), slotTypesNow[slot]) == listed.end()) {
            listed.push_back(slotTypesNow[slot]);
            items << QString::fromLatin1(w_.WaveMatrix[slot]->text8().c_str());
        }
    items << QStringLiteral("16 - Silence");
    for (std::size_t i = 0; i < uses_.size(); ++i) {
        const auto at = std::find(listed.begin(), listed.end(), choice.types[i]);
        const QString current = choice.types[i] == kSilenceType ? items.back()
                                : at != listed.end()            ? items[int(at - listed.begin())]
                                                                : QString::number(choice.types[i]);
        f_.addInstrumentRow(uses_[i].number, QString::fromStdString(uses_[i].name),
                            QString::fromStdString(uses_[i].notesText()), items, current);
    }
    const QSignalBlocker block(f_.cmbNotes);
    f_.cmbNotes->setCurrentIndex(choice.mode == NotesMode::PitchCodes ? 0 : 1);
    f_.txtTranspose->setText8(std::to_string(choice.transpose));
    int notes = 0;
    for (const InstrumentUse& use : uses_)
        notes += use.notes();
    log(std::to_string(uses_.size()) + " instruments, " + std::to_string(notes) + " notes in the channels picked"
        + (ostrakWay_ ? "; written the ostrak way: the cells import as they stand." : "."));
    if (notes == 0)
        log("The channels picked hold no notes: the module may be cut short.");
}

void ImportCommands::setDefaultTranspose()
{
    if (const auto types = chosenTypes())
        f_.txtTranspose->setText8(std::to_string(defaultTranspose(
            uses_, *types, f_.cmbNotes->currentIndex() == 0 ? NotesMode::PitchCodes : NotesMode::ByPitch)));
}

std::optional<std::vector<int>> ImportCommands::chosenTypes() const
{
    std::vector<int> types;
    for (int row = 0; row < f_.tblInstruments->rowCount(); ++row) {
        const std::optional<int> type = typeNumber(f_.typeBox(row)->currentText().toLatin1().toStdString());
        if (!type)
            return std::nullopt;
        types.push_back(*type);
    }
    return types;
}

std::optional<ImportSettings> ImportCommands::readSettings()
{
    ImportSettings s;
    s.channelA = channelOf(f_.cmbChannelA);
    s.channelB = channelOf(f_.cmbChannelB);
    s.mode = f_.cmbNotes->currentIndex() == 0 ? NotesMode::PitchCodes : NotesMode::ByPitch;
    const std::optional<int> transpose = semitones(f_.txtTranspose->text8());
    if (!transpose) {
        refuse("The transpose must be a whole number of semitones from -" + std::to_string(kLargestTranspose)
               + " to " + std::to_string(kLargestTranspose) + ". Nothing was imported.");
        return std::nullopt;
    }
    s.transpose = *transpose;
    const std::vector<int> slotTypesNow = slotTypes();
    s.slotTypes = slotTypesNow;
    bool identity = true;
    for (int row = 0; row < int(uses_.size()) && row < f_.tblInstruments->rowCount(); ++row) {
        const std::string text = f_.typeBox(row)->currentText().toLatin1().toStdString();
        const std::optional<int> type = typeNumber(text);
        const int number = uses_[std::size_t(row)].number;
        if (!type) {
            refuse("Instrument " + std::to_string(number) + ": \"" + text
                   + "\" is no sound type. Nothing was imported.");
            return std::nullopt;
        }
        s.typeOf[number] = *type;
        identity = identity && *type == number;
    }
    s.asPasted = ostrakWay_ && identity && s.mode == NotesMode::PitchCodes && s.transpose == 0;
    if (!s.asPasted)
        for (const auto& [number, type] : s.typeOf)
            if (type != kSilenceType && std::find(slotTypesNow.begin(), slotTypesNow.end(), type) == slotTypesNow.end()) {
                std::string held;
                for (int t : slotTypesNow)
                    held += (held.empty() ? "" : ", ") + std::to_string(t);
                refuse("Instrument " + std::to_string(number) + " is set to sound type " + std::to_string(type)
                       + ", which no slot has (the slotTypesNow hold " + held
                       + "); pick one of them or 16 for silence. Nothing was imported.");
                return std::nullopt;
            }
    return s;
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
    if (!settings.asPasted)
        log(report.logLine());
    if (notes == 0)
        log("The imported channels hold no notes: the module may be cut short.");
}

} // namespace ostrak

#include "TemplateCommands.h"

#include "Template.h"
#include "app/FrmMain.h"
#include "common/Failure.h"
#include "common/TextFile.h"
#include "song/SongCommands.h"

#include <filesystem>

namespace ostrak {

namespace {

std::string notSavedText(const common::Failure& f)
{
    std::string why;
    switch (f.code()) {
    case common::kPermissionDenied:
    case common::kPathAccess:
        why = "the working folder (or the file) cannot be written.";
        break;
    case common::kDeviceIO:
        why = "the data did not reach the disk (is it full?).";
        break;
    case common::kPathNotFound:
        why = "the working folder is gone.";
        break;
    default:
        why = "error code " + std::to_string(f.code()) + ".";
    }
    return std::string(kTemplateFile) + " was not saved: " + why + " Any " + kTemplateFile
           + " that was there is left as it was.";
}

} // namespace

TemplateCommands::TemplateCommands(FrmMain& w, Seams& seams, const NoteTable& notes, const SongCommands& song)
    : w_(w), seams_(seams), notes_(notes), song_(song)
{
    QObject::connect(w_.cmdSaveTemplate, &QPushButton::clicked, &w_, [this] { saveTemplate(); });
}

void TemplateCommands::saveTemplate()
{
    const InstrumentTexts texts = song_.instrumentTexts();
    if (const std::string problem = templateProblem(texts); !problem.empty()) {
        seams_.messages.show(problem);
        return;
    }
    try {
        const std::string bytes = templateBytes(readInstrumentConfig(texts), notes_);
        std::error_code ec;
        if (std::filesystem::exists(kTemplateFile, ec)) {
            const std::string old = common::readWholeFile(kTemplateFile);
            if (old != bytes && !isOwnTemplate(old, notes_)
                && !seams_.messages.ask(std::string(kTemplateFile)
                                        + " in the working folder is not as ostrak wrote it: it was changed "
                                          "since, in a tracker perhaps. Replace it with a new one and lose "
                                          "those changes?"))
                return;
        }
        // Put in place whole, or not at all.
        common::writeWholeFile(kTemplateFile, bytes);
        w_.txtLog->append8(std::string(common::kCrLf) + kTemplateFile + " saved: open it in your tracker.");
    } catch (const common::Failure& f) {
        seams_.messages.show(notSavedText(f));
    } catch (const std::exception&) {
        seams_.messages.show(notSavedText(common::Failure(common::kInternalError)));
    }
}

} // namespace ostrak

// "Save Ostrak.it" through the real window: the file it writes, bad input, a
// changed file, the round trip through the tracker's clipboard, and the
// default copy in engine/.
#include "support/OstrakFixture.h"
#include "template/Template.h"

#include "common/AtomicFile.h"
#include "common/Failure.h"
#include "common/TextFile.h"
#include "import/ModuleClipboard.h"

#include <libopenmpt/libopenmpt.hpp>

#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::OstrakTest;
using testing_support::readBytes;
using testing_support::writeBytes;

const std::string kEngineTemplate = std::string(TEST_DATA_DIR) + "/../../engine/Ostrak.it";

class TemplateTest : public OstrakTest {
protected:
    std::string save()
    {
        click(w().cmdSaveTemplate);
        return fs::exists(ostrak::kTemplateFile) ? readBytes(ostrak::kTemplateFile) : "";
    }
    std::string convert(const std::string& paste)
    {
        w().txtIn->setText8(paste);
        click(w().cmdBang);
        return w().txtPatternA->text8() + w().txtPatternB->text8() + w().txtOrderA->text8() + w().txtOrderB->text8();
    }
};

// engine/Ostrak.it is what the launcher puts into a new working folder: it
// must be what the button writes at start-up.
TEST_F(TemplateTest, DefaultCopyIsWhatTheButtonWritesAtStartUp)
{
    const std::string written = save();
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(messages.shown.empty());
    const std::string fresh = (fs::temp_directory_path() / "Ostrak.it.fresh").string();
    if (!fs::exists(kEngineTemplate) || readBytes(kEngineTemplate) != written) {
        writeBytes(fresh, written);
        ADD_FAILURE() << "engine/Ostrak.it is stale: copy " << fresh << " over it";
    }
}

TEST_F(TemplateTest, BadSlotsAndTemposAreRefusedAndNothingIsWritten)
{
    const struct {
        int slot;          // -1: the tempo field
        const char* text;
        const char* says;
    } kCases[] = {
        {0, "0", "sound types 1 to 15"},  {3, "11", "holds a level"}, {5, "16", "16 is silence"},
        {7, "99", "sound types 1 to 15"}, {2, "x", "sound types 1 to 15"},
        {-1, "0", "not 1 to 255 frames"}, {-1, "300", "not 1 to 255 frames"},
    };
    writeBytes(ostrak::kTemplateFile, "kept");
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        ostrak::ComboBox* field = c.slot < 0 ? w().cmbTempo : w().WaveMatrix[std::size_t(c.slot)];
        const std::string before = field->text8();
        field->setText8(c.text);
        messages.shown.clear();
        EXPECT_EQ(save(), "kept");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].find(c.says), std::string::npos) << messages.shown[0];
        EXPECT_NE(messages.shown[0].find(std::string("\"") + c.text + "\""), std::string::npos);
        field->setText8(before);
    }
    EXPECT_TRUE(messages.asked.empty());
}

// Ostrak.it as ostrak wrote it, for any settings, is replaced without a
// question; a file changed since is replaced only when the user says yes.
TEST_F(TemplateTest, AChangedFileIsReplacedOnlyWhenTheUserSaysYes)
{
    w().chkPal->setChecked(true);
    const std::string pal = save();
    w().chkPal->setChecked(false);
    const std::string ntsc = save();
    EXPECT_NE(pal, ntsc);
    EXPECT_TRUE(messages.asked.empty()) << "a file ostrak wrote for other settings is its own";
    EXPECT_EQ(save(), ntsc) << "the same settings give the same bytes";

    std::string changed = ntsc;
    changed[changed.size() - 1] ^= 1; // one sample value, as a tracker would save an edit
    const struct {
        const char* name;
        std::string bytes;
    } kChanged[] = {{"edited", changed}, {"another module", "IMPM and more"}, {"empty", ""}};
    for (const auto& c : kChanged) {
        SCOPED_TRACE(c.name);
        writeBytes(ostrak::kTemplateFile, c.bytes);
        messages.asked.clear();
        messages.answer = false;
        EXPECT_EQ(save(), c.bytes);
        EXPECT_EQ(messages.asked.size(), 1u);
        messages.answer = true;
        EXPECT_EQ(save(), ntsc);
        EXPECT_EQ(messages.asked.size(), 2u);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TemplateTest, AFolderThatCannotBeWrittenOrAFullDiskLeavesTheOldFileWhole)
{
    writeBytes(ostrak::kTemplateFile, "old");
    messages.answer = true;
    // A full disk: every write fails.
    common::AtomicFile::injectFailureAfterLines(0);
    save();
    common::AtomicFile::injectFailureAfterLines(std::nullopt);
    // A read-only folder, as an ordinary user (root may write anywhere).
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read
                                       | fs::perms::others_exec);
    const bool root = ::geteuid() == 0;
    const bool ordinary = !root || ::seteuid(65534) == 0;
    if (ordinary) {
        click(w().cmdSaveTemplate);
        ASSERT_TRUE(!root || ::seteuid(0) == 0);
    }
    fs::permissions(folder.path(), fs::perms::owner_all);
    EXPECT_EQ(readBytes(ostrak::kTemplateFile), "old");
    EXPECT_FALSE(fs::exists(common::AtomicFile::companionOf(ostrak::kTemplateFile)));
    ASSERT_EQ(messages.shown.size(), ordinary ? 2u : 1u);
    EXPECT_NE(messages.shown[0].find("did not reach the disk"), std::string::npos) << messages.shown[0];
    if (ordinary) {
        EXPECT_NE(messages.shown[1].find("cannot be written"), std::string::npos) << messages.shown[1];
    }
}

// Pattern 0 copied as the tracker copies it, pasted and converted, gives the
// example paste's bytes.
TEST_F(TemplateTest, ThePatternCopiedFromTheTrackerConvertsAsTheExamplePaste)
{
    const ostrak::TrackerModule module(save());
    const std::string copied = module.clipboardText(0, 0, module.rows(0) - 1, 0, 1);
    const std::string example(ostrak::examplePaste());
    EXPECT_EQ(copied, example);
    EXPECT_EQ(convert(copied), convert(example));
}

// libopenmpt opens it without a warning, at the console's speed, with every
// instrument named and the sample list a tuning chart.
TEST_F(TemplateTest, TheTrackerOpensItAtTheConsolesSpeedAndTuning)
{
    const struct {
        const char* tempo;
        bool pal;
        int speed, ticksTempo;
    } kCases[] = {{"3 - Tempo", false, 3, 150}, {"3", true, 3, 125}, {"7.2", false, 7, 146}, {"1.4", false, 1, 107}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.tempo);
        w().cmbTempo->setText8(c.tempo);
        w().chkPal->setChecked(c.pal);
        const std::string bytes = save();
        std::ostringstream log;
        openmpt::module module(bytes.data(), bytes.size(), log);
        EXPECT_EQ(module.get_metadata("warnings"), "");
        EXPECT_EQ(log.str().find("warn"), std::string::npos) << log.str();
        EXPECT_EQ(module.get_current_speed(), c.speed);
        EXPECT_EQ(module.get_current_tempo(), c.ticksTempo);
        EXPECT_EQ(module.get_num_channels(), 2);
        EXPECT_LE(module.get_num_samples(), 236) << "the most Schism Tracker loads";
        const std::vector<std::string> instruments = module.get_instrument_names();
        ASSERT_EQ(instruments.size(), 16u);
        EXPECT_EQ(instruments[3], "4-Square");
        EXPECT_EQ(instruments[4], "5-AUDC 5");
        EXPECT_EQ(instruments[15], "16-Silence");
        const std::vector<std::string> samples = module.get_sample_names();
        // Type 1 (the first slot type by number), C-4 and C-5; 8-Noise has no cents.
        EXPECT_EQ(samples[0].substr(0, 7), "C-4 31 ");
        EXPECT_NE(std::find_if(samples.begin(), samples.end(),
                               [](const std::string& s) { return s.rfind("C-5 19 ", 0) == 0 && s.back() == 'c'; }),
                  samples.end());
        EXPECT_NE(std::find(samples.begin(), samples.end(), "C-5 19"), samples.end());
        EXPECT_NE(module.get_metadata("message").find("16 is silence"), std::string::npos);
    }
}

// Schism Tracker, where Debian's is installed, loads and plays it without a screen.
TEST_F(TemplateTest, SchismTrackerPlaysIt)
{
    if (!testing_support::missingTools({"schismtracker"}).empty())
        GTEST_SKIP() << "schismtracker is not installed";
    save();
    const int status = std::system("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 schismtracker "
                                   "--diskwrite=schism.wav Ostrak.it >schism.log 2>&1");
    ASSERT_EQ(status, 0) << readBytes("schism.log");
    // 64 rows at speed 3: 3.2 s of 16-bit stereo at 44,100 Hz.
    EXPECT_NEAR(double(readBytes("schism.wav").size()) / (44100 * 4), 3.2, 0.05);
}

} // namespace

// "Save Ostrak.it" through the real window: the file it writes, bad input,
// a changed file, and the default copy in engine/.
#include "support/OstrakFixture.h"
#include "template/Template.h"

#include "common/TextFile.h"

#include <filesystem>

namespace {

using testing_support::OstrakTest;

const std::string kEngineTemplate = std::string(TEST_DATA_DIR) + "/../../engine/Ostrak.it";

class TemplateTest : public OstrakTest {
protected:
    std::string save()
    {
        click(w().cmdSaveTemplate);
        return std::filesystem::exists(ostrak::kTemplateFile) ? common::readWholeFile(ostrak::kTemplateFile) : "";
    }
};

// engine/Ostrak.it is what the launcher puts into a new working folder: it
// must be what the button writes at start-up.
TEST_F(TemplateTest, DefaultCopyIsWhatTheButtonWritesAtStartUp)
{
    const std::string written = save();
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(messages.shown.empty());
    const std::string fresh = (std::filesystem::temp_directory_path() / "Ostrak.it.fresh").string();
    if (!std::filesystem::exists(kEngineTemplate) || common::readWholeFile(kEngineTemplate) != written) {
        common::writeWholeFile(fresh, written);
        ADD_FAILURE() << "engine/Ostrak.it is stale: copy " << fresh << " over it";
    }
}

} // namespace

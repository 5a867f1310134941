#pragma once
// A whole ostrak on stand-in seams, with what the play tests look at: every
// text a user can see or store, the files, the loudest sample, the position.
#include "support/OstrakFixture.h"

#include "app/AudioOutput.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace play_testing {

namespace fs = std::filesystem;
using testing_support::readBytes;
using testing_support::writeBytes;

inline std::string examplePaste()
{
    return readBytes(TEST_DATA_DIR "/../../engine/example-paste.txt");
}

inline const std::string kOrder = "song1\r\n    byte 1,2,255\r\nsong2\r\n    byte 3,4,255\r\n";

class PlayTest : public testing_support::OstrakTest {
protected:
    void convertExample()
    {
        w().txtIn->setText8(examplePaste());
        w().cmdBang->click();
    }

    // Every text a user or a command can see or store, to prove playing
    // leaves all of it alone.
    std::string everything()
    {
        std::string all;
        for (auto* box : w().findChildren<common::TextBox*>())
            all += box->objectName().toStdString() + "=" + box->text8() + "\n";
        for (auto* box : w().findChildren<common::MemoBox*>())
            all += box->objectName().toStdString() + "=" + box->text8() + "\n";
        for (auto* box : w().findChildren<ostrak::ComboBox*>())
            all += box->objectName().toStdString() + "=" + box->text8() + "\n";
        const ostrak::WorkingMemory& m = memory();
        for (int p = 0; p < ostrak::WorkingMemory::kElements; ++p)
            for (const auto* store : {&m.StoreNameA, &m.StoreNameB, &m.StorePatternA, &m.StorePatternB,
                                      &m.StoreOrderA, &m.StoreOrderB, &m.StorePaste})
                all += (*store)[static_cast<std::size_t>(p)] + "\n";
        return all;
    }

    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static int loudest(const std::vector<std::int16_t>& samples)
    {
        int peak = 0;
        for (std::int16_t s : samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        return peak;
    }

    std::string playing() const { return app->main().lblPlaying->text().toStdString(); }

    void unlockSong(const std::string& order)
    {
        w().cmdGenAllCode->click();
        w().txtSong->setText8(order);
    }
};

} // namespace play_testing

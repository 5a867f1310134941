#pragma once
// The fixture of the listening tests: stella must be there, and a check that
// fails on a first recording gets a second one.
#include "EngineRig.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

namespace engine_test {

class ListeningTest : public EngineTest {
protected:
    void SetUp() override
    {
        const std::string missing = missingTools({"dasm", "stella", "timeout"});
        if (!missing.empty())
            GTEST_SKIP() << "not installed: " << missing << " (tools/setup.sh installs them)";
    }

    // Assembles `songH`, plays it for `seconds` and runs `checks` on the
    // sounds heard. On a busy machine stella now and then stretches or drops
    // a stretch of audio; a second recording does not repeat that, while a
    // fault of the engine fails both, and only the last one's failures count.
    void playAndCheck(const std::string& songH, double seconds,
                      const std::function<void(const std::vector<Sound>&)>& checks, int attempts = 2)
    {
        const Rom rom = assemble(subFolder("rom"), songH);
        ASSERT_TRUE(rom.ok) << rom.log;
        for (int attempt = 1; attempt <= attempts; ++attempt) {
            audio = listen(rom.path, seconds);
            // Too little audio means stella does not run here: no use trying again.
            ASSERT_GT(audio.duration(), seconds - 1.5) << "stella recorded too little audio";
            testing::TestPartResultArray failures;
            {
                testing::ScopedFakeTestPartResultReporter intercept(
                    testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
                checks(audio.sounds());
            }
            if (failures.size() == 0)
                return;
            for (int i = 0; attempt == attempts && i < failures.size(); ++i) {
                const auto& failure = failures.GetTestPartResult(i);
                ADD_FAILURE_AT(failure.file_name() ? failure.file_name() : "?", failure.line_number())
                    << failure.message();
            }
            if (attempt < attempts)
                std::cout << "first recording failed (" << failures.GetTestPartResult(0).summary()
                          << "), listening again\n";
        }
    }

    Audio audio;
};

} // namespace engine_test

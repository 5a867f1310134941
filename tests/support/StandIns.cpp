#include "StandIns.h"

#include "common/Failure.h"

#include <algorithm>

namespace testing_support {

void RecordingLauncher::start(const std::string& name)
{
    if (std::find(missing.begin(), missing.end(), name) != missing.end())
        throw common::Failure(common::kFileNotFound, name);
    started.push_back(name);
}

bool RecordingAudio::start(Source source)
{
    ++starts;
    playing = true;
    played = 0;
    source_ = std::move(source);
    return true;
}

void RecordingAudio::stop()
{
    playing = false;
    source_ = nullptr;
}

std::vector<std::int16_t> RecordingAudio::pull(std::size_t count)
{
    if (!playing)
        return {};
    std::vector<std::int16_t> samples(count);
    source_(samples.data(), count);
    played += count;
    return samples;
}

} // namespace testing_support

#include "OstrakFixture.h"

#include "Failure.h"

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

OstrakTest::OstrakTest()
{
    ensureApplication();
    app = std::make_unique<ostrak::OstrakApp>(ostrak::Seams{messages, clock, launcher, &audio});
}

void OstrakTest::type(common::TextBox* box, const std::string& text)
{
    box->setFocus();
    box->selectAll();
    if (text.empty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, QString::fromLatin1(text.c_str()));
}

void OstrakTest::click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

} // namespace testing_support

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

OstrakTest::OstrakTest()
{
    ensureApplication();
    app = std::make_unique<ostrak::OstrakApp>(ostrak::Seams{messages, clock, launcher});
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

#include "OstrakFixture.h"

namespace testing_support {

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

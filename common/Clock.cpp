#include "Clock.h"

#include <QDateTime>
#include <QLocale>

namespace common {

namespace {
std::string latin1(const QString& s) { return s.toLatin1().toStdString(); }
}

std::string SystemClock::dateText() const
{
    return latin1(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
}

std::string SystemClock::timeText() const
{
    return latin1(QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat));
}

std::string SystemClock::longTimeText() const
{
    return latin1(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

} // namespace common

#include "platform/core/clock.h"

namespace {
QDateTime g_fixed;
}

QDateTime Clock::now()
{
    if (g_fixed.isValid())
        return g_fixed;
    QDateTime t = QDateTime::currentDateTime();
    // second precision: what the database stores
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

QDate Clock::today() { return now().date(); }

void Clock::setFixed(const QDateTime &t) { g_fixed = t; }

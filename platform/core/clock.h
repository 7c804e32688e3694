#pragma once
#include <QDateTime>

// The one source of "now" and "today"; tests fix it.
namespace Clock {
QDateTime now();
QDate today();
void setFixed(const QDateTime &t); // invalid value returns to the system clock
}

#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVariant>

namespace rpt {

// Display formats of report texts.
// Numbers: up to three sections "positive;negative;zero". In a section '0' is a
// digit always shown, '#' a digit shown when significant, '.' the decimal
// point, ',' in the digits switches on thousands grouping; text before and after
// the digits (a leading "-", a trailing "%", quoted text) is copied. The
// negative section gets the absolute value; with one section a minus is put in
// front. "%" is only a character: 10 with "0.00%" prints "10,00%".
// Dates: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss; "mm" after an
// hour means minutes. Separators follow the locale (QLocale() by default).
QString formatNumber(double value, const QString &format, const QLocale &locale = QLocale());
QString formatDate(const QDateTime &value, const QString &format, const QLocale &locale = QLocale());
// A value with a format: numbers and dates by the rules above, other values as
// text; no format gives the locale's plain rendering. Null prints "".
QString formatValue(const QVariant &value, const QString &format, const QLocale &locale = QLocale());

} // namespace rpt

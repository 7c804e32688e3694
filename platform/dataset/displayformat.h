#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>

// Number formats of the form ",0.00;-,0.00" / "0.00;-0.00" / "#,##0": sections
// for positive; negative; zero values, '0' a digit always shown, '#' a digit
// shown when significant, '.' the decimal point, ',' anywhere in the integer
// part switches on thousands grouping. Separators follow QLocale(). Other
// characters are copied. A negative value uses the second section with the
// absolute value, or a leading minus when there is none.
QString formatFloat(double value, const QString &format);

// Date formats as the grids write them: "dd.mm.yyyy", "dd.mm.yyyy hh:nn:ss";
// "mm" right after "h"/"hh" means minutes.
QString formatDateTime(const QDateTime &value, const QString &format);

// A field value as text: with the format when one is given and the value fits
// it, otherwise the plain text of the value (numbers with the locale's decimal
// separator and no grouping, dates as dd.MM.yyyy[ HH:mm:ss]). NULL gives "".
QString displayText(const QVariant &value, const QString &format = {});

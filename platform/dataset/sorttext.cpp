#include "platform/dataset/sorttext.h"

QString titleClickSort(const QString &currentSort, const QString &clickedField)
{
    // Sort texts end in "  ASC" or " DESC", both five characters long.
    const QString before = currentSort.size() > 5 ? currentSort.left(currentSort.size() - 5).trimmed() : QString();
    if (!currentSort.endsWith(QLatin1String("ESC"), Qt::CaseInsensitive)
        && before.compare(clickedField.trimmed(), Qt::CaseInsensitive) == 0 && !before.isEmpty())
        return clickedField.trimmed() + QStringLiteral(" DESC");
    return clickedField.trimmed() + QStringLiteral("  ASC");
}

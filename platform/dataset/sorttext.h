#pragma once
#include <QString>

// The title-click rule of every sortable grid: a second click on the column the
// grid is sorted by ascending sorts it descending; any other click sorts the
// clicked column ascending. Sort texts are "<field>  ASC" (two blanks) or
// "<field> DESC".
QString titleClickSort(const QString &currentSort, const QString &clickedField);

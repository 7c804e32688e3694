#pragma once
// Text measurement shared by layout and painting: both use the same fonts at
// the same resolution, so a text wraps on paper exactly where it was measured.
#include "platform/report/document.h"

class QPaintDevice;

namespace rpt::detail {

QPaintDevice *measureDevice(); // 1200 dpi
double mmToUnits(double mm);
double unitsToMm(double units);

// Height in mm of a text in a box width (single line texts: their line count).
double textHeightMm(const QString &text, const QFont &font, double widthMm, bool wrap);
// A rich text (RTF or plain) laid out at a width; the element's font and
// colour are the defaults of text without its own.
std::shared_ptr<QTextDocument> richDocument(const QString &source, const QFont &font, const QColor &color,
                                            double widthMm);
double richHeightMm(const QTextDocument &doc);

QSizeF pictureSizeMm(const QImage &img);

} // namespace rpt::detail

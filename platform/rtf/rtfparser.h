#pragma once
#include <QColor>
#include <QString>
#include <QStringView>

// Internal to the codec: a streaming RTF reader that hands decoded runs to a
// sink. Work is linear in the input and group depth costs no stack, so any
// field content, however broken, is read in bounded time and memory.
namespace Rtf::detail {

enum Align { AlignLeft = 0, AlignRight = 1, AlignCenter = 2, AlignJustify = 3 };

// A run's formatting with font and colour table references resolved.
struct RunFormat {
  QString family;      // empty: the document's default font
  double points = 12;  // RTF's default size
  bool bold = false, italic = false, underline = false, strike = false;
  QColor foreground;   // invalid: automatic text colour
  QColor background;   // invalid: no background
};

class Sink {
public:
  virtual ~Sink() = default;
  // Text of the current paragraph; never contains paragraph separators.
  virtual void text(const QString &t, const RunFormat &f) = 0;
  // Ends the current paragraph; f is the format in effect at the mark.
  virtual void paragraph(Align a, const RunFormat &f) = 0;
  // End of input; the last paragraph (possibly the empty one after a final
  // paragraph mark) has alignment a.
  virtual void finish(Align a, const RunFormat &f) = 0;
};

// Decodes one field text (which must start with "{\rtf").
void parse(QStringView rtf, Sink &sink);

// Replaces unpaired UTF-16 surrogates (broken \uN pairs, damaged fields)
// with U+FFFD, so no text handed on is ill-formed.
void repairSurrogates(QString &s);

// Windows-1252 byte to Unicode (0x80-0x9F included).
QChar cp1252ToUnicode(unsigned char b);
// Unicode to a Windows-1252 byte; -1 when not representable.
int unicodeToCp1252(char16_t c);

} // namespace Rtf::detail

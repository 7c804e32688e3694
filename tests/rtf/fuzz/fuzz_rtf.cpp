// libFuzzer target for the RTF codec: arbitrary bytes as a field's text,
// read into a document, written back and read again.
#include "platform/rtf/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  // Half the inputs are forced to look like RTF so the reader gets the bulk of the work.
  QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
  if (size > 0 && (data[0] & 1)) text.replace(0, 1, QStringLiteral("{\\rtf1"));
  QTextDocument doc;
  Rtf::read(text, &doc);
  const QString plain = Rtf::toPlainText(text);
  if (plain != doc.toPlainText()) abort();
  const QString again = Rtf::write(&doc);
  QTextDocument back;
  Rtf::read(again, &back);
  if (back.toPlainText() != doc.toPlainText()) abort();
  return 0;
}

// Read and write times of the RTF codec for field-sized and large documents.
#include "platform/rtf/rtf.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

QString sample(int paragraphs)
{
  QString s = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                             "{\\f1\\froman\\fcharset0 Times New Roman;}}\r\n"
                             "{\\colortbl ;\\red0\\green0\\blue128;\\red255\\green255\\blue0;}\r\n"
                             "\\viewkind4\\uc1\\pard\\f0\\fs20 ");
  for (int i = 0; i < paragraphs; ++i)
    s += QStringLiteral("\\pard\\qc\\cf1\\b M\\'fcller & S\\'f6hne\\cf0\\b0  Stra\\'dfe %1 \\highlight2 gelb\\highlight0 "
                        "\\f1\\fs24 Gr\\u252?\\'dfe \\u8364? \\i kursiv\\i0\\f0\\fs20\\line zweite Zeile\\tab Ende\\par\r\n")
             .arg(i);
  return s + QLatin1Char('}');
}

template <class F> double perRun(int runs, F f)
{
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < runs; ++i) f();
  return double(t.nsecsElapsed()) / runs / 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (int paragraphs : {5, 100, 2000}) {
    const QString rtf = sample(paragraphs);
    const int runs = paragraphs >= 2000 ? 5 : 200;
    QTextDocument doc;
    const double read = perRun(runs, [&] { Rtf::read(rtf, &doc); });
    const double write = perRun(runs, [&] { (void)Rtf::write(&doc); });
    const double plain = perRun(runs, [&] { (void)Rtf::toPlainText(rtf); });
    std::printf("%5d paragraphs, %7lld chars: read %9.1f us, write %9.1f us, toPlainText %9.1f us\n", paragraphs,
                static_cast<long long>(rtf.size()), read, write, plain);
  }
  const QString deep = QStringLiteral("{\\rtf1") + QString(1000000, u'{') + QStringLiteral("x") + QString(1000000, u'}') + u'}';
  QTextDocument doc;
  std::printf("1 000 000 nested groups: read %9.1f us\n", perRun(3, [&] { Rtf::read(deep, &doc); }));
  return 0;
}

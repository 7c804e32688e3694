#include "platform/rtf/rtf.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

// One run of a document as the codec is meant to keep it.
struct Run {
  QString text, family;
  double points;
  bool bold, italic, underline, strike;
  QColor fg, bg;
  bool operator==(const Run &o) const
  {
    return text == o.text && family == o.family && qFuzzyCompare(points, o.points) && bold == o.bold &&
           italic == o.italic && underline == o.underline && strike == o.strike && fg == o.fg && bg == o.bg;
  }
};

struct Para {
  QString align;
  QList<Run> runs;  // an empty paragraph carries its mark's format as one run with empty text
  bool operator==(const Para &) const = default;
};

Run runOf(const QString &text, const QTextCharFormat &f, const QTextDocument &doc)
{
  const QStringList fam = f.fontFamilies().toStringList();
  return Run{text,
             fam.isEmpty() ? doc.defaultFont().family() : fam.first(),
             f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : doc.defaultFont().pointSizeF(),
             f.fontWeight() > QFont::Medium,
             f.fontItalic(),
             f.fontUnderline(),
             f.fontStrikeOut(),
             f.foreground().style() == Qt::NoBrush ? QColor() : f.foreground().color(),
             f.background().style() == Qt::NoBrush ? QColor() : f.background().color()};
}

QList<Para> structure(const QTextDocument &doc)
{
  QList<Para> out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    Para p;
    const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    p.align = (a & Qt::AlignHCenter) ? "center" : (a & Qt::AlignRight) ? "right" : "left";
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      Run r = runOf(it.fragment().text(), it.fragment().charFormat(), doc);
      if (!p.runs.isEmpty()) {
        Run &last = p.runs.last();
        Run probe = r;
        probe.text = last.text;
        if (probe == last) {
          last.text += r.text;
          continue;
        }
      }
      p.runs.append(r);
    }
    if (p.runs.isEmpty()) p.runs.append(runOf(QString(), b.charFormat(), doc));
    out.append(p);
  }
  return out;
}

QString describe(const QList<Para> &ps)
{
  QStringList lines;
  for (const Para &p : ps) {
    QStringList runs;
    for (const Run &r : p.runs)
      runs << QStringLiteral("[%1|%2 %3%4%5%6%7 fg=%8 bg=%9]")
                  .arg(r.text, r.family)
                  .arg(r.points)
                  .arg(r.bold ? " b" : "", r.italic ? " i" : "", r.underline ? " u" : "", r.strike ? " s" : "")
                  .arg(r.fg.isValid() ? r.fg.name() : "auto", r.bg.isValid() ? r.bg.name() : "none");
    lines << p.align + ": " + runs.join(' ');
  }
  return lines.join('\n');
}

// Builds documents for the round-trip table from a compact description.
struct Piece {
  QString text;
  QTextCharFormat fmt;
};

QTextCharFormat fmt(const QString &family, double pt, const QString &flags = {}, QColor fg = {}, QColor bg = {})
{
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontPointSize(pt);
  f.setFontWeight(flags.contains('b') ? QFont::Bold : QFont::Normal);
  f.setFontItalic(flags.contains('i'));
  f.setFontUnderline(flags.contains('u'));
  f.setFontStrikeOut(flags.contains('s'));
  if (fg.isValid()) f.setForeground(fg);
  if (bg.isValid()) f.setBackground(bg);
  return f;
}

void fill(QTextDocument &doc, const QList<QPair<Qt::Alignment, QList<Piece>>> &paras)
{
  QTextCursor c(&doc);
  bool first = true;
  for (const auto &[align, pieces] : paras) {
    if (!first) c.insertBlock();
    first = false;
    QTextBlockFormat bf;
    bf.setAlignment(align);
    c.setBlockFormat(bf);
    for (const Piece &p : pieces) c.insertText(p.text, p.fmt);
    if (pieces.isEmpty()) c.setBlockCharFormat(fmt("Arial", 10));
  }
}

// Reading any input, writing it and reading that back must give the same
// document; the plain-text reader must agree with the document reader.
void checkStable(const QString &input)
{
  QTextDocument a;
  Rtf::read(input, &a);
  const QString written = Rtf::write(&a);
  QVERIFY2(Rtf::isRtf(written), qPrintable(written));
  QTextDocument b;
  Rtf::read(written, &b);
  const auto sa = structure(a), sb = structure(b);
  if (!(sa == sb)) {
    qWarning().noquote() << "input:" << input << "\nwritten:" << written;
    QCOMPARE(describe(sb), describe(sa));
  }
  QCOMPARE(Rtf::toPlainText(input), a.toPlainText());
}

const char *const kLetterhead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fprq2\\fcharset0{\\*\\panose 02020603050405020304}Times New Roman;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue128;\\red128\\green128\\blue128;}\r\n"
    "{\\*\\generator Msftedit 5.41.21.2510;}\\viewkind4\\uc1\\pard\\qc\\cf1\\b\\f0\\fs32 M\\'fcller & "
    "S\\'f6hne GmbH\\cf0\\b0\\fs20\\par\r\n"
    "\\cf2\\f1\\fs18 Hauptstra\\'dfe 12 \\bullet  80331 M\\'fcnchen\\par\r\n"
    "\\pard\\cf0\\f0\\fs20\\par\r\n}\r\n";

const char *const kUnicode =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
    "{\\f1\\fnil\\fcharset238 Calibri CE;}}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang7 Gr\\u252?\\'dfe aus K\\u246?ln \\endash  Preis 12\\u8364? "
    "\\u-10179?\\u-8704?\\par\r\n"
    "\\f1\\lang1045 Zaj\\u261?c \\uc2\\u-1279\\'66\\'69 und \\uc0\\u246 l\\f0\\lang7\\par\r\n}\r\n";

const char *const kCp1252 =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl\\f0\\fswiss Arial;\\f1\\fmodern Courier New;}"
    "\\pard\\plain\\fs20 Preis: 100 \\'80 \\'96 \\'84Angebot\\'93, \\'8a\\'9f\\'85 \\{x\\} C:\\\\tmp\\par"
    "{\\*\\unknowndest {nested} text}{\\pntext\\f1 1.\\tab}\\f1 a\\~b\\-c\\_d\\par}";

const char *const kColours =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 normal \\cf1 rot\\cf0  \\cf2\\highlight3 gr\\'fcn auf gelb\\cf0\\highlight0  "
    "\\ul unterstrichen\\ulnone  \\i kursiv\\i0  \\cb1 cb\\cb0  \\strike x\\strike0\\par\r\n}\r\n";

const char *const kLines =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\qr\\fs24 Zeile 1\\line Zeile 2\\tab Spalte\\par"
    "\\pard\\qj Absatz 2\\par\r\n\\pard\\qc\\par\r\nletzter}";

const char *const kDoubleByte =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset128 MS Gothic;}"
    "{\\f2\\fnil\\fcharset238 Arial CE;}}\\f1 \\'82\\'a0\\'93\\'fa\\'82a\\f2 \\'b9\\'9c\\f0 \\'e4\\par}";

} // namespace

class TestRtf : public QObject {
  Q_OBJECT
private slots:
  void detection_data()
  {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("rtf") << "{\\rtf1\\ansi x}" << true;
    QTest::newRow("rtf without version") << "{\\rtf x}" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("leading blank") << " {\\rtf1 x}" << false;
    QTest::newRow("other group") << "{\\pict x}" << false;
    QTest::newRow("plain") << "Hallo" << false;
  }
  void detection()
  {
    QFETCH(QString, text);
    QFETCH(bool, rtf);
    QCOMPARE(Rtf::isRtf(text), rtf);
  }

  void plainTextFallback_data()
  {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("blocks");
    QTest::newRow("crlf") << "Zeile 1\r\nZeile 2\r\n\r\nZeile 4" << QStringList{"Zeile 1", "Zeile 2", "", "Zeile 4"};
    QTest::newRow("lf and cr") << "a\nb\rc" << QStringList{"a", "b", "c"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("braces stay text") << "x {\\rtf1 \\b y}" << QStringList{"x {\\rtf1 \\b y}"};
  }
  void plainTextFallback()
  {
    QFETCH(QString, field);
    QFETCH(QStringList, blocks);
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 10));
    Rtf::read(field, &doc);
    QStringList got;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) got << b.text();
    QCOMPARE(got, blocks);
    QCOMPARE(Rtf::toPlainText(field), blocks.join('\n'));
    QVERIFY(!doc.isModified());
  }

  void richEditSamples_data()
  {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("letterhead") << kLetterhead
        << "center: [Müller & Söhne GmbH|Arial 16 b fg=#000080 bg=none]\n"
           "center: [Hauptstraße 12 • 80331 München|Times New Roman 9 fg=#808080 bg=none]\n"
           "left: [|Arial 10 fg=auto bg=none]";
    QTest::newRow("unicode escapes") << kUnicode
        << QString::fromUtf8("left: [Grüße aus Köln – Preis 12€ \U0001F600|Calibri 11 fg=auto bg=none]\n"
                             "left: [Zając \uFB01 und öl|Calibri CE 11 fg=auto bg=none]");
    QTest::newRow("code page 1252") << kCp1252
        << QString::fromUtf8("left: [Preis: 100 € – „Angebot“, ŠŸ… {x} C:\\tmp|Arial 10 fg=auto bg=none]\n"
                             "left: [1.\ta\u00A0b\u00ADc\u2011d|Courier New 10 fg=auto bg=none]");
    QTest::newRow("colours") << kColours
        << "left: [normal |Arial 10 fg=auto bg=none] [rot|Arial 10 fg=#ff0000 bg=none] [ |Arial 10 fg=auto bg=none] "
           "[grün auf gelb|Arial 10 fg=#008000 bg=#ffff00] [ |Arial 10 fg=auto bg=none] "
           "[unterstrichen|Arial 10 u fg=auto bg=none] [ |Arial 10 fg=auto bg=none] [kursiv|Arial 10 i fg=auto bg=none] "
           "[ |Arial 10 fg=auto bg=none] [cb|Arial 10 fg=auto bg=#ff0000] [ |Arial 10 fg=auto bg=none] "
           "[x|Arial 10 s fg=auto bg=none]";
    QTest::newRow("par and line") << kLines
        << QString::fromUtf8("right: [Zeile 1\u2028Zeile 2\tSpalte|Arial 12 fg=auto bg=none]\n"
                             "left: [Absatz 2|Arial 12 fg=auto bg=none]\n"
                             "center: [|Arial 12 fg=auto bg=none]\n"
                             "center: [letzter|Arial 12 fg=auto bg=none]");
  }
  void richEditSamples()
  {
    QFETCH(QString, rtf);
    QFETCH(QString, expected);
    QTextDocument doc;
    Rtf::read(rtf, &doc);
    QCOMPARE(describe(structure(doc)), expected);
    QVERIFY(!doc.isModified());
    checkStable(rtf);
  }

  void roundTrip_data()
  {
    QTest::addColumn<int>("which");
    for (int i = 0; i < 7; ++i) QTest::newRow(qPrintable(QString::number(i))) << i;
  }
  void roundTrip()
  {
    QFETCH(int, which);
    const QColor red(255, 0, 0), navy(0, 0, 128), yellow(255, 255, 0), white(255, 255, 255);
    QTextDocument doc;
    doc.setDefaultFont(QFont("Arial", 10));
    switch (which) {
    case 0:  // a single plain word
      fill(doc, {{Qt::AlignLeft, {{"Hallo", fmt("Arial", 10)}}}});
      break;
    case 1:  // every character attribute, and their removal again
      fill(doc, {{Qt::AlignLeft,
                  {{"fett ", fmt("Arial", 10, "b")}, {"kursiv ", fmt("Arial", 10, "i")},
                   {"unter ", fmt("Arial", 10, "u")}, {"alles", fmt("Arial", 10, "bius")},
                   {" nichts", fmt("Arial", 10)}}}});
      break;
    case 2:  // fonts, sizes and colours
      fill(doc, {{Qt::AlignLeft,
                  {{"Rot", fmt("Times New Roman", 14, "", red)}, {" navy auf gelb", fmt("Courier New", 8.5, "", navy, yellow)},
                   {" weiss", fmt("Arial", 72, "b", white, navy)}, {" klein", fmt("Arial", 1)}}}});
      break;
    case 3:  // alignment, empty paragraphs of their own size, line breaks and tabs
      fill(doc, {{Qt::AlignHCenter, {{"Mitte", fmt("Arial", 12)}}},
                 {Qt::AlignRight, {{"rechts\tTab", fmt("Arial", 10)}}},
                 {Qt::AlignLeft, {}},
                 {Qt::AlignLeft, {{QString::fromUtf8("Zeile\u2028Umbruch"), fmt("Arial", 10)}}},
                 {Qt::AlignHCenter, {}}});
      break;
    case 4:  // characters that need escaping, in and beyond code page 1252
      fill(doc, {{Qt::AlignLeft,
                  {{QString::fromUtf8("{\\} äöüß ÄÖÜ € „“ ‚‘ – — … ™ Œœ Ÿ ž · ± µ"), fmt("Arial", 10)},
                   {QString::fromUtf8(" Łódź Ωμέγα Привет 日本 \U0001F600 \u00A0\u00AD\u2011"), fmt("Arial", 10)}}}});
      break;
    case 5:  // font names outside ASCII and with braces
      fill(doc, {{Qt::AlignLeft, {{"x", fmt(QString::fromUtf8("Schrift Ä{1}"), 10)}, {"y", fmt("Arial", 10)}}}});
      break;
    case 6:  // text that looks like control words after formatting changes
      fill(doc, {{Qt::AlignLeft, {{"b0", fmt("Arial", 10, "b")}, {" 12-3", fmt("Arial", 10)}, {"-1", fmt("Arial", 11)},
                                  {"par", fmt("Arial", 11, "i")}}}});
      break;
    }
    const auto before = structure(doc);
    const QString rtf = Rtf::write(&doc);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    for (QChar c : rtf) QVERIFY2(c.unicode() < 0x80, qPrintable(rtf));  // 7-bit clean like a rich edit's output
    QTextDocument back;
    Rtf::read(rtf, &back);
    QCOMPARE(describe(structure(back)), describe(before));
    QCOMPARE(Rtf::toPlainText(rtf), doc.toPlainText());
  }

  void writerOutput()
  {
    QTextDocument doc;
    fill(doc, {{Qt::AlignHCenter, {{QString::fromUtf8("Grüße €"), fmt("Arial", 10, "b", QColor(255, 0, 0))}}},
               {Qt::AlignHCenter, {{QString::fromUtf8("Ω"), fmt("Arial", 10)}}}});
    QCOMPARE(Rtf::write(&doc),
             QString("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                     "\\viewkind4\\uc1\\pard\\qc\\cf1\\b\\f0\\fs20 Gr\\'fc\\'dfe \\'80\\par\r\n"
                     "\\cf0\\b0\\u937?\\par\r\n}\r\n"));
  }

  void codePages_data()
  {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("plain");
    QTest::newRow("font charset 238") << "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                                         "{\\f1\\fswiss\\fcharset238 Arial CE;}}\\f1\\lang1045 Zaj\\'b9c \\'8c\\f0  \\'b9\\par}"
                                      << QString::fromUtf8("Zając Ś ¹");
    QTest::newRow("ansicpg 1251") << "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                                     "\\f0 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'80}"
                                  << QString::fromUtf8("Привет Ђ");
    QTest::newRow("greek font") << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset161 Arial Greek;}}"
                                   "\\f1 \\'d9\\'ec\\'dd\\'e3\\'e1}"
                                << QString::fromUtf8("Ωμέγα");
    QTest::newRow("double byte") << "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}"
                                    "\\f0 \\'82\\'a0\\'82\\'a2 \\'93\\'fa\\'96\\'7b\\'b1 \\'82}"
                                 << QString::fromUtf8("あい 日本ｱ ");
    QTest::newRow("unicode fallback") << "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}"
                                         "\\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7b}"
                                      << QString::fromUtf8("日本");
    QTest::newRow("unknown page") << "{\\rtf1\\ansi\\ansicpg99999 \\'e4\\'80}" << QString::fromUtf8("ä€");
  }
  void codePages()
  {
    QFETCH(QString, rtf);
    QFETCH(QString, plain);
    QCOMPARE(Rtf::toPlainText(rtf), plain);
    checkStable(rtf);
  }

  void malformed_data()
  {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("plain");
    QTest::newRow("truncated") << "{\\rtf1\\ansi abc" << "abc";
    QTest::newRow("truncated escape") << "{\\rtf1 a\\'4" << "a";
    QTest::newRow("bad hex") << "{\\rtf1 a\\'zzb}" << "azzb";
    QTest::newRow("lone backslash") << "{\\rtf1 a\\" << "a";
    QTest::newRow("huge size") << "{\\rtf1 \\fs99999999999 x}" << "x";
    QTest::newRow("huge negative") << "{\\rtf1 \\fs-99999999999999999999 \\cf-5 \\f-3 x}" << "x";
    QTest::newRow("huge unicode") << "{\\rtf1 \\u99999999 x\\u-99999 zy}" << "y";
    QTest::newRow("lone surrogate") << "{\\rtf1 \\u-10179?x}" << QString::fromUtf8("\uFFFDx");
    QTest::newRow("huge uc") << "{\\rtf1 \\uc2147483647\\u65 skipped}after" << "A";
    QTest::newRow("huge bin") << "{\\rtf1 a\\bin99999999999 b}" << "a";
    QTest::newRow("bin with braces") << "{\\rtf1 a\\bin3 }{xb}" << "ab";
    QTest::newRow("extra closing") << "{\\rtf1 a}}}b{" << "a";
    QTest::newRow("long word") << QString("{\\rtf1 \\") + QString(5000, 'x') + " y}" << "y";
    QTest::newRow("long number") << QString("{\\rtf1 \\b") + QString(5000, '9') + " y}" << "y";
    QTest::newRow("colour out of range") << "{\\rtf1{\\colortbl;\\red300\\green-4\\blue0;}\\cf7 a\\cf1 b}" << "ab";
    QTest::newRow("control chars") << QString::fromUtf8("{\\rtf1\\uc0 a\x01\\u0\\u13\\u65532\\u8233 b}") << "a\nb";
    QTest::newRow("deep nesting") << "{\\rtf1" + QString(100000, '{') + "x" + QString(100000, '}') + "y}" << "xy";
    QTest::newRow("deep unclosed") << "{\\rtf1" + QString(100000, '{') + "x" << "x";
    QTest::newRow("deep skip") << "{\\rtf1{\\*" + QString(50000, '{') + "x" + QString(50000, '}') + "}y}" << "y";
  }
  void malformed()
  {
    QFETCH(QString, rtf);
    QFETCH(QString, plain);
    QTextDocument doc;
    Rtf::read(rtf, &doc);
    QCOMPARE(doc.toPlainText(), plain);
    checkStable(rtf);
  }

  void sizesAreClamped()
  {
    QTextDocument doc;
    Rtf::read("{\\rtf1 \\fs99999999999 x\\fs0 y}", &doc);
    const auto s = structure(doc);
    QCOMPARE(s.size(), 1);
    QCOMPARE(s[0].runs.first().points, 1638.0);
  }

  void everyPrefix()
  {
    for (const char *sample : {kLetterhead, kUnicode, kCp1252, kColours, kLines, kDoubleByte}) {
      const QString s = QString::fromLatin1(sample);
      for (qsizetype n = 0; n <= s.size(); ++n) {
        checkStable(s.left(n));
        if (QTest::currentTestFailed()) {
          qWarning() << "prefix length" << n;
          return;
        }
      }
    }
  }

  void randomMutations()
  {
    QRandomGenerator rng(20261211);
    const QString alphabet = QStringLiteral("{}\\\\\\'*;-0123456789abfilpqrstuxABF \r\n\t\x01") + QChar(0xE4) + QChar(0xD83D);
    const QList<QString> samples{kLetterhead, kUnicode, kCp1252, kColours, kLines, kDoubleByte};
    for (int round = 0; round < 3000; ++round) {
      QString s = samples[rng.bounded(int(samples.size()))];
      const int edits = 1 + rng.bounded(8);
      for (int e = 0; e < edits && !s.isEmpty(); ++e) {
        const int at = rng.bounded(int(s.size()));
        switch (rng.bounded(4)) {
        case 0: s[at] = alphabet[rng.bounded(int(alphabet.size()))]; break;
        case 1: s.insert(at, alphabet[rng.bounded(int(alphabet.size()))]); break;
        case 2: s.remove(at, 1 + rng.bounded(4)); break;
        case 3: s.insert(at, s.mid(rng.bounded(int(s.size())), rng.bounded(40))); break;
        }
      }
      if (rng.bounded(2)) s.replace(0, qMin<qsizetype>(5, s.size()), "{\\rtf");
      checkStable(s);
      if (QTest::currentTestFailed()) return;
    }
  }
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"

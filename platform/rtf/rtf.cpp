#include "platform/rtf/rtf.h"

#include "platform/rtf/rtfparser.h"

#include <QFont>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace Rtf {

using namespace detail;

namespace {

Qt::Alignment toQt(Align a)
{
  switch (a) {
  case AlignRight: return Qt::AlignRight | Qt::AlignAbsolute;
  case AlignCenter: return Qt::AlignHCenter;
  case AlignJustify: return Qt::AlignJustify;
  case AlignLeft: break;
  }
  return Qt::AlignLeft | Qt::AlignAbsolute;
}

QTextCharFormat toQt(const RunFormat &f)
{
  QTextCharFormat c;
  if (!f.family.isEmpty()) c.setFontFamilies(QStringList{f.family});
  c.setFontPointSize(f.points);
  c.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
  c.setFontItalic(f.italic);
  c.setFontUnderline(f.underline);
  c.setFontStrikeOut(f.strike);
  if (f.foreground.isValid()) c.setForeground(f.foreground);
  if (f.background.isValid()) c.setBackground(f.background);
  return c;
}

// A final paragraph mark followed by nothing does not open another
// paragraph: a rich edit ends every paragraph with \par, the last included.
class DocumentSink : public Sink {
public:
  explicit DocumentSink(QTextDocument *doc) : cursor_(doc) {}

  void text(const QString &t, const RunFormat &f) override
  {
    openPending();
    cursor_.insertText(t, toQt(f));
    blockEmpty_ = false;
  }
  void paragraph(Align a, const RunFormat &f) override
  {
    openPending();
    closeBlock(a, f);
    pending_ = true;
  }
  void finish(Align a, const RunFormat &f) override
  {
    if (!pending_) closeBlock(a, f);
  }

private:
  void openPending()
  {
    if (!pending_) return;
    cursor_.insertBlock();
    blockEmpty_ = true;
    pending_ = false;
  }
  void closeBlock(Align a, const RunFormat &f)
  {
    QTextBlockFormat b;
    b.setAlignment(toQt(a));
    cursor_.setBlockFormat(b);
    // An empty paragraph keeps its mark's format: its height follows the size.
    if (blockEmpty_) {
      cursor_.setBlockCharFormat(toQt(f));
    }
  }

  QTextCursor cursor_;
  bool pending_ = false;
  bool blockEmpty_ = true;
};

class PlainSink : public Sink {
public:
  void text(const QString &t, const RunFormat &) override
  {
    if (pending_) out.append(u'\n');
    pending_ = false;
    for (QChar c : t) {
      if (c.unicode() == 0x2028)
        out.append(u'\n');
      else if (c.unicode() == 0x00A0)
        out.append(u' ');
      else
        out.append(c);
    }
  }
  void paragraph(Align, const RunFormat &) override
  {
    if (pending_) out.append(u'\n');
    pending_ = true;
  }
  void finish(Align, const RunFormat &) override {}

  QString out;

private:
  bool pending_ = false;
};

QString plainLines(const QString &text)
{
  QString t = text;
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  t.replace(u'\r', u'\n');
  // Same character rules as for RTF text: no C0 controls besides tab and
  // line feed, no lone surrogates, none of the document's marker code points.
  t.removeIf([](QChar c) {
    const char16_t u = c.unicode();
    return (u < 0x20 && u != '\t' && u != '\n') || u == 0xFFFC || (u >= 0xFDD0 && u <= 0xFDEF) ||
           u == 0xFFFE || u == 0xFFFF;
  });
  t.replace(QChar(0x2029), QChar(0x2028));
  repairSurrogates(t);
  return t;
}

// --- writer -----------------------------------------------------------------

QString familyOf(const QTextCharFormat &f, const QTextDocument *doc)
{
  const QStringList families = f.fontFamilies().toStringList();
  if (!families.isEmpty() && !families.first().isEmpty()) return families.first();
  return doc->defaultFont().family();
}

int halfPointsOf(const QTextCharFormat &f, const QTextDocument *doc)
{
  double pt;
  if (f.hasProperty(QTextFormat::FontPointSize))
    pt = f.fontPointSize();
  else if (f.hasProperty(QTextFormat::FontPixelSize))
    pt = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
  else if (doc->defaultFont().pointSizeF() > 0)
    pt = doc->defaultFont().pointSizeF();
  else
    pt = doc->defaultFont().pixelSize() * 0.75;
  const long hp = std::lround(pt * 2);
  return int(std::clamp<long>(hp, 1, 3276));
}

QColor colourOf(const QBrush &b)
{
  return b.style() == Qt::NoBrush ? QColor() : b.color().toRgb();
}

struct WriteFormat {
  int font = -1, halfPoints = -1, fg = 0, bg = 0;
  bool bold = false, italic = false, underline = false, strike = false;
};

class Writer {
public:
  explicit Writer(const QTextDocument *doc) : doc_(doc) {}

  QString run()
  {
    collectTables();
    out_ += QLatin1String("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl");
    for (int i = 0; i < fonts_.size(); ++i) {
      out_ += QStringLiteral("{\\f%1\\fnil\\fcharset0 ").arg(i);
      QString name = fonts_[i];
      name.remove(u';');
      text(name);
      out_ += QLatin1String(";}");
    }
    out_ += QLatin1String("}\r\n");
    if (!colours_.isEmpty()) {
      out_ += QLatin1String("{\\colortbl ;");
      for (const QColor &c : colours_)
        out_ += QStringLiteral("\\red%1\\green%2\\blue%3;").arg(c.red()).arg(c.green()).arg(c.blue());
      out_ += QLatin1String("}\r\n");
    }
    out_ += QLatin1String("\\viewkind4\\uc1");
    needDelim_ = true;
    int align = -1;
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
      const int a = alignOf(b.blockFormat());
      if (a != align) {
        word(QStringLiteral("\\pard"));
        if (a == AlignRight) word(QStringLiteral("\\qr"));
        if (a == AlignCenter) word(QStringLiteral("\\qc"));
        if (a == AlignJustify) word(QStringLiteral("\\qj"));
        align = a;
      }
      bool any = false;
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid() || frag.length() == 0) continue;
        format(frag.charFormat());
        text(frag.text());
        any = true;
      }
      if (!any) format(b.charFormat());
      word(QStringLiteral("\\par"));
      out_ += QLatin1String("\r\n");
      needDelim_ = false;
    }
    out_ += QLatin1String("}\r\n");
    return out_;
  }

private:
  static int alignOf(const QTextBlockFormat &f)
  {
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter) return AlignCenter;
    if (a & Qt::AlignJustify) return AlignJustify;
    if (a & Qt::AlignRight) return AlignRight;  // also AlignTrailing: documents here are left-to-right
    return AlignLeft;
  }

  void collectTables()
  {
    auto note = [this](const QTextCharFormat &f) {
      const QString fam = familyOf(f, doc_);
      if (!fonts_.contains(fam)) fonts_.append(fam);
      for (const QColor &c : {colourOf(f.foreground()), colourOf(f.background())})
        if (c.isValid() && !colours_.contains(c)) colours_.append(c);
    };
    for (QTextBlock b = doc_->begin(); b.isValid(); b = b.next()) {
      bool any = false;
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        if (!it.fragment().isValid() || it.fragment().length() == 0) continue;
        note(it.fragment().charFormat());
        any = true;
      }
      if (!any) note(b.charFormat());
    }
    if (fonts_.isEmpty()) fonts_.append(doc_->defaultFont().family());
  }

  void format(const QTextCharFormat &f)
  {
    WriteFormat w;
    w.font = int(fonts_.indexOf(familyOf(f, doc_)));
    w.halfPoints = halfPointsOf(f, doc_);
    const QColor fg = colourOf(f.foreground()), bg = colourOf(f.background());
    w.fg = fg.isValid() ? int(colours_.indexOf(fg)) + 1 : 0;
    w.bg = bg.isValid() ? int(colours_.indexOf(bg)) + 1 : 0;
    w.bold = f.fontWeight() > QFont::Medium;
    w.italic = f.fontItalic();
    w.underline = f.fontUnderline();
    w.strike = f.fontStrikeOut();

    if (w.fg != cur_.fg) word(QStringLiteral("\\cf%1").arg(w.fg));
    if (w.bg != cur_.bg) word(QStringLiteral("\\highlight%1").arg(w.bg));
    if (w.bold != cur_.bold) word(w.bold ? QStringLiteral("\\b") : QStringLiteral("\\b0"));
    if (w.italic != cur_.italic) word(w.italic ? QStringLiteral("\\i") : QStringLiteral("\\i0"));
    if (w.underline != cur_.underline) word(w.underline ? QStringLiteral("\\ul") : QStringLiteral("\\ulnone"));
    if (w.strike != cur_.strike) word(w.strike ? QStringLiteral("\\strike") : QStringLiteral("\\strike0"));
    if (w.font != cur_.font) word(QStringLiteral("\\f%1").arg(w.font));
    if (w.halfPoints != cur_.halfPoints) word(QStringLiteral("\\fs%1").arg(w.halfPoints));
    cur_ = w;
  }

  void word(const QString &w)
  {
    out_ += w;
    needDelim_ = true;
  }

  void literal(QChar c)
  {
    if (needDelim_) out_ += u' ';
    needDelim_ = false;
    out_ += c;
  }

  void text(const QString &t)
  {
    for (const QChar ch : t) {
      const char16_t c = ch.unicode();
      switch (c) {
      case '\\': case '{': case '}':
        out_ += u'\\';
        out_ += ch;
        needDelim_ = false;
        continue;
      case '\t': word(QStringLiteral("\\tab")); continue;
      case 0x2028: case 0x2029: word(QStringLiteral("\\line")); continue;
      case 0x00A0: out_ += QLatin1String("\\~"); needDelim_ = false; continue;
      case 0x00AD: out_ += QLatin1String("\\-"); needDelim_ = false; continue;
      case 0x2011: out_ += QLatin1String("\\_"); needDelim_ = false; continue;
      case 0xFFFC: case 0xFDD0: case 0xFDD1: continue;  // objects and frame markers
      default: break;
      }
      if (c < 0x20) continue;
      if (c < 0x7F) {
        literal(ch);
        continue;
      }
      const int b = unicodeToCp1252(c);
      if (b >= 0) {
        out_ += QStringLiteral("\\'%1").arg(b, 2, 16, QLatin1Char('0'));
      } else {
        out_ += QStringLiteral("\\u%1?").arg(c > 32767 ? int(c) - 65536 : int(c));
      }
      needDelim_ = false;
    }
  }

  const QTextDocument *doc_;
  QStringList fonts_;
  QList<QColor> colours_;
  WriteFormat cur_;
  QString out_;
  bool needDelim_ = false;
};

} // namespace

bool isRtf(const QString &fieldText)
{
  return fieldText.startsWith(QLatin1String("{\\rtf"));
}

void read(const QString &fieldText, QTextDocument *doc)
{
  const bool undo = doc->isUndoRedoEnabled();
  doc->setUndoRedoEnabled(false);
  if (!isRtf(fieldText)) {
    doc->setPlainText(plainLines(fieldText));
  } else {
    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    DocumentSink sink(doc);
    parse(fieldText, sink);
    c.endEditBlock();
  }
  doc->setUndoRedoEnabled(undo);
  doc->setModified(false);
}

QString write(const QTextDocument *doc)
{
  return Writer(doc).run();
}

QString toPlainText(const QString &fieldText)
{
  if (!isRtf(fieldText)) {
    QString t = plainLines(fieldText);
    t.replace(QChar(0x00A0), u' ');
    t.replace(QChar(0x2028), u'\n');
    return t;
  }
  PlainSink sink;
  parse(fieldText, sink);
  return sink.out;
}

} // namespace Rtf

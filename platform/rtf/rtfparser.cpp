#include "platform/rtf/rtfparser.h"

#include <QHash>
#include <QList>
#include <QLatin1StringView>
#include <QMutex>
#include <QStringDecoder>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Rtf::detail {

namespace {

const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Deeper groups than this share their parent's state; real documents stay
// far below, and the cap keeps hostile input from eating memory.
constexpr int kMaxDepth = 2000;
// Half-points: RTF's own limit of 1638 pt (what a rich edit accepts).
constexpr int kMaxHalfPoints = 3276;

enum class Dest : uint8_t { Text, Skip, FontTable, ColorTable };

struct CharProps {
  bool bold = false, italic = false, underline = false, strike = false;
  int font = -1;  // -1: \deff
  int halfPoints = 24;
  int fg = 0, bg = 0;  // colour table indices, 0 = automatic
  bool operator==(const CharProps &) const = default;
};

struct State {
  CharProps chr;
  Align align = AlignLeft;
  Dest dest = Dest::Text;
  int uc = 1;
};

enum class Kw {
  // destinations
  FontTbl, ColorTbl, SkipDest,
  // document
  Deff, AnsiCpg,
  // font and colour tables
  F, FCharset, Red, Green, Blue,
  // character
  Plain, B, I, Ul, UlNone, Strike, Fs, Cf, Cb, Highlight,
  // paragraph
  Pard, Ql, Qr, Qc, Qj,
  // text
  Par, Line, Tab, Cell, U, Uc, Bin, Char,
};

struct KwInfo {
  Kw kw;
  char16_t ch = 0;  // for Kw::Char
};

const QHash<QLatin1StringView, KwInfo> &keywords()
{
  static const QHash<QLatin1StringView, KwInfo> table = [] {
    QHash<QLatin1StringView, KwInfo> t;
    auto add = [&t](const char *w, Kw k, char16_t c = 0) { t.insert(QLatin1StringView(w), {k, c}); };
    add("fonttbl", Kw::FontTbl);
    add("colortbl", Kw::ColorTbl);
    for (const char *w : {"stylesheet", "info", "pict", "object", "header", "headerl", "headerr",
                          "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
                          "fldinst", "listtable", "listoverridetable", "revtbl", "rsidtbl",
                          "generator", "xmlnstbl", "themedata", "colorschememapping",
                          "latentstyles", "datastore", "nonshppict", "shp", "shpinst",
                          "filetbl", "pgdsctbl", "bkmkstart", "bkmkend", "author", "operator",
                          "title", "subject", "doccomm", "comment", "keywords", "company",
                          "userprops", "docvar", "template", "ftnsep", "ftnsepc", "ftncn",
                          "aftnsep", "aftnsepc", "aftncn", "annotation", "atnid", "atnauthor",
                          "xe", "tc", "pn", "pntxta", "pntxtb", "mmathPr", "fontemb",
                          "fontfile", "falt", "panose", "objdata", "result", "xform", "txe"})
      add(w, Kw::SkipDest);
    add("deff", Kw::Deff);
    add("ansicpg", Kw::AnsiCpg);
    add("fcharset", Kw::FCharset);
    add("f", Kw::F);
    add("red", Kw::Red);
    add("green", Kw::Green);
    add("blue", Kw::Blue);
    add("plain", Kw::Plain);
    add("b", Kw::B);
    add("i", Kw::I);
    for (const char *w : {"ul", "uld", "uldb", "uldash", "uldashd", "uldashdd", "ulhwave", "ulldash",
                          "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash",
                          "ululdbwave", "ulw", "ulwave"})
      add(w, Kw::Ul);
    add("ulnone", Kw::UlNone);
    add("strike", Kw::Strike);
    add("striked", Kw::Strike);
    add("fs", Kw::Fs);
    add("cf", Kw::Cf);
    add("cb", Kw::Cb);
    add("chcbpat", Kw::Cb);
    add("highlight", Kw::Highlight);
    add("pard", Kw::Pard);
    add("ql", Kw::Ql);
    add("qr", Kw::Qr);
    add("qc", Kw::Qc);
    add("qj", Kw::Qj);
    add("qd", Kw::Qj);
    add("par", Kw::Par);
    add("sect", Kw::Par);
    add("page", Kw::Par);
    add("row", Kw::Par);
    add("line", Kw::Line);
    add("tab", Kw::Tab);
    add("cell", Kw::Cell);
    add("u", Kw::U);
    add("uc", Kw::Uc);
    add("bin", Kw::Bin);
    add("emdash", Kw::Char, 0x2014);
    add("endash", Kw::Char, 0x2013);
    add("emspace", Kw::Char, 0x2003);
    add("enspace", Kw::Char, 0x2002);
    add("qmspace", Kw::Char, 0x2005);
    add("bullet", Kw::Char, 0x2022);
    add("lquote", Kw::Char, 0x2018);
    add("rquote", Kw::Char, 0x2019);
    add("ldblquote", Kw::Char, 0x201C);
    add("rdblquote", Kw::Char, 0x201D);
    add("zwj", Kw::Char, 0x200D);
    add("zwnj", Kw::Char, 0x200C);
    add("ltrmark", Kw::Char, 0x200E);
    add("rtlmark", Kw::Char, 0x200F);
    return t;
  }();
  return table;
}

bool isAsciiLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }
int hexValue(char16_t c)
{
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Characters that must not reach a text document: C0 controls (tab aside),
// line/paragraph breaks smuggled in through \uN, and the code points a text
// document reserves for its own frame and object markers.
bool isDroppedChar(char16_t c)
{
  if (c < 0x20) return c != '\t';
  return c == 0xFFFC || (c >= 0xFDD0 && c <= 0xFDEF) || c == 0xFFFE || c == 0xFFFF;
}

// --- code pages ---------------------------------------------------------------
// \'hh bytes are in the code page of the run's font (its \fcharset) or of
// the document (\ansicpg). A rich edit on a Western system writes 1252, but
// text in a Central European or Cyrillic font comes as bytes of that page.

int codePageOfCharset(int charset, int ansi)
{
  switch (charset) {
  case 77: return 10000;
  case 128: return 932;
  case 129: return 949;
  case 134: return 936;
  case 136: return 950;
  case 161: return 1253;
  case 162: return 1254;
  case 163: return 1258;
  case 177: return 1255;
  case 178: return 1256;
  case 186: return 1257;
  case 204: return 1251;
  case 222: return 874;
  case 238: return 1250;
  case 255: return 437;
  default: return ansi;  // 0 ANSI, 1 default, 2 symbol and unknown ones
  }
}

const char *codePageName(int cp)
{
  switch (cp) {
  case 874: return "windows-874";
  case 932: return "Shift_JIS";
  case 936: return "GBK";
  case 949: return "windows-949";
  case 950: return "Big5";
  case 437: return "IBM437";
  case 10000: return "macintosh";
  case 1250: return "windows-1250";
  case 1251: return "windows-1251";
  case 1253: return "windows-1253";
  case 1254: return "windows-1254";
  case 1255: return "windows-1255";
  case 1256: return "windows-1256";
  case 1257: return "windows-1257";
  case 1258: return "windows-1258";
  default: return nullptr;
  }
}

struct CodePage {
  int cp = 1252;
  bool multiByte = false;
  std::array<char16_t, 256> map{};
  bool isLead(int b) const
  {
    if (!multiByte) return false;
    if (cp == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    return b >= 0x81 && b <= 0xFE;
  }
  QString decodePair(int lead, int trail) const
  {
    QStringDecoder d(codePageName(cp), QStringConverter::Flag::Stateless);
    const char bytes[2] = {char(lead), char(trail)};
    QString out = d.decode(QByteArrayView(bytes, 2));
    return out.isEmpty() ? QString(QChar(QChar::ReplacementCharacter)) : out;
  }
};

// A code page's byte table; nullptr for 1252 and for pages this system cannot decode.
const CodePage *codePage(int cp)
{
  if (cp == 1252 || !codePageName(cp)) return nullptr;
  static QMutex mutex;
  static QHash<int, std::shared_ptr<CodePage>> cache;
  QMutexLocker lock(&mutex);
  if (auto it = cache.constFind(cp); it != cache.cend()) return it->get();
  std::shared_ptr<CodePage> page;
  QStringDecoder probe(codePageName(cp), QStringConverter::Flag::Stateless);
  if (probe.isValid()) {
    page = std::make_shared<CodePage>();
    page->cp = cp;
    page->multiByte = cp == 932 || cp == 936 || cp == 949 || cp == 950;
    for (int b = 0; b < 256; ++b) {
      const char byte = char(b);
      const QString one = probe.decode(QByteArrayView(&byte, 1));
      page->map[b] = one.size() == 1 ? one[0].unicode() : char16_t(QChar::ReplacementCharacter);
    }
  }
  cache.insert(cp, page);
  return page.get();
}

class Parser {
public:
  Parser(QStringView in, Sink &sink) : in_(in), sink_(sink) {}

  void run()
  {
    stack_.reserve(64);
    stack_.push_back(State{});  // outside the document group
    const qsizetype n = in_.size();
    while (pos_ < n && !done_) {
      const char16_t c = in_[pos_].unicode();
      if (lead_ >= 0 && !(c == '\\' && pos_ + 1 < n && in_[pos_ + 1] == u'\'')) {
        // A double-byte character's trail may also be written as a plain character.
        const int lead = lead_;
        lead_ = -1;
        if (c >= 0x20 && c < 0x80 && c != '{' && c != '}' && c != '\\' && skipChars_ == 0) {
          ++pos_;
          for (QChar ch : leadPage_->decodePair(lead, c)) character(ch.unicode());
          continue;
        }
      }
      if (c == '{') {
        ++pos_;
        skipChars_ = 0;
        if (int(stack_.size()) > kMaxDepth)
          ++overflow_;
        else
          stack_.push_back(stack_.back());
      } else if (c == '}') {
        ++pos_;
        skipChars_ = 0;
        closeGroup();
      } else if (c == '\\') {
        ++pos_;
        controlSequence();
      } else {
        ++pos_;
        if (c == '\r' || c == '\n') continue;
        if (skipChars_ > 0) {
          --skipChars_;
          continue;
        }
        character(c);
      }
    }
    flush();
    const State &last = done_ ? closed_ : st();
    sink_.finish(last.align, resolve(last.chr));
  }

private:
  State &st() { return stack_.back(); }

  void closeGroup()
  {
    if (overflow_ > 0) {
      --overflow_;
      return;
    }
    if (stack_.size() <= 1) {  // stray brace before the document group
      return;
    }
    const Dest closing = st().dest;
    if (closing == Dest::FontTable) commitFont();
    if (stack_.size() == 2) {  // the document group closes: nothing after it counts
      flush();
      closed_ = st();
      done_ = true;
    }
    stack_.pop_back();
  }

  void controlSequence()
  {
    const qsizetype n = in_.size();
    if (pos_ >= n) return;
    const char16_t c = in_[pos_].unicode();
    if (!isAsciiLetter(c)) {
      ++pos_;
      controlSymbol(c);
      return;
    }
    char word[33];
    int len = 0;
    while (pos_ < n && isAsciiLetter(in_[pos_].unicode())) {
      if (len < 32) word[len++] = char(in_[pos_].unicode());
      ++pos_;
    }
    word[len] = 0;
    bool hasParam = false;
    bool negative = false;
    int64_t value = 0;
    if (pos_ + 1 < n && in_[pos_] == u'-' && isDigit(in_[pos_ + 1].unicode())) {
      negative = true;
      ++pos_;
    }
    while (pos_ < n && isDigit(in_[pos_].unicode())) {
      hasParam = true;
      if (value < 100000000000LL) value = value * 10 + (in_[pos_].unicode() - '0');
      ++pos_;
    }
    if (pos_ < n && in_[pos_] == u' ') ++pos_;
    if (negative) value = -value;
    value = std::clamp<int64_t>(value, INT32_MIN, INT32_MAX);
    controlWord(QLatin1StringView(word, len), hasParam, int(value));
  }

  void controlSymbol(char16_t c)
  {
    switch (c) {
    case '\'': {
      // Two hex digits; a cut-off escape (one digit, or none) yields nothing.
      int byte = 0, digits = 0;
      while (digits < 2 && pos_ < in_.size() && hexValue(in_[pos_].unicode()) >= 0) {
        byte = byte * 16 + hexValue(in_[pos_].unicode());
        ++pos_;
        ++digits;
      }
      if (digits < 2) byte = -1;
      if (skipChars_ > 0) {
        --skipChars_;
        return;
      }
      if (byte >= 0) decodedByte(byte);
      return;
    }
    case '*':
      st().dest = Dest::Skip;
      return;
    case '\r':
    case '\n':
      if (consumeSkipped()) return;
      paragraph();
      return;
    default:
      break;
    }
    if (consumeSkipped()) return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
      character(c);
      break;
    case '~':
      character(0x00A0);
      break;
    case '-':
      character(0x00AD);
      break;
    case '_':
      character(0x2011);
      break;
    default:  // \| \: and unknown symbols
      break;
    }
  }

  // A control counts as one character of the fallback text after \uN.
  bool consumeSkipped()
  {
    if (skipChars_ <= 0) return false;
    --skipChars_;
    return true;
  }

  void controlWord(QLatin1StringView w, bool hasParam, int v)
  {
    const auto it = keywords().constFind(w);
    if (it == keywords().cend()) {
      consumeSkipped();
      return;
    }
    const Kw kw = it->kw;
    if (kw == Kw::Bin) {
      // Binary data follows; it is never text and may hold braces.
      const qsizetype len = hasParam && v > 0 ? qMin<qsizetype>(v, in_.size() - pos_) : 0;
      pos_ += len;
      return;
    }
    if (kw != Kw::U && consumeSkipped()) return;
    State &s = st();
    const bool on = !hasParam || v != 0;
    switch (kw) {
    case Kw::FontTbl:
      s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::FontTable;
      fontNum_ = 0;
      fontName_.clear();
      fontCharset_ = -1;
      break;
    case Kw::ColorTbl:
      s.dest = s.dest == Dest::Skip ? Dest::Skip : Dest::ColorTable;
      resetColour();
      break;
    case Kw::SkipDest:
      s.dest = Dest::Skip;
      break;
    case Kw::Deff:
      if (hasParam) deff_ = v;
      break;
    case Kw::AnsiCpg:
      if (hasParam) ansiCp_ = (v == 1252 || codePage(v)) ? v : 1252;
      break;
    case Kw::FCharset:
      if (hasParam && s.dest == Dest::FontTable) fontCharset_ = v;
      break;
    case Kw::F:
      if (!hasParam) break;
      if (s.dest == Dest::FontTable) {
        if (!fontName_.trimmed().isEmpty()) commitFont();
        fontNum_ = v;
        fontName_.clear();
        fontCharset_ = -1;
      } else {
        s.chr.font = v;
      }
      break;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
      if (s.dest == Dest::ColorTable) {
        const int c = std::clamp(hasParam ? v : 0, 0, 255);
        (kw == Kw::Red ? red_ : kw == Kw::Green ? green_ : blue_) = c;
        colourSet_ = true;
      }
      break;
    case Kw::Plain:
      s.chr = CharProps{};
      break;
    case Kw::B: s.chr.bold = on; break;
    case Kw::I: s.chr.italic = on; break;
    case Kw::Ul: s.chr.underline = on; break;
    case Kw::UlNone: s.chr.underline = false; break;
    case Kw::Strike: s.chr.strike = on; break;
    case Kw::Fs:
      if (hasParam && v > 0) s.chr.halfPoints = qMin(v, kMaxHalfPoints);
      break;
    case Kw::Cf:
      if (hasParam) s.chr.fg = qMax(v, 0);
      break;
    case Kw::Cb:
    case Kw::Highlight:
      if (hasParam) s.chr.bg = qMax(v, 0);
      break;
    case Kw::Pard: s.align = AlignLeft; break;
    case Kw::Ql: s.align = AlignLeft; break;
    case Kw::Qr: s.align = AlignRight; break;
    case Kw::Qc: s.align = AlignCenter; break;
    case Kw::Qj: s.align = AlignLeft; break;  // shown left-aligned, as the toolbar knows no justify
    case Kw::Par: paragraph(); break;
    case Kw::Line: character(0x2028); break;
    case Kw::Tab:
    case Kw::Cell: character('\t'); break;
    case Kw::U:
      if (consumeSkipped()) break;
      if (hasParam && v >= -32768 && v <= 65535) {
        const char16_t unit = char16_t(v < 0 ? v + 65536 : v);
        character(unit);
      }
      skipChars_ = s.uc;
      break;
    case Kw::Uc:
      if (hasParam) s.uc = std::clamp(v, 0, 1000);
      break;
    case Kw::Char: character(it->ch); break;
    case Kw::Bin: break;
    }
  }

  void character(char16_t c)
  {
    if (c == 0x2029) c = 0x2028;  // a paragraph mark only comes from \par
    if (isDroppedChar(c) && c != '\t') return;
    State &s = st();
    switch (s.dest) {
    case Dest::Skip:
      return;
    case Dest::FontTable:
      if (c == ';')
        commitFont();
      else if (fontName_.size() < 256)
        fontName_.append(QChar(c));
      return;
    case Dest::ColorTable:
      if (c == ';') {
        colours_.append(colourSet_ ? QColor(red_, green_, blue_) : QColor());
        resetColour();
      }
      return;
    case Dest::Text:
      break;
    }
    if (!buf_.isEmpty() && !(bufProps_ == s.chr)) flush();
    if (buf_.isEmpty()) bufProps_ = s.chr;
    buf_.append(QChar(c));
  }

  int currentCodePage() const
  {
    const State &s = stack_.back();
    int charset = -1;
    if (s.dest == Dest::FontTable)
      charset = fontCharset_;
    else
      charset = fontCharsets_.value(s.chr.font >= 0 && fonts_.contains(s.chr.font) ? s.chr.font : deff_, -1);
    return codePageOfCharset(charset, ansiCp_);
  }

  void decodedByte(int byte)
  {
    if (lead_ >= 0) {
      const int lead = lead_;
      lead_ = -1;
      for (QChar ch : leadPage_->decodePair(lead, byte)) character(ch.unicode());
      return;
    }
    const CodePage *page = byte >= 0x80 ? codePage(currentCodePage()) : nullptr;
    if (!page) {
      character(cp1252ToUnicode(uchar(byte)).unicode());
      return;
    }
    if (page->isLead(byte)) {
      lead_ = byte;
      leadPage_ = page;
      return;
    }
    character(page->map[byte]);
  }

  void paragraph()
  {
    if (st().dest != Dest::Text) return;
    flush();
    sink_.paragraph(st().align, resolve(st().chr));
  }

  void flush()
  {
    if (buf_.isEmpty()) return;
    repairSurrogates(buf_);
    sink_.text(buf_, resolve(bufProps_));
    buf_.clear();
  }

  RunFormat resolve(const CharProps &p) const
  {
    RunFormat f;
    const int font = p.font >= 0 ? p.font : deff_;
    f.family = fonts_.value(font);
    if (f.family.isEmpty()) f.family = fonts_.value(deff_);
    f.points = p.halfPoints / 2.0;
    f.bold = p.bold;
    f.italic = p.italic;
    f.underline = p.underline;
    f.strike = p.strike;
    if (p.fg > 0 && p.fg < colours_.size()) f.foreground = colours_[p.fg];
    if (p.bg > 0 && p.bg < colours_.size()) f.background = colours_[p.bg];
    return f;
  }

  void commitFont()
  {
    const QString name = fontName_.trimmed();
    if (!name.isEmpty() && !fonts_.contains(fontNum_)) {
      fonts_.insert(fontNum_, name);
      if (fontCharset_ >= 0) fontCharsets_.insert(fontNum_, fontCharset_);
    }
    fontName_.clear();
  }

  void resetColour()
  {
    red_ = green_ = blue_ = 0;
    colourSet_ = false;
  }

  QStringView in_;
  Sink &sink_;
  qsizetype pos_ = 0;
  bool done_ = false;
  std::vector<State> stack_;
  State closed_;
  int overflow_ = 0;
  int skipChars_ = 0;

  int deff_ = 0;
  int ansiCp_ = 1252;
  QHash<int, QString> fonts_;
  QHash<int, int> fontCharsets_;
  int fontCharset_ = -1;
  int lead_ = -1;  // first byte of a double-byte character, awaiting its trail
  const CodePage *leadPage_ = nullptr;
  int fontNum_ = 0;
  QString fontName_;
  QList<QColor> colours_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colourSet_ = false;

  QString buf_;
  CharProps bufProps_;
};

} // namespace

void repairSurrogates(QString &s)
{
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar ch = s[i];
    if (ch.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
      ++i;
    else if (ch.isSurrogate())
      s[i] = QChar(QChar::ReplacementCharacter);
  }
}

QChar cp1252ToUnicode(unsigned char b)
{
  if (b >= 0x80 && b < 0xA0) return QChar(kCp1252High[b - 0x80]);
  return QChar(char16_t(b));
}

int unicodeToCp1252(char16_t c)
{
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == c) return 0x80 + i;
  return -1;
}

void parse(QStringView rtf, Sink &sink)
{
  Parser(rtf, sink).run();
}

} // namespace Rtf::detail

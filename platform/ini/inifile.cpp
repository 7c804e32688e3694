#include "platform/ini/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined bytes.
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QString folded(const QString &s) { return s.toCaseFolded(); }

bool isBlank(QChar c)
{
    // The profile functions trim blanks and tabs (and what else is white space).
    return c.isSpace() || c == QChar(0);
}

QStringView trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QString unquoted(QStringView v)
{
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2).toString();
    return v.toString();
}

QString decodeFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringDecoder::Utf16LE);
        return d(bytes.mid(2));
    }
    return decodeCp1252(bytes);
}

} // namespace

QString decodeCp1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *p = out.data();
    for (char ch : bytes) {
        const uchar c = uchar(ch);
        char16_t u = c;
        if (c >= 0x80 && c < 0xA0 && kHigh[c - 0x80])
            u = kHigh[c - 0x80];
        *p++ = QChar(u);
    }
    return out;
}

bool decodeCp1252Strict(const QByteArray &bytes, QString *out)
{
    for (char ch : bytes) {
        const uchar c = uchar(ch);
        if (c >= 0x80 && c < 0xA0 && !kHigh[c - 0x80])
            return false;
    }
    if (out)
        *out = decodeCp1252(bytes);
    return true;
}

QByteArray encodeCp1252(const QString &text, bool *lossless)
{
    QByteArray out;
    out.reserve(text.size());
    bool ok = true;
    for (QChar qc : text) {
        const char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || (u < 0xA0 && !kHigh[u - 0x80])) {
            out.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] && kHigh[i] == u)
                found = i;
        if (found >= 0) {
            out.append(char(0x80 + found));
        } else {
            out.append('?');
            ok = false;
        }
    }
    if (lossless)
        *lossless = ok;
    return out;
}

IniFile IniFile::load(const QString &path)
{
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly))
        return {};
    return parse(f.read(kMaxBytes));
}

IniFile IniFile::parse(const QByteArray &bytes)
{
    IniFile ini;
    const QString text = decodeFile(bytes);
    const QStringView all(text);
    Section *current = nullptr;
    qsizetype pos = 0;
    const qsizetype n = all.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && all[end] != u'\n' && all[end] != u'\r')
            ++end;
        const QStringView line = all.mid(pos, end - pos);
        pos = end;
        if (pos < n && all[pos] == u'\r')
            ++pos;
        if (pos < n && all[pos] == u'\n')
            ++pos;

        const QStringView t = trimmed(line);
        if (t.isEmpty() || t.front() == u';')
            continue;
        if (t.front() == u'[') {
            const qsizetype close = t.indexOf(u']');
            if (close < 0)
                continue; // not a header; "[" lines carry no key either
            const QString name = trimmed(t.mid(1, close - 1)).toString();
            const QString key = folded(name);
            auto it = ini.m_index.constFind(key);
            if (it == ini.m_index.constEnd()) {
                ini.m_sections.append(Section{name, {}, {}});
                it = ini.m_index.insert(key, int(ini.m_sections.size() - 1));
            }
            current = &ini.m_sections[it.value()];
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = trimmed(line.left(eq)).toString();
        if (key.isEmpty())
            continue;
        const QString fk = folded(key);
        if (current->index.contains(fk))
            continue; // the first one wins
        const QStringView raw = line.mid(eq + 1);
        current->index.insert(fk, int(current->entries.size()));
        current->entries.append(Entry{key, raw.toString(), unquoted(trimmed(raw))});
    }
    return ini;
}

const IniFile::Section *IniFile::find(const QString &section) const
{
    const auto it = m_index.constFind(folded(section));
    return it == m_index.constEnd() ? nullptr : &m_sections[it.value()];
}

const IniFile::Entry *IniFile::findEntry(const QString &section, const QString &key) const
{
    const Section *s = find(section);
    if (!s)
        return nullptr;
    const auto it = s->index.constFind(folded(key));
    return it == s->index.constEnd() ? nullptr : &s->entries[it.value()];
}

bool IniFile::hasSection(const QString &section) const { return find(section) != nullptr; }

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return findEntry(section, key) != nullptr;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    if (const Entry *e = findEntry(section, key))
        return e->value;
    return std::nullopt;
}

std::optional<QString> IniFile::rawValue(const QString &section, const QString &key) const
{
    if (const Entry *e = findEntry(section, key))
        return e->raw;
    return std::nullopt;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    return value(section, key).value_or(def);
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    const auto v = value(section, key);
    if (!v)
        return def;
    bool ok = false;
    const int i = v->toInt(&ok, 10);
    return ok ? i : def;
}

std::optional<QStringList> IniFile::readStringList(const QString &section) const
{
    const int count = readInteger(section, QStringLiteral("Count"), 0);
    if (count <= 0)
        return std::nullopt;
    const int n = qMin(count, kMaxListCount);
    QStringList items;
    items.reserve(n);
    for (int i = 0; i < n; ++i)
        items << rawValue(section, QStringLiteral("Item%1").arg(i)).value_or(QString());
    return items;
}

QStringList IniFile::sections() const
{
    QStringList l;
    for (const Section &s : m_sections)
        l << s.name;
    return l;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList l;
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            l << e.key;
    return l;
}

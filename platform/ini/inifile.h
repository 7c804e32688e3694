#pragma once
#include <optional>

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// Read-only INI files with the rules of the Windows profile functions, because
// users edit the language files with Windows tools:
// - text is Windows-1252 (a UTF-8 or UTF-16LE byte-order mark is honoured);
// - "[name]" starts a section; section names and keys compare without case;
// - "key=value": key and value are trimmed of blanks; a value enclosed in one pair
//   of matching double or single quotes loses them (what is inside stays as is);
// - the first occurrence of a key wins, also across repeated sections;
// - lines starting with ";", lines without "=", lines with an empty key and lines
//   before the first section are ignored; CRLF, LF and lone CR end lines;
// - a missing or unreadable file reads as empty.
// Only the first kMaxBytes of a file are read, so a stray huge or binary file
// cannot stall the program.
class IniFile {
public:
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    // Upper bound of a string list's "Count", against absurd values.
    static constexpr int kMaxListCount = 10000;

    IniFile() = default;
    static IniFile load(const QString &path);
    static IniFile parse(const QByteArray &bytes);

    bool isEmpty() const { return m_sections.isEmpty(); }
    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;
    // Trimmed and unquoted value; nullopt when the key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    // The value as a decimal integer (optional sign); def when missing or not a number.
    int readInteger(const QString &section, const QString &key, int def) const;
    // Everything after the "=" up to the line end, untouched.
    std::optional<QString> rawValue(const QString &section, const QString &key) const;

    // A string list stored as section "Count" plus "Item0".."ItemN-1". nullopt when
    // Count is missing, not a number or not above 0. Missing items are empty lines;
    // items are taken as they stand in the file (not trimmed).
    std::optional<QStringList> readStringList(const QString &section) const;

    // Section names as first written, in file order; keys of one section likewise.
    QStringList sections() const;
    QStringList keys(const QString &section) const;

private:
    struct Entry {
        QString key;   // as written
        QString raw;   // after "=", untouched
        QString value; // trimmed, unquoted
    };
    struct Section {
        QString name;
        QHash<QString, int> index; // folded key -> entries
        QList<Entry> entries;
    };
    const Section *find(const QString &section) const;
    const Entry *findEntry(const QString &section, const QString &key) const;

    QHash<QString, int> m_index; // folded section name -> m_sections
    QList<Section> m_sections;
};

// Windows-1252 to Unicode. The five bytes the code page leaves undefined map to
// the C1 controls of the same value, as Windows does.
QString decodeCp1252(const QByteArray &bytes);
// Strict variant for checking shipped files: false on an undefined byte.
bool decodeCp1252Strict(const QByteArray &bytes, QString *out);
// Unicode to Windows-1252; characters outside the code page become '?'.
QByteArray encodeCp1252(const QString &text, bool *lossless = nullptr);

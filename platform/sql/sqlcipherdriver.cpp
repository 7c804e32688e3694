#include "platform/sql/sqlcipherdriver.h"

#include <sqlcipher/sqlite3.h>

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QVector>

#include <unistd.h>

#include <string>

namespace {

const QDate kZeroDate(1899, 12, 30);

QString fromUtf8(const unsigned char *p, int bytes)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(p), bytes);
}

// ---- LIKE without regard to case, for every letter ---------------------------

// Decodes UTF-8 into case-folded code points. Invalid bytes pass as themselves.
void foldUtf8(const unsigned char *s, std::u32string &out)
{
    out.clear();
    if (!s)
        return;
    while (*s) {
        char32_t c = *s++;
        int extra = 0;
        if (c >= 0xF0 && c < 0xF8) {
            c &= 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            c &= 0x1F;
            extra = 1;
        }
        if (c >= 0x80 && extra == 0) {
            out.push_back(c);
            continue;
        }
        for (; extra > 0 && (*s & 0xC0) == 0x80; --extra)
            c = (c << 6) | (*s++ & 0x3F);
        out.push_back(c < 0x80 ? (c >= 'A' && c <= 'Z' ? c + 32 : c) : QChar::toCaseFolded(c));
    }
}

// Classic wildcard match with one backtracking point per '%'.
bool likeMatch(const std::u32string &pat, const std::u32string &str, char32_t esc)
{
    size_t p = 0, s = 0;
    size_t starP = std::u32string::npos, starS = 0;
    while (s < str.size()) {
        if (p < pat.size()) {
            char32_t pc = pat[p];
            if (esc && pc == esc && p + 1 < pat.size()) {
                if (pat[p + 1] == str[s]) {
                    p += 2;
                    ++s;
                    continue;
                }
            } else if (pc == U'%') {
                starP = p++;
                starS = s;
                continue;
            } else if (pc == U'_' || pc == str[s]) {
                ++p;
                ++s;
                continue;
            }
        }
        if (starP == std::u32string::npos)
            return false;
        p = starP + 1;
        s = ++starS;
    }
    while (p < pat.size() && pat[p] == U'%')
        ++p;
    return p == pat.size();
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // "X LIKE Y ESCAPE Z" arrives as like(Y, X, Z)
    const unsigned char *pattern = sqlite3_value_text(argv[0]);
    const unsigned char *text = sqlite3_value_text(argv[1]);
    if (!pattern || !text) {
        sqlite3_result_null(ctx);
        return;
    }
    char32_t esc = 0;
    if (argc == 3) {
        std::u32string e;
        foldUtf8(sqlite3_value_text(argv[2]), e);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        esc = e[0];
    }
    thread_local std::u32string p, s;
    foldUtf8(pattern, p);
    foldUtf8(text, s);
    sqlite3_result_int(ctx, likeMatch(p, s, esc) ? 1 : 0);
}

int localeCollation(void *arg, int l1, const void *s1, int l2, const void *s2)
{
    auto *collator = static_cast<QCollator *>(arg);
    return collator->compare(QString::fromUtf8(static_cast<const char *>(s1), l1),
                             QString::fromUtf8(static_cast<const char *>(s2), l2));
}

void destroyCollator(void *arg) { delete static_cast<QCollator *>(arg); }

// ---- declared types ----------------------------------------------------------

enum class ColKind { Unknown, Int, Double, DateTime, Text, Blob };

ColKind kindOfDecl(const char *decl)
{
    if (!decl)
        return ColKind::Unknown;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.startsWith("DATE") || d.startsWith("TIME"))
        return ColKind::DateTime;
    if (d.contains("INT"))
        return ColKind::Int;
    if (d.contains("DOUB") || d.contains("REAL") || d.contains("FLOA") || d.contains("NUMERIC")
        || d.contains("DECIMAL") || d.contains("CURRENCY"))
        return ColKind::Double;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("MEMO") || d.contains("CLOB"))
        return ColKind::Text;
    if (d.contains("BLOB"))
        return ColKind::Blob;
    return ColKind::Unknown;
}

// "TEXT(50)" -> 50; -1 when no length is declared
int lengthOfDecl(const char *decl)
{
    if (!decl)
        return -1;
    const QByteArray d(decl);
    const int open = d.indexOf('(');
    const int close = d.indexOf(')', open);
    if (open < 0 || close < 0)
        return -1;
    bool ok = false;
    const int n = d.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
    return ok ? n : -1;
}

QMetaType metaTypeOf(ColKind k)
{
    switch (k) {
    case ColKind::Int: return QMetaType(QMetaType::Int);
    case ColKind::Double: return QMetaType(QMetaType::Double);
    case ColKind::DateTime: return QMetaType(QMetaType::QDateTime);
    case ColKind::Text: return QMetaType(QMetaType::QString);
    case ColKind::Blob: return QMetaType(QMetaType::QByteArray);
    case ColKind::Unknown: break;
    }
    return QMetaType();
}

ColKind kindOfStorage(int t)
{
    switch (t) {
    case SQLITE_INTEGER: return ColKind::Int;
    case SQLITE_FLOAT: return ColKind::Double;
    case SQLITE_TEXT: return ColKind::Text;
    case SQLITE_BLOB: return ColKind::Blob;
    default: return ColKind::Unknown;
    }
}

} // namespace

QString tvxDateTimeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime tvxDateTimeFromText(const QString &s)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return {};
    QDateTime d = QDateTime::fromString(t.left(19), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!d.isValid())
        d = QDateTime::fromString(t.left(16), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!d.isValid())
        d = QDateTime::fromString(t.left(19), Qt::ISODate);
    if (!d.isValid()) {
        const QDate day = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
        if (day.isValid())
            d = QDateTime(day, QTime(0, 0));
    }
    return d;
}

// ---- result ------------------------------------------------------------------

class SqlCipherResult : public QSqlResult {
public:
    explicit SqlCipherResult(const SqlCipherDriver *drv) : QSqlResult(drv), m_drv(drv)
    {
        drv->m_results.insert(this);
    }
    ~SqlCipherResult() override
    {
        finalize();
        if (m_drv)
            m_drv->m_results.remove(this);
    }

    void finalize()
    {
        if (m_stmt) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
    }
    // Stops reading: the rows read so far stay, the statement lets go of its locks.
    void release()
    {
        if (m_stmt)
            sqlite3_reset(m_stmt);
        m_done = true;
    }
    void driverGone()
    {
        finalize();
        m_rows.clear();
        m_done = true;
        setActive(false);
        m_drv = nullptr;
    }

protected:
    QVariant handle() const override { return QVariant::fromValue<void *>(m_stmt); }

    bool reset(const QString &query) override
    {
        // Unprepared text may hold several statements (the SQL console): all but
        // the last run to completion, the last one is the result.
        if (!prepareText(query, true))
            return false;
        return execPrepared({});
    }

    bool prepare(const QString &query) override { return prepareText(query, false); }

    bool exec() override
    {
        if (!m_stmt) {
            setLastError(QSqlError(QStringLiteral("Die Anweisung ist nicht vorbereitet"), {},
                                   QSqlError::StatementError));
            return false;
        }
        return execPrepared(boundValues());
    }

    bool fetch(int i) override
    {
        if (i < 0 || !isActive() || !isSelect())
            return false;
        if (i < m_base) // forward-only: rows before the window are gone
            return false;
        while (i >= m_base + m_rows.size() && !m_done) {
            if (!stepRow())
                return false;
        }
        if (i >= m_base + m_rows.size()) {
            setAt(QSql::AfterLastRow);
            return false;
        }
        setAt(i);
        return true;
    }
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override
    {
        while (!m_done) {
            if (!stepRow())
                return false;
        }
        if (m_rows.isEmpty()) {
            setAt(QSql::AfterLastRow);
            return false;
        }
        return fetch(m_base + m_rows.size() - 1);
    }

    QVariant data(int field) override
    {
        const int row = at() - m_base;
        if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_rows[row].size())
            return {};
        return m_rows[row][field];
    }
    bool isNull(int field) override { return data(field).isNull(); }
    int size() override { return -1; }
    int numRowsAffected() override { return m_affected; }
    QSqlRecord record() const override { return isSelect() ? m_record : QSqlRecord(); }
    QVariant lastInsertId() const override
    {
        return m_drv && m_drv->m_db ? QVariant(qlonglong(sqlite3_last_insert_rowid(m_drv->m_db)))
                                    : QVariant();
    }
    void detachFromResultSet() override { release(); }

private:
    sqlite3 *db() const { return m_drv ? m_drv->m_db : nullptr; }

    void statementError(const QString &what, int rc)
    {
        sqlite3 *h = db();
        const QString msg = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
        setLastError(QSqlError(what, msg, QSqlError::StatementError, QString::number(rc & 0xFF)));
    }

    void clearRows()
    {
        m_rows.clear();
        m_base = 0;
        m_done = false;
        m_affected = -1;
    }

    bool prepareText(const QString &query, bool runLeading)
    {
        finalize();
        clearRows();
        setSelect(false);
        setActive(false);
        sqlite3 *h = db();
        if (!h) {
            setLastError(QSqlError(QStringLiteral("Die Datenbank ist nicht geöffnet"), {},
                                   QSqlError::ConnectionError));
            return false;
        }
        const QByteArray utf8 = query.toUtf8();
        const char *tail = utf8.constData();
        const char *end = tail + utf8.size();
        while (true) {
            sqlite3_stmt *st = nullptr;
            const char *next = nullptr;
            const int rc = sqlite3_prepare_v2(h, tail, int(end - tail), &st, &next);
            if (rc != SQLITE_OK) {
                statementError(QStringLiteral("Die Anweisung kann nicht vorbereitet werden"), rc);
                return false;
            }
            const bool more = next && QByteArray(next, int(end - next)).trimmed().size() > 0
                              && QByteArray(next, int(end - next)).trimmed() != ";";
            if (!st) { // only blanks or a comment
                if (!more)
                    break;
                tail = next;
                continue;
            }
            if (more && !runLeading) {
                sqlite3_finalize(st);
                setLastError(QSqlError(QStringLiteral("Nur eine Anweisung je Abfrage erlaubt"), {},
                                       QSqlError::StatementError));
                return false;
            }
            if (more) {
                int s;
                while ((s = sqlite3_step(st)) == SQLITE_ROW) {
                }
                sqlite3_finalize(st);
                if (s != SQLITE_DONE) {
                    statementError(QStringLiteral("Die Anweisung ist gescheitert"), s);
                    return false;
                }
                tail = next;
                continue;
            }
            m_stmt = st;
            break;
        }
        buildRecord();
        return true;
    }

    void buildRecord()
    {
        m_record.clear();
        m_kinds.clear();
        m_lengths.clear();
        if (!m_stmt)
            return;
        const int n = sqlite3_column_count(m_stmt);
        for (int i = 0; i < n; ++i) {
            const char *decl = sqlite3_column_decltype(m_stmt, i);
            const ColKind k = kindOfDecl(decl);
            m_kinds.append(k);
            QSqlField f(QString::fromUtf8(sqlite3_column_name(m_stmt, i)), metaTypeOf(k));
            const char *table = sqlite3_column_table_name(m_stmt, i);
            if (table)
                f.setTableName(QString::fromUtf8(table));
            f.setLength(lengthOfDecl(decl));
            m_record.append(f);
        }
    }

    bool bindAll(const QVariantList &values)
    {
        const int want = sqlite3_bind_parameter_count(m_stmt);
        if (values.size() != want) {
            setLastError(QSqlError(QStringLiteral("Anzahl der Parameter stimmt nicht (%1 statt %2)")
                                       .arg(values.size()).arg(want),
                                   {}, QSqlError::StatementError));
            return false;
        }
        for (int i = 0; i < values.size(); ++i) {
            const QVariant &v = values[i];
            const int idx = i + 1;
            int rc = SQLITE_OK;
            if (v.isNull()) {
                rc = sqlite3_bind_null(m_stmt, idx);
            } else {
                switch (v.metaType().id()) {
                case QMetaType::Bool:
                    rc = sqlite3_bind_int(m_stmt, idx, v.toBool() ? 1 : 0);
                    break;
                case QMetaType::Int:
                case QMetaType::UInt:
                case QMetaType::Short:
                case QMetaType::UShort:
                case QMetaType::Char:
                case QMetaType::SChar:
                case QMetaType::UChar:
                case QMetaType::Long:
                case QMetaType::ULong:
                case QMetaType::LongLong:
                case QMetaType::ULongLong:
                    rc = sqlite3_bind_int64(m_stmt, idx, v.toLongLong());
                    break;
                case QMetaType::Double:
                case QMetaType::Float:
                    rc = sqlite3_bind_double(m_stmt, idx, v.toDouble());
                    break;
                case QMetaType::QDateTime: {
                    const QDateTime t = v.toDateTime();
                    rc = t.isValid() ? bindText(idx, tvxDateTimeText(t)) : sqlite3_bind_null(m_stmt, idx);
                    break;
                }
                case QMetaType::QDate: {
                    const QDate d = v.toDate();
                    rc = d.isValid() ? bindText(idx, tvxDateTimeText(QDateTime(d, QTime(0, 0))))
                                     : sqlite3_bind_null(m_stmt, idx);
                    break;
                }
                case QMetaType::QByteArray: {
                    const QByteArray b = v.toByteArray();
                    rc = sqlite3_bind_blob(m_stmt, idx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                    break;
                }
                default:
                    rc = bindText(idx, v.toString());
                    break;
                }
            }
            if (rc != SQLITE_OK) {
                statementError(QStringLiteral("Parameter kann nicht gebunden werden"), rc);
                return false;
            }
        }
        return true;
    }

    int bindText(int idx, const QString &s)
    {
        const QByteArray u = s.toUtf8();
        return sqlite3_bind_text(m_stmt, idx, u.constData(), int(u.size()), SQLITE_TRANSIENT);
    }

    bool execPrepared(const QVariantList &values)
    {
        clearRows();
        setAt(QSql::BeforeFirstRow);
        setActive(false);
        if (!m_stmt) { // empty statement text
            setSelect(false);
            m_affected = 0;
            m_done = true;
            setActive(true);
            return true;
        }
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        if (!bindAll(values))
            return false;
        const int cols = sqlite3_column_count(m_stmt);
        setSelect(cols > 0);
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            cacheRow();
        } else if (rc == SQLITE_DONE) {
            m_done = true;
            m_affected = cols > 0 ? 0 : sqlite3_changes(db());
            sqlite3_reset(m_stmt);
        } else {
            statementError(QStringLiteral("Die Anweisung ist gescheitert"), rc);
            sqlite3_reset(m_stmt);
            setSelect(false);
            return false;
        }
        if (cols == 0)
            m_affected = sqlite3_changes(db());
        setActive(true);
        return true;
    }

    bool stepRow()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            cacheRow();
            return true;
        }
        m_done = true;
        sqlite3_reset(m_stmt);
        if (rc == SQLITE_DONE)
            return true;
        statementError(QStringLiteral("Lesen der Ergebniszeile gescheitert"), rc);
        return false;
    }

    void cacheRow()
    {
        if (isForwardOnly() && !m_rows.isEmpty()) {
            m_base += m_rows.size();
            m_rows.clear();
        }
        const int n = m_kinds.size();
        QVector<QVariant> row(n);
        for (int i = 0; i < n; ++i)
            row[i] = columnValue(i);
        m_rows.append(std::move(row));
    }

    QVariant columnValue(int i)
    {
        const int storage = sqlite3_column_type(m_stmt, i);
        ColKind k = m_kinds[i];
        if (k == ColKind::Unknown) {
            if (storage == SQLITE_NULL)
                return QVariant();
            k = kindOfStorage(storage);
            if (m_record.field(i).metaType().id() == QMetaType::UnknownType) {
                QSqlField f = m_record.field(i);
                f.setMetaType(metaTypeOf(k == ColKind::Int ? ColKind::Int : k));
                m_record.replace(i, f);
            }
        }
        if (storage == SQLITE_NULL)
            return QVariant(metaTypeOf(k));
        switch (k) {
        case ColKind::Int: {
            const qint64 v = sqlite3_column_int64(m_stmt, i);
            if (storage == SQLITE_FLOAT)
                return QVariant(int(sqlite3_column_double(m_stmt, i)));
            if (v >= INT_MIN && v <= INT_MAX)
                return QVariant(int(v));
            return QVariant(qlonglong(v));
        }
        case ColKind::Double:
            return QVariant(sqlite3_column_double(m_stmt, i));
        case ColKind::DateTime: {
            if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) {
                // a day count with fraction, as older tools write it
                const double days = sqlite3_column_double(m_stmt, i);
                return QVariant(QDateTime(kZeroDate, QTime(0, 0)).addMSecs(qint64(days * 86400000.0 + 0.5)));
            }
            const QString s = fromUtf8(sqlite3_column_text(m_stmt, i), sqlite3_column_bytes(m_stmt, i));
            const QDateTime t = tvxDateTimeFromText(s);
            return t.isValid() ? QVariant(t) : QVariant(QMetaType(QMetaType::QDateTime));
        }
        case ColKind::Blob:
            return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(m_stmt, i)),
                                       sqlite3_column_bytes(m_stmt, i)));
        case ColKind::Text:
        case ColKind::Unknown:
            break;
        }
        return QVariant(fromUtf8(sqlite3_column_text(m_stmt, i), sqlite3_column_bytes(m_stmt, i)));
    }

    const SqlCipherDriver *m_drv;
    sqlite3_stmt *m_stmt = nullptr;
    QList<QVector<QVariant>> m_rows;
    int m_base = 0;
    bool m_done = false;
    int m_affected = -1;
    QSqlRecord m_record;
    QVector<ColKind> m_kinds;
    QVector<int> m_lengths;
};

// ---- driver ------------------------------------------------------------------

SqlCipherDriver::SqlCipherDriver(QObject *parent) : QSqlDriver(parent) {}

SqlCipherDriver::~SqlCipherDriver() { close(); }

QSqlDatabase SqlCipherDriver::addDatabase(const QString &connectionName)
{
    return QSqlDatabase::addDatabase(new SqlCipherDriver, connectionName);
}

bool SqlCipherDriver::hasFeature(DriverFeature f) const
{
    switch (f) {
    case Transactions:
    case PreparedQueries:
    case PositionalPlaceholders:
    case Unicode:
    case BLOB:
    case LastInsertId:
    case SimpleLocking:
    case FinishQuery:
    case LowPrecisionNumbers:
        return true;
    default:
        return false;
    }
}

void SqlCipherDriver::fail(const QString &what, int code, const QString &sqliteText, QSqlError::ErrorType type)
{
    setLastError(QSqlError(what, sqliteText, type, code ? QString::number(code) : QString()));
}

bool SqlCipherDriver::open(const QString &dbName, const QString &, const QString &password,
                           const QString &, int, const QString &options)
{
    if (isOpen())
        close();
    const bool create = options.contains(QLatin1String("TVX_CREATE"));
    const QFileInfo fi(dbName);
    const QString where = QDir::toNativeSeparators(fi.absoluteFilePath());
    auto refuse = [&](const QString &why, int code = 0, const QString &sqliteText = {}) {
        fail(QStringLiteral("Die Datenbank %1 kann nicht geöffnet werden: %2").arg(where, why), code,
             sqliteText, QSqlError::ConnectionError);
        setOpenError(true);
        return false;
    };

    if (dbName.isEmpty())
        return refuse(QStringLiteral("kein Dateiname angegeben"));
    if (!create) {
        if (!fi.exists())
            return refuse(QStringLiteral("die Datei ist nicht vorhanden"), SQLITE_CANTOPEN,
                          QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));
        if (!fi.isFile())
            return refuse(QStringLiteral("das ist keine Datei"), SQLITE_CANTOPEN,
                          QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)));
        if (fi.size() == 0)
            return refuse(QStringLiteral("die Datei ist leer, also keine Datenbank"), SQLITE_NOTADB,
                          QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB)));
        const QByteArray path = QFile::encodeName(fi.absoluteFilePath());
        const QByteArray dir = QFile::encodeName(fi.absolutePath());
        if (::access(path.constData(), R_OK | W_OK) != 0)
            return refuse(QStringLiteral("die Datei ist schreibgeschützt oder nicht lesbar"),
                          SQLITE_READONLY, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
        // the rollback journal is created beside the file
        if (::access(dir.constData(), W_OK | X_OK) != 0)
            return refuse(QStringLiteral("der Ordner %1 ist schreibgeschützt")
                              .arg(QDir::toNativeSeparators(fi.absolutePath())),
                          SQLITE_READONLY, QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
    }

    sqlite3 *h = nullptr;
    // a connection is used by one thread only (QtSql's rule), so SQLite's own locking is not needed
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(QFile::encodeName(fi.absoluteFilePath()).constData(), &h, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = h ? QString::fromUtf8(sqlite3_errmsg(h)) : QString::fromUtf8(sqlite3_errstr(rc));
        if (h)
            sqlite3_close(h);
        return refuse(msg, rc & 0xFF, msg);
    }
    sqlite3_extended_result_codes(h, 0);
    if (sqlite3_db_readonly(h, "main") == 1) {
        sqlite3_close(h);
        return refuse(QStringLiteral("die Datei kann nur gelesen werden"), SQLITE_READONLY,
                      QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
    }
    if (!password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        rc = sqlite3_key(h, key.constData(), int(key.size()));
        if (rc != SQLITE_OK) {
            const QString msg = QString::fromUtf8(sqlite3_errmsg(h));
            sqlite3_close(h);
            return refuse(msg, rc, msg);
        }
    }
    // sqlite3_key accepts any key; only a read shows whether it fits. Reading
    // never writes, so a refused file stays as it was.
    sqlite3_stmt *probe = nullptr;
    rc = sqlite3_prepare_v2(h, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(probe);
    if (rc != SQLITE_ROW) {
        const int code = rc & 0xFF;
        const QString msg = QString::fromUtf8(sqlite3_errmsg(h));
        sqlite3_finalize(probe);
        sqlite3_close(h);
        const QString why = code == SQLITE_NOTADB
                                ? QStringLiteral("falsches Kennwort, oder die Datei ist keine Datenbank")
                                : msg;
        return refuse(why, code, msg);
    }
    sqlite3_finalize(probe);

    sqlite3_busy_timeout(h, 5000);
    // Per connection only, nothing is written to the file: sorting large rows
    // in memory and a bigger page cache make the big master-data lists open
    // several times faster.
    sqlite3_exec(h, "PRAGMA temp_store = MEMORY; PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    sqlite3_create_function(h, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction,
                            nullptr, nullptr);
    sqlite3_create_function(h, "like", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction,
                            nullptr, nullptr);
    auto *collator = new QCollator(QLocale());
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    sqlite3_create_collation_v2(h, "LOCALE", SQLITE_UTF8, collator, localeCollation, destroyCollator);

    m_db = h;
    setOpen(true);
    setOpenError(false);
    return true;
}

void SqlCipherDriver::close()
{
    for (SqlCipherResult *r : std::as_const(m_results))
        r->driverGone();
    m_results.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    if (isOpen()) {
        setOpen(false);
        setOpenError(false);
    }
}

QSqlResult *SqlCipherDriver::createResult() const { return new SqlCipherResult(this); }

bool SqlCipherDriver::execSimple(const char *sql, const QString &what)
{
    if (!m_db) {
        fail(what, 0, QStringLiteral("Die Datenbank ist nicht geöffnet"), QSqlError::TransactionError);
        return false;
    }
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_free(err);
        fail(what, rc & 0xFF, msg, QSqlError::TransactionError);
        return false;
    }
    return true;
}

bool SqlCipherDriver::beginTransaction()
{
    return execSimple("BEGIN IMMEDIATE", QStringLiteral("Transaktion kann nicht begonnen werden"));
}

bool SqlCipherDriver::commitTransaction()
{
    return execSimple("COMMIT", QStringLiteral("Transaktion kann nicht abgeschlossen werden"));
}

bool SqlCipherDriver::rollbackTransaction()
{
    // Statements still reading would keep SQLite from undoing; they are done.
    for (SqlCipherResult *r : std::as_const(m_results))
        r->release();
    return execSimple("ROLLBACK", QStringLiteral("Transaktion kann nicht zurückgesetzt werden"));
}

bool SqlCipherDriver::inTransaction() const { return m_db && sqlite3_get_autocommit(m_db) == 0; }

QStringList SqlCipherDriver::tables(QSql::TableType type) const
{
    QStringList out;
    if (!m_db)
        return out;
    QStringList kinds;
    if (type & QSql::Tables)
        kinds << QStringLiteral("'table'");
    if (type & QSql::Views)
        kinds << QStringLiteral("'view'");
    if (kinds.isEmpty())
        return out;
    const QByteArray sql = QStringLiteral("SELECT name FROM sqlite_master WHERE type IN (%1) "
                                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name")
                               .arg(kinds.join(QLatin1Char(',')))
                               .toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    return out;
}

QSqlRecord SqlCipherDriver::record(const QString &tableName) const
{
    QSqlRecord rec;
    if (!m_db)
        return rec;
    const QByteArray sql =
        QStringLiteral("PRAGMA table_info(%1)").arg(escapeIdentifier(tableName, TableName)).toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const char *decl = reinterpret_cast<const char *>(sqlite3_column_text(st, 2));
            QSqlField f(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1))),
                        metaTypeOf(kindOfDecl(decl)), tableName);
            f.setLength(lengthOfDecl(decl));
            f.setRequired(sqlite3_column_int(st, 3) != 0);
            rec.append(f);
        }
    }
    sqlite3_finalize(st);
    return rec;
}

QSqlIndex SqlCipherDriver::primaryIndex(const QString &tableName) const
{
    QSqlIndex idx(tableName);
    if (!m_db)
        return idx;
    const QByteArray sql =
        QStringLiteral("PRAGMA table_info(%1)").arg(escapeIdentifier(tableName, TableName)).toUtf8();
    sqlite3_stmt *st = nullptr;
    QMap<int, QSqlField> pk;
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int order = sqlite3_column_int(st, 5);
            if (order > 0) {
                const char *decl = reinterpret_cast<const char *>(sqlite3_column_text(st, 2));
                pk.insert(order, QSqlField(QString::fromUtf8(reinterpret_cast<const char *>(
                                               sqlite3_column_text(st, 1))),
                                           metaTypeOf(kindOfDecl(decl)), tableName));
            }
        }
    }
    sqlite3_finalize(st);
    for (const QSqlField &f : std::as_const(pk))
        idx.append(f);
    return idx;
}

QVariant SqlCipherDriver::handle() const { return QVariant::fromValue<void *>(m_db); }

QString SqlCipherDriver::escapeIdentifier(const QString &identifier, IdentifierType) const
{
    QString s = identifier;
    if (s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"')) && s.size() > 1)
        return s;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString SqlCipherDriver::formatValue(const QSqlField &field, bool trimStrings) const
{
    if (field.isNull())
        return QStringLiteral("NULL");
    switch (field.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime t = field.value().toDateTime();
        return t.isValid() ? QLatin1Char('\'') + tvxDateTimeText(t) + QLatin1Char('\'') : QStringLiteral("NULL");
    }
    case QMetaType::QDate: {
        const QDate d = field.value().toDate();
        return d.isValid() ? QLatin1Char('\'') + tvxDateTimeText(QDateTime(d, QTime(0, 0))) + QLatin1Char('\'')
                           : QStringLiteral("NULL");
    }
    case QMetaType::Bool:
        return field.value().toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QSqlDriver::formatValue(field, trimStrings);
    }
}

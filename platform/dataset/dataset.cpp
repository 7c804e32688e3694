#include "platform/dataset/dataset.h"
#include "platform/dataset/displayformat.h"
#include "platform/dataset/fieldbinding.h"
#include "platform/dataset/filterexpr.h"
#include "platform/sql/sqlutil.h"

#include <QCollator>
#include <QLocale>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString kRowidColumn = QStringLiteral("tvx_rowid__");
const QDateTime kZeroDate(QDate(1899, 12, 30), QTime(0, 0));

QString foldName(const QString &s) { return s.trimmed().toCaseFolded(); }

QString quoteIdent(const QString &s)
{
    QString t = s;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

bool isIntType(int id)
{
    return id == QMetaType::Int || id == QMetaType::LongLong || id == QMetaType::Short
        || id == QMetaType::UInt || id == QMetaType::ULongLong || id == QMetaType::UShort;
}

bool isNumericType(int id) { return isIntType(id) || id == QMetaType::Double || id == QMetaType::Float; }

bool isNullValue(const QVariant &v) { return !v.isValid() || v.isNull(); }

// Strict value identity for change detection (type-aware, NULL-aware).
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (isNullValue(a) || isNullValue(b))
        return isNullValue(a) && isNullValue(b);
    if (a.metaType() != b.metaType())
        return false;
    return a == b;
}

// The SQL with ":name" placeholders replaced by "?" (outside literals), and the
// parameter names in order of appearance (case-folded, without colon).
QString positionalSql(const QString &sql, QStringList &names)
{
    QString out;
    out.reserve(sql.size());
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('`')) {
            quote = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            out += c;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < sql.size()
            && (sql[i + 1].isLetter() || sql[i + 1] == QLatin1Char('_'))) {
            int k = i + 1;
            while (k < sql.size() && (sql[k].isLetterOrNumber() || sql[k] == QLatin1Char('_')))
                ++k;
            names << sql.mid(i + 1, k - i - 1).toCaseFolded();
            out += QLatin1Char('?');
            i = k - 1;
            continue;
        }
        out += c;
    }
    return out;
}

// Case-folded SQL with string literals blanked, for keyword checks.
QString skeleton(const QString &sql)
{
    QString out;
    QChar quote;
    for (QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += QLatin1Char(' ');
            continue;
        }
        out += c.isSpace() ? QLatin1Char(' ') : c.toLower();
    }
    return out.simplified();
}

// "select ..." → "select rowid AS tvx_rowid__, ..." when the statement is a
// plain select; empty otherwise. Whether the result really comes from one
// table is checked on the result's columns afterwards.
QString withRowid(const QString &sql)
{
    const QString sk = skeleton(sql);
    if (!sk.startsWith(QLatin1String("select ")) || sk.startsWith(QLatin1String("select distinct"))
        || sk.contains(QLatin1String(" union ")) || sk.contains(QLatin1String(" group by "))
        || sk.contains(QLatin1String(" intersect ")) || sk.contains(QLatin1String(" except ")))
        return {};
    int i = 0;
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    return sql.left(i + 6) + QStringLiteral(" rowid AS ") + kRowidColumn + QStringLiteral(",") + sql.mid(i + 6);
}

QDateTime parseDateText(const QString &s)
{
    const QString t = s.trimmed();
    static const char *const formats[] = {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm", "dd.MM.yyyy", "d.M.yyyy",
                                          "d.M.yy", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"};
    for (const char *f : formats) {
        QDateTime dt = QDateTime::fromString(t, QString::fromLatin1(f));
        if (dt.isValid()) {
            if (QByteArray(f).endsWith("yy") && !QByteArray(f).endsWith("yyyy") && dt.date().year() < 1950)
                dt = dt.addYears(100);
            return dt;
        }
    }
    return {};
}

EDatabaseError dbError(const QSqlQuery &q)
{
    return EDatabaseError(sqlErrorText(q.lastError()), q.lastError().nativeErrorCode());
}

void execOrThrow(QSqlQuery &q, const QString &sql, const QVariantList &binds)
{
    if (!q.prepare(sql))
        throw dbError(q);
    for (const QVariant &v : binds)
        q.addBindValue(v);
    if (!q.exec())
        throw dbError(q);
}

} // namespace

// ---- Field --------------------------------------------------------------------

QString Field::name() const { return m_ds->fieldName(m_index); }
QMetaType::Type Field::type() const { return QMetaType::Type(m_ds->m_record.field(m_index).metaType().id()); }
int Field::size() const { return m_ds->m_record.field(m_index).length(); }
bool Field::isNull() const { return isNullValue(value()); }
QVariant Field::value() const { return m_ds->value(m_index); }
void Field::setValue(const QVariant &v) const { m_ds->setValue(m_index, v); }
void Field::clear() const { m_ds->setValue(m_index, QVariant()); }

QString Field::asString() const { return displayText(value()); }

int Field::asInteger() const
{
    const QVariant v = value();
    if (isNullValue(v))
        return 0;
    const int id = v.metaType().id();
    if (isIntType(id))
        return v.toInt();
    if (id == QMetaType::Double || id == QMetaType::Float)
        return int(std::nearbyint(v.toDouble()));
    if (id == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    const QString s = v.toString();
    return s.trimmed().isEmpty() ? 0 : strToInt(s);
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (isNullValue(v))
        return 0.0;
    const int id = v.metaType().id();
    if (isNumericType(id) || id == QMetaType::Bool)
        return v.toDouble();
    if (id == QMetaType::QDateTime)
        return double(kZeroDate.msecsTo(v.toDateTime())) / 86400000.0;
    const QString s = v.toString();
    return s.trimmed().isEmpty() ? 0.0 : strToFloat(s);
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    if (isNullValue(v))
        return kZeroDate;
    const int id = v.metaType().id();
    if (id == QMetaType::QDateTime || id == QMetaType::QDate)
        return v.toDateTime();
    if (isNumericType(id))
        return kZeroDate.addMSecs(qint64(std::llround(v.toDouble() * 86400000.0)));
    const QString s = v.toString();
    if (s.trimmed().isEmpty())
        return kZeroDate;
    const QDateTime dt = parseDateText(s);
    if (!dt.isValid())
        throw EConvertError::notDate(s);
    return dt;
}

bool Field::asBoolean() const { return asInteger() != 0; }

// ---- sort cache ---------------------------------------------------------------

struct Dataset::SortCache {
    QString locale;
    std::unique_ptr<QCollator> collator;
    QHash<int, std::vector<std::optional<QCollatorSortKey>>> text; // field -> per row
};

// ---- Dataset ------------------------------------------------------------------

Dataset::Dataset(QSqlDatabase db, QObject *parent) : QObject(parent), m_db(db) {}

Dataset::~Dataset()
{
    for (FieldBinding *b : std::as_const(m_bindings))
        b->disconnect(this);
}

void Dataset::setSql(const QString &sql)
{
    m_sql = sql;
    m_table.clear();
}

void Dataset::setTableName(const QString &table)
{
    m_table = table;
    m_sql.clear();
}

void Dataset::setParam(const QString &name, const QVariant &value)
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char(':')))
        n.remove(0, 1);
    m_params.insert(n.toCaseFolded(), value);
}

QVariant Dataset::param(const QString &name) const
{
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char(':')))
        n.remove(0, 1);
    return m_params.value(n.toCaseFolded());
}

void Dataset::requireOpen(const char *what) const
{
    if (m_state == State::Inactive)
        throw TvxError(QStringLiteral("%1: Die Datenmenge ist geschlossen").arg(QLatin1String(what)));
}

void Dataset::requireEditing() const
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw TvxError(QStringLiteral("Die Datenmenge ist nicht im Bearbeitungs- oder Einfügemodus"));
}

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void Dataset::open()
{
    if (isOpen())
        return;
    if (m_sql.trimmed().isEmpty() && m_table.trimmed().isEmpty())
        throw TvxError(QStringLiteral("Die Datenmenge hat weder eine SQL-Anweisung noch eine Tabelle"));
    if (!m_db.isValid() || !m_db.isOpen())
        throw EDatabaseError(QStringLiteral("Die Datenbankverbindung ist nicht geöffnet"));

    const bool ownKeys = !m_keyFields.isEmpty();
    QString plain = m_table.isEmpty() ? m_sql : QStringLiteral("SELECT * FROM ") + quoteIdent(m_table);
    QString tryRowid;
    if (!ownKeys)
        tryRowid = m_table.isEmpty() ? withRowid(m_sql)
                                     : QStringLiteral("SELECT rowid AS ") + kRowidColumn + QStringLiteral(", * FROM ")
                                           + quoteIdent(m_table);

    auto run = [this](const QString &sql, QSqlQuery &q) {
        QStringList names;
        const QString positional = positionalSql(sql, names);
        q.setForwardOnly(true);
        QVariantList binds;
        for (const QString &n : std::as_const(names))
            binds << m_params.value(n);
        execOrThrow(q, positional, binds);
    };

    QSqlQuery q(m_db);
    bool hasRowid = false;
    QString source;
    if (!tryRowid.isEmpty()) {
        try {
            run(tryRowid, q);
            const QSqlRecord rec = q.record();
            source = rec.count() > 0 ? rec.field(0).tableName() : QString();
            bool single = !source.isEmpty() && rec.fieldName(0) == kRowidColumn;
            for (int i = 1; single && i < rec.count(); ++i)
                single = rec.field(i).tableName().compare(source, Qt::CaseInsensitive) == 0;
            hasRowid = single;
        } catch (const EDatabaseError &) {
            hasRowid = false;
        }
        if (!hasRowid) {
            q = QSqlQuery(m_db);
            source.clear();
        }
    }
    if (!hasRowid)
        run(plain, q); // throws EDatabaseError with the driver's text

    QSqlRecord rec = q.record();
    if (hasRowid)
        rec.remove(0);
    const int n = rec.count();
    const int offset = hasRowid ? 1 : 0;
    std::vector<Row> rows;
    while (q.next()) {
        Row r;
        r.values.resize(n + offset);
        for (int i = 0; i < n; ++i)
            r.values[i] = q.value(i + offset);
        if (hasRowid)
            r.values[n] = q.value(0);
        rows.push_back(std::move(r));
    }
    if (q.lastError().isValid())
        throw dbError(q);
    // columns the driver could only type from their values
    for (int i = 0; i < n; ++i) {
        const QSqlField f = q.record().field(i + offset);
        if (rec.field(i).metaType() != f.metaType()) {
            QSqlField g = rec.field(i);
            g.setMetaType(f.metaType());
            rec.replace(i, g);
        }
    }

    if (source.isEmpty() && !m_table.isEmpty())
        source = m_table;
    if (source.isEmpty() && n > 0) {
        source = rec.field(0).tableName();
        for (int i = 1; i < n && !source.isEmpty(); ++i)
            if (rec.field(i).tableName().compare(source, Qt::CaseInsensitive) != 0)
                source.clear();
    }

    emit aboutToReset();
    m_record = rec;
    m_fieldByName.clear();
    for (int i = n - 1; i >= 0; --i) // the first of equal names wins
        m_fieldByName.insert(foldName(rec.fieldName(i)), i);
    m_hasRowid = hasRowid;
    m_sourceTable = source;
    m_rows = std::move(rows);
    m_view.clear();
    m_sortCache.reset();
    ++m_generation;
    m_buffer.clear();
    m_modified = false;
    m_insertRow = -1;
    m_state = State::Browse;

    try {
        std::shared_ptr<FilterNode> f = m_filter;
        if (m_filtered && f)
            resolveFilterFields(*f, [this](const QString &s) { return fieldIndex(s); });
        m_sortKeys = parseSortText(m_sort);
    } catch (...) {
        m_state = State::Inactive;
        m_rows.clear();
        m_record.clear();
        m_fieldByName.clear();
        emit resetDone();
        throw;
    }
    rebuildView(-1);
    m_cur = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
    emit resetDone();
    emit stateChanged(m_state);
    emit currentRowChanged(m_cur);
    if (afterOpen)
        afterOpen(*this);
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::close()
{
    if (!isOpen())
        return;
    if (beforeClose)
        beforeClose(*this);
    emit aboutToReset();
    m_state = State::Inactive;
    m_rows.clear();
    m_view.clear();
    m_cur = -1;
    m_eof = m_bof = true;
    m_buffer.clear();
    m_assigned.clear();
    m_modified = false;
    m_insertRow = -1;
    m_sortCache.reset();
    m_record.clear();
    m_fieldByName.clear();
    m_hasRowid = false;
    m_sourceTable.clear();
    emit resetDone();
    emit stateChanged(m_state);
    emit currentRowChanged(-1);
}

bool Dataset::canModify() const
{
    if (!isOpen() || targetTable().isEmpty())
        return false;
    if (m_keyFields.isEmpty())
        return m_hasRowid;
    for (const QString &k : m_keyFields)
        if (fieldIndex(k) < 0)
            return false;
    return true;
}

QString Dataset::targetTable() const
{
    if (!m_updateTable.isEmpty())
        return m_updateTable;
    if (!m_table.isEmpty())
        return m_table;
    return m_sourceTable;
}

int Dataset::fieldIndex(const QString &name) const { return m_fieldByName.value(foldName(name), -1); }

Field Dataset::field(const QString &name)
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw TvxError(QStringLiteral("Feld '%1' nicht gefunden").arg(name));
    return Field(this, i);
}

int Dataset::fieldSize(const QString &name) const
{
    const int i = fieldIndex(name);
    return i < 0 ? -1 : m_record.field(i).length();
}

const QVector<QVariant> *Dataset::currentValues() const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return &m_buffer;
    if (m_cur < 0 || m_cur >= int(m_view.size()))
        return nullptr;
    return &m_rows[m_view[m_cur]].values;
}

QVariant Dataset::value(int index) const
{
    if (index < 0 || index >= fieldCount())
        throw TvxError(QStringLiteral("Feldindex %1 außerhalb des Bereichs").arg(index));
    const QVector<QVariant> *v = currentValues();
    return v ? v->at(index) : QVariant(m_record.field(index).metaType());
}

QVariant Dataset::value(const QString &name) const { return value(fieldAt(name).index()); }

QVariant Dataset::valueAt(int row, int index) const
{
    if (row < 0 || row >= int(m_view.size()) || index < 0 || index >= fieldCount())
        return {};
    if (row == m_cur && (m_state == State::Edit || m_state == State::Insert))
        return m_buffer.at(index);
    return m_rows[m_view[row]].values.at(index);
}

QVariant Dataset::convertForField(int index, const QVariant &v) const
{
    const QSqlField f = m_record.field(index);
    const int target = f.metaType().id();
    if (isNullValue(v))
        return QVariant(f.metaType());
    const int have = v.metaType().id();
    const bool isText = have == QMetaType::QString || have == QMetaType::QByteArray;
    const QString text = isText ? v.toString() : QString();
    if (isIntType(target)) {
        if (isText) {
            if (text.trimmed().isEmpty())
                return QVariant(f.metaType());
            if (target == QMetaType::LongLong) {
                bool ok = false;
                const qlonglong x = text.trimmed().toLongLong(&ok);
                if (!ok)
                    throw EConvertError::notInteger(text);
                return QVariant(x);
            }
            return QVariant(strToInt(text));
        }
        if (have == QMetaType::Double || have == QMetaType::Float) {
            const double d = std::nearbyint(v.toDouble());
            if (target == QMetaType::Int && (d < INT_MIN || d > INT_MAX))
                throw EConvertError(QStringLiteral("'%1' liegt außerhalb des gültigen Bereichs für Feld '%2'")
                                        .arg(displayText(v), f.name()));
            return target == QMetaType::LongLong ? QVariant(qlonglong(d)) : QVariant(int(d));
        }
        if (isIntType(have) || have == QMetaType::Bool) {
            if (target == QMetaType::LongLong)
                return QVariant(v.toLongLong());
            const qlonglong x = v.toLongLong();
            if (x < INT_MIN || x > INT_MAX)
                return QVariant(x);
            return QVariant(int(x));
        }
        throw EConvertError::notInteger(displayText(v));
    }
    if (target == QMetaType::Double || target == QMetaType::Float) {
        if (isText) {
            if (text.trimmed().isEmpty())
                return QVariant(f.metaType());
            return QVariant(strToFloat(text));
        }
        if (isNumericType(have) || have == QMetaType::Bool)
            return QVariant(v.toDouble());
        throw EConvertError::notFloat(displayText(v));
    }
    if (target == QMetaType::QDateTime) {
        if (have == QMetaType::QDateTime)
            return v;
        if (have == QMetaType::QDate)
            return QVariant(QDateTime(v.toDate(), QTime(0, 0)));
        if (isText) {
            if (text.trimmed().isEmpty())
                return QVariant(f.metaType());
            const QDateTime dt = parseDateText(text);
            if (!dt.isValid())
                throw EConvertError::notDate(text);
            return QVariant(dt);
        }
        if (isNumericType(have))
            return QVariant(kZeroDate.addMSecs(qint64(std::llround(v.toDouble() * 86400000.0))));
        throw EConvertError::notDate(displayText(v));
    }
    if (target == QMetaType::QString) {
        if (have == QMetaType::QString)
            return v;
        return QVariant(displayText(v));
    }
    return v;
}

void Dataset::setValue(int index, const QVariant &v)
{
    requireOpen("Feld setzen");
    if (index < 0 || index >= fieldCount())
        throw TvxError(QStringLiteral("Feldindex %1 außerhalb des Bereichs").arg(index));
    requireEditing();
    const QVariant c = convertForField(index, v);
    m_assigned[index] = true;
    m_modified = true;
    if (sameValue(m_buffer[index], c))
        return;
    m_buffer[index] = c;
    emit fieldChanged(index);
    emit rowChanged(m_cur);
}

void Dataset::setValue(const QString &name, const QVariant &v) { setValue(field(name).index(), v); }

// ---- navigation ---------------------------------------------------------------

void Dataset::moveTo(int row, bool forceScrollEvent)
{
    if (row == m_cur && !forceScrollEvent)
        return;
    m_cur = row;
    emit currentRowChanged(m_cur);
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::setRow(int row)
{
    requireOpen("Positionieren");
    checkBrowseMode();
    if (m_view.empty())
        return;
    moveTo(std::clamp(row, 0, int(m_view.size()) - 1));
    m_eof = m_bof = false;
}

void Dataset::first()
{
    requireOpen("Erster Datensatz");
    checkBrowseMode();
    moveTo(m_view.empty() ? -1 : 0);
    m_bof = true;
    m_eof = m_view.empty();
}

void Dataset::last()
{
    requireOpen("Letzter Datensatz");
    checkBrowseMode();
    moveTo(int(m_view.size()) - 1);
    m_eof = true;
    m_bof = m_view.empty();
}

void Dataset::next() { moveBy(1); }
void Dataset::prior() { moveBy(-1); }

void Dataset::moveBy(int distance)
{
    requireOpen("Blättern");
    checkBrowseMode();
    if (m_view.empty()) {
        m_eof = m_bof = true;
        return;
    }
    const int target = m_cur + distance;
    const int last = int(m_view.size()) - 1;
    m_eof = m_bof = false;
    if (target > last) {
        moveTo(last);
        m_eof = true;
    } else if (target < 0) {
        moveTo(0);
        m_bof = true;
    } else {
        moveTo(target);
    }
}

// ---- editing ------------------------------------------------------------------

void Dataset::attachBinding(FieldBinding *b)
{
    if (!m_bindings.contains(b))
        m_bindings.append(b);
}

void Dataset::detachBinding(FieldBinding *b) { m_bindings.removeAll(b); }

void Dataset::updateRecord()
{
    const QList<FieldBinding *> bindings = m_bindings;
    for (FieldBinding *b : bindings)
        if (b->pending())
            b->store();
}

void Dataset::checkBrowseMode()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    updateRecord();
    if (m_modified)
        post();
    else
        cancel();
}

void Dataset::edit()
{
    requireOpen("Bearbeiten");
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    if (m_view.empty()) {
        append();
        return;
    }
    if (!canModify())
        throw TvxError(QStringLiteral("Die Datenmenge kann nicht bearbeitet werden: keine Schlüsselfelder oder Tabelle bekannt"));
    if (beforeEdit)
        beforeEdit(*this);
    m_buffer = m_rows[m_view[m_cur]].values.mid(0, fieldCount());
    m_assigned.assign(fieldCount(), false);
    m_modified = false;
    setState(State::Edit);
}

void Dataset::append()
{
    requireOpen("Anfügen");
    if (!canModify())
        throw TvxError(QStringLiteral("Die Datenmenge kann nicht bearbeitet werden: keine Schlüsselfelder oder Tabelle bekannt"));
    checkBrowseMode();
    m_rowBeforeInsert = m_cur >= 0 && m_cur < int(m_view.size()) ? m_view[m_cur] : -1;
    Row r;
    r.values.resize(fieldCount() + (m_hasRowid ? 1 : 0));
    for (int i = 0; i < fieldCount(); ++i)
        r.values[i] = QVariant(m_record.field(i).metaType());
    m_rows.push_back(std::move(r));
    m_insertRow = int(m_rows.size()) - 1;
    const int pos = int(m_view.size());
    emit rowAboutToBeInserted(pos);
    m_view.push_back(m_insertRow);
    m_buffer = m_rows.back().values.mid(0, fieldCount());
    m_assigned.assign(fieldCount(), false);
    m_modified = false;
    m_cur = pos;
    m_eof = m_bof = false;
    m_state = State::Insert;
    emit rowInserted(pos);
    emit stateChanged(m_state);
    emit currentRowChanged(m_cur);
    if (onNewRecord) {
        try {
            onNewRecord(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
    m_modified = false;
    if (afterScroll)
        afterScroll(*this);
}

void Dataset::checkLengths() const
{
    for (int i = 0; i < fieldCount(); ++i) {
        const QSqlField f = m_record.field(i);
        if (f.length() <= 0 || f.metaType().id() != QMetaType::QString)
            continue;
        const QVariant &v = m_buffer[i];
        if (isNullValue(v) || !m_assigned[i])
            continue;
        const int len = v.toString().size();
        if (len > f.length())
            throw EDatabaseError(QStringLiteral("Der Wert für das Feld '%1' ist zu lang: %2 Zeichen, erlaubt sind höchstens %3.")
                                     .arg(f.name()).arg(len).arg(f.length()));
    }
}

QString Dataset::keyWhere(const QVector<QVariant> &original, QVariantList &binds) const
{
    if (m_keyFields.isEmpty()) {
        binds << original.at(fieldCount());
        return QStringLiteral("rowid = ?");
    }
    QStringList parts;
    for (const QString &k : m_keyFields) {
        const int i = fieldIndex(k);
        parts << quoteIdent(m_record.fieldName(i)) + QStringLiteral(" IS ?");
        binds << original.at(i);
    }
    return parts.join(QStringLiteral(" AND "));
}

// Columns of the result that belong to the written table.
static bool writable(const QSqlField &f, const QString &table)
{
    // computed columns carry no table and are never written
    return !f.tableName().isEmpty() && f.tableName().compare(table, Qt::CaseInsensitive) == 0;
}

void Dataset::writeInsert()
{
    const QString table = targetTable();
    QStringList cols, marks;
    QVariantList binds;
    for (int i = 0; i < fieldCount(); ++i) {
        const QSqlField f = m_record.field(i);
        if (!m_assigned[i] || !writable(f, table))
            continue;
        cols << quoteIdent(f.name());
        marks << QStringLiteral("?");
        binds << m_buffer[i];
    }
    const QString sql = cols.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(table))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(quoteIdent(table), cols.join(QStringLiteral(", ")),
                                                               marks.join(QStringLiteral(", ")));
    QSqlQuery q(m_db);
    execOrThrow(q, sql, binds);
    Row &row = m_rows[m_insertRow];
    for (int i = 0; i < fieldCount(); ++i)
        row.values[i] = m_buffer[i];
    if (m_hasRowid)
        row.values[fieldCount()] = q.lastInsertId();
}

void Dataset::writeUpdate()
{
    const QString table = targetTable();
    const int rowIndex = m_view[m_cur];
    const QVector<QVariant> &orig = m_rows[rowIndex].values;
    QStringList sets;
    QVariantList binds;
    for (int i = 0; i < fieldCount(); ++i) {
        const QSqlField f = m_record.field(i);
        if (sameValue(orig[i], m_buffer[i]) || !writable(f, table))
            continue;
        sets << quoteIdent(f.name()) + QStringLiteral(" = ?");
        binds << m_buffer[i];
    }
    if (sets.isEmpty())
        return;
    QVariantList keyBinds;
    const QString where = keyWhere(orig, keyBinds);
    QSqlQuery q(m_db);
    if (!m_keyFields.isEmpty()) {
        // caller-named keys need not be unique; never write more than the one row
        execOrThrow(q, QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(quoteIdent(table), where), keyBinds);
        const int found = q.next() ? q.value(0).toInt() : 0;
        if (found != 1)
            throw EDatabaseError(found == 0
                ? QStringLiteral("Der zu ändernde Datensatz wurde nicht gefunden; er wurde inzwischen geändert oder gelöscht.")
                : QStringLiteral("Der zu ändernde Datensatz ist über die Schlüsselfelder nicht eindeutig (%1 Treffer).").arg(found));
        q = QSqlQuery(m_db);
    }
    execOrThrow(q, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(quoteIdent(table), sets.join(QStringLiteral(", ")), where),
                binds + keyBinds);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("Der zu ändernde Datensatz wurde nicht gefunden; er wurde inzwischen geändert oder gelöscht."));
    Row &row = m_rows[rowIndex];
    for (int i = 0; i < fieldCount(); ++i)
        row.values[i] = m_buffer[i];
}

void Dataset::writeDelete(int rowIndex)
{
    const QString table = targetTable();
    QVariantList binds;
    const QString where = keyWhere(m_rows[rowIndex].values, binds);
    QSqlQuery q(m_db);
    if (!m_keyFields.isEmpty()) {
        execOrThrow(q, QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(quoteIdent(table), where), binds);
        const int found = q.next() ? q.value(0).toInt() : 0;
        if (found != 1)
            throw EDatabaseError(found == 0
                ? QStringLiteral("Der zu löschende Datensatz wurde nicht gefunden; er wurde inzwischen geändert oder gelöscht.")
                : QStringLiteral("Der zu löschende Datensatz ist über die Schlüsselfelder nicht eindeutig (%1 Treffer).").arg(found));
        q = QSqlQuery(m_db);
    }
    execOrThrow(q, QStringLiteral("DELETE FROM %1 WHERE %2").arg(quoteIdent(table), where), binds);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("Der zu löschende Datensatz wurde nicht gefunden; er wurde inzwischen geändert oder gelöscht."));
}

// After an insert the row is read back so that defaults of the table show.
void Dataset::rereadRow(int rowIndex)
{
    const QString table = targetTable();
    Row &row = m_rows[rowIndex];
    QVariantList binds;
    const QString where = keyWhere(row.values, binds);
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    execOrThrow(q, QStringLiteral("SELECT * FROM %1 WHERE %2").arg(quoteIdent(table), where), binds);
    if (!q.next())
        return;
    const QSqlRecord rec = q.record();
    for (int c = 0; c < rec.count(); ++c) {
        const int i = fieldIndex(rec.fieldName(c));
        if (i < 0 || !writable(m_record.field(i), table) || m_assigned[i])
            continue;
        try {
            row.values[i] = convertForField(i, q.value(c));
        } catch (const TvxError &) {
            row.values[i] = q.value(c);
        }
    }
}

void Dataset::post()
{
    requireOpen("Speichern");
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    updateRecord();
    if (beforePost)
        beforePost(*this);
    if (m_state != State::Edit && m_state != State::Insert)
        return; // the handler settled the row itself
    checkLengths();
    const bool inserting = m_state == State::Insert;
    const int rowIndex = m_view[m_cur];
    if (inserting) {
        writeInsert();
        try {
            rereadRow(rowIndex);
        } catch (const TvxError &) {
            // the row is stored; showing the typed values is good enough
        }
    } else {
        writeUpdate();
    }
    invalidateSortCache(rowIndex);
    m_insertRow = -1;
    m_buffer.clear();
    m_assigned.clear();
    m_modified = false;
    setState(State::Browse);
    emit rowChanged(m_cur);
    emit fieldChanged(-1);
    if (afterPost)
        afterPost(*this);
}

void Dataset::cancel()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    if (m_state == State::Insert) {
        const int pos = m_cur;
        emit rowAboutToBeRemoved(pos);
        m_rows[m_insertRow].dead = true;
        m_view.erase(m_view.begin() + pos);
        m_insertRow = -1;
        m_buffer.clear();
        m_assigned.clear();
        m_modified = false;
        m_state = State::Browse;
        emit rowRemoved(pos);
        int back = -1;
        for (int i = 0; i < int(m_view.size()); ++i)
            if (m_view[i] == m_rowBeforeInsert)
                back = i;
        if (back < 0)
            back = m_view.empty() ? -1 : std::min(pos, int(m_view.size()) - 1);
        m_cur = -2; // force the scroll notification
        emit stateChanged(m_state);
        moveTo(back);
        m_eof = m_bof = m_view.empty();
        return;
    }
    m_buffer.clear();
    m_assigned.clear();
    m_modified = false;
    setState(State::Browse);
    emit rowChanged(m_cur);
    emit fieldChanged(-1);
}

void Dataset::deleteRow()
{
    requireOpen("Löschen");
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_view.empty())
        throw TvxError(QStringLiteral("Die Datenmenge ist leer; es gibt keinen Datensatz zum Löschen"));
    if (!canModify())
        throw TvxError(QStringLiteral("Die Datenmenge kann nicht bearbeitet werden: keine Schlüsselfelder oder Tabelle bekannt"));
    if (m_state == State::Edit)
        cancel();
    if (beforeDelete)
        beforeDelete(*this);
    const int pos = m_cur;
    const int rowIndex = m_view[pos];
    writeDelete(rowIndex);
    emit rowAboutToBeRemoved(pos);
    m_rows[rowIndex].dead = true;
    m_view.erase(m_view.begin() + pos);
    emit rowRemoved(pos);
    m_cur = -2;
    m_eof = m_bof = m_view.empty();
    if (afterDelete)
        afterDelete(*this);
    moveTo(m_view.empty() ? -1 : std::min(pos, int(m_view.size()) - 1));
}

// ---- sort and filter ----------------------------------------------------------

std::vector<Dataset::SortKey> Dataset::parseSortText(const QString &text) const
{
    std::vector<SortKey> keys;
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &raw : parts) {
        QString p = raw.trimmed();
        if (p.isEmpty())
            continue;
        bool desc = false;
        const QStringList words = p.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString name = p;
        if (words.size() >= 2) {
            const QString dir = words.last();
            if (dir.compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0) {
                desc = true;
                name = p.left(p.lastIndexOf(dir)).trimmed();
            } else if (dir.compare(QLatin1String("ASC"), Qt::CaseInsensitive) == 0) {
                name = p.left(p.lastIndexOf(dir)).trimmed();
            }
        }
        if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
            name = name.mid(1, name.size() - 2).trimmed();
        const int f = fieldIndex(name);
        if (f < 0)
            throw TvxError(QStringLiteral("Sortierung \"%1\": Feld '%2' nicht gefunden").arg(text, name));
        keys.push_back({f, desc});
    }
    return keys;
}

void Dataset::setSort(const QString &sortText)
{
    if (!isOpen()) {
        m_sort = sortText;
        return;
    }
    std::vector<SortKey> keys = parseSortText(sortText); // throws, nothing changed
    checkBrowseMode();
    applyFilterAndSort(m_filter, m_filtered, keys);
    m_sort = sortText;
}

void Dataset::setFilter(const QString &filterText)
{
    std::shared_ptr<FilterNode> tree = parseFilter(filterText); // throws, nothing changed
    if (isOpen() && m_filtered) {
        if (tree)
            resolveFilterFields(*tree, [this](const QString &s) { return fieldIndex(s); });
        checkBrowseMode();
        applyFilterAndSort(tree, true, m_sortKeys);
    } else if (isOpen() && tree) {
        resolveFilterFields(*tree, [this](const QString &s) { return fieldIndex(s); });
    }
    m_filter = tree;
    m_filterText = filterText;
}

void Dataset::setFiltered(bool on)
{
    if (isOpen() && on != m_filtered) {
        if (on && m_filter)
            resolveFilterFields(*m_filter, [this](const QString &s) { return fieldIndex(s); });
        checkBrowseMode();
        applyFilterAndSort(m_filter, on, m_sortKeys);
    }
    m_filtered = on;
}

void Dataset::applyFilterAndSort(const std::shared_ptr<FilterNode> &filter, bool filtered,
                                 const std::vector<SortKey> &sort)
{
    const int keep = m_cur >= 0 && m_cur < int(m_view.size()) ? m_view[m_cur] : -1;
    emit aboutToReset();
    m_filter = filter;
    m_filtered = filtered;
    m_sortKeys = sort;
    rebuildView(keep);
    emit resetDone();
    const int now = m_cur >= 0 ? m_view[m_cur] : -1;
    emit currentRowChanged(m_cur);
    if (now != keep && afterScroll)
        afterScroll(*this);
}

bool Dataset::rowPasses(int rowIndex) const
{
    if (!m_filtered || !m_filter)
        return true;
    return evaluateFilter(*m_filter, m_rows[rowIndex].values);
}

void Dataset::rebuildView(int keepRow)
{
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (int i = 0; i < int(m_rows.size()); ++i)
        if (!m_rows[i].dead && rowPasses(i))
            m_view.push_back(i);
    sortView();
    m_cur = m_view.empty() ? -1 : 0;
    if (keepRow >= 0) {
        const auto it = std::find(m_view.begin(), m_view.end(), keepRow);
        if (it != m_view.end())
            m_cur = int(it - m_view.begin());
    }
    m_eof = m_bof = m_view.empty();
}

void Dataset::invalidateSortCache(int rowIndex)
{
    if (!m_sortCache)
        return;
    for (auto &keys : m_sortCache->text)
        if (rowIndex < int(keys.size()))
            keys[rowIndex].reset();
}

void Dataset::sortView()
{
    if (m_sortKeys.empty() || m_view.size() < 2)
        return;
    const QString loc = QLocale().name();
    if (!m_sortCache || m_sortCache->locale != loc) {
        m_sortCache = std::make_unique<SortCache>();
        m_sortCache->locale = loc;
        m_sortCache->collator = std::make_unique<QCollator>(QLocale());
    }

    // One comparable key per visible row and sort field.
    enum class Kind { Number, Text };
    struct Column {
        Kind kind;
        bool desc;
        std::vector<double> num;      // by position in m_view
        std::vector<char> null;
        const std::vector<std::optional<QCollatorSortKey>> *text = nullptr;
    };
    std::vector<Column> cols;
    const size_t n = m_view.size();
    for (const SortKey &k : m_sortKeys) {
        Column c;
        c.desc = k.desc;
        int type = m_record.field(k.field).metaType().id();
        if (type == QMetaType::UnknownType) {
            for (int r : m_view)
                if (!isNullValue(m_rows[r].values[k.field])) {
                    type = m_rows[r].values[k.field].metaType().id();
                    break;
                }
        }
        c.null.resize(n);
        if (isNumericType(type) || type == QMetaType::QDateTime || type == QMetaType::QDate || type == QMetaType::Bool) {
            c.kind = Kind::Number;
            c.num.resize(n);
            for (size_t p = 0; p < n; ++p) {
                const QVariant &v = m_rows[m_view[p]].values[k.field];
                c.null[p] = isNullValue(v);
                if (c.null[p])
                    continue;
                const int id = v.metaType().id();
                if (id == QMetaType::QDateTime) {
                    // wall-clock order without time-zone look-ups
                    const QDateTime dt = v.toDateTime();
                    c.num[p] = double(dt.date().toJulianDay()) * 86400000.0 + dt.time().msecsSinceStartOfDay();
                } else if (id == QMetaType::QDate) {
                    c.num[p] = double(v.toDate().toJulianDay()) * 86400000.0;
                }
                else
                    c.num[p] = v.toDouble();
            }
        } else {
            c.kind = Kind::Text;
            auto &keys = m_sortCache->text[k.field];
            if (keys.size() < m_rows.size())
                keys.resize(m_rows.size());
            for (size_t p = 0; p < n; ++p) {
                const int r = m_view[p];
                const QVariant &v = m_rows[r].values[k.field];
                c.null[p] = isNullValue(v);
                if (!c.null[p] && !keys[r])
                    keys[r] = m_sortCache->collator->sortKey(v.toString());
            }
            c.text = &keys;
        }
        cols.push_back(std::move(c));
    }

    std::vector<int> order(n);
    for (size_t p = 0; p < n; ++p)
        order[p] = int(p);
    const std::vector<int> &view = m_view;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const Column &c : cols) {
            int r = 0;
            if (c.null[a] || c.null[b]) {
                r = int(!c.null[a]) - int(!c.null[b]); // NULL first
            } else if (c.kind == Kind::Number) {
                r = c.num[a] < c.num[b] ? -1 : (c.num[a] > c.num[b] ? 1 : 0);
            } else {
                r = (*c.text)[view[a]]->compare(*(*c.text)[view[b]]);
            }
            if (r != 0)
                return c.desc ? r > 0 : r < 0;
        }
        return false;
    });
    std::vector<int> sorted(n);
    for (size_t p = 0; p < n; ++p)
        sorted[p] = m_view[order[p]];
    m_view.swap(sorted);
}

// ---- locate and bookmarks -------------------------------------------------------

bool Dataset::valueMatches(const QVariant &have, const QVariant &want, LocateOptions o) const
{
    if (isNullValue(want))
        return isNullValue(have);
    if (isNullValue(have))
        return false;
    const int hid = have.metaType().id();
    const int wid = want.metaType().id();
    if (isNumericType(hid)) {
        double w = 0;
        if (isNumericType(wid) || wid == QMetaType::Bool) {
            w = want.toDouble();
        } else {
            bool ok = false;
            const QString s = want.toString().trimmed();
            w = s.toDouble(&ok);
            if (!ok)
                w = QLocale().toDouble(s, &ok);
            if (!ok)
                return false;
        }
        return have.toDouble() == w;
    }
    if (hid == QMetaType::QDateTime) {
        QDateTime w = wid == QMetaType::QDateTime || wid == QMetaType::QDate ? want.toDateTime()
                                                                             : parseDateText(want.toString());
        return w.isValid() && w == have.toDateTime();
    }
    const QString h = have.toString();
    const QString w = isNumericType(wid) ? displayText(want) : want.toString();
    const Qt::CaseSensitivity cs = o.testFlag(CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (o.testFlag(PartialKey))
        return h.startsWith(w, cs);
    return h.compare(w, cs) == 0;
}

bool Dataset::locate(const QString &fields, const QVariant &value, LocateOptions options)
{
    if (value.metaType().id() == QMetaType::QVariantList)
        return locate(fields, value.toList(), options);
    return locate(fields, QVariantList{value}, options);
}

bool Dataset::locate(const QString &fields, const QVariantList &values, LocateOptions options)
{
    requireOpen("Suchen");
    QList<int> idx;
    for (const QString &f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        idx << field(f).index();
    if (idx.isEmpty() || idx.size() != values.size())
        throw TvxError(QStringLiteral("Suchen: %1 Felder, aber %2 Werte").arg(idx.size()).arg(values.size()));
    checkBrowseMode();
    for (int p = 0; p < int(m_view.size()); ++p) {
        const QVector<QVariant> &v = m_rows[m_view[p]].values;
        bool all = true;
        for (int k = 0; all && k < idx.size(); ++k)
            all = valueMatches(v.at(idx[k]), values.at(k), options);
        if (all) {
            moveTo(p);
            m_eof = m_bof = false;
            return true;
        }
    }
    return false;
}

Bookmark Dataset::bookmark() const
{
    if (!isOpen() || m_cur < 0 || m_cur >= int(m_view.size()))
        return {};
    return Bookmark(m_view[m_cur], m_generation);
}

bool Dataset::bookmarkValid(const Bookmark &b) const
{
    if (!isOpen() || !b.isValid() || b.m_generation != m_generation || b.m_row >= qint64(m_rows.size())
        || m_rows[b.m_row].dead)
        return false;
    return std::find(m_view.begin(), m_view.end(), int(b.m_row)) != m_view.end();
}

void Dataset::gotoBookmark(const Bookmark &b)
{
    requireOpen("Lesezeichen");
    if (!bookmarkValid(b))
        throw TvxError(QStringLiteral("Datensatz nicht gefunden (ungültiges Lesezeichen)"));
    checkBrowseMode();
    const auto it = std::find(m_view.begin(), m_view.end(), int(b.m_row));
    if (it == m_view.end())
        throw TvxError(QStringLiteral("Datensatz nicht gefunden (ungültiges Lesezeichen)"));
    moveTo(int(it - m_view.begin()));
    m_eof = m_bof = false;
}

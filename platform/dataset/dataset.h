#pragma once
#include "platform/core/errors.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class Dataset;
class FieldBinding;
struct FilterNode;

// Silent abort: thrown by an event handler (BeforePost, BeforeDelete, ...) to
// stop the operation without an error message of its own. Callers that show
// errors should let it pass quietly.

// Position of a record that survives sorting and filtering while the record
// exists; invalid after close/reopen.
class Bookmark {
public:
    Bookmark() = default;
    bool isValid() const { return m_row >= 0; }
    bool operator==(const Bookmark &o) const = default;

private:
    friend class Dataset;
    Bookmark(qint64 row, quint64 generation) : m_row(row), m_generation(generation) {}
    qint64 m_row = -1;
    quint64 m_generation = 0;
};

// Light accessor of one field of the current record (the edit buffer while the
// dataset is in Edit or Insert state). Copyable, cheap; valid while the dataset
// stays open with the same fields.
class Field {
public:
    Field(Dataset *ds, int index) : m_ds(ds), m_index(index) {}

    QString name() const;
    int index() const { return m_index; }
    QMetaType::Type type() const;
    int size() const;            // declared length of a text column, -1 if none
    bool isNull() const;

    QVariant value() const;
    void setValue(const QVariant &v) const;
    void clear() const;          // sets NULL

    // NULL reads as empty text, 0 or the zero date 1899-12-30.
    QString asString() const;
    int asInteger() const;       // EConvertError on text that is no integer
    double asFloat() const;      // EConvertError on text that is no number
    QDateTime asDateTime() const;
    bool asBoolean() const;      // flags: non-zero

    void setAsString(const QString &s) const { setValue(s); }
    void setAsInteger(int v) const { setValue(v); }
    void setAsFloat(double v) const { setValue(v); }
    void setAsDateTime(const QDateTime &v) const { setValue(v); }

private:
    Dataset *m_ds;
    int m_index;
};

// An updatable, client-side cached result in the manner of an ADO dataset.
//
// Source: either SQL text with named parameters (":pfirma") or a whole table.
// Opening runs the statement once and caches every row; navigation, sort text,
// filter text, locate and bookmarks all work on the cache. Writing (post,
// deleteRow) goes through key columns: those named with setKeyFields(), or by
// default SQLite's rowid, which is selected hidden when the rows come from one
// table (a table dataset, or a plain single-table select such as
// "select * from Protokoll where 1= 2"). A dataset without keys is read-only.
//
// Scrolling, appending, sorting, filtering and closing first settle a pending
// edit the way data-aware forms expect: a modified row is posted (which may
// throw and then aborts the move), an unmodified one is cancelled.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { NoLocateOptions = 0, CaseInsensitive = 1, PartialKey = 2 };
    Q_DECLARE_FLAGS(LocateOptions, LocateOption)

    explicit Dataset(QSqlDatabase db = {}, QObject *parent = nullptr);
    ~Dataset() override;

    // --- source -------------------------------------------------------------
    void setDatabase(const QSqlDatabase &db) { m_db = db; }
    QSqlDatabase database() const { return m_db; }
    void setSql(const QString &sql);            // a query dataset
    QString sql() const { return m_sql; }
    void setTableName(const QString &table);    // a table dataset (all rows)
    QString tableName() const { return m_table; }
    // Columns that identify a row for UPDATE/DELETE; empty = rowid when possible.
    void setKeyFields(const QStringList &fields) { m_keyFields = fields; }
    QStringList keyFields() const { return m_keyFields; }
    // Table written by post/delete when it cannot be told from the result.
    void setUpdateTable(const QString &table) { m_updateTable = table; }

    // Parameters by name, with or without the leading colon; unset ones bind NULL.
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const;
    void clearParams() { m_params.clear(); }

    // --- life cycle -----------------------------------------------------------
    void open();                 // no-op when open; EDatabaseError with the driver's text
    void close();                // BeforeClose first; a pending edit is discarded
    bool isOpen() const { return m_state != State::Inactive; }
    bool active() const { return isOpen(); }
    State state() const { return m_state; }
    bool canModify() const;      // keys known and a target table

    // --- fields ---------------------------------------------------------------
    int fieldCount() const { return m_record.count(); }
    QString fieldName(int i) const { return m_record.fieldName(i); }
    int fieldIndex(const QString &name) const;   // case-insensitive, -1 if unknown
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }
    Field field(const QString &name);            // TvxError if unknown
    Field field(int index) { return Field(this, index); }
    QSqlRecord record() const { return m_record; } // declared types and lengths
    int fieldSize(const QString &name) const;    // declared text length or -1

    QVariant value(const QString &name) const;   // current row / edit buffer
    QVariant value(int index) const;
    void setValue(const QString &name, const QVariant &v);
    void setValue(int index, const QVariant &v);
    QString asString(const QString &name) const { return fieldAt(name).asString(); }
    int asInteger(const QString &name) const { return fieldAt(name).asInteger(); }
    double asFloat(const QString &name) const { return fieldAt(name).asFloat(); }
    QDateTime asDateTime(const QString &name) const { return fieldAt(name).asDateTime(); }
    bool isNull(const QString &name) const { return fieldAt(name).isNull(); }

    // Value of any visible row (0-based position), for grids. The current row
    // shows its edit buffer.
    QVariant valueAt(int row, int fieldIndex) const;

    // --- navigation -----------------------------------------------------------
    int recordCount() const { return int(m_view.size()); } // visible rows (incl. a new row)
    bool isEmpty() const { return m_view.empty(); }
    int row() const { return m_cur; }                   // 0-based, -1 when empty
    int recNo() const { return m_cur + 1; }             // 1-based, 0 when empty
    void setRow(int row);
    void setRecNo(int recNo) { setRow(recNo - 1); }
    void first();
    void last();
    void next();
    void prior();
    void moveBy(int distance);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    // --- editing --------------------------------------------------------------
    void edit();                 // on an empty dataset: append()
    void append();               // a new row at the end, OnNewRecord fills defaults
    void insert() { append(); }
    void post();                 // BeforePost, INSERT/UPDATE, cache, AfterPost
    void cancel();
    void deleteRow();            // BeforeDelete, DELETE, AfterDelete
    bool modified() const { return m_modified; }
    // For bindings holding user text that does not convert yet: the row counts
    // as modified, so scrolling away posts it (and the conversion error shows).
    void markModified() { if (m_state == State::Edit || m_state == State::Insert) m_modified = true; }
    // Posts a modified pending edit, cancels an unmodified one.
    void checkBrowseMode();

    // --- sort, filter, search ---------------------------------------------------
    // "Name_KU  ASC", "Kunde DESC", "Firma, Name_KU DESC"; empty = query order.
    void setSort(const QString &sortText);       // TvxError on unknown field
    QString sort() const { return m_sort; }
    // "(Kundengruppe = 3) and (Suchbegriff like 'Mü%') and (Firma=1)"
    void setFilter(const QString &filterText);   // TvxError, previous state kept
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);                    // TvxError, previous state kept
    bool filtered() const { return m_filtered; }

    bool locate(const QString &fields, const QVariant &value, LocateOptions options = {});
    bool locate(const QString &fields, const QVariantList &values, LocateOptions options = {});

    Bookmark bookmark() const;
    bool bookmarkValid(const Bookmark &b) const;
    void gotoBookmark(const Bookmark &b);        // TvxError when the record is gone

    // --- events (ADO names) -----------------------------------------------------
    // Handlers run on the dataset; a throw from a Before* handler stops the
    // operation and leaves state and values as they were.
    std::function<void(Dataset &)> onNewRecord;
    std::function<void(Dataset &)> beforePost;
    std::function<void(Dataset &)> afterPost;
    std::function<void(Dataset &)> afterScroll;
    std::function<void(Dataset &)> beforeDelete;
    std::function<void(Dataset &)> afterDelete;
    std::function<void(Dataset &)> beforeClose;
    std::function<void(Dataset &)> afterOpen;
    std::function<void(Dataset &)> beforeEdit;

    // Data-aware controls register here so that post() collects what the user
    // typed but has not yet handed over (FieldBinding does this itself).
    void attachBinding(FieldBinding *b);
    void detachBinding(FieldBinding *b);
    void updateRecord();         // makes every binding write its pending text

signals:
    // For views and bindings; rows are 0-based positions in the visible order.
    void aboutToReset();
    void resetDone();            // opened, closed, sorted, filtered
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);    // values of a visible row changed
    void fieldChanged(int fieldIndex); // a value of the current row changed
    void currentRowChanged(int row);
    void stateChanged(Dataset::State state);

private:
    friend class Field;
    struct Row {
        QVector<QVariant> values; // visible fields, then the hidden rowid if used
        bool dead = false;
    };
    struct SortKey { int field; bool desc; };
    struct SortCache;

    Field fieldAt(const QString &name) const { return const_cast<Dataset *>(this)->field(name); }
    void requireOpen(const char *what) const;
    void requireEditing() const;
    QVariant convertForField(int index, const QVariant &v) const;
    const QVector<QVariant> *currentValues() const;
    void setState(State s);
    void moveTo(int row, bool forceScrollEvent = false);
    void rebuildView(int keepRow);
    bool rowPasses(int rowIndex) const;
    void sortView();
    std::vector<SortKey> parseSortText(const QString &text) const;
    std::shared_ptr<FilterNode> compileFilter(const QString &text) const;
    void applyFilterAndSort(const std::shared_ptr<FilterNode> &filter, bool filtered,
                            const std::vector<SortKey> &sort);
    void checkLengths() const;
    void writeInsert();
    void writeUpdate();
    void writeDelete(int rowIndex);
    void rereadRow(int rowIndex);
    QString targetTable() const;
    QString keyWhere(const QVector<QVariant> &original, QVariantList &binds) const;
    void invalidateSortCache(int rowIndex);
    bool valueMatches(const QVariant &have, const QVariant &want, LocateOptions o) const;

    QSqlDatabase m_db;
    QString m_sql;
    QString m_table;
    QString m_updateTable;
    QStringList m_keyFields;
    QVariantMap m_params;       // keys lower-case without colon

    State m_state = State::Inactive;
    QSqlRecord m_record;        // visible fields
    QHash<QString, int> m_fieldByName; // case-folded name -> index
    QString m_sourceTable;      // the single table the rows come from, if known
    bool m_hasRowid = false;

    std::vector<Row> m_rows;    // every fetched/added row, by insertion; index = identity
    std::vector<int> m_view;    // visible order: indices into m_rows
    int m_cur = -1;             // position in m_view
    bool m_eof = true;
    bool m_bof = true;
    quint64 m_generation = 0;

    QVector<QVariant> m_buffer; // edit buffer in Edit/Insert
    std::vector<bool> m_assigned; // fields set in the buffer (Insert writes these)
    bool m_modified = false;
    int m_insertRow = -1;       // index into m_rows of the pending new row
    int m_rowBeforeInsert = -1; // identity of the row current before append

    QString m_sort;
    std::vector<SortKey> m_sortKeys;
    QString m_filterText;
    std::shared_ptr<FilterNode> m_filter;
    bool m_filtered = false;
    std::unique_ptr<SortCache> m_sortCache;

    QList<FieldBinding *> m_bindings;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Dataset::LocateOptions)

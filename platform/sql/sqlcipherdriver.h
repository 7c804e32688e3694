#pragma once
#include <QSqlDriver>
#include <QSqlError>
#include <QSet>

struct sqlite3;
class SqlCipherResult;

// QtSql driver over the SQLCipher C API.
//
// Open: the database name is the file path; a non-empty password keys the file
// before anything reads it. An existing file is required unless the connect
// options contain "TVX_CREATE" (only the tools that build a program folder do
// that). A wrong password, a file that is no database, a missing file and a file
// or folder that cannot be written all fail the open, leaving the file untouched.
//
// Registered per connection: a LIKE that ignores case for every letter, and the
// collation "LOCALE" (QCollator of the default locale) for the program's own
// ORDER BY clauses.
class SqlCipherDriver : public QSqlDriver {
    Q_OBJECT
public:
    explicit SqlCipherDriver(QObject *parent = nullptr);
    ~SqlCipherDriver() override;

    bool hasFeature(DriverFeature f) const override;
    bool open(const QString &db, const QString &user, const QString &password,
              const QString &host, int port, const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;
    QStringList tables(QSql::TableType type) const override;
    QSqlRecord record(const QString &tableName) const override;
    QSqlIndex primaryIndex(const QString &tableName) const override;
    QVariant handle() const override;
    QString escapeIdentifier(const QString &identifier, IdentifierType type) const override;
    QString formatValue(const QSqlField &field, bool trimStrings = false) const override;

    bool inTransaction() const;
    sqlite3 *connection() const { return m_db; }

    // Adds a connection with this driver under the given name (not opened).
    static QSqlDatabase addDatabase(const QString &connectionName);

private:
    friend class SqlCipherResult;
    bool execSimple(const char *sql, const QString &what);
    void fail(const QString &what, int code, const QString &sqliteText, QSqlError::ErrorType type);

    sqlite3 *m_db = nullptr;
    mutable QSet<SqlCipherResult *> m_results;
};

// Text of a date-time as the database stores it.
QString tvxDateTimeText(const QDateTime &t);
QDateTime tvxDateTimeFromText(const QString &s);

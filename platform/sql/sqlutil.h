#pragma once
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

// Opens a connection with our driver; throws EDatabaseError with the driver's
// text when the file cannot be opened.
QSqlDatabase openSqlCipher(const QString &connectionName, const QString &file,
                           const QString &password = {}, bool create = false);

// Prepared query on db; throws EDatabaseError with the driver's message.
QSqlQuery prepareQuery(const QSqlDatabase &db, const QString &sql);
void execQuery(QSqlQuery &q);                 // exec() of a prepared query or throw
void execQuery(QSqlQuery &q, const QString &sql); // exec(sql) or throw
// Runs a statement without result; returns the number of rows changed.
int execSql(const QSqlDatabase &db, const QString &sql, const QVariantMap &params = {});
QString sqlErrorText(const QSqlError &e);
// A text as an SQL string literal: single quotes, inner quotes doubled.
QString sqlStringLiteral(const QString &text);

// Starts a write transaction (BEGIN IMMEDIATE) only when none is active and rolls
// it back on destruction unless commit() was called. Not copyable.
class TransactionGuard {
public:
    explicit TransactionGuard(QSqlDatabase db);
    ~TransactionGuard();
    TransactionGuard(const TransactionGuard &) = delete;
    TransactionGuard &operator=(const TransactionGuard &) = delete;

    void commit();   // throws EDatabaseError
    void rollback(); // never throws
    bool ownsTransaction() const { return m_owner; }

private:
    QSqlDatabase m_db;
    bool m_owner = false;
    bool m_done = false;
};

bool inTransaction(const QSqlDatabase &db);

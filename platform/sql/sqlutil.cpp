#include "platform/sql/sqlutil.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlcipherdriver.h"
#include <QSqlError>

QString sqlErrorText(const QSqlError &e)
{
    const QString db = e.databaseText().trimmed();
    const QString drv = e.driverText().trimmed();
    if (db.isEmpty())
        return drv;
    if (drv.isEmpty())
        return db;
    return drv + QStringLiteral(" (") + db + QLatin1Char(')');
}

QString sqlStringLiteral(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

static EDatabaseError dbError(const QSqlError &e)
{
    return EDatabaseError(sqlErrorText(e), e.nativeErrorCode());
}

QSqlDatabase openSqlCipher(const QString &connectionName, const QString &file,
                           const QString &password, bool create)
{
    QSqlDatabase db = QSqlDatabase::contains(connectionName) ? QSqlDatabase::database(connectionName, false)
                                                             : SqlCipherDriver::addDatabase(connectionName);
    db.setDatabaseName(file);
    db.setPassword(password);
    db.setConnectOptions(create ? QStringLiteral("TVX_CREATE") : QString());
    if (!db.open())
        throw dbError(db.lastError());
    return db;
}

QSqlQuery prepareQuery(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        throw dbError(q.lastError());
    return q;
}

void execQuery(QSqlQuery &q)
{
    if (!q.exec())
        throw dbError(q.lastError());
}

void execQuery(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        throw dbError(q.lastError());
}

int execSql(const QSqlDatabase &db, const QString &sql, const QVariantMap &params)
{
    QSqlQuery q = prepareQuery(db, sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.bindValue(it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key(), it.value());
    execQuery(q);
    return q.numRowsAffected();
}

bool inTransaction(const QSqlDatabase &db)
{
    auto *drv = qobject_cast<SqlCipherDriver *>(db.driver());
    return drv && drv->inTransaction();
}

TransactionGuard::TransactionGuard(QSqlDatabase db) : m_db(db)
{
    if (!inTransaction(m_db)) {
        if (!m_db.transaction())
            throw dbError(m_db.lastError());
        m_owner = true;
    }
}

TransactionGuard::~TransactionGuard() { rollback(); }

void TransactionGuard::commit()
{
    if (!m_owner || m_done)
        return;
    if (!m_db.commit())
        throw dbError(m_db.lastError());
    m_done = true;
}

void TransactionGuard::rollback()
{
    if (!m_owner || m_done)
        return;
    m_done = true;
    if (inTransaction(m_db))
        m_db.rollback();
}

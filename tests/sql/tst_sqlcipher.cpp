#include "platform/core/errors.h"
#include "platform/sql/sqlcipherdriver.h"
#include "platform/sql/sqlutil.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlcipher/sqlite3.h>
#include <unistd.h>

class TestSqlCipher : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    int m_counter = 0;

    QString newName() { return QStringLiteral("c%1").arg(++m_counter); }
    QString path(const QString &f) const { return m_dir.filePath(f); }

    // a keyed file with one table of every declared kind
    QString makeDb(const QString &file, const QString &password)
    {
        const QString name = newName();
        {
            QSqlDatabase db = openSqlCipher(name, path(file), password, true);
            execSql(db, QStringLiteral(
                            "CREATE TABLE T (I INTEGER, S SMALLINT, D DOUBLE, W DATETIME, "
                            "N TEXT(10) COLLATE NOCASE CHECK (length(N) <= 10), M MEMO, B BLOB)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return path(file);
    }

    static QByteArray hashOf(const QString &file)
    {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }

    // opening must fail with the given SQLite code and leave the file unchanged
    void expectOpenFails(const QString &file, const QString &password, const QString &code)
    {
        const QByteArray before = QFile::exists(file) ? hashOf(file) : QByteArray();
        const QString name = newName();
        {
            QSqlDatabase db = SqlCipherDriver::addDatabase(name);
            db.setDatabaseName(file);
            db.setPassword(password);
            QVERIFY(!db.open());
            QCOMPARE(db.lastError().nativeErrorCode(), code);
            QVERIFY2(!db.lastError().driverText().isEmpty(), "error must explain itself");
            QVERIFY(db.lastError().driverText().contains(QFileInfo(file).fileName()));
        }
        QSqlDatabase::removeDatabase(name);
        if (!before.isEmpty())
            QCOMPARE(hashOf(file), before);
        else
            QVERIFY2(!QFile::exists(file), "a failed open must not create a file");
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void roundTripOfEveryType()
    {
        const QString file = makeDb(QStringLiteral("types.db"), QStringLiteral("plimvad"));
        QSqlDatabase db = openSqlCipher(newName(), file, QStringLiteral("plimvad"));
        const QDateTime when(QDate(2024, 2, 29), QTime(13, 45, 7));
        QSqlQuery ins = prepareQuery(db, QStringLiteral("INSERT INTO T VALUES (:pi, :ps, :pd, :pw, :pn, :pm, :pb)"));
        ins.bindValue(QStringLiteral(":pi"), 2147483647);
        ins.bindValue(QStringLiteral(":ps"), -17);
        ins.bindValue(QStringLiteral(":pd"), 0.1 + 0.2);
        ins.bindValue(QStringLiteral(":pw"), when);
        ins.bindValue(QStringLiteral(":pn"), QStringLiteral("Müller ßé"));
        ins.bindValue(QStringLiteral(":pm"), QString(5000, QLatin1Char('x')));
        ins.bindValue(QStringLiteral(":pb"), QByteArray("\x00\x01\xff", 3));
        execQuery(ins);
        QCOMPARE(ins.numRowsAffected(), 1);
        // a row of nulls
        execSql(db, QStringLiteral("INSERT INTO T (I) VALUES (NULL)"));

        QSqlQuery q(db);
        execQuery(q, QStringLiteral("SELECT * FROM T ORDER BY I DESC"));
        QVERIFY(q.next());
        QCOMPARE(q.value(QStringLiteral("I")).metaType().id(), int(QMetaType::Int));
        QCOMPARE(q.value(QStringLiteral("i")).toInt(), 2147483647); // names without regard to case
        QCOMPARE(q.value(1).toInt(), -17);
        QCOMPARE(q.value(QStringLiteral("D")).metaType().id(), int(QMetaType::Double));
        QCOMPARE(q.value(QStringLiteral("D")).toDouble(), 0.1 + 0.2); // bit for bit
        QCOMPARE(q.value(QStringLiteral("W")).metaType().id(), int(QMetaType::QDateTime));
        QCOMPARE(q.value(QStringLiteral("W")).toDateTime(), when);
        QCOMPARE(q.value(QStringLiteral("N")).toString(), QStringLiteral("Müller ßé"));
        QCOMPARE(q.value(QStringLiteral("M")).toString().size(), 5000);
        QCOMPARE(q.value(QStringLiteral("B")).toByteArray(), QByteArray("\x00\x01\xff", 3));
        QVERIFY(q.next());
        for (int i = 0; i < 7; ++i)
            QVERIFY(q.isNull(i));
        QCOMPARE(q.value(QStringLiteral("D")).toDouble(), 0.0); // empty reads as 0
        QCOMPARE(q.value(QStringLiteral("N")).toString(), QString());
        QVERIFY(!q.next());

        const QSqlRecord rec = q.record();
        QCOMPARE(rec.field(QStringLiteral("N")).length(), 10);
        QCOMPARE(rec.field(QStringLiteral("S")).metaType().id(), int(QMetaType::Int));
        QCOMPARE(db.record(QStringLiteral("T")).field(QStringLiteral("N")).length(), 10);
        QVERIFY(db.tables().contains(QStringLiteral("T")));

        // date text stored as ISO, zero date survives
        execSql(db, QStringLiteral("UPDATE T SET W = :pw WHERE I IS NULL"),
                {{QStringLiteral("pw"), QDateTime(QDate(1899, 12, 30), QTime(0, 0))}});
        execQuery(q, QStringLiteral("SELECT W, typeof(W) AS t, W AS raw FROM T WHERE I IS NULL"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDateTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
        execQuery(q, QStringLiteral("SELECT CAST(W AS TEXT) FROM T WHERE I IS NULL"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("1899-12-30 00:00:00"));
    }

    void encryptionIsReallyOn()
    {
        const QString file = makeDb(QStringLiteral("enc.db"), QStringLiteral("plimvad"));
        {
            QSqlDatabase db = openSqlCipher(newName(), file, QStringLiteral("plimvad"));
            execSql(db, QStringLiteral("INSERT INTO T (N) VALUES ('GEHEIMNIS')"));
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.startsWith("SQLite format 3"));
        QVERIFY(!bytes.contains("GEHEIMNIS"));
        QVERIFY(!bytes.contains("CREATE TABLE"));
        expectOpenFails(file, QString(), QStringLiteral("26"));
        expectOpenFails(file, QStringLiteral("falsch"), QStringLiteral("26"));
        // and the right password still reads it afterwards
        QSqlDatabase db = openSqlCipher(newName(), file, QStringLiteral("plimvad"));
        QSqlQuery q(db);
        execQuery(q, QStringLiteral("SELECT N FROM T"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("GEHEIMNIS"));
    }

    void plainFileWithoutPassword()
    {
        const QString file = makeDb(QStringLiteral("plain.db"), QString());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(16).startsWith("SQLite format 3"));
        openSqlCipher(newName(), file); // opens
        expectOpenFails(file, QStringLiteral("plimvad"), QStringLiteral("26"));
    }

    void badFilesFailClearly()
    {
        // missing: no file appears
        expectOpenFails(path(QStringLiteral("fehlt.mdb")), QString(), QStringLiteral("14"));
        // garbage
        const QString junk = path(QStringLiteral("junk.mdb"));
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'Z'));
        }
        expectOpenFails(junk, QString(), QStringLiteral("26"));
        expectOpenFails(junk, QStringLiteral("plimvad"), QStringLiteral("26"));
        // empty file is no database either
        const QString empty = path(QStringLiteral("empty.mdb"));
        QFile(empty).open(QIODevice::WriteOnly);
        expectOpenFails(empty, QString(), QStringLiteral("26"));
        // truncated database
        const QString file = makeDb(QStringLiteral("trunc.db"), QStringLiteral("pw"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.resize(100);
        }
        expectOpenFails(file, QStringLiteral("pw"), QStringLiteral("26"));
        // the exception path carries the same text
        try {
            openSqlCipher(newName(), path(QStringLiteral("fehlt2.mdb")));
            QFAIL("no exception");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.text().contains(QStringLiteral("fehlt2.mdb")));
            QCOMPARE(e.nativeCode(), QStringLiteral("14"));
        }
    }

    void readOnlyFolderRefused()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; readOnlyFileSystemRefused covers root");
        QTemporaryDir ro;
        const QString file = ro.filePath(QStringLiteral("x.db"));
        QFile::copy(makeDb(QStringLiteral("ro.db"), QString()), file);
        QFile::setPermissions(ro.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        expectOpenFails(file, QString(), QStringLiteral("8"));
        QFile::setPermissions(ro.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void readOnlyFileSystemRefused()
    {
        if (::geteuid() != 0)
            QSKIP("needs root to mount; readOnlyFolderRefused covers ordinary users");
        QTemporaryDir mnt;
        const QString src = makeDb(QStringLiteral("rofs.db"), QStringLiteral("pw"));
        const QByteArray m = QFile::encodeName(mnt.path());
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                        QStringLiteral("tmpfs"), mnt.path()}) != 0)
            QSKIP("cannot mount here");
        const QString file = mnt.filePath(QStringLiteral("x.db"));
        QVERIFY(QFile::copy(src, file));
        QCOMPARE(QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), mnt.path()}), 0);
        expectOpenFails(file, QStringLiteral("pw"), QStringLiteral("8"));
        QProcess::execute(QStringLiteral("umount"), {mnt.path()});
    }

    void likeIgnoresCaseOfEveryLetter()
    {
        const QString file = makeDb(QStringLiteral("like.db"), QString());
        QSqlDatabase db = openSqlCipher(newName(), file);
        for (const char *n : {"Müller", "MÜLLER", "mueller", "Maier", "Ölbaum", "ölbaum", "50%ig"})
            execSql(db, QStringLiteral("INSERT INTO T (N) VALUES (:pn)"), {{QStringLiteral("pn"), QString::fromUtf8(n)}});
        struct Case { const char *where; int count; } cases[] = {
            {"N LIKE 'mü%'", 2},     {"N LIKE 'MÜ%'", 2},   {"N LIKE 'm%'", 4},
            {"N LIKE '_lbaum'", 2},  {"N LIKE 'ÖLBAUM'", 2}, {"N LIKE '%ER'", 4},
            {"N LIKE '50\\%%' ESCAPE '\\'", 1}, {"N LIKE '%x%'", 0}, {"N = 'maier'", 1},
            {"N LIKE 'Mü'", 0},
        };
        for (const Case &c : cases) {
            QSqlQuery q(db);
            execQuery(q, QStringLiteral("SELECT count(*) FROM T WHERE ") + QString::fromUtf8(c.where));
            QVERIFY(q.next());
            QVERIFY2(q.value(0).toInt() == c.count, c.where);
        }
        // the program's locale order, not the schema's
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QSqlDatabase db2 = openSqlCipher(newName(), file);
        QSqlQuery q(db2);
        execQuery(q, QStringLiteral("SELECT N FROM T WHERE N LIKE 'm%' OR N LIKE 'ö%' ORDER BY N COLLATE LOCALE, N"));
        QStringList got;
        while (q.next())
            got << q.value(0).toString();
        QCOMPARE(got.first(), QStringLiteral("Maier"));
        QVERIFY(got.indexOf(QStringLiteral("Müller")) < got.indexOf(QStringLiteral("Ölbaum")));
    }

    void transactionsAndRollback()
    {
        const QString file = makeDb(QStringLiteral("tx.db"), QStringLiteral("pw"));
        QSqlDatabase db = openSqlCipher(newName(), file, QStringLiteral("pw"));
        {
            TransactionGuard tx(db);
            QVERIFY(tx.ownsTransaction());
            QVERIFY(inTransaction(db));
            execSql(db, QStringLiteral("INSERT INTO T (I) VALUES (1)"));
            {
                TransactionGuard inner(db); // joins, does not nest
                QVERIFY(!inner.ownsTransaction());
                execSql(db, QStringLiteral("INSERT INTO T (I) VALUES (2)"));
                inner.commit();
            }
            QVERIFY(inTransaction(db));
            // an open reader must not stop the rollback
            QSqlQuery reader(db);
            execQuery(reader, QStringLiteral("SELECT I FROM T"));
            QVERIFY(reader.next());
        } // no commit: rolled back
        QVERIFY(!inTransaction(db));
        QSqlQuery q(db);
        execQuery(q, QStringLiteral("SELECT count(*) FROM T"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        {
            TransactionGuard tx(db);
            execSql(db, QStringLiteral("INSERT INTO T (I) VALUES (3)"));
            tx.commit();
        }
        // another connection sees the committed row, i.e. it is on disk
        QSqlDatabase other = openSqlCipher(newName(), file, QStringLiteral("pw"));
        QSqlQuery q2(other);
        execQuery(q2, QStringLiteral("SELECT I FROM T"));
        QVERIFY(q2.next());
        QCOMPARE(q2.value(0).toInt(), 3);
        QVERIFY(!q2.next());
        // a second writer is kept out while a write transaction is open
        q2.finish();
        TransactionGuard tx(db);
        QSqlDatabase third = openSqlCipher(newName(), file, QStringLiteral("pw"));
        sqlite3_busy_timeout(static_cast<sqlite3 *>(third.driver()->handle().value<void *>()), 0);
        QVERIFY(!third.transaction());
    }

    void errorsCarrySqliteTextAndCode()
    {
        const QString file = makeDb(QStringLiteral("err.db"), QString());
        QSqlDatabase db = openSqlCipher(newName(), file);
        QSqlQuery q(db);
        QVERIFY(!q.exec(QStringLiteral("INSERT INTO T (N) VALUES ('elf Zeichen')")));
        QCOMPARE(q.lastError().nativeErrorCode(), QStringLiteral("19"));
        QVERIFY(q.lastError().databaseText().contains(QStringLiteral("CHECK constraint failed")));
        QVERIFY(!q.exec(QStringLiteral("SELECT Nope FROM T")));
        QCOMPARE(q.lastError().databaseText(), QStringLiteral("no such column: Nope"));
        QCOMPARE(q.lastError().nativeErrorCode(), QStringLiteral("1"));
        try {
            execSql(db, QStringLiteral("SELECT * FROM Fehlt"));
            QFAIL("no exception");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.text().contains(QStringLiteral("no such table: Fehlt")));
        }
    }

    void scrollingAndModels()
    {
        const QString file = makeDb(QStringLiteral("scroll.db"), QString());
        QSqlDatabase db = openSqlCipher(newName(), file);
        {
            TransactionGuard tx(db);
            QSqlQuery ins = prepareQuery(db, QStringLiteral("INSERT INTO T (I, N) VALUES (?, ?)"));
            for (int i = 1; i <= 300; ++i) {
                ins.bindValue(0, i);
                ins.bindValue(1, QString::number(i));
                execQuery(ins);
            }
            tx.commit();
        }
        QSqlQuery q(db);
        execQuery(q, QStringLiteral("SELECT I FROM T ORDER BY I"));
        QVERIFY(q.last());
        QCOMPARE(q.value(0).toInt(), 300);
        QVERIFY(q.first());
        QCOMPARE(q.value(0).toInt(), 1);
        QVERIFY(q.seek(149));
        QCOMPARE(q.value(0).toInt(), 150);
        QVERIFY(q.previous());
        QCOMPARE(q.value(0).toInt(), 149);
        QVERIFY(!q.seek(300));

        QSqlQueryModel model;
        model.setQuery(QStringLiteral("SELECT I, N FROM T ORDER BY I"), db);
        QVERIFY(!model.lastError().isValid());
        while (model.canFetchMore())
            model.fetchMore();
        QCOMPARE(model.rowCount(), 300);
        QCOMPARE(model.data(model.index(299, 1)).toString(), QStringLiteral("300"));

        // the same placeholder twice, and re-execution with new values
        QSqlQuery p = prepareQuery(db, QStringLiteral("SELECT count(*) FROM T WHERE I >= :pa AND I < :pa + 10"));
        p.bindValue(QStringLiteral(":pa"), 5);
        execQuery(p);
        QVERIFY(p.next());
        QCOMPARE(p.value(0).toInt(), 10);
        p.bindValue(QStringLiteral(":pa"), 295);
        execQuery(p);
        QVERIFY(p.next());
        QCOMPARE(p.value(0).toInt(), 6);

        // aggregates over an empty set are null and read as 0
        execQuery(q, QStringLiteral("SELECT MAX(I) AS MaxNummer FROM T WHERE I < 0"));
        QVERIFY(q.next());
        QVERIFY(q.isNull(0));
        QCOMPARE(q.value(QStringLiteral("MaxNummer")).toInt(), 0);

        QCOMPARE(execSql(db, QStringLiteral("UPDATE T SET N = 'x' WHERE I <= 7")), 7);
        QCOMPARE(execSql(db, QStringLiteral("DELETE FROM T WHERE I > 290")), 10);
        // several statements in one text run in order (console)
        QVERIFY(q.exec(QStringLiteral("UPDATE T SET N='a' WHERE I=1; UPDATE T SET N='b' WHERE I=2; SELECT N FROM T WHERE I<=2 ORDER BY I")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("a"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("b"));
        // close with a query still open: no crash, the handle is released
        QSqlQuery open(db);
        execQuery(open, QStringLiteral("SELECT * FROM T"));
        QVERIFY(open.next());
        db.close();
        QVERIFY(!open.next());
    }

};

QTEST_GUILESS_MAIN(TestSqlCipher)
#include "tst_sqlcipher.moc"

#include "data/datenbankanlage.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlcipherdriver.h"
#include "platform/sql/sqlutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

// The scripts live in a resource of this static library; it has to be pulled in.
static void skripteEinbinden()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(datenbank);
        return true;
    }();
    Q_UNUSED(done);
}

namespace Datenbank {

namespace {

QString ressource(const QString &name)
{
    skripteEinbinden();
    QFile f(QStringLiteral(":/tvx/datenbank/") + name);
    if (!f.open(QIODevice::ReadOnly))
        throw TvxError(QStringLiteral("Das Datenbankskript %1 fehlt im Programm.").arg(name));
    return QString::fromUtf8(f.readAll());
}

bool istNamenszeichen(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// One pass over the script: statements split at ';' outside literals and
// comments, comments dropped, ":heute" outside literals replaced.
QStringList zerlegen(const QString &s, const QString &heuteLiteral)
{
    QStringList out;
    QString cur;
    const int n = int(s.size());
    auto fertig = [&] {
        const QString t = cur.trimmed();
        if (!t.isEmpty())
            out << t;
        cur.clear();
    };
    for (int i = 0; i < n; ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // literal or quoted name; a doubled quote stays inside
            int j = i + 1;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            cur += s.mid(i, j - i + 1);
            i = j;
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            cur += QLatin1Char('\n');
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            cur += QLatin1Char(' ');
        } else if (c == QLatin1Char(';')) {
            fertig();
        } else if (!heuteLiteral.isEmpty() && c == QLatin1Char(':') && s.mid(i, 6) == QLatin1String(":heute")
                   && (i + 6 >= n || !istNamenszeichen(s[i + 6]))) {
            cur += heuteLiteral;
            i += 5;
        } else {
            cur += c;
        }
    }
    fertig();
    return out;
}

std::atomic<int> g_verbindungen{0};

// A connection of its own for building one file; removed again on destruction.
class Bauverbindung {
public:
    Bauverbindung(const QString &datei, const QString &passwort)
        : m_name(QStringLiteral("tvx_datenbankanlage_%1").arg(++g_verbindungen))
    {
        m_db = openSqlCipher(m_name, datei, passwort, true);
    }
    ~Bauverbindung()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

void entfernen(const QString &datei)
{
    QFile::remove(datei);
    QFile::remove(datei + QStringLiteral("-journal"));
}

QString tempName(const QString &ordner, const QString &ziel)
{
    return QDir(ordner).filePath(QStringLiteral(".%1.neu-%2")
                                     .arg(ziel)
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
}

void umbenennen(const QString &von, const QString &nach)
{
    if (::rename(QFile::encodeName(von).constData(), QFile::encodeName(nach).constData()) != 0)
        throw TvxError(QStringLiteral("%1 kann nicht geschrieben werden: %2")
                           .arg(QDir::toNativeSeparators(nach), QString::fromLocal8Bit(std::strerror(errno))));
}

} // namespace

QString HauptSchemaSql() { return ressource(QStringLiteral("TORVANEXDB.sql")); }
QString LokalSchemaSql() { return ressource(QStringLiteral("TORVANEXDB_Lokal.sql")); }
QString TestdatenSql() { return ressource(QStringLiteral("Testdaten.sql")); }

QStringList SkriptZerlegen(const QString &skript) { return zerlegen(skript, QString()); }

void SkriptAusfuehren(QSqlDatabase db, const QString &skript, const QDate &heute)
{
    const QDate tag = heute.isValid() ? heute : Clock::today();
    const QString literal = QLatin1Char('\'') + tvxDateTimeText(QDateTime(tag, QTime(0, 0))) + QLatin1Char('\'');
    const QStringList statements = zerlegen(skript, literal);
    TransactionGuard tx(db);
    QSqlQuery q(db);
    for (const QString &st : statements) {
        if (!q.exec(st)) {
            const QString was = st.simplified();
            throw EDatabaseError(QStringLiteral("%1 bei: %2")
                                     .arg(sqlErrorText(q.lastError()),
                                          was.size() > 100 ? was.left(100) + QStringLiteral(" ...") : was),
                                 q.lastError().nativeErrorCode());
        }
    }
    q.finish();
    tx.commit();
}

namespace {

// Splits the inside of a CREATE TABLE at its top-level commas.
QStringList spaltenteile(const QString &innen)
{
    QStringList teile;
    int tiefe = 0;
    QChar quote;
    QString aktuell;
    for (const QChar c : innen) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++tiefe;
        } else if (c == QLatin1Char(')')) {
            --tiefe;
        } else if (c == QLatin1Char(',') && tiefe == 0) {
            teile << aktuell.trimmed();
            aktuell.clear();
            continue;
        }
        aktuell += c;
    }
    if (!aktuell.trimmed().isEmpty())
        teile << aktuell.trimmed();
    return teile;
}

} // namespace

QStringList SchemaNachziehen(QSqlDatabase db, const QString &schema)
{
    static const QRegularExpression tabelleRe(QStringLiteral(R"(^\s*CREATE\s+TABLE\s+(\w+)\s*\((.*)\)\s*$)"),
                                              QRegularExpression::CaseInsensitiveOption
                                                  | QRegularExpression::DotMatchesEverythingOption);
    static const QStringList keineSpalte{QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"),
                                         QStringLiteral("UNIQUE"), QStringLiteral("CHECK"),
                                         QStringLiteral("FOREIGN")};
    static const QRegularExpression indexRe(QStringLiteral(R"(^\s*CREATE\s+INDEX\s+(\w+)\s+ON\s+(\w+)\s*\()"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList fehlende, befehle;
    const QStringList vorhandeneTabellen = db.tables();
    QSet<QString> vorhandeneIndizes;
    {
        QSqlQuery q(db);
        execQuery(q, QStringLiteral("select name from sqlite_master where type = 'index'"));
        while (q.next())
            vorhandeneIndizes.insert(q.value(0).toString().toLower());
        q.finish();
    }
    for (const QString &st : SkriptZerlegen(schema)) {
        // plain indexes only: a unique one could fail on the rows of an old file
        const QRegularExpressionMatch ix = indexRe.match(st);
        if (ix.hasMatch()) {
            if (vorhandeneTabellen.contains(ix.captured(2), Qt::CaseInsensitive)
                && !vorhandeneIndizes.contains(ix.captured(1).toLower())) {
                fehlende << ix.captured(1);
                befehle << st;
            }
            continue;
        }
        const QRegularExpressionMatch m = tabelleRe.match(st);
        if (!m.hasMatch())
            continue;
        const QString tabelle = m.captured(1);
        if (!vorhandeneTabellen.contains(tabelle, Qt::CaseInsensitive))
            continue;
        QSet<QString> da;
        {
            QSqlQuery info(db);
            execQuery(info, QStringLiteral("PRAGMA table_info(%1)").arg(tabelle));
            while (info.next())
                da.insert(info.value(1).toString().toLower());
            info.finish();
        }
        for (const QString &teil : spaltenteile(m.captured(2))) {
            const QString name = teil.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
            if (name.isEmpty() || keineSpalte.contains(name.toUpper()) || da.contains(name.toLower()))
                continue;
            fehlende << tabelle + QLatin1Char('.') + name;
            befehle << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(tabelle, teil);
        }
    }
    if (befehle.isEmpty())
        return fehlende;
    TransactionGuard tx(db);
    QSqlQuery q(db);
    for (const QString &b : std::as_const(befehle)) {
        if (!q.exec(b))
            throw EDatabaseError(QStringLiteral("Die Datenbank konnte nicht auf den neuen Stand gebracht werden: "
                                                "%1 bei: %2")
                                     .arg(sqlErrorText(q.lastError()), b.simplified().left(120)),
                                 q.lastError().nativeErrorCode());
    }
    q.finish();
    tx.commit();
    return fehlende;
}

void DateiAnlegen(const QString &datei, const QString &passwort, const QString &schema, const QString &daten,
                  const QDate &heute)
{
    if (QFileInfo::exists(datei))
        throw TvxError(QStringLiteral("Die Datei %1 ist schon vorhanden.").arg(QDir::toNativeSeparators(datei)));
    try {
        Bauverbindung v(datei, passwort);
        SkriptAusfuehren(v.db(), schema, heute);
        if (!daten.isEmpty())
            SkriptAusfuehren(v.db(), daten, heute);
    } catch (...) {
        entfernen(datei);
        throw;
    }
    QFile::setPermissions(datei, QFile::ReadOwner | QFile::WriteOwner);
}

Anlagebericht DatenbankenAnlegen(const QString &ordner, Inhalt inhalt, bool ueberschreiben, const QDate &heute)
{
    const QFileInfo oi(ordner);
    if (!oi.isDir())
        throw TvxError(QStringLiteral("Der Ordner %1 ist nicht vorhanden.").arg(QDir::toNativeSeparators(ordner)));
    const QDir dir(oi.absoluteFilePath());

    struct Ziel {
        QString name, passwort, schema, daten, pfad, temp;
    };
    QList<Ziel> ziele{
        {HauptDatei, Passwort, HauptSchemaSql(), inhalt == Inhalt::Testdaten ? TestdatenSql() : QString(), {}, {}},
        {LokalDatei, QString(), LokalSchemaSql(), QString(), {}, {}},
    };

    Anlagebericht bericht;
    QList<Ziel *> bauen;
    for (Ziel &z : ziele) {
        z.pfad = dir.filePath(z.name);
        const QFileInfo fi(z.pfad);
        if (fi.exists() || fi.isSymLink()) {
            if (!ueberschreiben) {
                bericht.beibehalten << z.name;
                continue;
            }
            if (fi.isDir())
                throw TvxError(QStringLiteral("%1 ist ein Ordner und wird nicht ersetzt.")
                                   .arg(QDir::toNativeSeparators(z.pfad)));
        }
        z.temp = tempName(dir.path(), z.name);
        bauen << &z;
    }

    // build everything first; only complete files take the real names
    try {
        for (Ziel *z : std::as_const(bauen))
            DateiAnlegen(z->temp, z->passwort, z->schema, z->daten, heute);
    } catch (...) {
        for (Ziel *z : std::as_const(bauen))
            entfernen(z->temp);
        throw;
    }
    for (int i = 0; i < bauen.size(); ++i) {
        Ziel *z = bauen[i];
        try {
            umbenennen(z->temp, z->pfad);
        } catch (...) {
            for (int j = i; j < bauen.size(); ++j)
                entfernen(bauen[j]->temp);
            throw;
        }
        // a journal left by the replaced file must not be replayed into the new one
        QFile::remove(z->pfad + QStringLiteral("-journal"));
        bericht.angelegt << z->name;
    }
    return bericht;
}

} // namespace Datenbank

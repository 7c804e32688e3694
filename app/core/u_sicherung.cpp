#include "app/core/u_sicherung.h"
#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/guarded.h"
#include "platform/sql/sqlutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QSqlDatabase HauptVerbindung()
{
    return dm_datenbank ? dm_datenbank->Datenbank_Verbindung.db() : QSqlDatabase();
}

void ProtokollSchreiben(const QString &benutzer, const QString &text, const QDateTime &zeit)
{
    try {
        if (dm_datenbank && dm_datenbank->Datenbank_Verbindung.Connected())
            dm_datenbank->ProtokollZeileAnhaengen(zeit, text, benutzer.left(50));
    } catch (...) {
    }
}

void Protokollieren(const QString &text)
{
    ProtokollSchreiben(Bearbeiter, text.left(150), Clock::now());
}

bool SicherungErstellen(const QString &ordner, const QDateTime &zeit)
{
    QString dir = ordner.trimmed().isEmpty() ? Programmordner() + QStringLiteral("Sicherungen") : ordner;
    dir = QDir::fromNativeSeparators(dir);
    const QString ziel = dir + QLatin1Char('/') + QStringLiteral("Torvanex")
                         + zeit.toString(QStringLiteral("ddMMyyyyHHmm")) + QStringLiteral(".mdb");
    const QString quelle = Programmordner() + QStringLiteral("TORVANEXDB.mdb");
    if (!QFileInfo(dir).isDir() || QFileInfo::exists(ziel))
        return false;
    QSqlDatabase db = HauptVerbindung();
    try {
        // A write lock keeps every other writer out while the bytes are copied;
        // our own connection must not be inside a transaction, or the file could
        // hold pages that are not committed.
        std::unique_ptr<TransactionGuard> sperre;
        if (db.isOpen()) {
            if (inTransaction(db))
                return false;
            sperre = std::make_unique<TransactionGuard>(db);
        }
        if (!QFile::copy(quelle, ziel))
            return false;
        QFile::setPermissions(ziel, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return true;
    } catch (...) {
        return false;
    }
}

void SicherungMitProtokoll(const QString &ordner)
{
    if (!SicherungErstellen(ordner, Clock::now()))
        Protokollieren(txt("ps_9").left(150));
}

void OrdnerLeeren(const QString &ordner, const QString &maske)
{
    // the mask "*.*" of the original platform means every file
    const QString m = maske == QLatin1String("*.*") ? QStringLiteral("*") : maske;
    QDir dir(QDir::fromNativeSeparators(ordner));
    if (!dir.exists())
        return;
    const QFileInfoList files = dir.entryInfoList({m}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &fi : files) {
        QFile f(fi.absoluteFilePath());
        if (!f.remove()) {
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            f.remove();
        }
    }
}

QString Wochentagsordner(const QDate &tag)
{
    static const char *namen[] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
    return QString::fromLatin1(namen[qBound(1, tag.dayOfWeek(), 7) - 1]);
}

void Tagessicherung()
{
    try {
        const QString ordner = Programmordner() + QStringLiteral("Sicherungen/")
                               + Wochentagsordner(Clock::today()) + QLatin1Char('/');
        OrdnerLeeren(ordner, QStringLiteral("*.*"));
        SicherungMitProtokoll(ordner);
    } catch (...) {
        Protokollieren((txt("ps_16") + currentExceptionText()).left(150));
    }
}

void ProtokollBereinigen()
{
    try {
        if (dm_datenbank && dm_datenbank->Datenbank_Verbindung.Connected())
            dm_datenbank->ProtokollLoeschen(QDateTime(Clock::today().addDays(-3650), QTime(0, 0)));
    } catch (...) {
    }
}

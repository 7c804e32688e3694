#include "tests/support/testprogrammordner.h"
#include "data/datenbankanlage.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/errors.h"
#include "platform/sql/sqlutil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QSettings>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#ifndef TVX_SOURCE_DIR_DEFAULT
#define TVX_SOURCE_DIR_DEFAULT ""
#endif

namespace {

const char *const KleineDaten = R"SQL(
INSERT INTO Firmenstamm (Firma, Name_FI, Anschrift_FI, Strasse_FI, PLZ_FI, Ort_FI, Bankleitzahl, Bankkontonummer,
    Fusstext1, Fusstext2, Fusstext3, Fusstext4, LogoPfad, Waehrungskuerzel, EMAIL1)
  VALUES (1, 'Testfirma GmbH', '', 'Teststraße 1', '1010', 'Wien', '12000', '1234',
    'Testfirma GmbH', 'Tel. 01 234', 'IBAN AT00 0000', 'UID ATU00000000', '', 'EUR', 'test@testfirma.at');
INSERT INTO Kundengruppen (Kundengruppe, Name_KG) VALUES (1, 'Allgemein');
INSERT INTO Artikelgruppen (Artikelgruppe, Name_AG) VALUES (1, 'Allgemein');
INSERT INTO Kundenstamm (Firma, Kunde, Kundengruppe, Name_KU, Zusatzname_KU, Strasse_Hnr, PLZ, Ort, Land,
    Suchbegriff, EMail1, MWST, InnerGemLieferung, Skontotage, Skontoprozent, Nettotage, Rabatt, Preisliste,
    Zahlschein, Skonto, Mahnung, Sichtbar, Anlagedatum)
  VALUES (1, 0, 1, 'Einmalkunde', '', '', '', '', '', 'Einmalkunde', '', 1, 0, 0, 0, 0, 0, 1, 0, 1, 1, 1,
          datetime(:heute, '-30 days')),
         (1, 1, 1, 'Erika Muster', '', 'Hauptstraße 5', '1010', 'Wien', 'Austria', 'Erika Muster',
          'erika@example.at', 1, 0, 0, 0, 14, 0, 1, 0, 1, 1, 1, datetime(:heute, '-30 days')),
         (1, 2, 1, 'Ohne Steuer AG', '', 'Bahnhofstrasse 1', '8001', 'Zürich', 'Switzerland', 'Ohne Steuer AG',
          '', 0, 0, 0, 0, 30, 0, 1, 0, 1, 1, 1, datetime(:heute, '-30 days'));
INSERT INTO Artikelstamm (Artikel, Name_AR, Einheit, Artikelgruppe, Suchbegriff, Preis1, Preis2, Preis3,
    Einkaufspreis, MWST, Rabattfaehig, Lagerfuehrung, PreisAenderbar, Sichtbar, UmrechnungAEHinWEH, ID_GS,
    Lieferant1, Lieferant2, Anlagedatum)
  VALUES ('A1', 'Artikel A', 'Stk', 1, 'Artikel A', 10.0, 9.5, 9.0, 6.0, 1, 1, 1, 1, 1, 1.0, -1, 0, 0,
          datetime(:heute, '-30 days')),
         ('B1', 'Artikel B', 'kg', 1, 'Artikel B', 4.0, 3.8, 3.6, 2.0, 2, 1, 1, 1, 1, 1.0, -1, 0, 0,
          datetime(:heute, '-30 days')),
         ('TXT', '.', '', 1, '.', 0.0, 0.0, 0.0, 0.0, 1, 1, 0, 1, 1, 1.0, -1, 0, 0,
          datetime(:heute, '-30 days'));
)SQL";

// Built once per process and data set, then copied: keying a SQLCipher file costs.
QString vorlage(TestProgrammordner::Daten daten)
{
    static QMap<int, std::shared_ptr<QTemporaryDir>> cache;
    auto it = cache.find(int(daten));
    if (it != cache.end())
        return it.value()->path();
    auto dir = std::make_shared<QTemporaryDir>();
    if (!dir->isValid())
        throw TvxError(QStringLiteral("Kein temporärer Ordner: ") + dir->errorString());
    const QDate heute = TestProgrammordner::jetzt().date();
    const QString haupt = dir->filePath(Datenbank::HauptDatei);
    QString inhalt;
    if (daten == TestProgrammordner::Daten::Testdaten)
        inhalt = Datenbank::TestdatenSql();
    else if (daten == TestProgrammordner::Daten::Klein)
        inhalt = QString::fromUtf8(KleineDaten);
    Datenbank::DateiAnlegen(haupt, Datenbank::Passwort, Datenbank::HauptSchemaSql(), inhalt, heute);
    Datenbank::DateiAnlegen(dir->filePath(Datenbank::LokalDatei), QString(), Datenbank::LokalSchemaSql(), {}, heute);
    cache.insert(int(daten), dir);
    return dir->path();
}

void kopieren(const QString &von, const QString &nach)
{
    QFile::remove(nach);
    if (!QFile::copy(von, nach))
        throw TvxError(QStringLiteral("%1 kann nicht nach %2 kopiert werden").arg(von, nach));
    QFile::setPermissions(nach, QFile::ReadOwner | QFile::WriteOwner);
}

void ordnerKopieren(const QString &von, const QString &nach)
{
    const QDir quelle(von);
    QDirIterator it(von, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QFileInfo fi = it.fileInfo();
        const QString ziel = QDir(nach).filePath(quelle.relativeFilePath(p));
        if (fi.isDir())
            QDir().mkpath(ziel);
        else if (fi.fileName() != QLatin1String(".keep"))
            kopieren(p, ziel);
    }
}

} // namespace

QDateTime TestProgrammordner::jetzt() { return QDateTime(QDate(2024, 6, 14), QTime(10, 30, 0)); }

QString TestProgrammordner::quellordner()
{
    const QString env = qEnvironmentVariable("TVX_SOURCE_DIR");
    return env.isEmpty() ? QString::fromUtf8(TVX_SOURCE_DIR_DEFAULT) : env;
}

TestProgrammordner::TestProgrammordner(Daten daten, Modul modul)
    : m_dir(std::make_unique<QTemporaryDir>()), m_alteSprache(QLocale())
{
    if (!m_dir->isValid())
        throw TvxError(QStringLiteral("Kein temporärer Ordner: ") + m_dir->errorString());

    QStandardPaths::setTestModeEnabled(true);
    const QString einstellungen = m_dir->filePath(QStringLiteral(".einstellungen"));
    QDir().mkpath(einstellungen);
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, einstellungen);
    Clock::setFixed(jetzt());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    const QString install = QDir(quellordner()).filePath(QStringLiteral("install"));
    if (!quellordner().isEmpty() && QFileInfo(install).isDir())
        ordnerKopieren(install, m_dir->path());

    const QString v = vorlage(daten);
    kopieren(QDir(v).filePath(Datenbank::HauptDatei), hauptDatei());
    kopieren(QDir(v).filePath(Datenbank::LokalDatei), lokalDatei());

    if (modul == Modul::Oeffnen) {
        m_dm = std::make_unique<Tdm_datenbank>();
        m_dm->VerbindungenOeffnen(ordner());
    }
}

TestProgrammordner::~TestProgrammordner()
{
    m_dm.reset();
    Clock::setFixed(QDateTime());
    QLocale::setDefault(m_alteSprache);
}

QString TestProgrammordner::ordner() const { return m_dir->path() + QLatin1Char('/'); }
QString TestProgrammordner::pfad(const QString &relativ) const { return ordner() + relativ; }
QString TestProgrammordner::hauptDatei() const { return pfad(Datenbank::HauptDatei); }
QString TestProgrammordner::lokalDatei() const { return pfad(Datenbank::LokalDatei); }
Tdm_datenbank *TestProgrammordner::dm() const { return m_dm.get(); }

QSqlDatabase TestProgrammordner::haupt() const
{
    if (!m_dm)
        throw TvxError(QStringLiteral("Das Datenmodul ist nicht geöffnet."));
    return m_dm->Datenbank_Verbindung.db();
}

QSqlDatabase TestProgrammordner::lokal() const
{
    if (!m_dm)
        throw TvxError(QStringLiteral("Das Datenmodul ist nicht geöffnet."));
    return m_dm->Datenbank_Verbindung_Lokal.db();
}

QVariant TestProgrammordner::wert(const QSqlDatabase &db, const QString &sql, const QVariantMap &params)
{
    QSqlQuery q = prepareQuery(db, sql);
    for (auto it = params.begin(); it != params.end(); ++it)
        q.bindValue(it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key(), it.value());
    execQuery(q);
    const QVariant v = q.next() ? q.value(0) : QVariant();
    q.finish();
    return v;
}

QVariant TestProgrammordner::wert(const QString &sql, const QVariantMap &params) const
{
    return wert(haupt(), sql, params);
}

int TestProgrammordner::ausfuehren(const QString &sql, const QVariantMap &params) const
{
    return execSql(haupt(), sql, params);
}

#pragma once
// Shared test fixture (library tvx_testsupport): a temporary program folder with
// fresh databases and the data module opened on it.
//
//   TestProgrammordner p;                       // shipped test data, module open
//   LadeKunde("1", "2", k);                      // dm_datenbank works on p's files
//   QCOMPARE(p.wert("select count(*) from Kundenstamm").toInt(), 21);
//
// What it sets up, and undoes in its destructor:
// - a QTemporaryDir as program folder holding a copy of install/ (language files,
//   layout, help, empty folders; source: env TVX_SOURCE_DIR or the source tree
//   this was built from) and fresh TORVANEXDB.mdb / TORVANEXDB_Lokal.mdb;
// - QStandardPaths test mode and QSettings (native and INI, user and system
//   scope) in a private folder, so no test reads or writes the user's settings;
// - the clock fixed at jetzt() = Friday 14 June 2024 10:30:00;
// - the German locale (QLocale::setDefault);
// - unless told otherwise, a Tdm_datenbank (dm_datenbank) with both connections
//   open on the folder. Only one fixture with an open module may live at a time.
//   Datasets and queries of a test must be gone before the fixture ends.
//
// Failures throw TvxError (QtTest reports them as a failed test).
//
// Data sets:
// - Testdaten: the shipped data (install/Datenbank/Testdaten.sql) dated relative
//   to jetzt(): company 1 "Tischlerei & IT-Service Brandstätter" (LogoPfad
//   "logo.png"); customer groups 1-5; customers 0 (one-time) and 1-20
//   (11 intra-community with MWST 0, 19 Swiss with MWST 0, 12 hidden);
//   article groups 1-5; 42 articles, "TEXT" is the text-only article ".",
//   "HW440" is hidden; invoices 1-10 of period 20120101, 7 cancels 4 (Status 52),
//   position keys 1-38; VAT rates assumed A 20, B 10, C 13, D 0.
// - Klein: company 1 "Testfirma GmbH"; group 1 "Allgemein" (customers and
//   articles); customers 0 "Einmalkunde", 1 "Erika Muster" (MWST 1, Nettotage 14),
//   2 "Ohne Steuer AG" (MWST 0); articles "A1" (class 1, Preis1 10.00),
//   "B1" (class 2, Preis1 4.00), "TXT" (name "."); no invoices.
// - Leer: the schema only.

#include <QDateTime>
#include <QLocale>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

class Tdm_datenbank;
class QTemporaryDir;

class TestProgrammordner {
public:
    enum class Daten { Testdaten, Klein, Leer };
    enum class Modul { Oeffnen, NichtOeffnen };

    explicit TestProgrammordner(Daten daten = Daten::Testdaten, Modul modul = Modul::Oeffnen);
    ~TestProgrammordner();
    TestProgrammordner(const TestProgrammordner &) = delete;
    TestProgrammordner &operator=(const TestProgrammordner &) = delete;

    QString ordner() const;                       // absolute, with trailing '/'
    QString pfad(const QString &relativ) const;   // ordner() + relativ
    QString hauptDatei() const;                   // .../TORVANEXDB.mdb
    QString lokalDatei() const;                   // .../TORVANEXDB_Lokal.mdb

    Tdm_datenbank *dm() const;                    // nullptr with Modul::NichtOeffnen
    QSqlDatabase haupt() const;                   // main connection of dm()
    QSqlDatabase lokal() const;                   // local connection of dm()

    // First column of the first row (invalid QVariant: no row); throws EDatabaseError.
    QVariant wert(const QString &sql, const QVariantMap &params = {}) const; // on haupt()
    static QVariant wert(const QSqlDatabase &db, const QString &sql, const QVariantMap &params = {});
    // Runs a statement on haupt(); rows changed.
    int ausfuehren(const QString &sql, const QVariantMap &params = {}) const;

    static QDateTime jetzt();                     // the fixed clock
    static QString quellordner();                 // root of the source tree

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Tdm_datenbank> m_dm;
    QLocale m_alteSprache;
};

#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "maintenance/u_datenbankinitialisieren.h"
#include "platform/core/dialogs.h"
#include "tests/support/testprogrammordner.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

namespace {

// Rows in the tables only this program's siblings fill, so the clearing has
// something to remove.
void geschwisterdatenAnlegen(const TestProgrammordner &p)
{
    p.ausfuehren("insert into Angebotspositionen (ID_Angebotspositionen, Firma, Artikel) values (1, 1, 'A')");
    p.ausfuehren("insert into Angebotevorlagen (ID_Angebotevorlage, Vorlage) values (1, 'V')");
    p.ausfuehren("insert into Textbausteine (Baustein, Textinhalt) values ('B', 'x')");
    p.ausfuehren("insert into Sonderkonditionen (Firma, Kunde, Artikel, Preis) values (1, 3, 'A', 1.5)");
    p.ausfuehren("insert into Seriennummern (ID_Seriennummer, Artikel, Seriennummer) values (1, 'A', 'S1')");
    p.ausfuehren("insert into ArtikelpositionenVorschau (ID_Artikelpositionen, Status, BenutzerSession) "
                 "values (1, -1, '123')");
}

// -1 for a table that does not exist
int anzahl(const TestProgrammordner &p, const QString &tabelle)
{
    if (!p.haupt().tables().contains(tabelle, Qt::CaseInsensitive))
        return -1;
    return p.wert("select count(*) from " + tabelle).toInt();
}

QStringList protokoll(const TestProgrammordner &p)
{
    QStringList out;
    QSqlQuery q(p.haupt());
    q.exec("select Aufzeichnung, Benutzer from Protokoll order by rowid");
    while (q.next())
        out << q.value(0).toString() + "|" + q.value(1).toString();
    return out;
}

QMap<QString, int> bestand(const TestProgrammordner &p)
{
    QMap<QString, int> m;
    for (const char *t : {"Artikelpositionen", "ArtikelpositionenVorschau", "Kundenstamm", "Kundengruppen",
                          "Artikelstamm", "Artikelgruppen", "Angebotspositionen", "Angebotevorlagen",
                          "Textbausteine", "Sonderkonditionen", "Seriennummern", "Protokoll", "Firmenstamm"})
        m[t] = anzahl(p, t);
    return m;
}

void klicken(QPushButton *b)
{
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

class TestDatenbankinitialisieren : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        Bearbeiter = QStringLiteral("Prüfer");
    }
    void cleanup()
    {
        Sprache::clearRegistry();
        setProgrammordner(QString());
    }

    void controlsCaptionsAndLanguageKeys()
    {
        TestProgrammordner p;
        Tfrm_datenbankinitialisieren f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Datenbank leeren"));
        for (const Sprache::Key &k : Sprache::keys("Datenbankinitialisieren")) {
            QObject *o = f.findChild<QObject *>(k.component);
            QVERIFY2(o, qPrintable(k.component));
            QCOMPARE(o->property("text").toString(), k.german);
            QVERIFY2(qobject_cast<QWidget *>(o)->isVisible(), qPrintable(k.component));
        }
        for (const char *name : {"btn_kunden", "cb_kunden", "btn_statistiken", "cb_statistiken", "btn_lieferanten",
                                 "cb_lieferanten", "btn_nummernkreise", "cb_nummernkreise"}) {
            auto *w = f.findChild<QWidget *>(name);
            QVERIFY2(w && !w->isVisible(), name);
        }
        QCOMPARE(f.btn_kunden->text(), QStringLiteral("3 Kunden löschen"));
        for (QCheckBox *c : {f.cb_erfassungen, f.cb_artikel}) {
            QVERIFY(c->isVisible());
            QVERIFY(!c->isChecked());
            QTest::mouseClick(c, Qt::LeftButton); // shows state only
            QVERIFY(!c->isChecked());
        }
        if (qEnvironmentVariableIsSet("TVX_SCREENSHOTS"))
            f.grab().save(qEnvironmentVariable("TVX_SCREENSHOTS") + "/datenbankinitialisieren.png");
    }

    void languageLoadReplacesCaptionsAndTitle()
    {
        TestProgrammordner p;
        Tfrm_strings strings;
        frm_strings = &strings;
        Tfrm_datenbankinitialisieren f;
        SpracheLaden(1, p.ordner());
        QCOMPARE(f.windowTitle(), QStringLiteral("Empty database"));
        QCOMPARE(f.btn_erfassungen->text(), QStringLiteral("1 Delete invoices"));
        QCOMPARE(f.lbl_head->text(), QStringLiteral("Here you can initialise the database for a fresh start."));
        SpracheLaden(0, p.ordner());
        QCOMPARE(f.windowTitle(), QStringLiteral("Datenbank leeren"));
        QCOMPARE(f.btn_schliessen->text(), QStringLiteral("Schliessen"));
        frm_strings = nullptr;
    }

    void invoiceStep()
    {
        QFETCH(bool, ja);
        TestProgrammordner p;
        geschwisterdatenAnlegen(p);
        const auto vorher = bestand(p);
        QVERIFY(vorher["Artikelpositionen"] > 0 && vorher["Protokoll"] > 0);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {ja};
        klicken(f.btn_erfassungen);
        const auto nachher = bestand(p);
        if (!ja) {
            QCOMPARE(nachher, vorher);
            QCOMPARE(d.texts(), QStringList{txt("sm_48")});
            QVERIFY(!f.cb_erfassungen->isChecked());
            return;
        }
        for (const char *t : {"Artikelpositionen", "ArtikelpositionenVorschau", "Angebotspositionen",
                              "Angebotevorlagen", "Textbausteine"})
            QCOMPARE(nachher[t], 0);
        QCOMPARE(protokoll(p), QStringList{txt("ps_3") + "|Prüfer"});
        for (const char *t : {"Kundenstamm", "Artikelstamm", "Artikelgruppen", "Sonderkonditionen",
                              "Seriennummern", "Kundengruppen", "Firmenstamm"})
            QCOMPARE(nachher[t], vorher[t]);
        QVERIFY(f.cb_erfassungen->isChecked());
        QCOMPARE(d.texts(), (QStringList{txt("sm_48"), txt("sm_27")}));
        QCOMPARE(d.shown[0].kind, Dialogs::Kind::Question);
        QCOMPARE(d.shown[1].kind, Dialogs::Kind::Info);
    }
    void invoiceStep_data()
    {
        QTest::addColumn<bool>("ja");
        QTest::newRow("Nein") << false;
        QTest::newRow("Ja") << true;
    }

    void articleStepTwiceLeavesOneGroup()
    {
        TestProgrammordner p;
        geschwisterdatenAnlegen(p);
        const auto vorher = bestand(p);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {false, true, true};
        klicken(f.btn_artikel);
        QCOMPARE(bestand(p), vorher);
        QVERIFY(!f.cb_artikel->isChecked());
        klicken(f.btn_artikel);
        klicken(f.btn_artikel);
        QCOMPARE(anzahl(p, "Artikelstamm"), 0);
        QCOMPARE(anzahl(p, "Seriennummern"), 0);
        QCOMPARE(anzahl(p, "Artikelgruppen"), 1);
        QCOMPARE(p.wert("select Artikelgruppe || '/' || Name_AG from Artikelgruppen").toString(),
                 QStringLiteral("1/Allgemein"));
        QCOMPARE(anzahl(p, "Artikelpositionen"), vorher["Artikelpositionen"]);
        QCOMPARE(anzahl(p, "Kundenstamm"), vorher["Kundenstamm"]);
        QVERIFY(f.cb_artikel->isChecked());
        QCOMPARE(protokoll(p).mid(vorher["Protokoll"]), (QStringList{txt("ps_6") + "|Prüfer", txt("ps_6") + "|Prüfer"}));
        QCOMPARE(d.texts(), (QStringList{txt("sm_51"), txt("sm_51"), txt("sm_30"), txt("sm_51"), txt("sm_30")}));
    }

    void allDataAsksOnceAndKeepsCustomerZero()
    {
        TestProgrammordner p;
        geschwisterdatenAnlegen(p);
        const auto vorher = bestand(p);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {false};
        klicken(f.btn_initialisieren);
        QCOMPARE(bestand(p), vorher);

        d.clear();
        d.answers = {true};
        klicken(f.btn_initialisieren);
        QCOMPARE(d.texts(), (QStringList{txt("sm_54"), txt("sm_33")}));
        QCOMPARE(p.wert("select group_concat(Kunde) from Kundenstamm").toString(), QStringLiteral("0"));
        QCOMPARE(anzahl(p, "Kundengruppen"), vorher["Kundengruppen"]);
        QCOMPARE(anzahl(p, "Firmenstamm"), vorher["Firmenstamm"]);
        QCOMPARE(p.wert("select Artikelgruppe || '/' || Name_AG from Artikelgruppen").toString(),
                 QStringLiteral("1/Allgemein"));
        for (const char *t : {"Artikelpositionen", "ArtikelpositionenVorschau", "Angebotspositionen",
                              "Angebotevorlagen", "Textbausteine", "Sonderkonditionen", "Seriennummern",
                              "Artikelstamm"})
            QCOMPARE(anzahl(p, t), 0);
        QStringList erwartet;
        for (const char *l : {"ps_3", "ps_4", "ps_5", "ps_6", "ps_7", "ps_8"})
            erwartet << txt(l) + "|Prüfer";
        QCOMPARE(protokoll(p), erwartet);
        for (QCheckBox *c : {f.cb_erfassungen, f.cb_statistiken, f.cb_kunden, f.cb_artikel, f.cb_lieferanten,
                             f.cb_nummernkreise})
            QVERIFY2(c->isChecked(), qPrintable(c->objectName()));
    }

    // A missing table (an older database): the step stops there, what ran before
    // stays done, the box stays unchecked, and "Alle Daten löschen" goes no further.
    void failingStatementStopsTheStep()
    {
        QFETCH(bool, alle);
        TestProgrammordner p;
        geschwisterdatenAnlegen(p);
        p.ausfuehren("drop table Textbausteine");
        const auto vorher = bestand(p);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {true};
        klicken(alle ? f.btn_initialisieren : f.btn_erfassungen);
        for (const char *t : {"Artikelpositionen", "Angebotspositionen", "Angebotevorlagen", "ArtikelpositionenVorschau"})
            QCOMPARE(anzahl(p, t), 0);
        QCOMPARE(anzahl(p, "Protokoll"), vorher["Protokoll"]); // the statement after the failing one
        QCOMPARE(anzahl(p, "Kundenstamm"), vorher["Kundenstamm"]);
        QCOMPARE(anzahl(p, "Artikelstamm"), vorher["Artikelstamm"]);
        QVERIFY(!f.cb_erfassungen->isChecked());
        QVERIFY(!f.cb_statistiken->isChecked());
        QCOMPARE(d.shown.size(), 2);
        QCOMPARE(d.shown[1].kind, Dialogs::Kind::Error);
        QVERIFY2(d.shown[1].text.contains("Textbausteine"), qPrintable(d.shown[1].text));
        QVERIFY(!d.texts().contains(txt("sm_27")) && !d.texts().contains(txt("sm_33")));
    }
    void failingStatementStopsTheStep_data()
    {
        QTest::addColumn<bool>("alle");
        QTest::newRow("1 Rechnungen löschen") << false;
        QTest::newRow("Alle Daten löschen") << true;
    }

    void mainButtonNoChangesNothing()
    {
        TestProgrammordner p;
        setProgrammordner(p.ordner());
        const auto vorher = bestand(p);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {false};
        btn_datenbankleerenClick(&f);
        QCOMPARE(d.texts(), QStringList{txt("am_6")});
        QCOMPARE(bestand(p), vorher);
        QVERIFY(QDir(p.pfad("Sicherungen")).entryList(QDir::Files).isEmpty());
    }

    // ps_15 first, then the copy, then the window; the copy is a complete
    // database that brings back everything the window deleted.
    void mainButtonBacksUpFirstAndTheBackupRestores()
    {
        TestProgrammordner p;
        setProgrammordner(p.ordner());
        const auto vorher = bestand(p);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {true, true};
        bool gezeigt = false, modal = false;
        QTimer::singleShot(0, &f, [&] {
            gezeigt = f.isVisible();
            modal = f.isModal();
            klicken(f.btn_initialisieren);
            klicken(f.btn_schliessen);
        });
        btn_datenbankleerenClick(&f);
        QVERIFY(gezeigt && modal);
        QVERIFY(!f.isVisible());
        QCOMPARE(d.texts(), (QStringList{txt("am_6"), txt("sm_54"), txt("sm_33")}));
        QCOMPARE(anzahl(p, "Artikelstamm"), 0);

        const QString sicherung = p.pfad("Sicherungen/Torvanex140620241030.mdb");
        QVERIFY(QFile::exists(sicherung));
        QCOMPARE(QDir(p.pfad("Sicherungen")).entryList(QDir::Files).size(), 1);

        // restore: the program closed, the copy put in place, opened again
        p.dm()->VerbindungenSchliessen();
        QVERIFY(QFile::remove(p.hauptDatei()));
        QVERIFY(QFile::copy(sicherung, p.hauptDatei()));
        p.dm()->VerbindungenOeffnen(p.ordner());
        auto zurueck = bestand(p);
        QCOMPARE(zurueck["Protokoll"], vorher["Protokoll"] + 1);
        zurueck["Protokoll"] -= 1;
        QCOMPARE(zurueck, vorher);
        QCOMPARE(protokoll(p).last(), txt("ps_15") + "|Prüfer");
        QCOMPARE(p.wert("pragma integrity_check").toString(), QStringLiteral("ok"));
    }

    void mainButtonWithoutBackupKeepsTheData()
    {
        TestProgrammordner p;
        setProgrammordner(p.ordner());
        QVERIFY(QDir(p.pfad("Sicherungen")).removeRecursively());
        const auto vorher = bestand(p);
        Tfrm_datenbankinitialisieren f;
        ScopedScriptedDialogs d;
        d.answers = {true, true, true};
        bool gezeigt = false;
        QTimer::singleShot(0, &f, [&] {
            gezeigt = f.isVisible();
            f.close();
        });
        btn_datenbankleerenClick(&f);
        QTest::qWait(10);
        QVERIFY(!gezeigt);
        QCOMPARE(d.texts(), (QStringList{txt("am_6"), txt("ps_9")}));
        QCOMPARE(d.shown[1].kind, Dialogs::Kind::Warning);
        QStringList log = protokoll(p).mid(vorher["Protokoll"]);
        QCOMPARE(log, (QStringList{txt("ps_15") + "|Prüfer", txt("ps_9") + "|Prüfer"}));
        auto nachher = bestand(p);
        nachher["Protokoll"] -= 2;
        QCOMPARE(nachher, vorher);
    }
};

QTEST_MAIN(TestDatenbankinitialisieren)
#include "tst_datenbankinitialisieren.moc"

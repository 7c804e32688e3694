// The customer window on the shipped test data, driven by keys and clicks.
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "capture/u_erfassung.h"
#include "data/u_dm_datenbank.h"
#include "masterdata/u_kundenstammdaten.h"
#include "masterdata/u_stammfenster.h"
#include "platform/core/dialogs.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "tests/masterdata/stammtest.h"
#include "tests/support/testprogrammordner.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

using namespace stamm;

namespace {
struct Fenster : stamm::StammFenster<Tfrm_kundenstammdaten> {
    Fenster() : stamm::StammFenster<Tfrm_kundenstammdaten>([] { AktuelleFirma = 1; }) {}
    Dataset *k() const { return w->tbl_kunden; }
    QList<int> nummern() const
    {
        QList<int> n;
        for (int i = 0; i < k()->recordCount(); ++i)
            n << k()->valueAt(i, k()->fieldIndex(QStringLiteral("Kunde"))).toInt();
        return n;
    }
    QStringList suchbegriffe() const
    {
        QStringList s;
        for (int i = 0; i < k()->recordCount(); ++i)
            s << k()->valueAt(i, k()->fieldIndex(QStringLiteral("Suchbegriff"))).toString();
        return s;
    }
};
} // namespace

class TstKundenstamm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void zeigenUndReiter()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        QCOMPARE(w->pc_kunden->currentWidget(), w->ts_kunden);
        QCOMPARE(w->pc_zusatz->currentWidget(), w->ts_zusaetzliches);
        QCOMPARE(w->btn_neu->text(), txt("sk_13"));
        QCOMPARE(w->btn_loeschen->text(), txt("sk_14"));
        QVERIFY(w->gr_kunden->isVisible());
        QVERIFY(!w->gr_gruppen->isVisible());
        QVERIFY(!w->btn_uebergeben->isVisible());
        QCOMPARE(f.k()->filter(), QStringLiteral("Firma=1"));
        QVERIFY(f.k()->filtered());
        QList<int> absteigend;
        for (int i = 20; i >= 0; --i)
            absteigend << i;
        QCOMPARE(f.nummern(), absteigend);
        // a title click sorts the other way, a second one back
        QTest::mouseClick(w->gr_kunden->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(w->gr_kunden->columnViewportPosition(2) + 10, 5));
        QCOMPARE(f.k()->sort(), QStringLiteral("Kunde  ASC"));
        QCOMPARE(f.nummern().first(), 0);
        QTest::mouseClick(w->gr_kunden->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(w->gr_kunden->columnViewportPosition(2) + 10, 5));
        QCOMPARE(f.k()->sort(), QStringLiteral("Kunde DESC"));
        QCOMPARE(f.nummern().first(), 20);
        QCOMPARE(f.k()->recordCount(), 21);
        // group list: the "Alle Gruppen" row first, then the five groups
        QCOMPARE(w->cb_gruppenwahl->count(), 6);
        QCOMPARE(w->cb_gruppenwahl->itemText(0), txt("sk_6"));
        QCOMPARE(w->cb_kundengruppe->count(), 5);
        QCOMPARE(w->cb_land->count(), 8); // the shipped country list
        QCOMPARE(w->cb_land->itemText(1), Einstellung::lines(QStringLiteral("me_laender")).value(1));
        // resting colours
        QCOMPARE(w->ed_kunde->palette().color(QPalette::Base), QColor(192, 220, 192));
        QCOMPARE(w->ed_suchbegriff->palette().color(QPalette::Base), QColor(166, 202, 240));
        QCOMPARE(w->ed_faxnummer->palette().color(QPalette::Base), QColor(255, 255, 225));
        bild(w, QStringLiteral("kunden_kundendaten.png"));

        w->pc_zusatz->setCurrentWidget(w->ts_sonstiges);
        bild(w, QStringLiteral("kunden_sonstiges.png"));
        w->pc_zusatz->setCurrentWidget(w->ts_zusaetzliches);

        klick(w->pc_kunden->tabBar());
        w->pc_kunden->setCurrentWidget(w->ts_kundengruppen);
        QCOMPARE(w->btn_neu->text(), txt("sk_7"));
        QCOMPARE(w->btn_loeschen->text(), txt("sk_9"));
        QVERIFY(w->gr_gruppen->isVisible());
        QVERIFY(!w->ed_suche->isEnabled());
        QVERIFY(!w->pnl_buchstaben->isEnabled());
        QCOMPARE(w->nav_datensatz->dataset(), w->tbl_kundengruppen);
        bild(w, QStringLiteral("kunden_gruppen.png"));

        // closed on the groups tab, shown again: the customer tab
        w->close();
        QVERIFY(!f.k()->isOpen());
        f.zeigen();
        QCOMPARE(w->pc_kunden->currentWidget(), w->ts_kunden);
        QCOMPARE(w->btn_neu->text(), txt("sk_13"));
        QCOMPARE(w->btn_loeschen->text(), txt("sk_14"));
        QVERIFY(w->ed_suche->isEnabled());
    }

    void focusColour()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        w->ed_telefonprivat->setFocus();
        QApplication::processEvents();
        QCOMPARE(w->ed_telefonprivat->palette().color(QPalette::Base), Fokusfarbe);
        taste(w->ed_telefonprivat, Qt::Key_Tab);
        QCOMPARE(w->ed_telefonprivat->palette().color(QPalette::Base), QColor(255, 255, 225));
        // the group picker and the memo keep their colour
        for (QWidget *feld : {static_cast<QWidget *>(w->cb_gruppenwahl), static_cast<QWidget *>(w->me_anmerkung)}) {
            const QColor vorher = feld->palette().color(QPalette::Base);
            feld->setFocus();
            QApplication::processEvents();
            QCOMPARE(feld->palette().color(QPalette::Base), vorher);
        }
        // Enter moves on, except in the memo
        w->ed_name_ku->setFocus();
        QApplication::processEvents();
        taste(w->ed_name_ku, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), w->ed_zusatzname_ku);
        w->me_anmerkung->setFocus();
        taste(w->me_anmerkung, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->me_anmerkung);
    }

    void filtertexte_data()
    {
        QTest::addColumn<int>("gruppe");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("filter");
        QTest::newRow("alle, Text") << -17 << "Mü" << "(Suchbegriff like 'Mü%') and (Firma=1)";
        QTest::newRow("alle, leer") << -17 << "  " << "Firma=1";
        QTest::newRow("Gruppe, Text") << 2 << " Ga " << "(Kundengruppe = 2) and (Suchbegriff like 'Ga%') and (Firma=1)";
        QTest::newRow("Gruppe, leer") << 3 << "" << "(Kundengruppe = 3) and (Firma=1)";
        QTest::newRow("Apostroph") << -17 << "O'Neil" << "(Suchbegriff like 'O''Neil%') and (Firma=1)";
    }
    void filtertexte()
    {
        QFETCH(int, gruppe);
        QFETCH(QString, text);
        QFETCH(QString, filter);
        QCOMPARE(Tfrm_kundenstammdaten::Filtertext(gruppe, text, 1), filter);
    }

    void suchen()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        f.ordner.ausfuehren(QStringLiteral("insert into Kundenstamm (Firma, Kunde, Kundengruppe, Name_KU, Suchbegriff, Sichtbar)"
                                           " values (1, 30, 1, 'O''Brien Pub', 'O''Brien Pub', 1)"));
        w->close();
        f.zeigen();
        // letter bar
        klick(w->findChild<QPushButton *>(QStringLiteral("FM")));
        QCOMPARE(w->ed_suche->text(), QStringLiteral("M"));
        QCOMPARE(f.suchbegriffe(), QStringList({QStringLiteral("Möbelhaus Strobl Gmb"), QStringLiteral("Mühlbacher Holzbau G")}));
        bild(w, QStringLiteral("kunden_suche_m.png"));
        // umlauts, case ignored
        tippen(w->ed_suche, QStringLiteral("mü"));
        QCOMPARE(f.nummern(), QList<int>{4});
        // apostrophe
        tippen(w->ed_suche, QStringLiteral("O'b"));
        QCOMPARE(f.k()->filter(), QStringLiteral("(Suchbegriff like 'O''b%') and (Firma=1)"));
        QCOMPARE(f.nummern(), QList<int>{30});
        // group picker: Gewerbekunden with an empty search
        klick(w->findChild<QPushButton *>(QStringLiteral("Falle")));
        QCOMPARE(w->ed_suche->text(), QString());
        waehlen(w->cb_gruppenwahl, 2);
        QCOMPARE(f.k()->filter(), QStringLiteral("(Kundengruppe = 2) and (Firma=1)"));
        QCOMPARE(f.k()->recordCount(), 7);
        tasten(w->ed_suche, QStringLiteral("g"));
        QCOMPARE(f.nummern(), QList<int>{8});
        // "Alle": everything of the company again
        klick(w->btn_allekunden);
        QCOMPARE(w->cb_gruppenwahl->currentText(), txt("sk_6"));
        QCOMPARE(f.k()->filter(), QStringLiteral("Firma=1"));
        QCOMPARE(f.k()->recordCount(), 22);
        // a customer of another company never shows
        f.ordner.ausfuehren(QStringLiteral("insert into Kundenstamm (Firma, Kunde, Kundengruppe, Name_KU, Suchbegriff)"
                                           " values (2, 500, 1, 'Fremdfirma', 'Fremdfirma')"));
        w->close();
        f.zeigen();
        tippen(w->ed_suche, QStringLiteral("Fremd"));
        QCOMPARE(f.k()->recordCount(), 0);
    }

    void neuerKundeUndNummern()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        // another company with higher numbers does not count
        f.ordner.ausfuehren(QStringLiteral("insert into Kundenstamm (Firma, Kunde, Kundengruppe, Name_KU) values (2, 900, 1, 'X')"));
        tippen(w->ed_suche, QStringLiteral("Mü"));
        taste(w->ed_suche, Qt::Key_F6);
        QCOMPARE(f.k()->state(), Dataset::State::Insert);
        QCOMPARE(w->ed_suche->text(), QString()); // the search was reset
        QCOMPARE(f.k()->asInteger(QStringLiteral("Kunde")), 21);
        QCOMPARE(f.k()->asInteger(QStringLiteral("Firma")), 1);
        QCOMPARE(f.k()->asInteger(QStringLiteral("Kundengruppe")), 1); // lowest group
        QCOMPARE(f.k()->asInteger(QStringLiteral("Sichtbar")), 1);
        QCOMPARE(f.k()->asInteger(QStringLiteral("MWST")), 1);
        QCOMPARE(f.k()->asInteger(QStringLiteral("Skonto")), 1);
        QCOMPARE(f.k()->asInteger(QStringLiteral("Preisliste")), 1);
        QCOMPARE(f.k()->asDateTime(QStringLiteral("Anlagedatum")), TestProgrammordner::jetzt());
        QCOMPARE(QApplication::focusWidget(), w->ed_name_ku);
        // the search term: the first 20 characters of the name, over what was typed
        tippen(w->ed_suchbegriff, QStringLiteral("vorher"));
        tippen(w->ed_name_ku, QStringLiteral("Tischlerei Hinterberger & Söhne OG"));
        taste(w->ed_name_ku, Qt::Key_Tab);
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("Tischlerei Hinterber"));
        taste(w->ed_zusatzname_ku, Qt::Key_F8);
        QCOMPARE(f.k()->state(), Dataset::State::Browse);
        QCOMPARE(QApplication::focusWidget(), w->btn_neu);
        QCOMPARE(f.ordner.wert(QStringLiteral("select Suchbegriff from Kundenstamm where Firma=1 and Kunde=21")).toString(),
                 QStringLiteral("Tischlerei Hinterber"));
        QCOMPARE(f.ordner.wert(QStringLiteral("select Anlagedatum from Kundenstamm where Firma=1 and Kunde=21")).toDateTime(),
                 TestProgrammordner::jetzt());

        // an existing customer keeps a search term; an empty one gets the name
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 5));
        tippen(w->ed_name_ku, QStringLiteral("Sabine Öller-Huber"));
        taste(w->ed_name_ku, Qt::Key_Tab);
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("Sabine Öller"));
        klick(w->btn_cancel);
        f.ordner.ausfuehren(QStringLiteral("update Kundenstamm set Suchbegriff = '' where Kunde = 7"));
        w->close();
        f.zeigen();
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 7));
        tippen(w->ed_name_ku, QStringLiteral("Stefan Grüner jun."));
        taste(w->ed_name_ku, Qt::Key_Tab);
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("Stefan Grüner jun."));
        klick(w->btn_uebernehmen);

        // the first customer of a company gets 1
        w->close();
        AktuelleFirma = 3;
        f.zeigen();
        QCOMPARE(f.k()->recordCount(), 0);
        klick(w->btn_neu);
        QCOMPARE(f.k()->asInteger(QStringLiteral("Kunde")), 1);
        klick(w->btn_cancel);
        AktuelleFirma = 1;
    }

    void kopieren()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        QToolButton *kopie = w->nav_datensatz->knopf(QStringLiteral("nbCopy"));
        QVERIFY(!kopie->isVisible());
        taste(w->ed_name_ku, Qt::Key_F2);
        QVERIFY(kopie->isVisible());
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 6));
        d.answers << true;
        klick(kopie);
        QCOMPARE(d.lastText(), TDatensatzNavigator::kopierfrage());
        QCOMPARE(f.k()->state(), Dataset::State::Insert);
        QCOMPARE(f.k()->asString(QStringLiteral("Name_KU")), QStringLiteral("Architekturbüro Kern & Partner"));
        QCOMPARE(f.k()->asInteger(QStringLiteral("Kunde")), 6);
        QCOMPARE(QApplication::focusWidget(), w->ed_kunde);
        tippen(w->ed_kunde, QStringLiteral("66"));
        klick(w->btn_uebernehmen);
        QCOMPARE(f.ordner.wert(QStringLiteral("select Name_KU from Kundenstamm where Kunde = 66")).toString(),
                 QStringLiteral("Architekturbüro Kern & Partner"));
        // a duplicate key is refused by the database and the row stays in insert
        d.answers << true;
        klick(kopie);
        klick(w->btn_uebernehmen);
        QCOMPARE(f.k()->state(), Dataset::State::Insert);
        // closing drops it silently
        w->close();
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Kundenstamm where Kunde = 6")).toInt(), 1);
        // F2 holds until the program ends
        f.zeigen();
        QVERIFY(kopie->isVisible());
    }

    void loeschen()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        // no: nothing happens
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 3));
        d.answers << false;
        klick(w->btn_loeschen);
        QCOMPARE(d.lastText(), txt("am_3"));
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Kundenstamm where Kunde = 3")).toInt(), 1);
        d.answers << true;
        klick(w->btn_loeschen);
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Kundenstamm where Kunde = 3")).toInt(), 0);
        QCOMPARE(f.letzterLog(), txt("ps_11") + QStringLiteral("3"));
        QCOMPARE(f.ordner.wert(QStringLiteral("select Benutzer from Protokoll order by rowid desc limit 1")).toString(),
                 QStringLiteral("Prüfer"));
        // a customer with issued invoices stays: its invoices need the row
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 6));
        d.clear();
        d.answers << true;
        klick(w->btn_loeschen);
        QCOMPARE(d.texts(), QStringList{txt("sm_56")});
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Kundenstamm where Kunde = 6")).toInt(), 1);
    }

    void gruppen()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        Dataset *g = w->tbl_kundengruppen;
        w->pc_kunden->setCurrentWidget(w->ts_kundengruppen);
        taste(w->ed_kundengruppe_nr, Qt::Key_F6);
        QCOMPARE(g->state(), Dataset::State::Insert);
        QCOMPARE(g->asInteger(QStringLiteral("Kundengruppe")), 6);
        QCOMPARE(QApplication::focusWidget(), w->ed_name_kg);
        tasten(w->ed_name_kg, QStringLiteral("Vereine"));
        taste(w->ed_name_kg, Qt::Key_F8);
        QCOMPARE(f.ordner.wert(QStringLiteral("select Name_KG from Kundengruppen where Kundengruppe = 6")).toString(),
                 QStringLiteral("Vereine"));
        // the group list and the lookup see it
        QCOMPARE(w->cb_gruppenwahl->count(), 7);
        QCOMPARE(w->cb_kundengruppe->count(), 6);
        // automatic numbering off: no number, focus still on the name
        w->cb_gruppennummer_auto->setChecked(false);
        klick(w->btn_neu);
        QVERIFY(g->isNull(QStringLiteral("Kundengruppe")));
        QCOMPARE(QApplication::focusWidget(), w->ed_name_kg);
        klick(w->btn_cancel);
        QCOMPARE(g->state(), Dataset::State::Browse);
        // delete with log
        QVERIFY(g->locate(QStringLiteral("Kundengruppe"), 6));
        d.answers << true;
        klick(w->btn_loeschen);
        QCOMPARE(d.lastText(), txt("am_4"));
        QCOMPARE(f.letzterLog(), txt("ps_10") + QStringLiteral("6"));
        // the only group left cannot go
        f.ordner.ausfuehren(QStringLiteral("delete from Kundengruppen where Kundengruppe > 1"));
        w->close();
        f.zeigen();
        w->pc_kunden->setCurrentWidget(w->ts_kundengruppen);
        d.clear();
        klick(w->btn_loeschen);
        QCOMPARE(d.texts(), QStringList{txt("sm_4")});
        QCOMPARE(g->recordCount(), 1);
        // the next number runs over every group ever numbered
        f.ordner.ausfuehren(QStringLiteral("insert into Kundengruppen values (40, 'Alt')"));
        w->cb_gruppennummer_auto->setChecked(true);
        klick(w->btn_neu);
        QCOMPARE(g->asInteger(QStringLiteral("Kundengruppe")), 41);
        klick(w->btn_cancel);
    }

    void rechnungenUndVorschau()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        QList<QList<int>> vorschau;
        w->onRechnungVorschau = [&](int firma, int periode, int nummer) { vorschau << QList<int>{firma, periode, nummer}; };
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 6));
        w->pc_kunden->setCurrentWidget(w->ts_rechnungen);
        Dataset *r = w->qry_rechnungen_uebersicht;
        QVERIFY(r->isOpen());
        QVERIFY(w->gr_kunden->isVisible());
        QVERIFY(w->ed_suche->isEnabled());
        QCOMPARE(w->btn_neu->text(), txt("sk_13")); // kept from the customer tab
        QList<int> nummern;
        for (int i = 0; i < r->recordCount(); ++i)
            nummern << r->valueAt(i, r->fieldIndex(QStringLiteral("Rechnung_nr"))).toInt();
        QCOMPARE(nummern, (QList<int>{8, 7, 4}));
        bild(w, QStringLiteral("kunden_rechnungen.png"));
        r->setRow(1);
        klick(w->btn_rechnung_vorschau);
        QCOMPARE(vorschau, (QList<QList<int>>{{1, 20120101, 7}}));
        // the list follows the customer
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 19));
        QCOMPARE(r->recordCount(), 1);
        QCOMPARE(r->asInteger(QStringLiteral("Rechnung_nr")), 6);
        // the record buttons do nothing here
        klick(w->btn_neu);
        QCOMPARE(f.k()->state(), Dataset::State::Browse);
        // an empty list previews nothing
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 3));
        QCOMPARE(r->recordCount(), 0);
        klick(w->btn_rechnung_vorschau);
        QCOMPARE(vorschau.size(), 1);
        // leaving the tab closes the list
        w->pc_kunden->setCurrentWidget(w->ts_kunden);
        QVERIFY(!r->isOpen());
    }

    void mailUndHomepage()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        QList<QUrl> geoeffnet;
        const auto alt = UrlOeffnen;
        UrlOeffnen = [&](const QUrl &u) { geoeffnet << u; return true; };
        f.ordner.ausfuehren(QStringLiteral("update Kundenstamm set EMail1 = ' office@kern.at ', Homepage = ' www.kern.at ' where Kunde = 6"));
        f.ordner.ausfuehren(QStringLiteral("update Kundenstamm set EMail1 = '  ', Homepage = '' where Kunde = 5"));
        w->close();
        f.zeigen();
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 6));
        klick(w->btn_email);
        klick(w->btn_homepage);
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 5));
        klick(w->btn_email);
        klick(w->btn_homepage);
        UrlOeffnen = alt;
        QCOMPARE(geoeffnet.size(), 2);
        QCOMPARE(geoeffnet[0].toString(), QStringLiteral("mailto:office@kern.at"));
        QCOMPARE(geoeffnet[1].host(), QStringLiteral("www.kern.at"));
    }

    void uebergabe()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        QWidget seite;
        TErfassung erf(&seite);
        seite.resize(1200, 800);
        seite.show();
        QVERIFY(QTest::qWaitForWindowExposed(&seite));
        // opened from the capture: moved to the customer typed there
        w->close();
        w->btn_uebergeben->setVisible(true);
        f.zeigen();
        w->Ansteuern(QStringLiteral(" 13 "));
        QCOMPARE(f.k()->asInteger(QStringLiteral("Kunde")), 13);
        w->Ansteuern(QStringLiteral("keine Zahl")); // ignored
        QCOMPARE(f.k()->asInteger(QStringLiteral("Kunde")), 13);
        klick(w->btn_uebergeben);
        QVERIFY(!w->isVisible());
        QCOMPARE(erf.ed_kunde_re->text(), QStringLiteral("13"));
        QCOMPARE(erf.ed_kunde_re_name->text(), QStringLiteral("Hotel Seeblick GmbH"));
        // an empty table is said so and the window stays
        f.zeigen();
        tippen(w->ed_suche, QStringLiteral("zzz"));
        klick(w->btn_uebergeben);
        QCOMPARE(d.texts(), QStringList{txt("sm_6")});
        QVERIFY(w->isVisible());
    }

    // The buyer reference of e-invoices on the side page "Zusätzliches": shown,
    // typed after the UID number, stored by "Übernehmen", its caption translated.
    void kaeuferreferenz()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        QCOMPARE(w->ed_kaeuferreferenz->parentWidget(), w->ts_zusaetzliches);
        QVERIFY(w->ed_kaeuferreferenz->isVisible());
        auto *l = w->findChild<QLabel *>(QStringLiteral("l_25"));
        QVERIFY(l && l->isVisible());
        QCOMPARE(l->buddy(), w->ed_kaeuferreferenz);
        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 11));
        QCOMPARE(w->ed_kaeuferreferenz->text(), QStringLiteral("Bestellung 2024-117"));

        QVERIFY(f.k()->locate(QStringLiteral("Kunde"), 5));
        QCOMPARE(w->ed_kaeuferreferenz->text(), QString());
        tippen(w->ed_uidnummer, QStringLiteral("DE123456789"));
        taste(w->ed_uidnummer, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), w->ed_kaeuferreferenz);
        QCOMPARE(w->ed_kaeuferreferenz->palette().color(QPalette::Base), Fokusfarbe);
        tasten(w->ed_kaeuferreferenz, QStringLiteral("04011000-12345-67"));
        taste(w->ed_kaeuferreferenz, Qt::Key_F8);
        QCOMPARE(f.k()->state(), Dataset::State::Browse);
        QCOMPARE(f.ordner.wert(QStringLiteral("select Kaeuferreferenz from Kundenstamm where Firma=1 and Kunde=5")).toString(),
                 QStringLiteral("04011000-12345-67"));
        QCOMPARE(w->ed_kaeuferreferenz->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(w->ed_kaeuferreferenz->maxLength(), 100);
        bild(w, QStringLiteral("kunden_kaeuferreferenz.png"));

        SpracheLaden(1, f.ordner.ordner());
        QCOMPARE(l->text(), QStringLiteral("Buyer reference / Leitweg-ID"));
        SpracheLaden(0, f.ordner.ordner());
        QCOMPARE(l->text(), QString::fromUtf8("Käuferreferenz / Leitweg-ID"));
    }

    void sprache()
    {
        Fenster f;
        Tfrm_kundenstammdaten *w = f.w.get();
        SpracheLaden(1, f.ordner.ordner());
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("l_2"))->text(),
                 Sprache::germanCaption(QStringLiteral("Kundenstamm"), QStringLiteral("l_2_Caption")) == QStringLiteral("Kundenname 1")
                     ? w->findChild<QLabel *>(QStringLiteral("l_2"))->text() : QString());
        QVERIFY(w->findChild<QLabel *>(QStringLiteral("l_2"))->text() != QStringLiteral("Kundenname 1"));
        QCOMPARE(w->gr_kunden->model()->headerData(3, Qt::Horizontal).toString(), txt("gr_kunden_name1"));
        QCOMPARE(w->windowTitle(), txt("lbl_kundenstammdaten"));
        bild(w, QStringLiteral("kunden_englisch.png"));
        SpracheLaden(0, f.ordner.ordner());
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("l_2"))->text(), QStringLiteral("Kundenname 1"));
    }
};

QTEST_MAIN(TstKundenstamm)
#include "tst_kundenstamm.moc"

#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "capture/u_erfassung.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/dialogs.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"
#include "richtext/u_kopftext.h"
#include "tests/support/testprogrammordner.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSqlQuery>
#include <QTabWidget>
#include <QtTest>

// The main window with the capture tab wired as the program wires it, on the
// shipped test data; the window opens the databases itself.
struct Programm {
    TestProgrammordner ordner{TestProgrammordner::Daten::Testdaten, TestProgrammordner::Modul::NichtOeffnen};
    Tfrm_strings strings;
    Tdm_datenbank dm;
    std::unique_ptr<Tfrm_main> f;
    std::unique_ptr<Tfrm_kopftext> kopftext;
    TErfassung *e = nullptr;
    QStringList kundenfenster, artikelfenster;

    Programm()
    {
        frm_strings = &strings;
        setProgrammordner(ordner.ordner());
        QSettings st(FormStorage::organisation(), FormStorage::organisation());
        st.clear();
        st.setValue("Tfrm_main/cb_ersterstart_Checked", "0");
        st.sync();
        f = std::make_unique<Tfrm_main>();
        kopftext = std::make_unique<Tfrm_kopftext>(f.get());
        frm_kopftext = kopftext.get();
        e = new TErfassung(f->ts_erfassung);
        f->onPickerAufbauen = [this] { e->PickerAufbauen(); };
        f->onPickerOeffnen = [this] { e->PickerOeffnen(); };
        e->onKundenfensterZeigen = [this](const QString &k) { kundenfenster << k; };
        e->onArtikelfensterZeigen = [this](const QString &a) { artikelfenster << a; };
        e->onKopftextZeigen = [](const QString &caption, const QString &uebergabe, const QStringList &zeilen) {
            frm_kopftext->setWindowTitle(caption);
            frm_kopftext->setTransferCaption(uebergabe);
            frm_kopftext->setLines(zeilen);
            frm_kopftext->exec();
        };
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
    }
    ~Programm()
    {
        frm_kopftext = nullptr;
        kopftext.reset();
        f.reset();
        Sprache::clearRegistry();
        frm_strings = nullptr;
        setProgrammordner(QString());
    }

    QVariant haupt(const QString &sql) const { return TestProgrammordner::wert(dm.Datenbank_Verbindung.db(), sql); }
    QVariant lokal(const QString &sql) const { return TestProgrammordner::wert(dm.Datenbank_Verbindung_Lokal.db(), sql); }
    int zeilen() const { return lokal("select count(*) from Artikelpositionen").toInt(); }

    void tippen(QWidget *w, const QString &text)
    {
        klick(w);
        if (auto *le = qobject_cast<QLineEdit *>(w))
            le->selectAll();
        tasten(w, text);
    }
    // Key clicks, umlauts included (QTest's own helper takes ASCII only).
    static void tasten(QWidget *w, const QString &text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 128)
                QTest::keyClick(w, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
        }
    }
    static void klick(QWidget *w)
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
        QApplication::processEvents();
    }
    static void tab(QWidget *w)
    {
        QTest::keyClick(w, Qt::Key_Tab);
        QApplication::processEvents();
    }
    // Starts a capture for a customer of the test data with real keys and clicks.
    void erfassen(const QString &kunde = QStringLiteral("1"))
    {
        tippen(e->ed_kunde_re, kunde);
        klick(e->btn_kopfok_stammkunde_re);
    }
    void bild(const QString &name)
    {
        const QString ordner = qEnvironmentVariable("TVX_BILDER");
        if (!ordner.isEmpty())
            f->grab().save(ordner + QLatin1Char('/') + name);
    }
};

class TestErfassung : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void startsInHeaderModeWithPickers()
    {
        ScopedScriptedDialogs d;
        Programm p;
        QVERIFY(p.e->pnl_kopf_re->isEnabled());
        QVERIFY(!p.e->pnl_details_re->isEnabled());
        QVERIFY(!p.e->gr_artikelpositionen_re->isEnabled());
        QVERIFY(!p.e->pnl_fuss_re->isEnabled());
        QVERIFY(!p.e->pb_re->isVisible());
        // 19 visible customers of company 1 (1 to 20 without the hidden 12; 0 is left out)
        QCOMPARE(p.e->qry_kunden->recordCount(), 19);
        QCOMPARE(p.e->ed_kundengruppe_re->currentText(), QStringLiteral("Alle Gruppen"));
        QCOMPARE(p.e->ed_kundengruppe_re->itemData(0).toInt(), -17);
        QCOMPARE(p.e->qry_artikeln->recordCount(),
                 p.haupt("select count(*) from Artikelstamm where Sichtbar = 1").toInt());
        // not yet wired, but visibly so
        for (QPushButton *b : {p.e->btn_rechnungdrucken, p.e->btn_rechnung_mailen, p.e->btn_re_vorschau}) {
            QVERIFY(!b->isEnabled());
            QVERIFY(!b->toolTip().isEmpty());
        }
        QCOMPARE(p.e->btn_rechnung_mailen->text(), QStringLiteral("Email "));
        QCOMPARE(p.e->pnl_trenner_re->palette().color(QPalette::Window), QColor(0, 0, 128));
        QCOMPARE(p.e->gr_kunden_re->baseColour(), QColor(205, 226, 247));
        QCOMPARE(p.e->gr_artikeln_re->alternateColour(), QColor(196, 223, 196));
        p.bild("erfassung_kopf.png");
        QVERIFY(d.shown.isEmpty());
    }

    void captureOfThreePositions()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.erfassen("1");
        QVERIFY(d.shown.isEmpty());
        QVERIFY(!p.e->pnl_kopf_re->isEnabled());
        QVERIFY(p.e->pnl_details_re->isEnabled());
        QTRY_VERIFY(p.e->ed_artikel_re->hasFocus());
        QCOMPARE(p.zeilen(), 1);
        QCOMPARE(p.lokal("select Menge from Artikelpositionen").toDouble(), 1.0);
        QCOMPARE(p.e->re_kopftext_re->toPlainText(), p.f->re_kopftextvorschlag_re->toPlainText());
        QCOMPARE(Waehrung, p.f->ed_waehrung->currentText());

        // 1: no article, only a text
        p.tippen(p.e->ed_text_re, "Vorarbeiten laut Besprechung");
        Programm::klick(p.e->btn_neueposition);
        QCOMPARE(p.zeilen(), 2);
        QTRY_VERIFY(p.e->ed_artikel_re->hasFocus());

        // 2: an unknown article is refused twice, then corrected
        QTest::keyClicks(p.e->ed_artikel_re, "GIBTSNICHT");
        Programm::tab(p.e->ed_artikel_re);
        QCOMPARE(d.lastText(), txt("sm_23"));
        QTRY_VERIFY(p.e->ed_artikel_re->hasFocus());
        Programm::klick(p.e->btn_neueposition);
        QCOMPARE(d.lastText(), txt("sm_55"));
        QCOMPARE(p.zeilen(), 2);
        QCOMPARE(p.e->tbl_rechnungerfassen->state(), Dataset::State::Edit);
        p.tippen(p.e->ed_artikel_re, "H200");
        Programm::tab(p.e->ed_artikel_re);
        QTRY_VERIFY(p.e->ed_menge_re->hasFocus());
        p.e->ed_menge_re->selectAll();
        QTest::keyClicks(p.e->ed_menge_re, "3");
        Programm::tab(p.e->ed_menge_re);
        QCOMPARE(p.e->DBEdit2->text(), QStringLiteral("345,00"));
        QCOMPARE(p.e->DBEdit1->text(), QStringLiteral("rm"));

        // 3: with a discount
        Programm::klick(p.e->btn_neueposition);
        QTest::keyClicks(p.e->ed_artikel_re, "IT300");
        Programm::tab(p.e->ed_artikel_re);
        p.e->ed_menge_re->selectAll();
        QTest::keyClicks(p.e->ed_menge_re, "2");
        Programm::tab(p.e->ed_menge_re);
        p.tippen(p.e->ed_rabatt_re, "10");
        Programm::klick(p.e->ed_text_re);
        QCOMPARE(p.e->DBEdit2->text(), QStringLiteral("172,80"));
        p.bild("erfassung_positionen.png");

        QSqlQuery q(p.dm.Datenbank_Verbindung_Lokal.db());
        QVERIFY(q.exec("select ID_Artikelposition, Artikel, ArtikelName, Menge, Preis, Rabatt, Gesamt, Einheit, Text "
                       "from Artikelpositionen order by ID_Artikelposition"));
        struct Z { int id; QString artikel, name; double menge, preis, rabatt, gesamt; QString einheit, text; };
        const QList<Z> erwartet = {
            {1, "", "", 1, 0, 0, 0, "", "Vorarbeiten laut Besprechung"},
            {2, "H200", "Brennholz Buche ofenfertig", 3, 115, 0, 345, "rm", ""},
            {3, "IT300", "IT-Service Stunde", 2, 96, 10, 172.8, "Std", ""}};
        for (const Z &z : erwartet) {
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), z.id);
            QCOMPARE(q.value(1).toString(), z.artikel);
            QCOMPARE(q.value(2).toString(), z.name);
            QCOMPARE(q.value(3).toDouble(), z.menge);
            QCOMPARE(q.value(4).toDouble(), z.preis);
            QCOMPARE(q.value(5).toDouble(), z.rabatt);
            QCOMPARE(q.value(6).toDouble(), z.gesamt);
            QCOMPARE(q.value(7).toString(), z.einheit);
            QCOMPARE(q.value(8).toString(), z.text);
        }
        QVERIFY(!q.next());
        // leaving the field for "+ Position" checks the article once more
        QCOMPARE(d.texts(), (QStringList{txt("sm_23"), txt("sm_23"), txt("sm_55")}));

        // "Abbruch": header mode again, rows stay until the next capture
        Programm::klick(p.e->btn_cancel_re);
        QVERIFY(p.e->pnl_kopf_re->isEnabled());
        QVERIFY(!p.e->pnl_details_re->isEnabled());
        QVERIFY(p.e->ed_kunde_re->text().isEmpty());
        QCOMPARE(p.e->ed_datum_re->date(), TestProgrammordner::jetzt().date());
        QCOMPARE(p.zeilen(), 3);
        p.erfassen("2");
        QCOMPARE(p.zeilen(), 1);
        QCOMPARE(p.lokal("select ID_Artikelposition from Artikelpositionen").toInt(), 1);
    }

    void startChecks_data()
    {
        QTest::addColumn<QString>("kunde");
        QTest::addColumn<QString>("periode");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("unknown customer") << "999" << "20120101" << txt("sm_18");
        QTest::newRow("empty customer") << "" << "20120101" << txt("sm_18");
        QTest::newRow("period -1") << "1" << "-1" << txt("sm_19");
        QTest::newRow("period no integer") << "1" << "2012x" << "'2012x' ist kein gültiger Integerwert";
        QTest::newRow("hidden customer is valid") << "12" << "20120101" << "";
    }
    void startChecks()
    {
        QFETCH(QString, kunde);
        QFETCH(QString, periode);
        QFETCH(QString, meldung);
        ScopedScriptedDialogs d;
        Programm p;
        p.e->ed_periode_re->setText(periode);
        p.e->ed_kunde_re->setText(kunde);
        Programm::klick(p.e->btn_kopfok_stammkunde_re);
        d.shown.removeIf([](const Dialogs::Record &r) { return r.text == txt("sm_21"); }); // the field's own exit
        if (meldung.isEmpty()) {
            QVERIFY(d.shown.isEmpty());
            QVERIFY(!p.e->pnl_kopf_re->isEnabled());
            return;
        }
        QCOMPARE(d.lastText(), meldung);
        QVERIFY(p.e->pnl_kopf_re->isEnabled());
        QVERIFY(!p.e->tbl_rechnungerfassen->isOpen());
    }

    void companyMissing()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.ordner.wert(p.dm.Datenbank_Verbindung.db(), "delete from Firmenstamm");
        p.erfassen("1");
        QCOMPARE(d.lastText(), txt("sm_17"));
        QVERIFY(p.e->pnl_kopf_re->isEnabled());
    }

    void customerFieldExit()
    {
        ScopedScriptedDialogs d;
        Programm p;
        // letters narrow the picker by Suchbegriff, umlauts in any case
        p.tippen(p.e->ed_kunde_re, "mü");
        QCOMPARE(p.e->ed_kundensuche_re->text(), QStringLiteral("mü"));
        QCOMPARE(p.e->qry_kunden->recordCount(), 1);
        QCOMPARE(p.e->qry_kunden->asString("Name_KU"), QStringLiteral("Mühlbacher Holzbau GmbH"));
        Programm::tab(p.e->ed_kunde_re);
        QCOMPARE(d.lastText(), txt("sm_20"));
        QVERIFY(p.e->ed_kunde_re->text().isEmpty());
        QVERIFY(p.e->ed_kundensuche_re->text().isEmpty());
        QCOMPARE(p.e->ed_kunde_re_name->text(), txt("sm_20"));
        QCOMPARE(p.e->qry_kunden->recordCount(), 19);

        p.tippen(p.e->ed_kunde_re, "4");
        Programm::tab(p.e->ed_kunde_re);
        QCOMPARE(p.e->ed_kunde_re_name->text(), QStringLiteral("Mühlbacher Holzbau GmbH"));

        p.tippen(p.e->ed_kunde_re, "999");
        Programm::tab(p.e->ed_kunde_re);
        QCOMPARE(d.lastText(), txt("sm_21"));
        QCOMPARE(p.e->ed_kunde_re->text(), QStringLiteral("999"));
        QCOMPARE(p.e->ed_kunde_re_name->text(), txt("sm_20"));

        // an empty field says nothing and keeps the label
        d.clear();
        p.e->ed_kunde_re->clear();
        p.e->ed_kunde_re_name->setText("bleibt");
        Programm::klick(p.e->ed_kunde_re);
        Programm::tab(p.e->ed_kunde_re);
        QVERIFY(d.shown.isEmpty());
        QCOMPARE(p.e->ed_kunde_re_name->text(), QStringLiteral("bleibt"));
    }

    void pickerGroupsSearchAndSort()
    {
        ScopedScriptedDialogs d;
        Programm p;
        QComboBox *g = p.e->ed_kundengruppe_re;
        const int zwei = g->findData(2);
        QVERIFY(zwei > 0);
        g->setCurrentIndex(zwei);
        emit g->activated(zwei);
        const int inGruppe2 = p.haupt("select count(*) from Kundenstamm where Firma = 1 and Kundengruppe = 2 "
                                           "and Kunde <> 0 and Sichtbar = 1").toInt();
        QCOMPARE(p.e->qry_kunden->recordCount(), inGruppe2);
        g->setCurrentIndex(0);
        emit g->activated(0);
        QCOMPARE(p.e->qry_kunden->recordCount(), 19);

        // the filter stays over a group change and the tab visit
        QTest::keyClicks(p.e->ed_artikelsuche_re, "h");
        const int mitH = p.e->qry_artikeln->recordCount();
        QVERIFY(mitH > 0 && mitH < p.haupt("select count(*) from Artikelstamm where Sichtbar = 1").toInt());
        p.f->pc_main->setCurrentWidget(p.f->ts_einstellungen);
        p.f->pc_main->setCurrentWidget(p.f->ts_erfassung);
        QCOMPARE(p.e->qry_artikeln->recordCount(), mitH);
        // a quote is doubled in the literal
        p.e->ed_artikelsuche_re->setText("a'b");
        QCOMPARE(p.e->qry_artikeln->filter(), QStringLiteral("Suchbegriff like 'a''b%'"));
        QCOMPARE(p.e->qry_artikeln->recordCount(), 0);
        p.e->ed_artikelsuche_re->clear();
        QCOMPARE(p.e->qry_artikeln->filter(), QStringLiteral("Suchbegriff like '%'"));

        // three clicks on "Name": ascending, descending, ascending
        QHeaderView *h = p.e->gr_kunden_re->horizontalHeader();
        const QStringList erwartet = {"Name_KU  ASC", "Name_KU DESC", "Name_KU  ASC"};
        for (const QString &s : erwartet) {
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(1) + 10, h->height() / 2));
            QCOMPARE(p.e->qry_kunden->sort(), s);
        }
        QCOMPARE(p.e->qry_kunden->asString("Name_KU"), QStringLiteral("Andreas Müller"));
        QVERIFY(d.shown.isEmpty());
    }

    void pickerHandOvers()
    {
        ScopedScriptedDialogs d;
        Programm p;
        auto doppelklick = [](QAbstractItemView *v, int row) {
            v->scrollTo(v->model()->index(row, 1));
            const QRect r = v->visualRect(v->model()->index(row, 1));
            QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, r.center());
            QApplication::processEvents();
        };
        // article in header mode: refused
        doppelklick(p.e->gr_artikeln_re, 0);
        QCOMPARE(d.lastText(), txt("sm_11") + "\n\n" + txt("sm_12"));
        // customer in header mode: taken over
        p.e->qry_kunden->locate("Kunde", 4);
        doppelklick(p.e->gr_kunden_re, p.e->qry_kunden->row());
        QCOMPARE(p.e->ed_kunde_re->text(), QStringLiteral("4"));
        QCOMPARE(p.e->ed_kunde_re_name->text(), QStringLiteral("Mühlbacher Holzbau GmbH"));
        QTRY_VERIFY(p.e->ed_kunde_re->hasFocus());
        Programm::klick(p.e->btn_kopfok_stammkunde_re);
        QVERIFY(p.e->pnl_details_re->isEnabled());
        // customer in capture mode: refused
        doppelklick(p.e->gr_kunden_re, 0);
        QCOMPARE(d.lastText(), txt("sm_9") + "\n\n" + txt("sm_10"));
        QCOMPARE(p.e->ed_kunde_re->text(), QStringLiteral("4"));
        QVERIFY(!p.e->KundeUebernehmen("5", "Sabine Öller"));

        // article into the posted row: edit starts, price follows on leaving
        QVERIFY(p.e->qry_artikeln->locate("Artikel", "IT300"));
        doppelklick(p.e->gr_artikeln_re, p.e->qry_artikeln->row());
        QCOMPARE(p.e->tbl_rechnungerfassen->state(), Dataset::State::Edit);
        QCOMPARE(p.e->ed_artikel_re->text(), QStringLiteral("IT300"));
        QCOMPARE(p.e->tbl_rechnungerfassen->asFloat("Preis"), 0.0);
        QTRY_VERIFY(p.e->ed_artikel_re->hasFocus());
        Programm::tab(p.e->ed_artikel_re);
        QCOMPARE(p.e->tbl_rechnungerfassen->state(), Dataset::State::Browse);
        QCOMPARE(p.lokal("select Preis from Artikelpositionen").toDouble(), 96.0);
        QCOMPARE(p.lokal("select Gesamt from Artikelpositionen").toDouble(), 96.0);
        // a replaced article of a stored row is priced again
        p.tippen(p.e->ed_artikel_re, "H200");
        Programm::tab(p.e->ed_artikel_re);
        QCOMPARE(p.lokal("select Gesamt from Artikelpositionen").toDouble(), 115.0);
        QCOMPARE(p.lokal("select Einheit from Artikelpositionen").toString(), QStringLiteral("rm"));

        // the article window's hand-over
        p.e->ArtikelUebernehmen("ANF", "Anfahrt Stadtgebiet Salzburg");
        QTRY_VERIFY(p.e->ed_artikel_re->hasFocus());
        Programm::tab(p.e->ed_artikel_re);
        QCOMPARE(p.lokal("select Artikel from Artikelpositionen").toString(), QStringLiteral("ANF"));
        QCOMPARE(p.lokal("select Gesamt from Artikelpositionen").toDouble(), 35.0);
        QCOMPARE(d.shown.size(), 3);

        // the windows are opened with the typed number
        QTest::keyClick(p.e->ed_artikel_re, Qt::Key_F5);
        Programm::klick(p.e->btn_artikelstamm_re);
        QCOMPARE(p.artikelfenster, (QStringList{"ANF", "ANF"}));
    }

    void priceListAndQuantityRule()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.ordner.wert(p.dm.Datenbank_Verbindung.db(),
                      "update Artikelstamm set Preis1 = 10, Preis2 = 0, Preis3 = 8 where Artikel = 'ANF'");
        p.erfassen("1");
        QTest::keyClicks(p.e->ed_artikel_re, "ANF");
        Programm::tab(p.e->ed_artikel_re);
        QComboBox *c = p.e->ed_einzelpreis_re;
        QCOMPARE(c->count(), 2);
        QCOMPARE(c->itemText(0), QStringLiteral("10,00"));
        QCOMPARE(c->itemText(1), QStringLiteral("8,00"));
        QCOMPARE(c->currentText(), QStringLiteral("10,00"));
        // choose 8,00 from the list, leave the price: the amount follows
        Programm::klick(c);
        c->hidePopup();
        c->setCurrentIndex(1);
        emit c->activated(1);
        Programm::klick(p.e->ed_rabatt_re);
        QCOMPARE(p.lokal("select Preis from Artikelpositionen").toDouble(), 8.0);
        QCOMPARE(p.lokal("select Gesamt from Artikelpositionen").toDouble(), 8.0);
        // a new quantity brings the first price back
        p.tippen(p.e->ed_menge_re, "4");
        Programm::klick(p.e->ed_text_re);
        QCOMPARE(p.lokal("select Preis from Artikelpositionen").toDouble(), 10.0);
        QCOMPARE(p.lokal("select Gesamt from Artikelpositionen").toDouble(), 40.0);
        QCOMPARE(c->currentText(), QStringLiteral("10,00"));
        // F3 opens the tab order to name, price and discount
        Programm::klick(p.e->ed_artikel_re);
        QCOMPARE(p.e->ed_einzelpreis_re->focusPolicy(), Qt::ClickFocus);
        QTest::keyClick(p.e->ed_artikel_re, Qt::Key_F3);
        QTRY_VERIFY(p.e->ed_artikel_re_name->hasFocus());
        QCOMPARE(p.e->ed_artikel_re_name->selectedText(), p.e->ed_artikel_re_name->text());
        QCOMPARE(p.e->ed_einzelpreis_re->focusPolicy(), Qt::StrongFocus);
        // a blank article sends the quantity back to the article field
        Programm::klick(p.e->btn_neueposition);
        Programm::klick(p.e->ed_menge_re);
        QTRY_VERIFY(p.e->ed_artikel_re->hasFocus());
        QVERIFY(d.shown.isEmpty());
    }

    void deletePositionAsksFirst()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.erfassen("1");
        Programm::klick(p.e->btn_neueposition);
        QCOMPARE(p.zeilen(), 2);
        d.answers = {false};
        Programm::klick(p.e->btn_position_loeschen);
        QCOMPARE(p.zeilen(), 2);
        d.answers = {true};
        Programm::klick(p.e->btn_position_loeschen);
        QCOMPARE(p.zeilen(), 1);
        QCOMPARE(d.shown.size(), 2);
        QCOMPARE(d.shown[0].kind, Dialogs::Kind::Question);
    }

    void headerTextTransfer()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.erfassen("1");
        const QString vorher = p.e->re_kopftext_re->toPlainText();
        // "Schliessen" keeps the text
        QTimer::singleShot(0, [] {
            frm_kopftext->editor()->setPlainText("verworfen");
            frm_kopftext->findChild<QPushButton *>("btn_close")->click();
        });
        Programm::klick(p.e->btn_kopftext_re);
        QCOMPARE(p.e->re_kopftext_re->toPlainText(), vorher);
        // the transfer button hands the lines back, empty ones included
        QString titel, knopf;
        QTimer::singleShot(0, [&] {
            titel = frm_kopftext->windowTitle();
            knopf = frm_kopftext->transferButton()->text();
            frm_kopftext->editor()->setPlainText("Zeile 1\n\nZeile 3");
            QTest::mouseClick(frm_kopftext->transferButton(), Qt::LeftButton);
        });
        Programm::klick(p.e->btn_kopftext_re);
        QCOMPARE(titel, txt("sk_2"));
        QCOMPARE(knopf, txt("sk_3"));
        QCOMPARE(p.e->re_kopftext_re->toPlainText(), QStringLiteral("Zeile 1\n\nZeile 3"));
        // an emptied closing text stays empty
        QTimer::singleShot(0, [&] {
            titel = frm_kopftext->windowTitle();
            frm_kopftext->editor()->clear();
            QTest::mouseClick(frm_kopftext->transferButton(), Qt::LeftButton);
        });
        Programm::klick(p.e->btn_fusstext_re);
        QCOMPARE(titel, txt("sk_4"));
        QVERIFY(p.e->re_fusstext_re->toPlainText().isEmpty());
        QVERIFY(d.shown.isEmpty());
    }

    void languageReachesTheTab()
    {
        ScopedScriptedDialogs d;
        Programm p;
        SpracheLaden(1, p.ordner.ordner());
        int gefunden = 0;
        for (const Sprache::Key &k : Sprache::keys("Main")) {
            const bool meins = k.role.startsWith("capture") || k.role.startsWith("position panel")
                               || k.role.startsWith("customer picker") || k.role.startsWith("article picker");
            if (!meins)
                continue;
            ++gefunden;
            QObject *o = p.f->findChild<QObject *>(k.component);
            QVERIFY2(o, qPrintable(k.component));
        }
        QCOMPARE(gefunden, 23);
        QCOMPARE(p.e->btn_kopfok_stammkunde_re->text(), QStringLiteral("Create invoice"));
        QCOMPARE(p.e->le_2->text(), QStringLiteral("Article"));
        QCOMPARE(p.e->gr_kunden_re->model()->headerData(1, Qt::Horizontal).toString(), txt("gr_kunden_re_name"));
        QCOMPARE(p.e->gr_artikelpositionen_re->model()->headerData(1, Qt::Horizontal).toString(),
                 txt("gr_artikelpositionen_re_bezeichnung"));
        SpracheLaden(0, p.ordner.ordner());
    }
};

QTEST_MAIN(TestErfassung)
#include "tst_erfassung.moc"

// The article window and the article pictures on the shipped test data.
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "capture/u_erfassung.h"
#include "data/u_dm_datenbank.h"
#include "masterdata/u_artikelstammdaten.h"
#include "masterdata/u_bilder.h"
#include "masterdata/u_stammfenster.h"
#include "platform/core/dialogs.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "richtext/trichtexttoolbar.h"
#include "tests/masterdata/stammtest.h"
#include "tests/support/testprogrammordner.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace stamm;

namespace {
struct Fenster : stamm::StammFenster<Tfrm_artikelstammdaten> {
    Fenster()
        : stamm::StammFenster<Tfrm_artikelstammdaten>([] {
              Einstellung::set(QStringLiteral("ed_mwst_a"), QStringLiteral("20"));
              Einstellung::set(QStringLiteral("ed_mwst_b"), QStringLiteral("10"));
              Einstellung::set(QStringLiteral("ed_mwst_c"), QStringLiteral("13"));
              Einstellung::set(QStringLiteral("ed_mwst_d"), QString());
          })
    {
    }
    Dataset *a() const { return w->tbl_artikeln; }
    void bildSpeichern(const QString &name, int breite, int hoehe) const
    {
        QImage b(breite, hoehe, QImage::Format_RGB32);
        b.fill(Qt::darkCyan);
        QVERIFY(b.save(ordner.pfad(name)));
    }
};
} // namespace

class TstArtikelstamm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void zeigenUndListen()
    {
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        QCOMPARE(w->pc_artikel->currentWidget(), w->ts_artikeln);
        QCOMPARE(w->pc_zusatz->currentWidget(), w->ts_bild);
        QCOMPARE(w->btn_neu->text(), txt("sk_11"));
        QCOMPARE(f.a()->sort(), QStringLiteral("Name_AR"));
        QVERIFY(!f.a()->filtered());
        QCOMPARE(f.a()->recordCount(), 42);
        QVERIFY(w->nav_datensatz->knopf(QStringLiteral("nbCopy"))->isVisible());
        // VAT list from the settings, stored as 1 to 4; an empty rate is 0
        QStringList mwst;
        for (int i = 0; i < w->cb_mwst->count(); ++i)
            mwst << w->cb_mwst->itemText(i);
        QCOMPARE(mwst, (QStringList{"20,00%", "10,00%", "13,00%", "0,00%"}));
        QCOMPARE(w->cb_mwst->itemData(2).toInt(), 3);
        // the units come from the unit list
        QCOMPARE(w->cb_einheit->count(), 10);
        QCOMPARE(w->cb_einheit->itemText(5), QStringLiteral("m²"));
        QCOMPARE(w->cb_artikelgruppe->count(), 5);
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("T120")));
        stamm::bild(w, QStringLiteral("artikel_artikeldaten.png"));
        w->pc_zusatz->setCurrentWidget(w->ts_sonstiges);
        stamm::bild(w, QStringLiteral("artikel_sonstiges.png"));
        w->pc_zusatz->setCurrentWidget(w->ts_einstellungen);
        stamm::bild(w, QStringLiteral("artikel_vortrag.png"));
        w->pc_artikel->setCurrentWidget(w->ts_artikelgruppen);
        QCOMPARE(w->btn_neu->text(), txt("sk_7"));
        QCOMPARE(w->btn_loeschen->text(), txt("sk_9"));
        QVERIFY(!w->ed_suche->isEnabled());
        QVERIFY(w->gr_gruppen->isVisible());
        stamm::bild(w, QStringLiteral("artikel_gruppen.png"));
        w->close();
        f.zeigen();
        QCOMPARE(w->pc_artikel->currentWidget(), w->ts_artikeln);
        QCOMPARE(w->btn_loeschen->text(), txt("sk_12"));
    }

    void suchen()
    {
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        QCOMPARE(Tfrm_artikelstammdaten::Filtertext(-17, QStringLiteral("  ")), QString());
        QCOMPARE(Tfrm_artikelstammdaten::Filtertext(-17, QStringLiteral("Hol'z")), QStringLiteral("Suchbegriff like 'Hol''z%'"));
        QCOMPARE(Tfrm_artikelstammdaten::Filtertext(3, QString()), QStringLiteral("(Artikelgruppe = 3)"));
        QCOMPARE(Tfrm_artikelstammdaten::Filtertext(3, QStringLiteral("B")),
                 QStringLiteral("(Artikelgruppe = 3) and (Suchbegriff like 'B%')"));
        klick(w->findChild<QPushButton *>(QStringLiteral("FB")));
        QCOMPARE(f.a()->filter(), QStringLiteral("Suchbegriff like 'B%'"));
        QCOMPARE(f.a()->recordCount(), 3); // Baustellengebühr, Brennholz Buche, Brennholz Fichte
        tippen(w->ed_suche, QStringLiteral("dä"));
        QCOMPARE(f.a()->recordCount(), 1);
        QCOMPARE(f.a()->asString(QStringLiteral("Artikel")), QStringLiteral("H280"));
        waehlen(w->cb_gruppenwahl, 3); // group 3 with "dä"
        QCOMPARE(f.a()->filter(), QStringLiteral("(Artikelgruppe = 3) and (Suchbegriff like 'dä%')"));
        klick(w->btn_alle);
        QVERIFY(!f.a()->filtered());
        QCOMPARE(f.a()->recordCount(), 42);
    }

    void neuerArtikel()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        taste(w->ed_artikel, Qt::Key_F6);
        QCOMPARE(f.a()->state(), Dataset::State::Insert);
        QCOMPARE(f.a()->asString(QStringLiteral("Artikel")), QString());
        QCOMPARE(f.a()->asInteger(QStringLiteral("Artikelgruppe")), 1);
        QCOMPARE(f.a()->asInteger(QStringLiteral("MWST")), 1);
        QCOMPARE(f.a()->asFloat(QStringLiteral("Mindestbestand")), 1.0);
        QCOMPARE(f.a()->asString(QStringLiteral("Seriennummer")), QStringLiteral("0"));
        QCOMPARE(f.a()->asInteger(QStringLiteral("ButtonFarbe")), 12632256);
        QCOMPARE(f.a()->asInteger(QStringLiteral("ID_GS")), -1);
        QCOMPARE(f.a()->asInteger(QStringLiteral("BildAufRechnung")), 0);
        QCOMPARE(f.a()->asDateTime(QStringLiteral("Anlagedatum")), TestProgrammordner::jetzt());
        QCOMPARE(QApplication::focusWidget(), w->ed_artikel);
        // number, then name: the name wins the search term
        tasten(w->ed_artikel, QStringLiteral("4711"));
        taste(w->ed_artikel, Qt::Key_Tab);
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("4711"));
        tasten(w->ed_name_ar, QStringLiteral("Zirbenholzbrett gehobelt 30 mm"));
        taste(w->ed_name_ar, Qt::Key_Tab);
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("Zirbenholzbrett geho"));
        tippen(w->ed_preis1, QStringLiteral("10"));
        taste(w->ed_preis1, Qt::Key_F8);
        QCOMPARE(f.a()->state(), Dataset::State::Browse);
        QCOMPARE(f.letzterLog(), QStringLiteral("Artikel: 4711"));
        // change log of an edit: prices and group, formatted by the locale
        tippen(w->ed_preis1, QStringLiteral("12,5"));
        waehlen(w->cb_artikelgruppe, 2);
        klick(w->btn_uebernehmen);
        QCOMPARE(f.letzterLog(), QStringLiteral("Artikel: 4711 Preis1 10,00>12,50 Artikelgruppe 1>3"));
        QCOMPARE(f.ordner.wert(QStringLiteral("select Preis1 from Artikelstamm where Artikel = '4711'")).toDouble(), 12.5);
        // an existing article with an empty search term takes it from the number
        f.ordner.ausfuehren(QStringLiteral("update Artikelstamm set Suchbegriff = '' where Artikel = 'KM'"));
        w->close();
        f.zeigen();
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("KM")));
        tippen(w->ed_artikel, QStringLiteral("KM2"));
        taste(w->ed_artikel, Qt::Key_Tab);
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("KM2"));
        taste(w->ed_name_ar, Qt::Key_Tab); // a search term now: the name leaves it alone
        QCOMPARE(w->ed_suchbegriff->text(), QStringLiteral("KM2"));
        klick(w->btn_cancel);
        // a duplicate number is refused and the row stays in insert
        klick(w->btn_neu);
        tasten(w->ed_artikel, QStringLiteral("T100"));
        klick(w->btn_uebernehmen);
        QCOMPARE(f.a()->state(), Dataset::State::Insert);
        QCOMPARE(d.shown.size(), 1); // the database's refusal
        QCOMPARE(d.shown.first().kind, Dialogs::Kind::Error);
        w->close();
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Artikelstamm where Artikel = 'T100'")).toInt(), 1);
    }

    void aenderungstext()
    {
        const QLocale vorher;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto zurueck = qScopeGuard([&] { QLocale::setDefault(vorher); });
        QHash<QString, QVariant> alt, neu;
        for (int i = 1; i <= 6; ++i) {
            alt.insert(QStringLiteral("Preis%1").arg(i), 1234567.5 * i);
            neu.insert(QStringLiteral("Preis%1").arg(i), 7654321.25 * i);
        }
        alt.insert(QStringLiteral("Artikelgruppe"), 1);
        neu.insert(QStringLiteral("Artikelgruppe"), QVariant()); // unreadable: left out
        const QString t = Tfrm_artikelstammdaten::Aenderungstext(QStringLiteral("X"), alt, neu);
        QCOMPARE(t.size(), 150);
        QVERIFY(t.startsWith(QStringLiteral("Artikel: X Preis1 1.234.567,50>7.654.321,25 Preis2 ")));
        // nothing stored yet (a new article): only the number
        QCOMPARE(Tfrm_artikelstammdaten::Aenderungstext(QStringLiteral("A1"), {}, neu), QStringLiteral("Artikel: A1"));
    }

    void kopierenUndLoeschen()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("HW400")));
        d.answers << true;
        klick(w->nav_datensatz->knopf(QStringLiteral("nbCopy")));
        QCOMPARE(f.a()->state(), Dataset::State::Insert);
        QCOMPARE(f.a()->asString(QStringLiteral("Name_AR")), QStringLiteral("Notebook 15 Zoll"));
        QCOMPARE(f.a()->asFloat(QStringLiteral("Preis1")), 899.0);
        QCOMPARE(QApplication::focusWidget(), w->ed_artikel);
        tippen(w->ed_artikel, QStringLiteral("HW401"));
        klick(w->btn_uebernehmen);
        QCOMPARE(f.ordner.wert(QStringLiteral("select Preis1 from Artikelstamm where Artikel = 'HW401'")).toDouble(), 899.0);
        // delete with log
        d.clear();
        d.answers << true;
        klick(w->btn_loeschen);
        QCOMPARE(d.texts(), QStringList{txt("am_1")});
        QCOMPARE(f.letzterLog(), txt("ps_2") + QStringLiteral("HW401"));
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Artikelstamm where Artikel = 'HW401'")).toInt(), 0);
        // an article on an issued invoice stays
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("T110")));
        d.clear();
        d.answers << true;
        klick(w->btn_loeschen);
        QCOMPARE(d.texts(), QStringList{txt("sm_57")});
        QCOMPARE(f.ordner.wert(QStringLiteral("select count(*) from Artikelstamm where Artikel = 'T110'")).toInt(), 1);
        // groups: numbering, refusal of the last one
        w->pc_artikel->setCurrentWidget(w->ts_artikelgruppen);
        klick(w->btn_neu);
        QCOMPARE(w->tbl_artikelgruppen->asInteger(QStringLiteral("Artikelgruppe")), 6);
        QCOMPARE(QApplication::focusWidget(), w->ed_name_ag);
        klick(w->btn_cancel);
        w->cb_gruppennummer_auto->setChecked(false);
        klick(w->btn_neu);
        QCOMPARE(QApplication::focusWidget(), w->ed_artikelgruppe_nr);
        klick(w->btn_cancel);
        f.ordner.ausfuehren(QStringLiteral("delete from Artikelgruppen where Artikelgruppe > 1"));
        w->close();
        f.zeigen();
        w->pc_artikel->setCurrentWidget(w->ts_artikelgruppen);
        d.clear();
        klick(w->btn_loeschen);
        QCOMPARE(d.texts(), QStringList{txt("sm_1")});
    }

    void beschreibungUndWerkzeugleiste()
    {
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        QToolButton *fett = w->tb_beschreibung->findChild<QToolButton *>(QStringLiteral("BoldButton"));
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("IT330")));
        QVERIFY(w->me_anschrift_firma->toPlainText().startsWith(QStringLiteral("Sicherung auf NAS")));
        QCOMPARE(w->me_anschrift_firma->lineWrapMode(), QTextEdit::NoWrap);
        fett->setChecked(true); // stale
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("KM")));
        QVERIFY(!fett->isChecked());
        // Enter breaks the line in the description
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("IT330")));
        w->me_anschrift_firma->setFocus();
        w->me_anschrift_firma->moveCursor(QTextCursor::End);
        taste(w->me_anschrift_firma, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->me_anschrift_firma);
        QCOMPARE(f.a()->state(), Dataset::State::Edit);
        klick(w->btn_cancel);
    }

    void bilder()
    {
        ScopedScriptedDialogs d;
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        f.bildSpeichern(QStringLiteral("BilderArchiv/breit.bmp"), 520, 160);
        f.bildSpeichern(QStringLiteral("hoch.jpg"), 100, 400);
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("HW400")));
        QCOMPARE(w->ed_bildpfad->text(), QStringLiteral("notebook.bmp")); // shipped, fits unscaled
        QCOMPARE(w->img_bild->size(), QSize(220, 150));
        // typed by hand: a bare name in the picture folder
        tippen(w->ed_bildpfad, QStringLiteral("breit.bmp"));
        QCOMPARE(w->img_bild->size(), QSize(260, 80));
        QVERIFY(w->img_bild->hasScaledContents());
        // chosen in the folder: the bare name is stored
        d.files << f.ordner.pfad(QStringLiteral("BilderArchiv/breit.bmp"));
        klick(w->btn_bildpfad);
        QCOMPARE(d.shown.last().text, QStringLiteral("Bilddatei auswählen"));
        QCOMPARE(w->ed_bildpfad->text(), QStringLiteral("breit.bmp"));
        // chosen elsewhere: the full path
        d.files << f.ordner.pfad(QStringLiteral("hoch.jpg"));
        klick(w->btn_bildpfad);
        QCOMPARE(w->ed_bildpfad->text(), f.ordner.pfad(QStringLiteral("hoch.jpg")));
        QCOMPARE(w->img_bild->size(), QSize(40, 160));
        klick(w->btn_uebernehmen);
        QCOMPARE(f.ordner.wert(QStringLiteral("select Bildpfad from Artikelstamm where Artikel = 'HW400'")).toString(),
                 f.ordner.pfad(QStringLiteral("hoch.jpg")));
        stamm::bild(w, QStringLiteral("artikel_bild.png"));
        // cancelling the dialog changes nothing; scrolling away empties the box
        klick(w->btn_bildpfad);
        QCOMPARE(f.a()->state(), Dataset::State::Browse);
        QVERIFY(f.a()->locate(QStringLiteral("Artikel"), QStringLiteral("KM")));
        QCOMPARE(w->img_bild->size(), QSize(0, 0));
        QVERIFY(d.texts().filter(QStringLiteral("Fehler")).isEmpty());
    }

    // Every caption of the window follows a language change and returns to German.
    void sprache()
    {
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        auto beschriftungen = [w] {
            QStringList t{w->findChild<QLabel *>(QStringLiteral("l_1"))->text(),
                          w->findChild<QLabel *>(QStringLiteral("l_14"))->text(),
                          w->pc_zusatz->tabText(w->pc_zusatz->indexOf(w->ts_bild)),
                          w->findChild<QPushButton *>(QStringLiteral("btn_neu"))->text(),
                          w->findChild<QCheckBox *>(QStringLiteral("cb_bild"))->text(), w->windowTitle()};
            for (int c = 0; c < w->gr_artikeln->model()->columnCount(); ++c)
                t << w->gr_artikeln->model()->headerData(c, Qt::Horizontal).toString();
            return t;
        };
        QCOMPARE(w->windowTitle(), QStringLiteral("ARTIKELSTAMMDATEN")); // designed, until a language is loaded
        SpracheLaden(0, f.ordner.ordner());
        const QStringList deutsch = beschriftungen();
        QCOMPARE(deutsch.mid(0, 2), (QStringList{QStringLiteral("Artikel Nr."), QStringLiteral("Pfad der Bilddatei")}));
        SpracheLaden(1, f.ordner.ordner());
        const QStringList englisch = beschriftungen();
        QCOMPARE(englisch.mid(0, 6), (QStringList{QStringLiteral("Article no."), QStringLiteral("Path of the picture file"),
                                                  QStringLiteral("Article picture"), QStringLiteral("New article"),
                                                  QStringLiteral("Picture on invoice"), txt("lbl_artikelstammdaten")}));
        QVERIFY(englisch.contains(QStringLiteral("AGR")) && englisch.contains(QStringLiteral("Article")));
        QVERIFY(!englisch.contains(QStringLiteral("Artikel")));
        stamm::bild(w, QStringLiteral("artikel_englisch.png"));
        SpracheLaden(0, f.ordner.ordner());
        QCOMPARE(beschriftungen(), deutsch);
    }

    void uebergabe()
    {
        Fenster f;
        Tfrm_artikelstammdaten *w = f.w.get();
        QWidget seite;
        TErfassung erf(&seite);
        seite.resize(1200, 800);
        seite.show();
        QVERIFY(QTest::qWaitForWindowExposed(&seite));
        tippen(erf.ed_kunde_re, QStringLiteral("1"));
        klick(erf.btn_kopfok_stammkunde_re);
        QVERIFY(erf.tbl_rechnungerfassen->isOpen());
        w->btn_uebergeben->setVisible(true);
        w->Ansteuern(QStringLiteral(" H220 "));
        QCOMPARE(f.a()->asString(QStringLiteral("Artikel")), QStringLiteral("H220"));
        w->Ansteuern(QStringLiteral("gibt es nicht"));
        QCOMPARE(f.a()->asString(QStringLiteral("Artikel")), QStringLiteral("H220"));
        klick(w->btn_uebergeben);
        QVERIFY(!w->isVisible());
        QCOMPARE(erf.tbl_rechnungerfassen->asString(QStringLiteral("Artikel")), QStringLiteral("H220"));
        QCOMPARE(erf.ed_artikel_re_name->text(), QStringLiteral("Holzbriketts 10 kg"));
        QVERIFY(erf.tbl_rechnungerfassen->state() != Dataset::State::Browse);
    }
};

QTEST_MAIN(TstArtikelstamm)
#include "tst_artikelstamm.moc"

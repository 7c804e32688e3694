#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_land.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/radiogroup.h"
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"
#include "tests/support/testprogrammordner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

// The main window with its repository, on a fixture's program folder, started
// as the program starts it; the data module is opened by the window itself.
// Settings are written into the fixture's private store before the window starts.
struct Programm {
    TestProgrammordner ordner;
    Tfrm_strings strings;
    Tdm_datenbank dm;
    std::unique_ptr<Tfrm_main> f;
    int gewaehlteSprache = -1;

    explicit Programm(const QMap<QString, QString> &einstellungen = {{"Tfrm_main/cb_ersterstart_Checked", "0"}})
        : ordner(TestProgrammordner::Daten::Testdaten, TestProgrammordner::Modul::NichtOeffnen)
    {
        frm_strings = &strings;
        setProgrammordner(ordner.ordner());
        einstellungenSchreiben(einstellungen);
        neu();
    }
    ~Programm()
    {
        f.reset();
        Sprache::clearRegistry();
        frm_strings = nullptr;
        setProgrammordner(QString());
    }
    // a new main window, as at the next start of the program
    void neu()
    {
        f.reset();
        f = std::make_unique<Tfrm_main>();
        f->onErsterStartSprache = [this] {
            if (gewaehlteSprache >= 0)
                f->rg_sprache->setItemIndex(gewaehlteSprache);
        };
    }
    void starten()
    {
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
    }
    static void einstellungenSchreiben(const QMap<QString, QString> &werte)
    {
        QSettings st(FormStorage::organisation(), FormStorage::organisation());
        st.clear();
        for (auto it = werte.begin(); it != werte.end(); ++it)
            st.setValue(it.key(), it.value());
        st.sync();
    }
};

class TestMain : public QObject {
    Q_OBJECT
private slots:
    void firstStartDefaultsByLanguage_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<QString>("waehrung");
        QTest::addColumn<QString>("gruen");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("erechnung");
        QTest::newRow("Deutsch") << 0 << "€" << "Bezahlt" << "Erfassung" << true;
        QTest::newRow("English") << 1 << "USD" << "Payed" << "Entry" << false;
        QTest::newRow("Español") << 3 << "€" << "Pagado" << "" << false;
    }
    void firstStartDefaultsByLanguage()
    {
        QFETCH(int, sprache);
        QFETCH(QString, waehrung);
        QFETCH(QString, gruen);
        QFETCH(QString, tab);
        QFETCH(bool, erechnung);
        ScopedScriptedDialogs dialoge;
        Programm p(QMap<QString, QString>{});
        p.gewaehlteSprache = sprache;
        bool chooserBeforeDatabase = false;
        p.f->onErsterStartSprache = [&] {
            chooserBeforeDatabase = !p.dm.Datenbank_Verbindung.Connected();
            p.f->rg_sprache->setItemIndex(sprache);
        };
        p.starten();
        QVERIFY(chooserBeforeDatabase);
        QCOMPARE(p.f->ed_waehrung->currentText(), waehrung);
        QCOMPARE(Waehrung, waehrung == "USD" ? QStringLiteral("€") : waehrung); // taken before the choice
        QCOMPARE(p.f->ed_markergruen->text(), gruen);
        QCOMPARE(p.f->ed_markerneutral->text(), QStringLiteral("Neutral"));
        QCOMPARE(p.f->me_body_re->toPlainText().split('\n').size(), 1);
        QVERIFY(!p.f->cb_ersterstart->isChecked());
        QCOMPARE(p.f->cb_erechnung->isChecked(), erechnung); // e-invoices by default for German only
        if (!tab.isEmpty())
            QCOMPARE(p.f->pc_main->tabText(0), tab);
        QVERIFY(p.dm.Datenbank_Verbindung.Connected());
        QVERIFY(p.dm.Datenbank_Verbindung_Lokal.Connected());
        QVERIFY(dialoge.shown.isEmpty());
        p.f->close();
        // the first start happens once per user
        QSettings st(FormStorage::organisation(), FormStorage::organisation());
        QCOMPARE(st.value("Tfrm_main/cb_ersterstart_Checked").toString(), QStringLiteral("0"));
    }

    void settingsRoundTripAndDefaults()
    {
        ScopedScriptedDialogs dialoge;
        Programm p({{"Tfrm_main/cb_ersterstart_Checked", "0"},
                    {"Tfrm_main/ed_anzahl_re_Value", "kein Wert"},
                    {"Tfrm_main/cb_rappenrundung_Checked", "vielleicht"},
                    {"Tfrm_main/ed_mwst_a_Text", "  19  "},
                    {"Tfrm_main/ed_pdf_ablage_faktura_Text", ""}});
        {
            p.starten();
            // wrong kinds keep the defaults; values come trimmed
            QCOMPARE(p.f->ed_anzahl_re->value(), 1);
            QVERIFY(!p.f->cb_rappenrundung->isChecked());
            QCOMPARE(p.f->ed_mwst_a->text(), QStringLiteral("19"));
            QCOMPARE(p.f->ed_mwst_b->text(), QStringLiteral("10"));
            QCOMPARE(p.f->me_laender->toPlainText().split('\n').size(), 8);
            // empty printer, paper and bin read Default, A4, Default
            QCOMPARE(p.f->cb_drucker_re->currentText(), QStringLiteral("Default"));
            QCOMPARE(p.f->cb_papier_re->currentText(), QStringLiteral("A4"));
            QCOMPARE(p.f->cb_zufuhr_re->currentText(), QStringLiteral("Default"));
            // an empty PDF folder becomes the program's own
            QCOMPARE(QDir::fromNativeSeparators(p.f->ed_pdf_ablage_faktura->text()),
                     p.ordner.ordner() + "Rechnungen_PDF");
            QCOMPARE(SessionKennung.size(), 15);
            QVERIFY(QRegularExpression("^[0-9]{15}$").match(SessionKennung).hasMatch());
            QCOMPARE(p.f->ed_datum_re->date(), TestProgrammordner::jetzt().date());
            QVERIFY(p.f->cb_erechnung->isChecked());
            QVERIFY(Einstellung::checked("cb_erechnung"));
            p.f->cb_erechnung->setChecked(false);
            p.f->ed_anzahl_re->setValue(7);
            p.f->ed_waehrung->setEditText("CHF");
            p.f->me_laender->setPlainText("Deutschland\nÖsterreich");
            p.f->cb_rappenrundung->setChecked(true);
            p.f->ed_pdf_ablage_faktura->setText("/tmp/eigener Ordner");
            p.f->close();
        }
        {
            QSettings st(FormStorage::organisation(), FormStorage::organisation());
            QCOMPARE(st.value("Tfrm_main.me_laender_Lines/Count").toString(), QStringLiteral("2"));
            QCOMPARE(st.value("Tfrm_main.me_laender_Lines/Item1").toString(), QStringLiteral("Österreich"));
            QCOMPARE(st.value("Tfrm_main/ed_waehrung_Text").toString(), QStringLiteral("CHF"));
            QCOMPARE(st.value("Tfrm_main/cb_erechnung_Checked").toString(), QStringLiteral("0"));
        }
        p.neu();
        p.starten();
        QCOMPARE(p.f->ed_anzahl_re->value(), 7);
        QCOMPARE(p.f->ed_waehrung->currentText(), QStringLiteral("CHF"));
        QCOMPARE(Waehrung, QStringLiteral("CHF"));
        QCOMPARE(p.f->me_laender->toPlainText(), QStringLiteral("Deutschland\nÖsterreich"));
        QVERIFY(p.f->cb_rappenrundung->isChecked());
        QCOMPARE(p.f->ed_pdf_ablage_faktura->text(), QStringLiteral("/tmp/eigener Ordner")); // set: unchanged
        QCOMPARE(Einstellung::text("ed_mwst_c"), QStringLiteral("13"));
        QVERIFY(!p.f->cb_erechnung->isChecked());
        QVERIFY(!Einstellung::checked("cb_erechnung"));
    }

    void databaseFailuresStopTheStartUp_data()
    {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<bool>("lokalOffen");
        QTest::newRow("main missing") << "TORVANEXDB.mdb" << "sm_7" << false;
        QTest::newRow("main damaged") << "TORVANEXDB.mdb!" << "sm_7" << false;
        QTest::newRow("local missing") << "TORVANEXDB_Lokal.mdb" << "sm_8" << false;
    }
    void databaseFailuresStopTheStartUp()
    {
        QFETCH(QString, datei);
        QFETCH(QString, meldung);
        QFETCH(bool, lokalOffen);
        ScopedScriptedDialogs dialoge;
        Programm p;
        const bool beschaedigt = datei.endsWith('!');
        const QString pfad = p.ordner.pfad(beschaedigt ? datei.chopped(1) : datei);
        QByteArray vorher;
        if (beschaedigt) {
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::ReadWrite));
            f.seek(40);
            f.write("kaputt kaputt kaputt");
            f.close();
            QVERIFY(f.open(QIODevice::ReadOnly));
            vorher = f.readAll();
        } else {
            QVERIFY(QFile::remove(pfad));
        }
        p.starten();
        QVERIFY(p.f->startupFailed());
        QCOMPARE(dialoge.shown.size(), 2);
        QCOMPARE(dialoge.shown[0].text, txt(meldung));
        QCOMPARE(dialoge.shown[1].kind, Dialogs::Kind::Error);
        QVERIFY2(dialoge.shown[1].text.contains(QFileInfo(pfad).fileName()), qPrintable(dialoge.shown[1].text));
        QCOMPARE(p.dm.Datenbank_Verbindung_Lokal.Connected(), lokalOffen);
        QVERIFY(!QFile::exists(pfad) || beschaedigt); // nothing is created
        if (beschaedigt) {
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), vorher);
        }
        // the window stays open without data and still ends cleanly
        QVERIFY(p.f->isVisible());
        p.f->close();
    }

    void logPruningKeepsTenYearsToTheMidnight()
    {
        ScopedScriptedDialogs dialoge;
        Programm p;
        const QDateTime grenze(TestProgrammordner::jetzt().date().addDays(-3650), QTime(0, 0));
        {
            QSqlDatabase db = openSqlCipher("vorbereitung", p.ordner.hauptDatei(), "plimvad");
            for (const QDateTime &t : {grenze, grenze.addSecs(-1), grenze.addDays(-400), grenze.addSecs(3600)})
                execSql(db, "insert into Protokoll (DatumZeit, Aufzeichnung, Benutzer) values (:t, 'alt', 'x')",
                        {{"t", t}});
            db.close();
        }
        QSqlDatabase::removeDatabase("vorbereitung");
        p.starten();
        QCOMPARE(TestProgrammordner::wert(p.dm.Datenbank_Verbindung.db(),
                                          "select count(*) from Protokoll where Aufzeichnung = 'alt'").toInt(), 2);
        QCOMPARE(TestProgrammordner::wert(p.dm.Datenbank_Verbindung.db(),
                                          "select min(DatumZeit) from Protokoll where Aufzeichnung = 'alt'")
                     .toDateTime(),
                 grenze);
    }

    void keyboardRules()
    {
        ScopedScriptedDialogs dialoge;
        Programm p;
        p.starten();
        p.f->activateWindow();
        p.f->pc_main->setCurrentWidget(p.f->ts_einstellungen);
        p.f->ed_mwst_a->setFocus();
        QTRY_VERIFY(p.f->ed_mwst_a->hasFocus());
        // focus colour while focused, resting colour after
        QCOMPARE(p.f->ed_mwst_a->palette().color(QPalette::Base), Fokusfarbe);
        QTest::keyClick(p.f->ed_mwst_a, Qt::Key_Return);
        QTRY_VERIFY(!p.f->ed_mwst_a->hasFocus()); // Enter moved on like Tab
        QVERIFY(p.f->ed_mwst_a->palette().color(QPalette::Base) != Fokusfarbe);
        QCOMPARE(p.f->ed_mwst_a->text(), QStringLiteral("20"));

        p.f->pc_main->setCurrentWidget(p.f->ts_druck);
        p.f->re_kopftextvorschlag_re->setFocus();
        QTRY_VERIFY(p.f->re_kopftextvorschlag_re->hasFocus());
        p.f->re_kopftextvorschlag_re->moveCursor(QTextCursor::End);
        QTest::keyClick(p.f->re_kopftextvorschlag_re, Qt::Key_Return);
        QTest::keyClicks(p.f->re_kopftextvorschlag_re, "Zeile 2");
        QVERIFY(p.f->re_kopftextvorschlag_re->hasFocus());
        QCOMPARE(p.f->re_kopftextvorschlag_re->toPlainText().split('\n').last(), QStringLiteral("Zeile 2"));
        // leaving it switches the rule on again
        p.f->ed_gutschrifttext_re->setFocus();
        QTRY_VERIFY(p.f->ed_gutschrifttext_re->hasFocus());
        QTest::keyClick(p.f->ed_gutschrifttext_re, Qt::Key_Return);
        QTRY_VERIFY(!p.f->ed_gutschrifttext_re->hasFocus());

        // Shift+F2 toggles the console; Ctrl+Shift+F2 does nothing
        p.f->pc_main->setCurrentWidget(p.f->ts_artikel);
        QVERIFY(!p.f->pnl_sql->isVisible());
        QTest::keyClick(p.f.get(), Qt::Key_F2, Qt::ShiftModifier);
        QVERIFY(p.f->pnl_sql->isVisible());
        QTest::keyClick(p.f.get(), Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(p.f->pnl_sql->isVisible());
        QTest::keyClick(p.f.get(), Qt::Key_F2, Qt::ShiftModifier);
        QVERIFY(!p.f->pnl_sql->isVisible());
    }

    void languageSwitchChangesCaptionsAtOnce()
    {
        ScopedScriptedDialogs dialoge;
        Programm p;
        p.starten();
        QCOMPARE(p.f->btn_close->text(), QStringLiteral("Schliessen"));
        const QString deutsch = txt("sm_7");
        // a real click on "English"
        auto *english = p.f->rg_sprache->findChild<QAbstractButton *>("rg_sprache_item1");
        QVERIFY(english);
        QTest::mouseClick(english, Qt::LeftButton);
        QCOMPARE(p.f->rg_sprache->itemIndex(), 1);
        QVERIFY(p.f->btn_close->text() != QStringLiteral("Schliessen"));
        QVERIFY(txt("sm_7") != deutsch);
        QVERIFY(p.f->pc_main->tabText(0) != QStringLiteral("Erfassung"));
        QCOMPARE(p.f->HilfeDatei(), p.ordner.ordner() + "HTMLE/index.html");
        QTest::mouseClick(p.f->rg_sprache->findChild<QAbstractButton *>("rg_sprache_item0"), Qt::LeftButton);
        QCOMPARE(p.f->btn_close->text(), QStringLiteral("Schliessen"));
        QCOMPARE(txt("sm_7"), deutsch);
        QCOMPARE(p.f->HilfeDatei(), p.ordner.ordner() + "HTML/index.html");
        QVERIFY(QFile::exists(p.f->HilfeDatei()));
    }

    void printerChoiceRefillsPaperAndBin()
    {
        ScopedScriptedDialogs dialoge;
        Programm p({{"Tfrm_main/cb_ersterstart_Checked", "0"}, {"Tfrm_main/cb_papier_re_Text", "Letter"}});
        p.starten();
        QVERIFY(p.f->cb_drucker_re->count() >= 1);
        QCOMPARE(p.f->cb_drucker_re->itemText(0), QStringLiteral("Default"));
        QCOMPARE(p.f->cb_papier_re->currentText(), QStringLiteral("Letter")); // restored text stays
        p.f->cb_drucker_re->setCurrentIndex(p.f->cb_drucker_re->count() - 1);
        p.f->cb_drucker_reChange();
        QCOMPARE(p.f->cb_papier_re->currentIndex(), 0);
        QCOMPARE(p.f->cb_zufuhr_re->currentIndex(), 0);
        QCOMPARE(p.f->cb_papier_re->currentText(), p.f->cb_papier_re->itemText(0));
        QCOMPARE(p.f->cb_papier_re->itemText(0), QStringLiteral("Default"));
    }

    void companyRecordOnTheLetterheadTab()
    {
        ScopedScriptedDialogs dialoge;
        Programm p;
        p.starten();
        QVERIFY(!p.f->tbl_firmen->isOpen());
        p.f->pc_main->setCurrentWidget(p.f->ts_druck);
        QVERIFY(p.f->tbl_firmen->isOpen());
        QCOMPARE(p.f->DBEdit3->text(), TestProgrammordner::wert(p.dm.Datenbank_Verbindung.db(),
                                                                "select Name_FI from Firmenstamm where Firma = 1").toString());
        QVERIFY(p.f->me_anschrift_firma->toPlainText().contains(p.f->DBEdit3->text()));
        // Enter breaks the line in the letterhead
        p.f->activateWindow();
        p.f->me_anschrift_firma->setFocus();
        QTRY_VERIFY(p.f->me_anschrift_firma->hasFocus());
        p.f->me_anschrift_firma->moveCursor(QTextCursor::End);
        QTest::keyClick(p.f->me_anschrift_firma, Qt::Key_Return);
        QTest::keyClicks(p.f->me_anschrift_firma, "Neue Zeile");
        QVERIFY(p.f->me_anschrift_firma->hasFocus());
        QTest::keyClicks(p.f->ed_fuss2_d, "UID-Zusatz ");
        // the logo button writes the chosen path
        dialoge.files << p.ordner.pfad("logo.png");
        p.f->ed_fileButtonClick();
        QCOMPARE(dialoge.shown.last().text, QStringLiteral("Bilddatei auswählen"));
        // leaving the tab stores everything, twice does not make a second row
        p.f->pc_main->setCurrentWidget(p.f->ts_einstellungen);
        QVERIFY(!p.f->tbl_firmen->isOpen());
        p.f->pc_main->setCurrentWidget(p.f->ts_druck);
        p.f->pc_main->setCurrentWidget(p.f->ts_erfassung);
        QSqlDatabase db = p.dm.Datenbank_Verbindung.db();
        QCOMPARE(TestProgrammordner::wert(db, "select count(*) from Firmenstamm").toInt(), 1);
        const QString rtf = TestProgrammordner::wert(db, "select Anschrift_FI from Firmenstamm").toString();
        QVERIFY(rtf.startsWith("{\\rtf"));
        QVERIFY(rtf.contains("Neue Zeile"));
        QVERIFY(TestProgrammordner::wert(db, "select Fusstext2 from Firmenstamm").toString().startsWith("UID-Zusatz "));
        QCOMPARE(QDir::fromNativeSeparators(TestProgrammordner::wert(db, "select LogoPfad from Firmenstamm").toString()),
                 p.ordner.pfad("logo.png"));
        // a post that fails is cancelled without a message
        p.f->pc_main->setCurrentWidget(p.f->ts_druck);
        p.f->DBEdit3->setText(QString(80, 'x')); // longer than Name_FI allows
        p.f->pc_main->setCurrentWidget(p.f->ts_erfassung);
        QVERIFY(!p.f->tbl_firmen->isOpen());
        QVERIFY(TestProgrammordner::wert(db, "select Name_FI from Firmenstamm").toString() != QString(80, 'x'));
        QCOMPARE(dialoge.shown.size(), 1);
    }

    // The company data of e-invoices: shown from the record, typed field by field
    // in tab order with the focus colour, stored when the tab is left; a value
    // longer than its column is cut at typing, so the post cannot fail and drop
    // the whole change.
    void eInvoiceCompanyDataOnTheLetterheadTab()
    {
        ScopedScriptedDialogs dialoge;
        Programm p;
        p.starten();
        p.f->activateWindow();
        p.f->pc_main->setCurrentWidget(p.f->ts_druck);
        QCOMPARE(p.f->ed_ustidnr_fi->text(), QStringLiteral("ATU12345678"));
        QCOMPARE(p.f->ed_strasse_fi->text(), QStringLiteral("Kirchenweg 12"));
        QCOMPARE(p.f->cb_land_fi->currentText(), QStringLiteral("Austria"));
        QStringList laender;
        for (int i = 0; i < p.f->cb_land_fi->count(); ++i)
            laender << p.f->cb_land_fi->itemText(i);
        QCOMPARE(laender, p.f->me_laender->toPlainText().split('\n'));

        struct Fall {
            QWidget *feld;
            const char *spalte;
            QString getippt, gespeichert;
        };
        const QList<Fall> faelle = {
            {p.f->ed_strasse_fi, "Strasse_FI", "Hauptstrasse 5", "Hauptstrasse 5"},
            {p.f->ed_plz_fi, "PLZ_FI", "80331", "80331"},
            {p.f->ed_ort_fi, "Ort_FI", "Muenchen", "Muenchen"},
            {p.f->cb_land_fi, "Land_FI", "Germany", "Germany"},
            {p.f->ed_ustidnr_fi, "UStIdNr_FI", "DE123456789012345678901", "DE123456789012345678"},
            {p.f->ed_steuernummer_fi, "Steuernummer_FI", "143/123/45678", "143/123/45678"},
            {p.f->ed_kontakt_fi, "Kontakt_FI", "Josef Brandstaetter", "Josef Brandstaetter"},
            {p.f->ed_telefon_fi, "Telefon_FI", "+49 89 123456", "+49 89 123456"},
            {p.f->ed_email_fi, "EMAIL1", "rechnung@example.de", "rechnung@example.de"},
            {p.f->ed_iban_fi, "IBAN_FI", "DE02120300000000202051", "DE02120300000000202051"},
            {p.f->ed_bic_fi, "BIC_FI", "BYLADEM1001", "BYLADEM1001"},
        };
        p.f->ed_gutschrifttext_re->setFocus();
        QTRY_VERIFY(p.f->ed_gutschrifttext_re->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        for (const Fall &fall : faelle) {
            QTRY_VERIFY2(fall.feld->hasFocus(), fall.spalte);
            if (auto *e = qobject_cast<QLineEdit *>(fall.feld))
                QCOMPARE(e->palette().color(QPalette::Base), Fokusfarbe);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), fall.getippt);
            // Enter moves on like Tab
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY2(!fall.feld->hasFocus(), fall.spalte);
            if (auto *e = qobject_cast<QLineEdit *>(fall.feld))
                QVERIFY(e->palette().color(QPalette::Base) != Fokusfarbe);
        }
        p.f->pc_main->setCurrentWidget(p.f->ts_erfassung);
        QVERIFY(!p.f->tbl_firmen->isOpen());
        QSqlDatabase db = p.dm.Datenbank_Verbindung.db();
        for (const Fall &fall : faelle)
            QCOMPARE(TestProgrammordner::wert(db, QStringLiteral("select %1 from Firmenstamm where Firma = 1")
                                                      .arg(QLatin1String(fall.spalte)))
                         .toString(),
                     fall.gespeichert);
        QCOMPARE(TestProgrammordner::wert(db, "select count(*) from Firmenstamm").toInt(), 1);
        QVERIFY(dialoge.shown.isEmpty());

        // the captions come from the language files
        SpracheLaden(1, p.ordner.ordner());
        QCOMPARE(p.f->gb_erechnung->title(), QStringLiteral("E-invoice"));
        QCOMPARE(p.f->findChild<QLabel *>("lbl_kontakt_fi")->text(), QStringLiteral("Contact person"));
        QCOMPARE(p.f->cb_erechnung->text(), QStringLiteral("Embed the e-invoice (ZUGFeRD/Factur-X) in PDF files"));
        QCOMPARE(p.f->findChild<QLabel *>("lbl_firmenname")->text(), QStringLiteral("Company name"));
        SpracheLaden(0, p.ordner.ordner());
        QCOMPARE(p.f->findChild<QLabel *>("lbl_ustidnr_fi")->text(), QStringLiteral("USt-IdNr."));
        QCOMPARE(p.f->findChild<QLabel *>("lbl_ustidnr_fi")->buddy(), p.f->ed_ustidnr_fi);
    }

    void backupOnShutDown()
    {
        QString ordner;
        {
            ScopedScriptedDialogs dialoge;
            Programm p;
            ordner = p.ordner.ordner();
            p.starten();
            const QString tag = p.ordner.pfad("Sicherungen/Freitag/"); // 14 June 2024
            QFile alt(tag + "Torvanex070620241000.mdb");
            QVERIFY(alt.open(QIODevice::WriteOnly));
            alt.close();
            alt.setPermissions(QFileDevice::ReadOwner); // read-only files go too
            const int kunden = TestProgrammordner::wert(p.dm.Datenbank_Verbindung.db(), "select count(*) from Kundenstamm").toInt();
            p.f->close();
            const QStringList dateien = QDir(tag).entryList(QDir::Files);
            QCOMPARE(dateien, QStringList{"Torvanex140620241030.mdb"});
            QFileInfo fi(tag + dateien[0]);
            QCOMPARE(fi.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
            // the copy is a complete, encrypted database
            QSqlDatabase db = openSqlCipher("sicherung", fi.absoluteFilePath(), "plimvad");
            QCOMPARE(TestProgrammordner::wert(db, "select count(*) from Kundenstamm").toInt(), kunden);
            QVERIFY(TestProgrammordner::wert(db, "select count(*) from Artikelpositionen").toInt() > 0);
            db.close();
            QSqlDatabase::removeDatabase("sicherung");
            QVERIFY(!p.dm.Datenbank_Verbindung.Connected()); // shut-down closed both
            QVERIFY(!p.dm.Datenbank_Verbindung_Lokal.Connected());
        }
    }

    void backupFunctions()
    {
        ScopedScriptedDialogs dialoge;
        Programm p;
        p.starten();
        const QDateTime t(QDate(2025, 12, 5), QTime(9, 7, 42));
        QVERIFY(SicherungErstellen(p.ordner.pfad("Sicherungen/"), t));
        QVERIFY(QFile::exists(p.ordner.pfad("Sicherungen/Torvanex051220250907.mdb")));
        QVERIFY(!SicherungErstellen(p.ordner.pfad("Sicherungen"), t)); // same minute: exists
        QVERIFY(SicherungErstellen("  ", t.addSecs(60)));              // empty: Sicherungen
        QVERIFY(QFile::exists(p.ordner.pfad("Sicherungen/Torvanex051220250908.mdb")));
        QCOMPARE(Wochentagsordner(QDate(2024, 6, 16)), QStringLiteral("Sonntag"));
        QCOMPARE(Wochentagsordner(QDate(2024, 6, 11)), QStringLiteral("Dienstag"));

        // without the weekday folders the end logs ps_9 and never fails
        QDir(p.ordner.pfad("Sicherungen")).removeRecursively();
        const int vorher = TestProgrammordner::wert(p.dm.Datenbank_Verbindung.db(), "select count(*) from Protokoll").toInt();
        Bearbeiter = QString(60, 'B');
        Tagessicherung();
        QSqlQuery q(p.dm.Datenbank_Verbindung.db());
        execQuery(q, "select Aufzeichnung, Benutzer from Protokoll order by DatumZeit desc");
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), txt("ps_9"));
        QCOMPARE(q.value(1).toString(), QString(50, 'B'));
        QCOMPARE(TestProgrammordner::wert(p.dm.Datenbank_Verbindung.db(), "select count(*) from Protokoll").toInt(), vorher + 1);
        Bearbeiter.clear();

        // the log writer never fails, even on a closed connection
        p.dm.VerbindungenSchliessen();
        ProtokollSchreiben("x", "y", Clock::now());
        Protokollieren(QString(200, 'z'));
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"

// The road of one invoice through the whole program as the user walks it:
// every window created and wired as at start-up, driven by keys and clicks on
// the real controls. Capture, preview, print on the cups-pdf printer, overview,
// marker, filed PDF, e-mail through a recording stand-in for xdg-email,
// cancellation; and the failures on the way, each rolled back and logged.
#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "app/u_programm.h"
#include "capture/u_erfassung.h"
#include "capture/u_rechnungsnummer.h"
#include "data/u_dm_datenbank.h"
#include "masterdata/u_artikelstammdaten.h"
#include "output/u_uebersicht.h"
#include "output/u_vorschau.h"
#include "output/udm_rechnung_vorschau.h"
#include "platform/core/dialogs.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/mail/mail.h"
#include "platform/report/viewer.h"
#include "platform/sql/sqlutil.h"
#include "tests/support/mailaufnahme.h"
#include "tests/support/testprogrammordner.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// Helpers report with QVERIFY; the test stops at the first of their failures.
#define WEITER(aufruf)                                                                                                 \
    do {                                                                                                               \
        aufruf;                                                                                                        \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

namespace {

const QString kSpool = QStringLiteral("/var/spool/cups-pdf/TVX");
constexpr int kPeriode = 20120101;

QString werkzeug(const QString &programm, const QStringList &argumente)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(programm, argumente);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool cupsBereit()
{
    return werkzeug(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QLatin1String("is running"))
           && werkzeug(QStringLiteral("lpstat"), {QStringLiteral("-p"), QStringLiteral("TVX_PDF")})
                  .contains(QLatin1String("TVX_PDF"));
}

// CUPS with the cups-pdf printer, started when it is not running (needs root).
bool cupsStarten()
{
    if (cupsBereit())
        return true;
    werkzeug(QStringLiteral("bash"), {qEnvironmentVariable("TVX_SOURCE_DIR") + QStringLiteral("/tools/start-cups.sh")});
    return cupsBereit();
}

QString pdfText(const QString &datei)
{
    return werkzeug(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), datei, QStringLiteral("-")});
}

} // namespace

// The program as main() builds it, on a program folder with the shipped test data.
struct Programm {
    TestProgrammordner ordner{TestProgrammordner::Daten::Testdaten, TestProgrammordner::Modul::NichtOeffnen};
    std::unique_ptr<TProgrammfenster> fenster;
    Tfrm_main *m = nullptr;
    TErfassung *e = nullptr;
    TUebersicht *u = nullptr;

    Programm()
    {
        setProgrammordner(ordner.ordner());
        QSettings st(FormStorage::organisation(), FormStorage::organisation());
        st.clear();
        st.setValue(QStringLiteral("Tfrm_main/cb_ersterstart_Checked"), QStringLiteral("0"));
        st.sync();
        fenster = std::make_unique<TProgrammfenster>();
        m = fenster->main.get();
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m));
        m->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m));
        QVERIFY(!m->startupFailed());
        e = erfassung;
        QVERIFY(e);
        u = m->ts_uebersicht->findChild<TUebersicht *>();
        QVERIFY(u);
        Einstellung::set(QStringLiteral("cb_drucker_re"), QStringLiteral("TVX_PDF"));
        Einstellung::set(QStringLiteral("cb_papier_re"), QStringLiteral("A4"));
        Einstellung::set(QStringLiteral("cb_zufuhr_re"), QStringLiteral("Default"));
    }
    ~Programm()
    {
        fenster.reset();
        Sprache::clearRegistry();
        setProgrammordner(QString());
    }

    static QSqlDatabase db() { return dm_datenbank->Datenbank_Verbindung.db(); }
    static QVariant wert(const QString &sql, const QVariantMap &p = {}) { return TestProgrammordner::wert(db(), sql, p); }
    static int positionen() { return wert(QStringLiteral("select count(*) from Artikelpositionen")).toInt(); }
    static int naechsteNummer() { return RechnungsnummerErmitteln(1, kPeriode); }
    static int protokoll(const QString &text)
    {
        return wert(QStringLiteral("select count(*) from Protokoll where Aufzeichnung = :t"), {{QStringLiteral("t"), text}})
            .toInt();
    }

    static void klick(QWidget *w)
    {
        QVERIFY2(w->isVisible() && w->isEnabled(), qPrintable(w->objectName()));
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
        QApplication::processEvents();
    }
    static void tippen(QWidget *w, const QString &text)
    {
        klick(w);
        if (auto *le = qobject_cast<QLineEdit *>(w))
            le->selectAll();
        QTest::keyClicks(w, text);
    }
    static void tab(QWidget *w)
    {
        QTest::keyClick(w, Qt::Key_Tab);
        QApplication::processEvents();
    }
    void seite(QWidget *ts)
    {
        QTabBar *leiste = m->pc_main->tabBar();
        QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->tabRect(m->pc_main->indexOf(ts)).center());
        QApplication::processEvents();
        QCOMPARE(m->pc_main->currentWidget(), ts);
    }
    // A click on a line of a grid, then (optionally) a double-click.
    static void zeile(QAbstractItemView *v, int row, bool doppelt = false)
    {
        const QModelIndex i = v->model()->index(row, 1);
        QVERIFY(i.isValid());
        v->scrollTo(i);
        const QPoint p = v->visualRect(i).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, p);
        if (doppelt)
            QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, p);
        QApplication::processEvents();
    }

    // Customer 1 double-clicked in the picker, then "Rechnung erfassen".
    void kundeWaehlen()
    {
        WEITER(seite(m->ts_erfassung));
        QVERIFY(e->qry_kunden->locate(QStringLiteral("Kunde"), 1));
        WEITER(zeile(e->gr_kunden_re, e->qry_kunden->row(), true));
        QCOMPARE(e->ed_kunde_re->text(), QStringLiteral("1"));
        QCOMPARE(e->ed_kunde_re_name->text(), QStringLiteral("Andreas Müller"));
        klick(e->btn_kopfok_stammkunde_re);
        QVERIFY(e->pnl_details_re->isEnabled());
    }
    void artikel(const QString &artikel, const QString &menge)
    {
        QTRY_VERIFY(e->ed_artikel_re->hasFocus());
        QTest::keyClicks(e->ed_artikel_re, artikel);
        tab(e->ed_artikel_re);
        QTRY_VERIFY(e->ed_menge_re->hasFocus());
        e->ed_menge_re->selectAll();
        QTest::keyClicks(e->ed_menge_re, menge);
        tab(e->ed_menge_re);
    }
    // IT300 2 x 96.00 and T170 3 x 52.00 at 20 %, H201 3 x 85.00 at 13 %:
    // net 603.00, VAT 69.60 + 33.15, total 705.75.
    void dreiPositionen()
    {
        WEITER(kundeWaehlen());
        WEITER(artikel(QStringLiteral("IT300"), QStringLiteral("2")));
        WEITER(klick(e->btn_neueposition));
        WEITER(artikel(QStringLiteral("T170"), QStringLiteral("3")));
        WEITER(klick(e->btn_neueposition));
        WEITER(artikel(QStringLiteral("H201"), QStringLiteral("3")));
    }
    QStringList erfasst() const
    {
        QStringList l;
        Dataset &t = *e->tbl_rechnungerfassen;
        for (int i = 0; i < t.recordCount(); ++i)
            l << t.valueAt(i, t.fieldIndex(QStringLiteral("Artikel"))).toString() + QLatin1Char(' ')
                     + QString::number(t.valueAt(i, t.fieldIndex(QStringLiteral("Menge"))).toDouble());
        return l;
    }
    bool imErfassungsmodus() const
    {
        return !e->pnl_kopf_re->isEnabled() && e->pnl_details_re->isEnabled() && e->tbl_rechnungerfassen->isOpen();
    }
    int rechnungImRaster() const
    {
        return u->qry_rechnungen_uebersicht->asInteger(QStringLiteral("Rechnung_nr"));
    }
    QString pdfOrdner() const { return ordner.pfad(QStringLiteral("Rechnungen_PDF")); }
};

class TestStrasse : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void roadOfAnInvoice()
    {
        if (!cupsStarten()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("CUPS does not start");
            QSKIP("CUPS with TVX_PDF is not reachable here (starting it needs root)");
        }
        ScopedScriptedDialogs d;
        Programm p;
        if (QTest::currentTestFailed())
            return;
        const int vorher = Programm::positionen();
        const int nummer = Programm::naechsteNummer();
        QCOMPARE(nummer, 11);
        WEITER(p.dreiPositionen());
        QCOMPARE(p.erfasst(), (QStringList{"IT300 2", "T170 3", "H201 3"}));

        // --- preview: the real window, closed once it shows the invoice
        int vorschauZeilen = -1, seiten = 0;
        QTimer warten;
        warten.setInterval(50);
        QObject::connect(&warten, &QTimer::timeout, [&] {
            auto *w = qobject_cast<Tfrm_vorschau *>(QApplication::activeModalWidget());
            if (!w || !w->isVisible())
                return;
            warten.stop();
            vorschauZeilen = Programm::wert(QStringLiteral("select count(*) from ArtikelpositionenVorschau where "
                                                           "BenutzerSession = :s and Status = -1"),
                                            {{QStringLiteral("s"), SessionKennung}})
                                 .toInt();
            seiten = w->vw_vorschau()->pageCount();
            w->close();
        });
        warten.start();
        WEITER(Programm::klick(p.e->btn_re_vorschau));
        warten.stop();
        QVERIFY2(d.texts().isEmpty(), qPrintable(d.texts().join('|')));
        QCOMPARE(vorschauZeilen, 3);
        QCOMPARE(seiten, 1);
        QCOMPARE(dm_rechnung_vorschau->summen().gesamt, 705.75);
        QCOMPARE(Programm::wert(QStringLiteral("select count(*) from ArtikelpositionenVorschau")).toInt(), 0);
        QCOMPARE(Programm::positionen(), vorher);
        QCOMPARE(Programm::naechsteNummer(), nummer);
        QVERIFY(p.imErfassungsmodus());

        // --- "Drucken" on the cups-pdf printer
        const QString muster = QStringLiteral("job_*-RechnungNr_%1.pdf").arg(nummer);
        const QStringList alteAuftraege = QDir(kSpool).entryList({muster}, QDir::Files);
        WEITER(Programm::klick(p.e->btn_rechnungdrucken));
        QVERIFY2(d.texts().isEmpty(), qPrintable(d.texts().join('|')));
        QCOMPARE(Programm::positionen(), vorher + 3);
        QCOMPARE(Programm::wert(QStringLiteral("select count(*) from Artikelpositionen where Periode_re = %1 and "
                                               "Rechnung_nr = %2 and Status = 50 and Kunde = 1 and "
                                               "Rechnungsbetrag = 705.75").arg(kPeriode).arg(nummer)).toInt(), 3);
        QVERIFY(p.e->pnl_kopf_re->isEnabled());
        QVERIFY(!p.e->pnl_details_re->isEnabled());
        QString auftrag;
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            for (const QString &f : QDir(kSpool).entryList({muster}, QDir::Files))
                if (!alteAuftraege.contains(f) && QFileInfo(kSpool + '/' + f).size() > 1000)
                    auftrag = kSpool + '/' + f;
            return !auftrag.isEmpty();
        }(), 60000);
        // cups-pdf renders the job again (its text is not extractable): one A4 page
        QTRY_VERIFY_WITH_TIMEOUT(werkzeug(QStringLiteral("pdfinfo"), {auftrag}).contains(QRegularExpression("Pages:\\s+1\\n")), 10000);
        QVERIFY(werkzeug(QStringLiteral("pdfinfo"), {auftrag}).contains(QLatin1String("A4")));
        QFile::remove(auftrag);

        // --- the overview lists it first; "Bezahlt" marks all its rows
        WEITER(p.seite(p.m->ts_uebersicht));
        QVERIFY2(p.u->qry_rechnungen_uebersicht->isOpen(), qPrintable(d.texts().join("|")));
        QCOMPARE(p.u->qry_rechnungen_uebersicht->valueAt(0, p.u->qry_rechnungen_uebersicht->fieldIndex("Rechnung_nr")).toInt(),
                 nummer);
        WEITER(Programm::zeile(p.u->gr_rechnungen, 1));
        WEITER(Programm::zeile(p.u->gr_rechnungen, 0));
        QCOMPARE(p.rechnungImRaster(), nummer);
        QCOMPARE(p.u->qry_rechnungen_uebersicht->asFloat(QStringLiteral("Rechnungsbetrag")), 705.75);
        QCOMPARE(p.u->qry_rechnungen_uebersicht->asString(QStringLiteral("Name_KU")), QStringLiteral("Andreas Müller"));
        QLabel *gruen = p.u->pnl_auswahl_re->findChild<QLabel *>(QStringLiteral("im_gruen"));
        QVERIFY(gruen);
        QCOMPARE(p.u->legenden.first()->text(), QStringLiteral("Bezahlt"));
        QTest::mouseDClick(gruen, Qt::LeftButton, {}, QPoint(8, 8));
        QApplication::processEvents();
        QCOMPARE(Programm::wert(QStringLiteral("select count(*) from Artikelpositionen where Rechnung_nr = %1 and "
                                               "Farbmarkierung = 1").arg(nummer)).toInt(), 3);
        QCOMPARE(p.rechnungImRaster(), nummer);
        QCOMPARE(p.u->qry_rechnungen_uebersicht->asInteger(QStringLiteral("Farbmarkierung")), 1);
        // the reopened list keeps its dates readable
        QVERIFY(p.u->gr_rechnungen->columnWidth(1)
                >= p.u->gr_rechnungen->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")));
        QVERIFY(d.texts().isEmpty());

        // --- "Rechnung drucken" from the overview: a second print job, the stored rows as they were
        const QString zeilenVorher = Programm::wert(QStringLiteral(
            "select group_concat(ID_Artikelpositionen || ':' || Rechnungsbetrag || ':' || Farbmarkierung, ',') "
            "from Artikelpositionen where Rechnung_nr = %1").arg(nummer)).toString();
        const QStringList ersteAuftraege = QDir(kSpool).entryList({muster}, QDir::Files);
        WEITER(Programm::klick(p.u->btn_rechnung_drucken));
        QVERIFY2(d.texts().isEmpty(), qPrintable(d.texts().join('|')));
        QString nachdruck;
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            for (const QString &f : QDir(kSpool).entryList({muster}, QDir::Files))
                if (!ersteAuftraege.contains(f) && QFileInfo(kSpool + '/' + f).size() > 1000)
                    nachdruck = kSpool + '/' + f;
            return !nachdruck.isEmpty();
        }(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(werkzeug(QStringLiteral("pdfinfo"), {nachdruck}).contains(QRegularExpression("Pages:\\s+1\\n")), 10000);
        QFile::remove(nachdruck);
        QCOMPARE(Programm::wert(QStringLiteral(
                     "select group_concat(ID_Artikelpositionen || ':' || Rechnungsbetrag || ':' || Farbmarkierung, ',') "
                     "from Artikelpositionen where Rechnung_nr = %1").arg(nummer)).toString(), zeilenVorher);
        QCOMPARE(Programm::naechsteNummer(), nummer + 1);
        QCOMPARE(p.rechnungImRaster(), nummer);

        // --- "PDF erzeugen": the filed name and the amounts on it
        WEITER(Programm::klick(p.u->btn_pdf_re));
        const QString ordnerText = Einstellung::text(QStringLiteral("ed_pdf_ablage_faktura"));
        QCOMPARE(d.texts(), QStringList{txt("sm_46") + ordnerText});
        const QString abgelegt = p.pdfOrdner() + QStringLiteral("/20120101_RechnungNr_11_w.pdf");
        QVERIFY(QFile::exists(abgelegt));
        const QString text = pdfText(abgelegt);
        QVERIFY(text.contains(QRegularExpression("Rechnung Nr\\.\\s+11\\b")));
        for (const char *s : {"Andreas Müller", "192,00", "156,00", "255,00", "69,60", "33,15", "705,75"})
            QVERIFY2(text.contains(QString::fromUtf8(s)), s);
        QVERIFY(!text.contains(QStringLiteral("Gutschrift")));
        d.clear();

        // a folder that is gone: said so, nothing written
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), ordnerText + QStringLiteral("_weg"));
        WEITER(Programm::klick(p.u->btn_pdf_re));
        QCOMPARE(d.texts(), QStringList{txt("ex_3")});
        QVERIFY(!QDir(p.pdfOrdner() + QStringLiteral("_weg")).exists());
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), ordnerText);
        d.clear();

        // --- "Rechnung mailen" through the recording stand-in
        {
            Mailaufnahme mail;
            QFile alt(p.ordner.pfad(QStringLiteral("EMAILS/RechnungNr_3.pdf")));
            QVERIFY(alt.open(QIODevice::WriteOnly)); // a leftover of an earlier e-mail
            alt.close();
            WEITER(p.seite(p.m->ts_einstellungen));
            WEITER(Programm::tippen(p.m->ed_subject_re, QStringLiteral("Ihre Rechnung")));
            WEITER(p.seite(p.m->ts_uebersicht));
            WEITER(Programm::zeile(p.u->gr_rechnungen, 0));
            QCOMPARE(p.rechnungImRaster(), nummer);
            WEITER(Programm::klick(p.u->btn_email_re));
            QVERIFY2(d.texts().isEmpty(), qPrintable(d.texts().join('|')));
            const QString anhang = p.ordner.pfad(QStringLiteral("EMAILS/RechnungNr_11.pdf"));
            QCOMPARE(mail.argumente(),
                     (QStringList{QStringLiteral("--subject"), QStringLiteral("Ihre Rechnung"), QStringLiteral("--body"),
                                  p.m->me_body_re->toPlainText().split('\n').join(QStringLiteral("\r\n")),
                                  QStringLiteral("--attach"), anhang, QStringLiteral("a.mueller@gmx.at")}));
            QCOMPARE(QDir(p.ordner.pfad(QStringLiteral("EMAILS"))).entryList(QDir::Files),
                     QStringList{QStringLiteral("RechnungNr_11.pdf")});
            QVERIFY(pdfText(anhang).contains(QLatin1String("705,75")));
        }

        // --- "Storno erzeugen": the credit note lists first
        d.answers << true;
        WEITER(Programm::klick(p.u->btn_storno));
        QCOMPARE(d.texts(), (QStringList{txt("am_5"), txt("sm_47")}));
        Dataset &q = *p.u->qry_rechnungen_uebersicht;
        QCOMPARE(q.valueAt(0, q.fieldIndex("Rechnung_nr")).toInt(), nummer + 1);
        QCOMPARE(q.valueAt(0, q.fieldIndex("Rechnungsbetrag")).toDouble(), -705.75);
        QCOMPARE(q.valueAt(0, q.fieldIndex("Status")).toInt(), 52);
        QCOMPARE(q.valueAt(0, q.fieldIndex("Hinweis")).toString(), txt("sk_15") + QStringLiteral("11"));
        QCOMPARE(Programm::wert(QStringLiteral("select count(*) from Artikelpositionen where Rechnung_nr = %1 and "
                                               "Menge < 0 and Preis > 0").arg(nummer + 1)).toInt(), 3);
        // the cancelled invoice is untouched
        QCOMPARE(Programm::wert(QStringLiteral("select count(*) from Artikelpositionen where Rechnung_nr = %1 and "
                                               "Status = 50 and Rechnungsbetrag = 705.75").arg(nummer)).toInt(), 3);
        d.clear();
        WEITER(Programm::zeile(p.u->gr_rechnungen, 0));
        QCOMPARE(p.rechnungImRaster(), nummer + 1);
        WEITER(Programm::klick(p.u->btn_pdf_re));
        QCOMPARE(d.texts(), QStringList{txt("sm_46") + ordnerText});
        const QString gutschrift = pdfText(p.pdfOrdner() + QStringLiteral("/20120101_RechnungNr_12_w.pdf"));
        const QString gutschriftNr =
            QRegularExpression::escape(Einstellung::text(QStringLiteral("ed_gutschrifttext_re")).trimmed()) + "\\s+12\\b";
        QVERIFY2(gutschrift.contains(QRegularExpression(gutschriftNr)), qPrintable(gutschrift));
        QVERIFY(gutschrift.contains(QLatin1String("-705,75")));
        // the invoice caption gives way to the credit-note caption
        QVERIFY(!gutschrift.contains(QRegularExpression("^" + QRegularExpression::escape(txt("sk_16").trimmed()) + "\\s+\\d",
                                                                      QRegularExpression::MultilineOption)));
        QVERIFY(!inTransaction(Programm::db()));
    }

    // Failures on the way: each rolls back completely (no rows, no number
    // used, the capture as it was), says sm_38 with the cause, logs ps_13;
    // once the cause is gone the same capture issues.
    void failuresRollBack_data()
    {
        QTest::addColumn<QString>("fall");
        QTest::newRow("printer unknown") << "drucker";
        QTest::newRow("e-mail folder missing") << "emailordner";
        QTest::newRow("article deleted in the article window") << "artikel";
    }
    void failuresRollBack()
    {
        QFETCH(QString, fall);
        ScopedScriptedDialogs d;
        Programm p;
        if (QTest::currentTestFailed())
            return;
        Mailaufnahme mail;
        const int vorher = Programm::positionen();
        const int nummer = Programm::naechsteNummer();
        WEITER(p.dreiPositionen());
        const QStringList erfasst = p.erfasst();
        QPushButton *knopf = p.e->btn_rechnungdrucken;
        QString grundErwartet;
        if (fall == QLatin1String("drucker")) {
            Einstellung::set(QStringLiteral("cb_drucker_re"), QStringLiteral("GIBT_ES_NICHT"));
        } else if (fall == QLatin1String("emailordner")) {
            knopf = p.e->btn_rechnung_mailen;
            QVERIFY(QDir(p.ordner.pfad(QStringLiteral("EMAILS"))).removeRecursively());
        } else {
            // the current row holds H201: the article window opens on it
            WEITER(Programm::klick(p.e->btn_artikelstamm_re));
            Tfrm_artikelstammdaten *a = p.fenster->artikel.get();
            QTRY_VERIFY(a->isVisible());
            QCOMPARE(a->tbl_artikeln->asString(QStringLiteral("Artikel")), QStringLiteral("H201"));
            d.answers << true;
            WEITER(Programm::klick(a->btn_loeschen));
            QCOMPARE(d.texts(), QStringList{txt("am_1")});
            QCOMPARE(Programm::wert(QStringLiteral("select count(*) from Artikelstamm where Artikel = 'H201'")).toInt(), 0);
            a->close();
            p.m->activateWindow();
            grundErwartet = txt("ex_5") + QStringLiteral("H201");
        }
        d.clear();
        WEITER(Programm::klick(knopf));

        QCOMPARE(d.texts().size(), 1);
        const QString text = d.texts().first();
        QVERIFY2(text.startsWith(txt("sm_38")), qPrintable(text));
        const QString grund = text.mid(txt("sm_38").size());
        QVERIFY(!grund.isEmpty());
        if (!grundErwartet.isEmpty())
            QCOMPARE(grund, grundErwartet);
        QCOMPARE(Programm::protokoll((txt("ps_13") + grund).left(150)), 1);
        QCOMPARE(Programm::positionen(), vorher);
        QCOMPARE(Programm::naechsteNummer(), nummer);
        QVERIFY(!inTransaction(Programm::db()));
        QVERIFY(p.imErfassungsmodus());
        QCOMPARE(p.erfasst(), erfasst);
        QVERIFY(!mail.gelaufen());

        // the cause removed, the same capture issues with the same number
        if (fall == QLatin1String("artikel"))
            return; // the capture names an article that is gone for good
        if (fall == QLatin1String("emailordner")) {
            QVERIFY(QDir().mkpath(p.ordner.pfad(QStringLiteral("EMAILS"))));
        } else {
            if (!cupsStarten())
                QSKIP("CUPS with TVX_PDF is not reachable here: the second attempt is not printed");
            Einstellung::set(QStringLiteral("cb_drucker_re"), QStringLiteral("TVX_PDF"));
        }
        d.clear();
        WEITER(Programm::klick(knopf));
        QVERIFY2(d.texts().isEmpty(), qPrintable(d.texts().join('|')));
        QCOMPARE(Programm::wert(QStringLiteral("select count(*) from Artikelpositionen where Rechnung_nr = %1 and "
                                               "Periode_re = %2").arg(nummer).arg(kPeriode)).toInt(), 3);
        QVERIFY(p.e->pnl_kopf_re->isEnabled());
        if (fall == QLatin1String("emailordner"))
            QVERIFY(mail.argumente().contains(p.ordner.pfad(QStringLiteral("EMAILS/RechnungNr_11.pdf"))));
    }
};

QTEST_MAIN(TestStrasse)
#include "tst_strasse.moc"

// The overview tab, PDF filing, the e-mail hand-over and cancellation invoices,
// on the shipped test data (invoices 1-10 of period 20120101, 7 cancels 4).
#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "app/u_main.h"
#include "einvoice/u_erechnung.h"
#include "output/u_pdfmail.h"
#include "output/u_storno.h"
#include "output/u_uebersicht.h"
#include "output/u_vorschauanzeigen.h"
#include "output/udm_rechnungen.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/radiogroup.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/mail/mail.h"
#include "tests/support/mailaufnahme.h"
#include "tests/support/testprogrammordner.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kPeriode = 20120101;

QString pdfText(const QString &datei)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), datei, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Umgebung {
    TestProgrammordner p;
    Tfrm_strings strings;
    std::unique_ptr<Tdm_rechnungen> rechnungen;
    ScopedScriptedDialogs dialoge;
    Umgebung()
    {
        frm_strings = &strings;
        setProgrammordner(p.ordner());
        AktuelleFirma = 1;
        SmtpVoranstellen = false;
        rechnungen = std::make_unique<Tdm_rechnungen>();
        rechnungen->bericht.layoutLaden(p.pfad(QStringLiteral("Reports/Rechnung.rtm")));
        Einstellung::set(QStringLiteral("rg_sprache"), 0);
    }
    ~Umgebung()
    {
        rechnungen.reset();
        frm_strings = nullptr;
    }
    int zeilen(int nr) const
    {
        return p.wert(QStringLiteral("select count(*) from Artikelpositionen where Periode_re = 20120101 and Rechnung_nr = :n"),
                      {{QStringLiteral("n"), nr}})
            .toInt();
    }
    int kundeVon(int nr) const
    {
        return p.wert(QStringLiteral("select min(Kunde) from Artikelpositionen where Rechnung_nr = :n"), {{QStringLiteral("n"), nr}})
            .toInt();
    }
};

// Sets the e-invoice seams and the setting for a scope, and puts them back.
struct ERechnungNaht {
    QList<QStringList> aufrufe; // pdf or xml file, company, period, number
    std::function<void(const QString &)> verhalten; // throws to fail
    explicit ERechnungNaht(bool einbetten = true)
    {
        Einstellung::set(QStringLiteral("cb_erechnung"), einbetten);
        ERechnungEinbetten = [this](const QString &pdf, int f, int p, int n) {
            aufrufe << QStringList{pdf, QString::number(f), QString::number(p), QString::number(n)};
            if (verhalten)
                verhalten(pdf);
            QFile d(pdf);
            d.open(QIODevice::Append);
            d.write("%eingebettet\n");
        };
        XRechnungAusgeben = [this](const QString &xml, int f, int p, int n) {
            aufrufe << QStringList{xml, QString::number(f), QString::number(p), QString::number(n)};
            if (verhalten)
                verhalten(xml);
            QFile d(xml);
            d.open(QIODevice::WriteOnly);
            d.write("<rsm:CrossIndustryInvoice/>");
            return xml;
        };
    }
    ~ERechnungNaht()
    {
        ERechnungEinbetten = nullptr;
        XRechnungAusgeben = nullptr;
        Einstellung::set(QStringLiteral("cb_erechnung"), true);
    }
};

bool eingebettet(const QString &pdf)
{
    QFile f(pdf);
    return f.open(QIODevice::ReadOnly) && f.readAll().endsWith("%eingebettet\n");
}

QSet<int> nummern(Dataset &q)
{
    QSet<int> s;
    for (int i = 0; i < q.recordCount(); ++i)
        s << q.valueAt(i, q.fieldIndex(QStringLiteral("Rechnung_nr"))).toInt();
    return s;
}
} // namespace

class TstUebersicht : public QObject {
    Q_OBJECT
private slots:
    void dateinamen()
    {
        Umgebung u;
        QCOMPARE(PdfDateiname(QStringLiteral("/x/PDF"), kPeriode, 17, true), QStringLiteral("/x/PDF/20120101_RechnungNr_17_w.pdf"));
        QCOMPARE(PdfDateiname(QStringLiteral("/x/PDF/"), kPeriode, 17, false), QStringLiteral("/x/PDF/20120101_RechnungNr_17.pdf"));
        QCOMPARE(EmailPdfDateiname(17, 0), u.p.ordner() + QStringLiteral("EMAILS/RechnungNr_17.pdf"));
        QCOMPARE(EmailPdfDateiname(17, 1), u.p.ordner() + QStringLiteral("EMAILS/InvoiceNr_17.pdf"));
        QCOMPARE(EmailPdfDateiname(17, 3), u.p.ordner() + QStringLiteral("EMAILS/InvoiceNr_17.pdf"));
    }

    void emailOrdnerLeerenNurEMAILS()
    {
        Umgebung u;
        QTemporaryDir anderer;
        for (const QString &d : {u.p.pfad(QStringLiteral("EMAILS")), anderer.path()}) {
            QFile f(d + QStringLiteral("/alt.txt"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        EmailOrdnerLeeren(TEmailDateiliste{anderer.path()});
        QVERIFY(QFile::exists(anderer.filePath(QStringLiteral("alt.txt"))));
        EmailOrdnerLeeren(fl_emailpdfs());
        QVERIFY(fl_emailpdfs().dateien().isEmpty());
    }

    // The overview's "Rechnung mailen": folder emptied, PDF by language, the
    // exact hand-over arguments.
    void rechnungMailen_data()
    {
        QTest::addColumn<int>("sprache");
        QTest::addColumn<bool>("smtp");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("anhang");
        QTest::addColumn<QString>("empfaenger");
        QTest::newRow("deutsch") << 0 << false << "kunde@example.org" << "RechnungNr_3.pdf" << "kunde@example.org";
        QTest::newRow("englisch smtp") << 1 << true << " kunde@example.org" << "InvoiceNr_3.pdf" << "smtp: kunde@example.org";
        QTest::newRow("nur Leerzeichen") << 0 << true << "   " << "RechnungNr_3.pdf" << "";
    }
    void rechnungMailen()
    {
        QFETCH(int, sprache);
        QFETCH(bool, smtp);
        QFETCH(QString, email);
        QFETCH(QString, anhang);
        QFETCH(QString, empfaenger);
        Umgebung u;
        Mailaufnahme a;
        const int kunde = u.kundeVon(3);
        u.p.ausfuehren(QStringLiteral("update Kundenstamm set EMail1 = :e where Firma = 1 and Kunde = :k"),
                       {{QStringLiteral("e"), email}, {QStringLiteral("k"), kunde}});
        Einstellung::set(QStringLiteral("rg_sprache"), sprache);
        SmtpVoranstellen = smtp;
        Einstellung::set(QStringLiteral("ed_subject_re"), QStringLiteral("Ihre Rechnung"));
        Einstellung::set(QStringLiteral("me_body_re"), QStringLiteral("Guten Tag,\nanbei die Rechnung."));
        QFile alt(u.p.pfad(QStringLiteral("EMAILS/Rechnung_alt.pdf")));
        QVERIFY(alt.open(QIODevice::WriteOnly));
        alt.close();

        RechnungPerMail(1, kPeriode, 3, kunde);
        SmtpVoranstellen = false;

        QCOMPARE(fl_emailpdfs().dateien(), QStringList{anhang});
        QStringList erwartet{QStringLiteral("--subject"), QStringLiteral("Ihre Rechnung"), QStringLiteral("--body"),
                             QStringLiteral("Guten Tag,\r\nanbei die Rechnung."), QStringLiteral("--attach"),
                             u.p.pfad(QStringLiteral("EMAILS/")) + anhang};
        if (!empfaenger.isEmpty())
            erwartet << empfaenger;
        QCOMPARE(a.argumente(), erwartet);
        QVERIFY(pdfText(u.p.pfad(QStringLiteral("EMAILS/")) + anhang).contains(QLatin1String("Rechnung")));
    }

    void rechnungMailenFehler()
    {
        Umgebung u;
        {
            // the hand-over failing or missing is not the user's problem here
            Mailaufnahme a(3);
            RechnungPerMail(1, kPeriode, 3, u.kundeVon(3));
            QVERIFY(a.gelaufen());
            Mail::setBefehl(u.p.pfad(QStringLiteral("gibt-es-nicht")));
            RechnungPerMail(1, kPeriode, 3, u.kundeVon(3));
        }
        Mailaufnahme a;
        // no PDF: ex_2; no customer: ex_1
        EmailOrdnerLeeren(fl_emailpdfs());
        try {
            RechnungMailen(1, u.kundeVon(3), {}, fl_emailpdfs(), {});
            QFAIL("kein Fehler");
        } catch (const ETestException &x) {
            QCOMPARE(x.text(), txt("ex_2"));
        }
        try {
            RechnungPerMail(1, kPeriode, 3, 4711);
            QFAIL("kein Fehler");
        } catch (const ETestException &x) {
            QCOMPARE(x.text(), txt("ex_1"));
        }
        // a vanished invoice writes nothing to attach
        try {
            RechnungPerMail(1, kPeriode, 999, u.kundeVon(3));
            QFAIL("kein Fehler");
        } catch (const ETestException &x) {
            QCOMPARE(x.text(), txt("ex_2"));
        }
        QVERIFY(!a.gelaufen());
    }

    void pdfErzeugen()
    {
        Umgebung u;
        const QString ordner = u.p.pfad(QStringLiteral("Rechnungen_PDF"));
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), QStringLiteral("\"%1\"").arg(ordner));
        PdfErzeugen(1, kPeriode, 7);
        const QString datei = ordner + QStringLiteral("/20120101_RechnungNr_7_w.pdf");
        QVERIFY(QFile::exists(datei));
        const QString name = u.p.wert(QStringLiteral("select k.Name_KU from Kundenstamm k, Artikelpositionen a where "
                                                     "a.Rechnung_nr = 7 and k.Firma = 1 and k.Kunde = a.Kunde"))
                                 .toString();
        QVERIFY(pdfText(datei).contains(name.trimmed()));
        QCOMPARE(u.dialoge.lastText(), txt("sm_46") + QStringLiteral("\"%1\"").arg(ordner));
        // filing again gives the same name
        PdfErzeugen(1, kPeriode, 7);
        QCOMPARE(QDir(ordner).entryList(QDir::Files).size(), 1);

        // an invoice without rows: no file, and not reported as filed
        u.dialoge.clear();
        try {
            PdfErzeugen(1, kPeriode, 999);
            QFAIL("kein Fehler");
        } catch (const ETestException &x) {
            QCOMPARE(x.text(), txt("ex_7"));
        }
        QVERIFY(u.dialoge.shown.isEmpty());
        QCOMPARE(QDir(ordner).entryList(QDir::Files).size(), 1);

        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), u.p.pfad(QStringLiteral("fehlt")));
        try {
            PdfErzeugen(1, kPeriode, 7);
            QFAIL("kein Fehler");
        } catch (const ETestException &x) {
            QCOMPARE(x.text(), txt("ex_3"));
        }
    }

    // "PDF erzeugen", "Rechnung mailen" and the capture's "Email " with the
    // e-invoice setting: embedded only when on; a failure leaves the plain PDF
    // filed or attached and says what is missing.
    void pdfMitERechnung_data()
    {
        QTest::addColumn<QString>("weg");
        QTest::addColumn<bool>("einstellung");
        QTest::addColumn<QString>("fehler"); // "", "fehlt" or "kaputt"
        QTest::newRow("PDF an") << "ablage" << true << "";
        QTest::newRow("PDF aus") << "ablage" << false << "";
        QTest::newRow("PDF Angaben fehlen") << "ablage" << true << "fehlt";
        QTest::newRow("PDF anderer Fehler") << "ablage" << true << "kaputt";
        QTest::newRow("Mail an") << "mail" << true << "";
        QTest::newRow("Mail aus") << "mail" << false << "";
        QTest::newRow("Mail Angaben fehlen") << "mail" << true << "fehlt";
        QTest::newRow("Erfassung Angaben fehlen") << "erfassung" << true << "fehlt";
        QTest::newRow("Erfassung an") << "erfassung" << true << "";
    }
    void pdfMitERechnung()
    {
        QFETCH(QString, weg);
        QFETCH(bool, einstellung);
        QFETCH(QString, fehler);
        Umgebung u;
        Mailaufnahme mail;
        ERechnungNaht naht(einstellung);
        const QString fehlt = QStringLiteral("Für die E-Rechnung fehlt: USt-IdNr. der Firma");
        if (fehler == QLatin1String("fehlt"))
            naht.verhalten = [&](const QString &) { throw ERechnungUnvollstaendig(fehlt); };
        else if (fehler == QLatin1String("kaputt"))
            naht.verhalten = [](const QString &) { throw TvxError(QStringLiteral("Datei gesperrt")); };
        const QString ordner = u.p.pfad(QStringLiteral("Rechnungen_PDF"));
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), ordner);

        QString pdf;
        if (weg == QLatin1String("ablage")) {
            PdfErzeugen(1, kPeriode, 7);
            pdf = ordner + QStringLiteral("/20120101_RechnungNr_7_w.pdf");
            QCOMPARE(u.dialoge.lastText(), txt("sm_46") + ordner);
        } else if (weg == QLatin1String("mail")) {
            RechnungPerMail(1, kPeriode, 7, u.kundeVon(7));
            pdf = u.p.pfad(QStringLiteral("EMAILS/RechnungNr_7.pdf"));
            QVERIFY(mail.argumente().contains(pdf));
        } else {
            const TAusgabeFolge folge = AusstellungMitRechnungAusgeben().rechnungAusgeben(1, kPeriode, 7, true);
            QVERIFY(folge.erzeugt);
            pdf = u.p.pfad(QStringLiteral("EMAILS/RechnungNr_7.pdf"));
            QCOMPARE(folge.pdfDateien, QStringList{pdf});
        }
        // the document is there in every case
        QVERIFY(pdfText(pdf).contains(QLatin1String("Rechnung")));
        if (!einstellung) {
            QVERIFY(naht.aufrufe.isEmpty());
            QVERIFY(!eingebettet(pdf));
            return;
        }
        QCOMPARE(naht.aufrufe, (QList<QStringList>{{pdf, QStringLiteral("1"), QStringLiteral("20120101"), QStringLiteral("7")}}));
        QCOMPARE(eingebettet(pdf), fehler.isEmpty());
        QList<Dialogs::Record> warnungen;
        for (const Dialogs::Record &r : u.dialoge.shown)
            if (r.kind == Dialogs::Kind::Warning)
                warnungen << r;
        if (fehler.isEmpty()) {
            QVERIFY(warnungen.isEmpty());
            return;
        }
        QCOMPARE(warnungen.size(), 1);
        const QString folge = txt(weg == QLatin1String("ablage") ? "eu_1" : "eu_2");
        if (fehler == QLatin1String("fehlt"))
            QCOMPARE(warnungen.first().text, fehlt + QStringLiteral("\n\n") + folge);
        else
            QCOMPARE(warnungen.first().text, txt("eu_3") + QStringLiteral("Datei gesperrt\n\n") + folge);
    }

    // "XRechnung" on the selected line: the file beside the filed PDF, named in the
    // message; missing data: its text and no file.
    void xrechnungKnopf()
    {
        Umgebung u;
        ERechnungNaht naht;
        const QString ordner = u.p.pfad(QStringLiteral("Rechnungen_PDF"));
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), QStringLiteral("\"%1\"").arg(ordner));
        QWidget seite;
        auto *ue = new TUebersicht(&seite);
        seite.resize(1000, 600);
        seite.show();
        QVERIFY(QTest::qWaitForWindowExposed(&seite));
        QCOMPARE(ue->btn_xrechnung_re->parentWidget(), ue->pnl_auswahl_re);
        QCOMPARE(ue->btn_xrechnung_re->width(), ue->btn_pdf_re->width());
        // closed: nothing
        QTest::mouseClick(ue->btn_xrechnung_re, Qt::LeftButton);
        QVERIFY(naht.aufrufe.isEmpty());
        QVERIFY(u.dialoge.shown.isEmpty());

        ue->rg_anzeige_re->setItemIndex(0);
        ue->Oeffnen();
        QVERIFY(ue->qry_rechnungen_uebersicht->locate(QStringLiteral("Rechnung_nr"), 3));
        QTest::mouseClick(ue->btn_xrechnung_re, Qt::LeftButton);
        const QString xml = ordner + QStringLiteral("/20120101_RechnungNr_3_w.xml");
        QCOMPARE(naht.aufrufe, (QList<QStringList>{{xml, QStringLiteral("1"), QStringLiteral("20120101"), QStringLiteral("3")}}));
        QVERIFY(QFile::exists(xml));
        QCOMPARE(u.dialoge.shown.size(), 1);
        QCOMPARE(u.dialoge.lastText(), txt("eu_4") + QDir::toNativeSeparators(xml));

        QVERIFY(QFile::remove(xml));
        u.dialoge.clear();
        naht.verhalten = [](const QString &) { throw ERechnungUnvollstaendig(QStringLiteral("Es fehlt: Käuferreferenz")); };
        QTest::mouseClick(ue->btn_xrechnung_re, Qt::LeftButton);
        QCOMPARE(u.dialoge.shown.size(), 1);
        QCOMPARE(u.dialoge.shown.first().kind, Dialogs::Kind::Warning);
        QCOMPARE(u.dialoge.lastText(), QStringLiteral("Es fehlt: Käuferreferenz\n\n") + txt("eu_5"));
        QVERIFY(!QFile::exists(xml));

        // other errors: the standard error box; a missing folder before anything is asked
        u.dialoge.clear();
        naht.verhalten = [](const QString &) { throw TvxError(QStringLiteral("Schema verletzt")); };
        QTest::mouseClick(ue->btn_xrechnung_re, Qt::LeftButton);
        QCOMPARE(u.dialoge.shown.size(), 1);
        QCOMPARE(u.dialoge.shown.first().kind, Dialogs::Kind::Error);
        QVERIFY(u.dialoge.lastText().contains(QLatin1String("Schema verletzt")));
        naht.aufrufe.clear();
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), u.p.pfad(QStringLiteral("fehlt")));
        QTest::mouseClick(ue->btn_xrechnung_re, Qt::LeftButton);
        QVERIFY(u.dialoge.lastText().contains(txt("ex_3")));
        QVERIFY(naht.aufrufe.isEmpty());
        delete ue;
    }

    // Through the real e-invoice library: the filed PDF of a shipped invoice carries
    // factur-x.xml, and the XRechnung lands beside it.
    void echteERechnung()
    {
        Umgebung u;
        ERechnungVerdrahten();
        struct Zurueck {
            ~Zurueck()
            {
                ERechnungEinbetten = nullptr;
                XRechnungAusgeben = nullptr;
            }
        } zurueck;
        Einstellung::set(QStringLiteral("cb_erechnung"), true);
        const QString ordner = u.p.pfad(QStringLiteral("Rechnungen_PDF"));
        Einstellung::set(QStringLiteral("ed_pdf_ablage_faktura"), ordner);
        Waehrung = QStringLiteral("€"); // set at start-up from the settings
        QCOMPARE(EInvoice::Fehlend(1, kPeriode, 3, EInvoice::Syntax::FacturX), QStringList());

        PdfErzeugen(1, kPeriode, 3);
        QCOMPARE(u.dialoge.texts(), QStringList{txt("sm_46") + ordner});
        const QString pdf = ordner + QStringLiteral("/20120101_RechnungNr_3_w.pdf");
        QProcess qpdf;
        qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--list-attachments"), pdf});
        QVERIFY(qpdf.waitForFinished(30000));
        QVERIFY2(qpdf.readAllStandardOutput().contains("factur-x.xml"), qPrintable(pdf));
        QVERIFY(pdfText(pdf).contains(QLatin1String("Rechnung")));

        u.dialoge.clear();
        XRechnungErzeugen(1, kPeriode, 3);
        const QString xml = ordner + QStringLiteral("/20120101_RechnungNr_3_w.xml");
        QCOMPARE(u.dialoge.texts(), QStringList{txt("eu_4") + QDir::toNativeSeparators(xml)});
        QFile f(xml);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("CrossIndustryInvoice"));

        // the company's VAT number gone: the PDF is filed plain, the XRechnung refused
        u.p.ausfuehren(QStringLiteral("update Firmenstamm set UStIdNr_FI = null, Steuernummer_FI = null"));
        QVERIFY(QFile::remove(xml));
        u.dialoge.clear();
        PdfErzeugen(1, kPeriode, 3);
        QCOMPARE(u.dialoge.shown.size(), 2);
        QVERIFY2(u.dialoge.shown.first().text.startsWith(txt("ei_1")), qPrintable(u.dialoge.shown.first().text));
        QVERIFY(u.dialoge.shown.first().text.endsWith(txt("eu_1")));
        qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--list-attachments"), pdf});
        QVERIFY(qpdf.waitForFinished(30000));
        QVERIFY(!qpdf.readAllStandardOutput().contains("factur-x.xml"));
        u.dialoge.clear();
        XRechnungErzeugen(1, kPeriode, 3);
        QVERIFY(u.dialoge.lastText().startsWith(txt("ei_1")));
        QVERIFY(!QFile::exists(xml));
    }

    void storno()
    {
        Umgebung u;
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Rechnungsbetrag = 24, Rechnungsbetrag_Bezahlt = null, "
                                      "Lieferdatum = '2023-03-01 00:00:00', Rechnungsdatum = '2023-03-02 00:00:00' "
                                      "where Rechnung_nr = 7"));
        const int quelle = u.zeilen(7);
        const QString abbild = QStringLiteral("select group_concat(ID_Artikelpositionen || Menge || Status || Hinweis || Rechnungsbetrag || Rechnungsdatum) "
                                              "from Artikelpositionen where Rechnung_nr = 7");
        const QString vorher = u.p.wert(abbild).toString();
        QVERIFY(quelle > 0);
        const int naechste = u.p.wert(QStringLiteral("select max(Rechnung_nr) + 1 from Artikelpositionen where Periode_re = 20120101")).toInt();
        const int ersteId = u.p.wert(QStringLiteral("select max(ID_Artikelpositionen) + 1 from Artikelpositionen")).toInt();

        u.dialoge.answers << true;
        QVERIFY(btn_stornoClick(1, kPeriode, 7));
        QCOMPARE(u.dialoge.lastText(), txt("sm_47"));
        QCOMPARE(u.zeilen(naechste), quelle);
        const QString vergleich = QStringLiteral(
            "select count(*) from Artikelpositionen s join Artikelpositionen o on o.Rechnung_nr = 7 and o.Periode_re = s.Periode_re "
            "and o.Position_X = s.Position_X where s.Rechnung_nr = :n and s.Menge = -o.Menge and s.Preis = o.Preis "
            "and s.Menge1 = -coalesce(o.Menge1, 0) and s.MWSTABetrag = -coalesce(o.MWSTABetrag, 0) "
            "and s.Rechnungsbetrag = -24 and s.Rechnungsbetrag_Bezahlt = 0 and s.Status = 52 and s.Hinweis = :h "
            "and s.Rechnungsdatum = '2024-06-14 00:00:00' and s.Valutadatum = '2024-06-14 00:00:00' "
            "and s.Lieferdatum = '2023-03-01 00:00:00' and s.Kunde = o.Kunde and s.Artikel = o.Artikel");
        QCOMPARE(u.p.wert(vergleich, {{QStringLiteral("n"), naechste}, {QStringLiteral("h"), QStringLiteral("Storno von Rechnung Nr. 7")}}).toInt(),
                 quelle);
        QCOMPARE(u.p.wert(QStringLiteral("select min(ID_Artikelpositionen) || '-' || max(ID_Artikelpositionen) from Artikelpositionen where Rechnung_nr = :n"),
                          {{QStringLiteral("n"), naechste}})
                     .toString(),
                 QStringLiteral("%1-%2").arg(ersteId).arg(ersteId + quelle - 1));
        QCOMPARE(u.p.wert(abbild).toString(), vorher); // the cancelled invoice is not touched

        // the cancellation of the cancellation: positive again, note naming it
        u.dialoge.answers << true;
        btn_stornoClick(1, kPeriode, naechste);
        QCOMPARE(u.p.wert(QStringLiteral("select count(*) from Artikelpositionen s join Artikelpositionen o on o.Rechnung_nr = 7 "
                                         "and o.Position_X = s.Position_X where s.Rechnung_nr = :n and s.Menge = o.Menge "
                                         "and s.Rechnungsbetrag = 24 and s.Hinweis = :h"),
                          {{QStringLiteral("n"), naechste + 1}, {QStringLiteral("h"), txt("sk_15") + QString::number(naechste)}})
                     .toInt(),
                 quelle);
    }

    void stornoNeinVerschwundenFehler()
    {
        Umgebung u;
        const int vorher = u.p.wert(QStringLiteral("select count(*) from Artikelpositionen")).toInt();
        // no: nothing, and the caller does not reopen
        QVERIFY(!btn_stornoClick(1, kPeriode, 7));
        QCOMPARE(u.dialoge.lastText(), txt("am_5"));
        // vanished: nothing written, and said so
        u.dialoge.answers << true;
        QVERIFY(btn_stornoClick(1, kPeriode, 999));
        QCOMPARE(u.dialoge.lastText(), txt("ex_7"));
        // a failing second row: the first is rolled back, message and log
        u.p.ausfuehren(QStringLiteral("create trigger kaputt before insert on Artikelpositionen when "
                                      "(select count(*) from Artikelpositionen where Status = 52 and Hinweis like 'Storno%7') >= 1 "
                                      "and NEW.Status = 52 begin select raise(abort, 'Platte voll'); end"));
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Hinweis = 'x' where Status = 52"));
        u.dialoge.answers << true;
        QVERIFY(btn_stornoClick(1, kPeriode, 7));
        QVERIFY2(u.dialoge.lastText().startsWith(txt("sm_38")), qPrintable(u.dialoge.lastText()));
        QVERIFY(u.dialoge.lastText().contains(QLatin1String("Platte voll")));
        QCOMPARE(u.p.wert(QStringLiteral("select count(*) from Artikelpositionen")).toInt(), vorher);
        const QString log = txt("ps_14") + QStringLiteral("%Platte voll%");
        QCOMPARE(u.p.wert(QStringLiteral("select count(*) from Protokoll where Aufzeichnung like :t"), {{QStringLiteral("t"), log}}).toInt(), 1);
    }

    // The tab itself, driven by mouse on a real page.
    void uebersicht()
    {
        Umgebung u;
        // 1: today - 180 days (included), 2: one day older; 8 without customer,
        // 9 of another company, 10 only a preview
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Rechnungsdatum = '2020-01-01 00:00:00'"));
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Rechnungsdatum = :d where Rechnung_nr = 1"),
                       {{QStringLiteral("d"), QDateTime(Clock::today().addDays(-180), QTime(0, 0))}});
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Rechnungsdatum = :d where Rechnung_nr = 2"),
                       {{QStringLiteral("d"), QDateTime(Clock::today().addDays(-181), QTime(0, 0))}});
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Kunde = 4711 where Rechnung_nr = 8"));
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Firma = 2 where Rechnung_nr = 9"));
        u.p.ausfuehren(QStringLiteral("update Artikelpositionen set Status = -1 where Rechnung_nr = 10"));

        QWidget seite;
        seite.setObjectName(QStringLiteral("ts_uebersicht"));
        auto *legende = new QLineEdit(QStringLiteral("Bezahlt"), &seite);
        legende->setObjectName(QStringLiteral("ed_markergruen"));
        legende->hide();
        auto *ue = new TUebersicht(&seite);
        seite.resize(1000, 600);
        seite.show();
        QVERIFY(QTest::qWaitForWindowExposed(&seite));
        QCOMPARE(ue->legenden.first(), legende);
        QVERIFY(legende->isVisible());
        QCOMPARE(ue->pnl_auswahl_re->width(), 161);

        // closed: the buttons and markers do nothing
        QTest::mouseClick(ue->btn_pdf_re, Qt::LeftButton);
        QTest::mouseDClick(ue->bilder.at(2), Qt::LeftButton);
        QVERIFY(u.dialoge.shown.isEmpty());

        ue->Oeffnen();
        Dataset &q = *ue->qry_rechnungen_uebersicht;
        QCOMPARE(nummern(q), QSet<int>{1});
        auto *alle = ue->rg_anzeige_re->findChildren<QRadioButton *>().value(0);
        QVERIFY(alle);
        QTest::mouseClick(alle, Qt::LeftButton);
        QCOMPARE(ue->rg_anzeige_re->itemIndex(), 0);
        QCOMPARE(nummern(q), (QSet<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(q.asInteger(QStringLiteral("Rechnung_nr")), 7); // newest first

        // "2 Mahnung" on invoice 3: all its rows, back on its line, pink bullet
        QVERIFY(q.locate(QStringLiteral("Rechnung_nr"), 3));
        QTest::mouseDClick(ue->bilder.at(2), Qt::LeftButton);
        QCOMPARE(u.p.wert(QStringLiteral("select count(*) from Artikelpositionen where Rechnung_nr = 3 and Farbmarkierung = 3")).toInt(),
                 u.zeilen(3));
        QCOMPARE(q.asInteger(QStringLiteral("Rechnung_nr")), 3);
        QCOMPARE(q.asInteger(QStringLiteral("Farbmarkierung")), 3);
        q.setRow(q.row() == 0 ? 1 : 0); // off the selection, so the bullet shows on the base colour
        QVERIFY(q.locate(QStringLiteral("Rechnung_nr"), 3) || true);
        const int zeile = [&] {
            for (int i = 0; i < q.recordCount(); ++i)
                if (q.valueAt(i, q.fieldIndex(QStringLiteral("Rechnung_nr"))).toInt() == 3)
                    return i;
            return -1;
        }();
        q.setRow(zeile == 0 ? 1 : 0);
        QApplication::processEvents();
        const QImage bild = ue->gr_rechnungen->viewport()->grab().toImage();
        const QRect zelle = ue->gr_rechnungen->visualRect(ue->gr_rechnungen->model()->index(zeile, 0));
        const QColor mitte = bild.pixelColor(zelle.left() + 4 + 8, zelle.top() + 1 + 8);
        QVERIFY2(qAbs(mitte.hue() - TUebersicht::il_bullets().at(2).toImage().pixelColor(8, 8).hue()) < 20,
                 qPrintable(mitte.name()));
        // "Neutral" removes it
        q.setRow(zeile);
        QTest::mouseDClick(ue->Panel9, Qt::LeftButton);
        QCOMPARE(u.p.wert(QStringLiteral("select count(*) from Artikelpositionen where Rechnung_nr = 3 and Farbmarkierung <> 0")).toInt(), 0);

        // title clicks on "Re.betrag": ascending, descending, ascending
        QHeaderView *kopf = ue->gr_rechnungen->horizontalHeader();
        QCOMPARE(kopf->defaultAlignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        const QPoint titel(kopf->sectionViewportPosition(5) + 10, kopf->height() / 2);
        for (const char *s : {"Rechnungsbetrag  ASC", "Rechnungsbetrag DESC", "Rechnungsbetrag  ASC"}) {
            QTest::mouseClick(kopf->viewport(), Qt::LeftButton, {}, titel);
            QCOMPARE(q.sort(), QString::fromLatin1(s));
        }
        QCOMPARE(ue->gr_rechnungen->columnWidth(4), 213);

        ue->gr_rechnungen->grab().save(QDir::tempPath() + QStringLiteral("/tvx_uebersicht.png"));
        seite.grab().save(QDir::tempPath() + QStringLiteral("/tvx_uebersicht_seite.png"));

        // preview of the selected line: the preview window opens (modal)
        bool gezeigt = false;
        QTimer::singleShot(200, [&] {
            if (QWidget *m = QApplication::activeModalWidget()) {
                gezeigt = true;
                m->close();
            }
        });
        QTest::mouseClick(ue->btn_rechnung_vorschau, Qt::LeftButton);
        QVERIFY(gezeigt);
        QVERIFY(u.dialoge.shown.isEmpty());

        // "Storno erzeugen" on the selected line: the new invoice on top at once
        QVERIFY(q.locate(QStringLiteral("Rechnung_nr"), 5));
        u.dialoge.answers << true;
        QTest::mouseClick(ue->btn_storno, Qt::LeftButton);
        QCOMPARE(u.dialoge.lastText(), txt("sm_47"));
        q.setSort({});
        q.first();
        QCOMPARE(q.asString(QStringLiteral("Hinweis")), txt("sk_15") + QStringLiteral("5"));
        delete ue;
    }

    // Inside the main window: opened on tab entry, the window's legend edits,
    // grid titles and display items from the language files.
    void hauptfenster()
    {
        TestProgrammordner ordner(TestProgrammordner::Daten::Testdaten, TestProgrammordner::Modul::NichtOeffnen);
        Tfrm_strings strings;
        frm_strings = &strings;
        setProgrammordner(ordner.ordner());
        {
            QSettings st(FormStorage::organisation(), FormStorage::organisation());
            st.clear();
            st.setValue("Tfrm_main/cb_ersterstart_Checked", "0");
            st.sync();
        }
        Tdm_datenbank dm;
        ScopedScriptedDialogs dialoge;
        auto f = std::make_unique<Tfrm_main>();
        AktuelleFirma = 1;
        auto *ue = new TUebersicht(f->ts_uebersicht);
        f->onUebersichtOeffnen = [ue] { ue->Oeffnen(); };
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.get()));
        QCOMPARE(ue->legenden.first(), f->ed_markergruen);
        QCOMPARE(ue->legenden.last(), f->ed_markerneutral);
        QVERIFY(!ue->qry_rechnungen_uebersicht->isOpen());
        f->pc_main->setCurrentWidget(f->ts_uebersicht);
        QVERIFY(ue->qry_rechnungen_uebersicht->isOpen());
        QVERIFY(f->ed_markerrot2->isVisible());

        SpracheLaden(1, ordner.ordner());
        QVERIFY(txt("gr_rechnungen_datum") != QStringLiteral("Datum"));
        QCOMPARE(ue->gr_rechnungen->model()->headerData(1, Qt::Horizontal).toString(), txt("gr_rechnungen_datum"));
        QCOMPARE(ue->gr_rechnungen->model()->headerData(6, Qt::Horizontal).toString(), txt("gr_rechnungen_hinweis"));
        QCOMPARE(ue->gr_rechnungen->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("M"));
        QCOMPARE(ue->rg_anzeige_re->items().size(), 2);
        QVERIFY(ue->rg_anzeige_re->items() != Sprache::germanAnzeigeItems());
        QVERIFY(ue->btn_storno->text() != QStringLiteral("Storno erzeugen"));
        QApplication::processEvents();
        auto *jung = ue->rg_anzeige_re->findChild<QRadioButton *>(QStringLiteral("rg_anzeige_re_item1"));
        QVERIFY(jung && jung->isVisible() && jung->isChecked());
        f->grab().save(QDir::tempPath() + QStringLiteral("/tvx_uebersicht_englisch.png"));
        SpracheLaden(0, ordner.ordner());
        QCOMPARE(ue->btn_storno->text(), QStringLiteral("Storno erzeugen"));

        f.reset();
        Sprache::clearRegistry();
        frm_strings = nullptr;
        setProgrammordner(QString());
    }
};

QTEST_MAIN(TstUebersicht)
#include "tst_uebersicht.moc"

#include "output/u_pdfmail.h"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "output/udm_rechnungen.h"
#include "platform/core/dialogs.h"
#include "platform/mail/mail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::function<void(const QString &, int, int, int)> ERechnungEinbetten;
std::function<QString(const QString &, int, int, int)> XRechnungAusgeben;

QString PdfDateiname(const QString &ordner, int periode_re, int rechnung_nr, bool suffixW)
{
    QString o = ordner;
    while (o.endsWith(QLatin1Char('/')) && o.size() > 1)
        o.chop(1);
    return o + QLatin1Char('/') + QString::number(periode_re) + txt("sk_18") + QString::number(rechnung_nr) +
           (suffixW ? QStringLiteral("_w.pdf") : QStringLiteral(".pdf"));
}

QString EmailOrdner() { return Programmordner() + QStringLiteral("EMAILS"); }

QString EmailPdfDateiname(int rechnung_nr, int sprachindex)
{
    return EmailOrdner() + (sprachindex == 0 ? QStringLiteral("/RechnungNr_") : QStringLiteral("/InvoiceNr_")) +
           QString::number(rechnung_nr) + QStringLiteral(".pdf");
}

int Sprachindex() { return Einstellung::itemIndex(QStringLiteral("rg_sprache")); }

QStringList TEmailDateiliste::dateien() const
{
    return QDir(verzeichnis).entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
}

TEmailDateiliste fl_emailpdfs() { return TEmailDateiliste{EmailOrdner()}; }

void EmailOrdnerLeeren(const TEmailDateiliste &liste)
{
    if (!liste.verzeichnis.contains(QStringLiteral("EMAILS")))
        return;
    const QDir d(liste.verzeichnis);
    for (const QString &f : liste.dateien())
        QFile::remove(d.filePath(f));
}

void RechnungMailen(int firma, int kunde, const QString &betreff, const TEmailDateiliste &liste,
                    const QString &text)
{
    const QString prefix = SmtpVoranstellen ? QStringLiteral("smtp:") : QString();
    QString datei;
    if (liste.verzeichnis.contains(QStringLiteral("EMAILS"))) {
        for (const QString &f : liste.dateien()) {
            const QString g = f.toUpper();
            if (g.startsWith(QStringLiteral("RECHNUNG")) || g.startsWith(QStringLiteral("INVOICE"))) {
                datei = f;
                break;
            }
        }
    }
    const QString anhang = EmailOrdner() + QLatin1Char('/') + datei;
    if (datei.isEmpty() || !QFileInfo(anhang).isFile())
        throw ETestException(txt("ex_2"));
    TKundenDaten k;
    LadeKunde(QString::number(firma), QString::number(kunde), k);
    if (!k.Gefunden)
        throw ETestException(txt("ex_1"));
    Mail::Nachricht n;
    if (!k.EMail1.trimmed().isEmpty())
        n.empfaenger = prefix + k.EMail1;
    n.anhaenge << anhang;
    n.betreff = betreff;
    n.text = text;
    // the message is the user's to finish in the mail program; a failed hand-over
    // leaves the PDF in the e-mail folder for sending by hand
    try {
        Mail::uebergeben(n);
    } catch (...) {
    }
}

void PdfErzeugen(int firma, int periode_re, int rechnung_nr)
{
    TRechnungsausgabe a = TRechnungsausgabe::Druckeinstellungen();
    const QString ordnerText = Einstellung::text(QStringLiteral("ed_pdf_ablage_faktura"));
    a.pdf = true;
    a.pdfOrdner = OhneAnfuehrungszeichen(ordnerText);
    a.suffixW = true;
    const TAusgabeErgebnis r = RechnungAusgeben(firma, periode_re, rechnung_nr, a);
    // an invoice without rows writes no file, and must not be reported as filed
    if (!r.erzeugt)
        throw ETestException(txt("ex_7"));
    ERechnungEinbettenWennGewaehlt(r.pdfDateien, firma, periode_re, rechnung_nr, TPdfZweck::Ablage);
    Dialogs::instance().message(txt("sm_46") + ordnerText);
}

void RechnungPerMail(int firma, int periode_re, int rechnung_nr, int kunde)
{
    EmailOrdnerLeeren(fl_emailpdfs());
    TRechnungsausgabe a = TRechnungsausgabe::Druckeinstellungen();
    a.suffixW = true;
    a.email = true;
    const TAusgabeErgebnis r = RechnungAusgeben(firma, periode_re, rechnung_nr, a);
    ERechnungEinbettenWennGewaehlt(r.pdfDateien, firma, periode_re, rechnung_nr, TPdfZweck::Email);
    RechnungMailen(AktuelleFirma, kunde, Einstellung::text(QStringLiteral("ed_subject_re")), fl_emailpdfs(),
                   Einstellung::lines(QStringLiteral("me_body_re")).join(QStringLiteral("\r\n")));
}

bool ERechnungEinbettenWennGewaehlt(const QStringList &pdfDateien, int firma, int periode_re, int rechnung_nr,
                                    TPdfZweck zweck)
{
    if (!ERechnungEinbetten || !Einstellung::checked(QStringLiteral("cb_erechnung")) || pdfDateien.isEmpty())
        return false;
    QString grund;
    for (const QString &pdf : pdfDateien) {
        try {
            ERechnungEinbetten(pdf, firma, periode_re, rechnung_nr);
            continue;
        } catch (const ERechnungUnvollstaendig &x) {
            grund = x.text();
        } catch (const TvxError &x) {
            grund = txt("eu_3") + x.text();
        } catch (const std::exception &x) {
            grund = txt("eu_3") + QString::fromLocal8Bit(x.what());
        }
        // the same data is missing for every copy: one message is enough
        Dialogs::instance().warning(grund + QStringLiteral("\n\n") +
                                    txt(zweck == TPdfZweck::Ablage ? "eu_1" : "eu_2"));
        return false;
    }
    return true;
}

QString XRechnungDateiname(const QString &ordner, int periode_re, int rechnung_nr)
{
    QString datei = PdfDateiname(ordner, periode_re, rechnung_nr, true);
    datei.chop(4);
    return datei + QStringLiteral(".xml");
}

void XRechnungErzeugen(int firma, int periode_re, int rechnung_nr)
{
    if (!XRechnungAusgeben)
        throw TvxError(QStringLiteral("Die XRechnung ist nicht eingebunden."));
    const QString ordner = OhneAnfuehrungszeichen(Einstellung::text(QStringLiteral("ed_pdf_ablage_faktura")));
    if (!QFileInfo(ordner).isDir())
        throw ETestException(txt("ex_3"));
    QString datei;
    try {
        datei = XRechnungAusgeben(XRechnungDateiname(ordner, periode_re, rechnung_nr), firma, periode_re, rechnung_nr);
    } catch (const ERechnungUnvollstaendig &x) {
        Dialogs::instance().warning(x.text() + QStringLiteral("\n\n") + txt("eu_5"));
        return;
    }
    Dialogs::instance().message(txt("eu_4") + QDir::toNativeSeparators(datei));
}

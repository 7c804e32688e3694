#include "einvoice/u_erechnung.h"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "data/u_dm_datenbank.h"
#include "einvoice/u_ecodes.h"
#include "einvoice/u_eschema.h"
#include "einvoice/u_esummen.h"
#include "output/u_rechnungsbericht.h"
#include "capture/u_geld.h"
#include "platform/rtf/rtf.h"
#include "platform/sql/sqlutil.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>
#include <QXmlStreamWriter>

#include <cmath>

namespace EInvoice {

namespace {

const QString kRsm = QStringLiteral("urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100");
const QString kRam = QStringLiteral("urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100");
const QString kUdt = QStringLiteral("urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100");
const QString kQdt = QStringLiteral("urn:un:unece:uncefact:data:standard:QualifiedDataType:100");

QString kennung(Syntax s)
{
    return s == Syntax::XRechnung
               ? QStringLiteral("urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0")
               : QStringLiteral("urn:cen.eu:en16931:2017");
}

bool leeresDatum(const QVariant &v)
{
    if (v.isNull())
        return true;
    const QDateTime d = v.toDateTime();
    return !d.isValid() || d.date() == QDate(1899, 12, 30);
}

QString klartext(const QVariant &v)
{
    const QString t = v.toString();
    if (t.trimmed().isEmpty())
        return {};
    return Rtf::toPlainText(t).trimmed();
}

// Amounts as the document prints them, without grouping: cents exactly.
QString betrag(qint64 cent)
{
    const bool neg = cent < 0;
    const qint64 a = neg ? -cent : cent;
    return QStringLiteral("%1%2.%3").arg(neg ? QStringLiteral("-") : QString()).arg(a / 100).arg(a % 100, 2, 10, QLatin1Char('0'));
}

// Quantities, prices and rates: as many decimals as they have, at most four.
QString zahl(double x, int mindestens = 0)
{
    QString s = QString::number(x, 'f', 4);
    while (s.contains(QLatin1Char('.')) && s.endsWith(QLatin1Char('0')) && s.size() - s.indexOf(QLatin1Char('.')) - 1 > mindestens)
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

bool hatUstIdForm(const QString &id)
{
    // a country prefix, then letters and digits with at least one digit (ATU12345678, CHE-112.345.678)
    static const QRegularExpression form(QStringLiteral("^[A-Za-z]{2}(?=.*[0-9])[A-Za-z0-9+*.\\-]{2,13}$"));
    return form.match(id.trimmed()).hasMatch();
}

QString ohneLeerzeichen(const QString &s)
{
    QString out;
    for (const QChar c : s)
        if (!c.isSpace())
            out += c;
    return out;
}

struct Position {
    int nr = 0;
    QString artikel, name, einheit, beschreibung;
    double menge = 0, preis = 0, rabatt = 0;
    qint64 betrag = 0; // cents, as printed
    qint64 basis = 0;  // cents before the discount
    int klasse = 0;
    double satz = 0;   // rate of the class in per cent
};

struct Steuer {
    QString kategorie; // S, Z, E, K
    double satz = 0;
    qint64 basis = 0, steuer = 0;
};

struct Partei {
    QString name, zusatz, strasse, plz, ort, land, landcode, ustid, steuernummer, email;
};

// Everything the document needs, read and computed once.
struct Daten {
    int firma = 0, periode = 0, nummer = 0, kunde = 0, status = 0;
    QDate datum, lieferdatum, faellig;
    bool gutschrift = false;
    int vorzeichen = 1; // -1: a credit note carries the printed amounts with the opposite sign
    QString hinweis, kopftext, fusstext;
    QString referenz;
    QDate referenzDatum;
    Partei verkaeufer, kaeufer;
    QString kontakt, telefon, iban, bic, kaeuferreferenz, waehrung;
    bool mwstFaehig = true, innergem = false, rappen = false;
    std::vector<Position> positionen;
    QStringList textpositionen;
    std::vector<Steuer> steuern;
    qint64 netto = 0, steuerSumme = 0, gesamt = 0, rundung = 0, zahlbetrag = 0;
    QStringList fehlt;
};

QSqlQuery abfrage(const QString &sql, const QVariantMap &p)
{
    QSqlQuery q = prepareQuery(dm_datenbank->Datenbank_Verbindung.db(), sql);
    for (auto it = p.begin(); it != p.end(); ++it)
        q.bindValue(QLatin1Char(':') + it.key(), it.value());
    execQuery(q);
    return q;
}

// The number of the cancelled invoice in the note of a cancellation ("Storno von Rechnung Nr. 7").
QString stornoNummer(const QString &hinweis)
{
    const QString vorsatz = txt("sk_15");
    QString rest = hinweis.trimmed();
    if (!vorsatz.trimmed().isEmpty() && rest.startsWith(vorsatz.trimmed()))
        rest = rest.mid(vorsatz.trimmed().size()).trimmed();
    static const QRegularExpression nr(QStringLiteral("(\\d+)\\s*$"));
    const auto m = nr.match(rest);
    return m.hasMatch() ? m.captured(1) : QString();
}

Daten laden(int firma, int periode_re, int rechnung_nr, Syntax syntax)
{
    if (!dm_datenbank)
        throw TvxError(txt("ei_26"));
    Daten d;
    d.firma = firma;
    d.periode = periode_re;
    d.nummer = rechnung_nr;

    // the rows, joins and line amounts of the document itself
    TRechnungsbericht bericht;
    struct Schliessen {
        TRechnungsbericht &b;
        ~Schliessen() { b.schliessen(); }
    } schliessen{bericht};
    const int n = bericht.oeffnen(firma, periode_re, rechnung_nr);
    if (n == 0)
        throw TvxError(txt("ei_26"));
    auto w = [&](const char *feld, int zeile = 0) { return bericht.wert(zeile, QLatin1String(feld)); };

    d.kunde = w("Kunde").toInt();
    d.status = w("Status").toInt();
    d.datum = w("Rechnungsdatum").toDateTime().date();
    if (leeresDatum(w("Rechnungsdatum")))
        d.fehlt << txt("ei_30");
    d.hinweis = w("Hinweis").toString().trimmed();
    d.kopftext = w("Kopftext").toString().trimmed();
    d.fusstext = w("Fusstext").toString().trimmed();
    d.mwstFaehig = w("MWST_Faehig").toInt() == 1;
    d.innergem = w("InnerGemLieferung").toInt() == 1;
    d.rappen = Einstellung::checked(QStringLiteral("cb_rappenrundung"));
    d.waehrung = Waehrungscode(Waehrung);
    if (d.waehrung.isEmpty())
        d.fehlt << txt("ei_31");

    // seller
    Partei &v = d.verkaeufer;
    v.name = w("Name_FI").toString().trimmed();
    v.strasse = w("Strasse_FI").toString().trimmed();
    v.plz = w("PLZ_FI").toString().trimmed();
    v.ort = w("Ort_FI").toString().trimmed();
    {
        QSqlQuery q = abfrage(QStringLiteral("SELECT UStIdNr_FI, Steuernummer_FI, Land_FI, Kontakt_FI, Telefon_FI, "
                                             "IBAN_FI, BIC_FI, EMAIL1 FROM Firmenstamm WHERE Firma = :f"),
                              {{QStringLiteral("f"), firma}});
        if (q.next()) {
            v.ustid = ohneLeerzeichen(q.value(0).toString());
            v.steuernummer = q.value(1).toString().trimmed();
            v.land = q.value(2).toString().trimmed();
            d.kontakt = q.value(3).toString().trimmed();
            d.telefon = q.value(4).toString().trimmed();
            d.iban = ohneLeerzeichen(q.value(5).toString()).toUpper();
            d.bic = ohneLeerzeichen(q.value(6).toString()).toUpper();
            v.email = q.value(7).toString().trimmed();
        }
    }
    v.landcode = Laendercode(v.land);

    // buyer
    Partei &k = d.kaeufer;
    k.name = w("Name_KU").toString().trimmed();
    k.zusatz = w("Zusatzname_KU").toString().trimmed();
    k.strasse = w("Kunden_Strasse").toString().trimmed();
    k.plz = w("Kunden_PLZ").toString().trimmed();
    k.ort = w("Kunden_Ort").toString().trimmed();
    k.land = w("Kunden_Land").toString().trimmed();
    k.landcode = Laendercode(k.land);
    k.ustid = ohneLeerzeichen(w("UIDNummer").toString());
    k.email = w("EMail1").toString().trimmed();
    {
        QSqlQuery q = abfrage(QStringLiteral("SELECT Kaeuferreferenz FROM Kundenstamm WHERE Firma = :f AND Kunde = :k"),
                              {{QStringLiteral("f"), firma}, {QStringLiteral("k"), d.kunde}});
        if (q.next())
            d.kaeuferreferenz = q.value(0).toString().trimmed();
    }

    // what the rules demand
    if (v.name.isEmpty())
        d.fehlt << txt("ei_2");
    if (v.strasse.isEmpty())
        d.fehlt << txt("ei_3");
    if (v.plz.isEmpty())
        d.fehlt << txt("ei_4");
    if (v.ort.isEmpty())
        d.fehlt << txt("ei_5");
    if (v.landcode.isEmpty())
        d.fehlt << txt("ei_6");
    if (!hatUstIdForm(v.ustid))
        d.fehlt << txt("ei_7");
    if (syntax == Syntax::XRechnung) {
        if (d.kontakt.isEmpty())
            d.fehlt << txt("ei_8");
        if (d.telefon.count(QRegularExpression(QStringLiteral("\\d"))) < 3)
            d.fehlt << txt("ei_9");
        static const QRegularExpression mail(QStringLiteral("^[^@\\s.][^@\\s]+@[^@\\s]{2,}[^@\\s.]$"));
        if (!mail.match(v.email).hasMatch())
            d.fehlt << txt("ei_10");
    }
    if (!IbanGueltig(d.iban))
        d.fehlt << txt("ei_11");
    if (k.name.isEmpty())
        d.fehlt << txt("ei_12");
    if (k.strasse.isEmpty())
        d.fehlt << txt("ei_13");
    if (k.plz.isEmpty())
        d.fehlt << txt("ei_14");
    if (k.ort.isEmpty())
        d.fehlt << txt("ei_15");
    if (k.landcode.isEmpty())
        d.fehlt << txt("ei_16");
    if (d.innergem && !hatUstIdForm(k.ustid))
        d.fehlt << txt("ei_17");
    if (syntax == Syntax::XRechnung && d.kaeuferreferenz.isEmpty())
        d.fehlt << txt("ei_18");

    // positions and the totals block
    std::vector<TZeilenbetrag> betraege;
    std::array<double, 4> saetze{w("MWST_A").toDouble(), w("MWST_B").toDouble(), w("MWST_C").toDouble(),
                                 w("MWST_D").toDouble()};
    QDate lieferdatum;
    for (int i = 0; i < n; ++i) {
        const double b = w("Betrag", i).toDouble();
        const int klasse = w("MWST", i).toInt();
        betraege.push_back({b, klasse});
        const QDate ld = leeresDatum(w("Lieferdatum", i)) ? QDate() : w("Lieferdatum", i).toDateTime().date();
        if (ld.isValid() && (!lieferdatum.isValid() || ld > lieferdatum))
            lieferdatum = ld;
        const bool nurText = w("Name_AR", i).toString().trimmed() == QLatin1String(".");
        QStringList texte;
        for (const QString &t : {w("Text", i).toString().trimmed(), klartext(w("Beschreibung_AR", i)),
                                 klartext(w("Zusatztext1", i))})
            if (!t.isEmpty())
                texte << t;
        // a text-only position without an amount is a note; one with an amount
        // counts in the printed sums and so is a line
        if (nurText && Cent(b) == 0) {
            if (!texte.isEmpty())
                d.textpositionen << texte.join(QLatin1Char('\n'));
            continue;
        }
        if (d.mwstFaehig && (klasse < 1 || klasse > 4))
            d.fehlt << txt("ei_19") + w("Artikel", i).toString().trimmed();
        Position p;
        p.nr = int(d.positionen.size()) + 1;
        p.artikel = w("Artikel", i).toString().trimmed();
        p.name = w("ArtikelName", i).toString().trimmed();
        if (p.name.isEmpty())
            p.name = w("Name_AR", i).toString().trimmed();
        if (p.name.isEmpty() || p.name == QLatin1String("."))
            p.name = texte.isEmpty() ? p.artikel : texte.first().section(QLatin1Char('\n'), 0, 0);
        p.beschreibung = texte.join(QLatin1Char('\n'));
        p.einheit = Einheitencode(w("Einheit", i).toString());
        p.menge = w("Menge", i).toDouble();
        p.preis = w("PreisU", i).toDouble();
        p.rabatt = w("Rabatt", i).toDouble();
        p.betrag = Cent(b);
        p.basis = p.rabatt != 0 ? Cent(CentRunden(p.preis * p.menge)) : p.betrag;
        p.klasse = klasse;
        p.satz = klasse >= 1 && klasse <= 4 ? saetze[size_t(klasse - 1)] : 0;
        d.positionen.push_back(p);
    }
    d.lieferdatum = lieferdatum.isValid() ? lieferdatum : d.datum;

    const TRechnungssummen s = Rechnungssummen(betraege, saetze, d.mwstFaehig, d.rappen);
    d.gutschrift = s.gesamt < 0;
    d.vorzeichen = d.gutschrift ? -1 : 1;
    const int vz = d.vorzeichen;

    // VAT breakdown: one entry per category and rate, from the classes as printed;
    // an intra-community delivery carries no VAT, so a printed rate is refused
    // in the order of the classes A to D
    std::vector<Steuer> aufteilung;
    auto eintrag = [&](const QString &kategorie, double satz) -> Steuer & {
        for (Steuer &e : aufteilung)
            if (e.kategorie == kategorie && e.satz == satz)
                return e;
        aufteilung.push_back({kategorie, satz, 0, 0});
        return aufteilung.back();
    };
    if (d.mwstFaehig) {
        for (size_t c = 0; c < 4; ++c) {
            if (s.klasse[c] == 0)
                continue;
            if (d.innergem && s.satz[c] != 0)
                d.fehlt << txt("ei_20");
            const QString kategorie = d.innergem ? QStringLiteral("K") : s.satz[c] == 0 ? QStringLiteral("Z") : QStringLiteral("S");
            const double satz = d.innergem ? 0 : s.satz[c];
            Steuer &e = eintrag(kategorie, satz);
            e.basis += vz * Cent(s.klasse[c]);
            e.steuer += vz * Cent(s.mwst[c]);
        }
    } else {
        eintrag(d.innergem ? QStringLiteral("K") : QStringLiteral("E"), 0).basis = vz * Cent(s.netto);
    }
    d.steuern = aufteilung;
    for (const Steuer &st : d.steuern) {
        d.steuerSumme += st.steuer;
        d.netto += st.basis;
    }
    d.gesamt = d.netto + d.steuerSumme;
    d.zahlbetrag = vz * Cent(s.gesamt);
    d.rundung = d.zahlbetrag - d.gesamt;

    // due date: as stored, or as the document's write-back computes it
    const QVariant bis = w("ZahlungBis");
    if (!leeresDatum(bis)) {
        d.faellig = bis.toDateTime().date();
    } else {
        const int nettotage = w("Nettotage").toInt();
        if (nettotage != 0 && !leeresDatum(w("Valutadatum")))
            d.faellig = w("Valutadatum").toDateTime().date().addDays(nettotage);
    }

    // a cancellation refers to the invoice it cancels
    if (d.status == 52) {
        d.referenz = stornoNummer(d.hinweis);
        if (!d.referenz.isEmpty()) {
            QSqlQuery q = abfrage(QStringLiteral("SELECT Rechnungsdatum FROM Artikelpositionen WHERE Firma = :f AND "
                                                 "Periode_re = :p AND Rechnung_nr = :n ORDER BY Position_X LIMIT 1"),
                                  {{QStringLiteral("f"), firma},
                                   {QStringLiteral("p"), periode_re},
                                   {QStringLiteral("n"), d.referenz.toInt()}});
            if (q.next() && !leeresDatum(q.value(0)))
                d.referenzDatum = q.value(0).toDateTime().date();
        }
    }
    d.fehlt.removeDuplicates();
    return d;
}

// ------------------------------------------------------------------ writing

class Schreiber {
public:
    explicit Schreiber(QByteArray *ziel) : x(ziel) { x.setAutoFormatting(true); }
    QXmlStreamWriter x;

    void auf(const QString &ns, const QString &name) { x.writeStartElement(ns, name); }
    void zu() { x.writeEndElement(); }
    void text(const QString &ns, const QString &name, const QString &wert, const QString &attr = {},
              const QString &attrWert = {})
    {
        x.writeStartElement(ns, name);
        if (!attr.isEmpty())
            x.writeAttribute(attr, attrWert);
        x.writeCharacters(wert);
        x.writeEndElement();
    }
    void ram(const QString &name, const QString &wert) { text(kRam, name, wert); }
    void datum(const QString &name, const QDate &d, bool qualifiziert = false)
    {
        auf(kRam, name);
        text(qualifiziert ? kQdt : kUdt, QStringLiteral("DateTimeString"), d.toString(QStringLiteral("yyyyMMdd")),
             QStringLiteral("format"), QStringLiteral("102"));
        zu();
    }
    void notiz(const QString &inhalt)
    {
        if (inhalt.trimmed().isEmpty())
            return;
        auf(kRam, QStringLiteral("IncludedNote"));
        ram(QStringLiteral("Content"), inhalt.trimmed());
        zu();
    }
    void adresse(const Partei &p)
    {
        auf(kRam, QStringLiteral("PostalTradeAddress"));
        if (!p.plz.isEmpty())
            ram(QStringLiteral("PostcodeCode"), p.plz);
        if (!p.strasse.isEmpty())
            ram(QStringLiteral("LineOne"), p.strasse);
        if (!p.zusatz.isEmpty())
            ram(QStringLiteral("LineTwo"), p.zusatz);
        if (!p.ort.isEmpty())
            ram(QStringLiteral("CityName"), p.ort);
        ram(QStringLiteral("CountryID"), p.landcode);
        zu();
    }
    void mail(const QString &adresse)
    {
        if (adresse.isEmpty())
            return;
        auf(kRam, QStringLiteral("URIUniversalCommunication"));
        text(kRam, QStringLiteral("URIID"), adresse, QStringLiteral("schemeID"), QStringLiteral("EM"));
        zu();
    }
    void steuernummer(const QString &id, const QString &schema)
    {
        if (id.isEmpty())
            return;
        auf(kRam, QStringLiteral("SpecifiedTaxRegistration"));
        text(kRam, QStringLiteral("ID"), id, QStringLiteral("schemeID"), schema);
        zu();
    }
};

QString befreiungsgrund(const Steuer &st)
{
    if (st.kategorie == QLatin1String("E"))
        return txt("ei_21");
    if (st.kategorie == QLatin1String("K"))
        return txt("ei_22");
    return {};
}

QByteArray schreiben(const Daten &d, Syntax syntax)
{
    QByteArray xml;
    Schreiber s(&xml);
    QXmlStreamWriter &x = s.x;
    const int vz = d.vorzeichen;
    x.writeStartDocument();
    x.writeNamespace(kRsm, QStringLiteral("rsm"));
    x.writeNamespace(kQdt, QStringLiteral("qdt"));
    x.writeNamespace(kRam, QStringLiteral("ram"));
    x.writeNamespace(kUdt, QStringLiteral("udt"));
    s.auf(kRsm, QStringLiteral("CrossIndustryInvoice"));

    s.auf(kRsm, QStringLiteral("ExchangedDocumentContext"));
    if (syntax == Syntax::XRechnung) {
        // the business process XRechnung requires (BT-23): billing
        s.auf(kRam, QStringLiteral("BusinessProcessSpecifiedDocumentContextParameter"));
        s.ram(QStringLiteral("ID"), QStringLiteral("urn:fdc:peppol.eu:2017:poacc:billing:01:1.0"));
        s.zu();
    }
    s.auf(kRam, QStringLiteral("GuidelineSpecifiedDocumentContextParameter"));
    s.ram(QStringLiteral("ID"), kennung(syntax));
    s.zu();
    s.zu();

    s.auf(kRsm, QStringLiteral("ExchangedDocument"));
    s.ram(QStringLiteral("ID"), QString::number(d.nummer));
    s.ram(QStringLiteral("TypeCode"), d.gutschrift ? QStringLiteral("381") : QStringLiteral("380"));
    s.auf(kRam, QStringLiteral("IssueDateTime"));
    s.text(kUdt, QStringLiteral("DateTimeString"), d.datum.toString(QStringLiteral("yyyyMMdd")), QStringLiteral("format"),
           QStringLiteral("102"));
    s.zu();
    s.notiz(d.hinweis);
    s.notiz(d.kopftext);
    for (const QString &t : d.textpositionen)
        s.notiz(t);
    s.notiz(d.fusstext);
    s.zu();

    s.auf(kRsm, QStringLiteral("SupplyChainTradeTransaction"));
    for (const Position &p : d.positionen) {
        s.auf(kRam, QStringLiteral("IncludedSupplyChainTradeLineItem"));
        s.auf(kRam, QStringLiteral("AssociatedDocumentLineDocument"));
        s.ram(QStringLiteral("LineID"), QString::number(p.nr));
        s.zu();
        s.auf(kRam, QStringLiteral("SpecifiedTradeProduct"));
        if (!p.artikel.isEmpty())
            s.ram(QStringLiteral("SellerAssignedID"), p.artikel);
        s.ram(QStringLiteral("Name"), p.name);
        if (!p.beschreibung.isEmpty())
            s.ram(QStringLiteral("Description"), p.beschreibung);
        s.zu();
        // a price is never negative: the sign goes to the quantity
        const double preis = p.preis < 0 ? -p.preis : p.preis;
        const double menge = (p.preis < 0 ? -p.menge : p.menge) * vz;
        s.auf(kRam, QStringLiteral("SpecifiedLineTradeAgreement"));
        s.auf(kRam, QStringLiteral("NetPriceProductTradePrice"));
        s.ram(QStringLiteral("ChargeAmount"), zahl(preis, 2));
        s.zu();
        s.zu();
        s.auf(kRam, QStringLiteral("SpecifiedLineTradeDelivery"));
        s.text(kRam, QStringLiteral("BilledQuantity"), zahl(menge), QStringLiteral("unitCode"), p.einheit);
        s.zu();
        s.auf(kRam, QStringLiteral("SpecifiedLineTradeSettlement"));
        s.auf(kRam, QStringLiteral("ApplicableTradeTax"));
        s.ram(QStringLiteral("TypeCode"), QStringLiteral("VAT"));
        const QString kategorie = !d.mwstFaehig || d.innergem ? (d.innergem ? QStringLiteral("K") : QStringLiteral("E"))
                                  : (p.satz == 0 ? QStringLiteral("Z") : QStringLiteral("S"));
        const double satz = d.mwstFaehig && !d.innergem ? p.satz : 0;
        s.ram(QStringLiteral("CategoryCode"), kategorie);
        s.ram(QStringLiteral("RateApplicablePercent"), zahl(satz, 2));
        s.zu();
        if (p.rabatt != 0) {
            s.auf(kRam, QStringLiteral("SpecifiedTradeAllowanceCharge"));
            s.auf(kRam, QStringLiteral("ChargeIndicator"));
            s.text(kUdt, QStringLiteral("Indicator"), QStringLiteral("false"));
            s.zu();
            s.ram(QStringLiteral("CalculationPercent"), zahl(p.rabatt, 2));
            s.ram(QStringLiteral("BasisAmount"), betrag(vz * p.basis));
            s.ram(QStringLiteral("ActualAmount"), betrag(vz * (p.basis - p.betrag)));
            s.ram(QStringLiteral("ReasonCode"), QStringLiteral("95"));
            s.ram(QStringLiteral("Reason"), txt("ei_27"));
            s.zu();
        }
        s.auf(kRam, QStringLiteral("SpecifiedTradeSettlementLineMonetarySummation"));
        s.ram(QStringLiteral("LineTotalAmount"), betrag(vz * p.betrag));
        s.zu();
        s.zu();
        s.zu();
    }

    // agreement: buyer reference, seller, buyer
    s.auf(kRam, QStringLiteral("ApplicableHeaderTradeAgreement"));
    if (!d.kaeuferreferenz.isEmpty())
        s.ram(QStringLiteral("BuyerReference"), d.kaeuferreferenz);
    s.auf(kRam, QStringLiteral("SellerTradeParty"));
    s.ram(QStringLiteral("Name"), d.verkaeufer.name);
    if (!d.kontakt.isEmpty() || !d.telefon.isEmpty() || !d.verkaeufer.email.isEmpty()) {
        s.auf(kRam, QStringLiteral("DefinedTradeContact"));
        if (!d.kontakt.isEmpty())
            s.ram(QStringLiteral("PersonName"), d.kontakt);
        if (!d.telefon.isEmpty()) {
            s.auf(kRam, QStringLiteral("TelephoneUniversalCommunication"));
            s.ram(QStringLiteral("CompleteNumber"), d.telefon);
            s.zu();
        }
        if (!d.verkaeufer.email.isEmpty()) {
            s.auf(kRam, QStringLiteral("EmailURIUniversalCommunication"));
            s.ram(QStringLiteral("URIID"), d.verkaeufer.email);
            s.zu();
        }
        s.zu();
    }
    s.adresse(d.verkaeufer);
    s.mail(d.verkaeufer.email);
    s.steuernummer(d.verkaeufer.steuernummer, QStringLiteral("FC"));
    s.steuernummer(d.verkaeufer.ustid, QStringLiteral("VA"));
    s.zu();
    s.auf(kRam, QStringLiteral("BuyerTradeParty"));
    s.ram(QStringLiteral("Name"), d.kaeufer.name);
    s.adresse(d.kaeufer);
    s.mail(d.kaeufer.email);
    if (hatUstIdForm(d.kaeufer.ustid))
        s.steuernummer(d.kaeufer.ustid, QStringLiteral("VA"));
    s.zu();
    s.zu();

    // delivery: to the buyer's address, on the latest delivery date of the positions
    s.auf(kRam, QStringLiteral("ApplicableHeaderTradeDelivery"));
    if (d.innergem) {
        s.auf(kRam, QStringLiteral("ShipToTradeParty"));
        s.ram(QStringLiteral("Name"), d.kaeufer.name);
        s.adresse(d.kaeufer);
        s.zu();
    }
    s.auf(kRam, QStringLiteral("ActualDeliverySupplyChainEvent"));
    s.datum(QStringLiteral("OccurrenceDateTime"), d.lieferdatum);
    s.zu();
    s.zu();

    // settlement
    s.auf(kRam, QStringLiteral("ApplicableHeaderTradeSettlement"));
    s.ram(QStringLiteral("PaymentReference"), QString::number(d.nummer));
    s.ram(QStringLiteral("InvoiceCurrencyCode"), d.waehrung);
    s.auf(kRam, QStringLiteral("SpecifiedTradeSettlementPaymentMeans"));
    s.ram(QStringLiteral("TypeCode"), QStringLiteral("58"));
    s.auf(kRam, QStringLiteral("PayeePartyCreditorFinancialAccount"));
    s.ram(QStringLiteral("IBANID"), d.iban);
    s.zu();
    if (!d.bic.isEmpty()) {
        s.auf(kRam, QStringLiteral("PayeeSpecifiedCreditorFinancialInstitution"));
        s.ram(QStringLiteral("BICID"), d.bic);
        s.zu();
    }
    s.zu();
    for (const Steuer &st : d.steuern) {
        s.auf(kRam, QStringLiteral("ApplicableTradeTax"));
        s.ram(QStringLiteral("CalculatedAmount"), betrag(st.steuer));
        s.ram(QStringLiteral("TypeCode"), QStringLiteral("VAT"));
        const QString grund = befreiungsgrund(st);
        if (!grund.isEmpty())
            s.ram(QStringLiteral("ExemptionReason"), grund);
        s.ram(QStringLiteral("BasisAmount"), betrag(st.basis));
        s.ram(QStringLiteral("CategoryCode"), st.kategorie);
        if (st.kategorie == QLatin1String("K"))
            s.ram(QStringLiteral("ExemptionReasonCode"), QStringLiteral("VATEX-EU-IC"));
        s.ram(QStringLiteral("RateApplicablePercent"), zahl(st.satz, 2));
        s.zu();
    }
    s.auf(kRam, QStringLiteral("SpecifiedTradePaymentTerms"));
    s.ram(QStringLiteral("Description"),
          d.faellig.isValid() ? txt("ei_23") + d.faellig.toString(QStringLiteral("dd.MM.yyyy")) : txt("ei_24"));
    if (d.faellig.isValid())
        s.datum(QStringLiteral("DueDateDateTime"), d.faellig);
    s.zu();
    s.auf(kRam, QStringLiteral("SpecifiedTradeSettlementHeaderMonetarySummation"));
    s.ram(QStringLiteral("LineTotalAmount"), betrag(d.netto));
    s.ram(QStringLiteral("TaxBasisTotalAmount"), betrag(d.netto));
    s.text(kRam, QStringLiteral("TaxTotalAmount"), betrag(d.steuerSumme), QStringLiteral("currencyID"), d.waehrung);
    if (d.rundung != 0)
        s.ram(QStringLiteral("RoundingAmount"), betrag(d.rundung));
    s.ram(QStringLiteral("GrandTotalAmount"), betrag(d.gesamt));
    s.ram(QStringLiteral("DuePayableAmount"), betrag(d.zahlbetrag));
    s.zu();
    if (!d.referenz.isEmpty()) {
        s.auf(kRam, QStringLiteral("InvoiceReferencedDocument"));
        s.ram(QStringLiteral("IssuerAssignedID"), d.referenz);
        if (d.referenzDatum.isValid())
            s.datum(QStringLiteral("FormattedIssueDateTime"), d.referenzDatum, true);
        s.zu();
    }
    s.zu();

    s.zu(); // SupplyChainTradeTransaction
    s.zu(); // CrossIndustryInvoice
    x.writeEndDocument();
    return xml;
}

} // namespace

EUnvollstaendig::EUnvollstaendig(const QStringList &f)
    : ERechnungUnvollstaendig(txt("ei_1") + QStringLiteral("\n- ") + f.join(QStringLiteral("\n- "))), fehlt(f)
{
}

QStringList Fehlend(int firma, int periode_re, int rechnung_nr, Syntax syntax)
{
    return laden(firma, periode_re, rechnung_nr, syntax).fehlt;
}

QByteArray CiiXml(int firma, int periode_re, int rechnung_nr, Syntax syntax)
{
    const Daten d = laden(firma, periode_re, rechnung_nr, syntax);
    if (!d.fehlt.isEmpty())
        throw EUnvollstaendig(d.fehlt);
    const QByteArray xml = schreiben(d, syntax);
    const QStringList fehler = SchemaFehler(xml);
    if (!fehler.isEmpty())
        throw EUngueltig(txt("ei_25") + QLatin1Char('\n') + fehler.mid(0, 5).join(QLatin1Char('\n')));
    return xml;
}

QString XRechnungDateiname(const QString &pdfDatei)
{
    const QFileInfo fi(pdfDatei);
    return fi.path() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".xml");
}

QString XRechnungSchreiben(const QString &xmlDatei, int firma, int periode_re, int rechnung_nr)
{
    const QByteArray xml = CiiXml(firma, periode_re, rechnung_nr, Syntax::XRechnung);
    QSaveFile f(xmlDatei);
    if (!f.open(QIODevice::WriteOnly) || f.write(xml) != xml.size() || !f.commit())
        throw TvxError(txt("ei_28") + xmlDatei);
    QFile::setPermissions(xmlDatei, QFile::ReadOwner | QFile::WriteOwner);
    return xmlDatei;
}

} // namespace EInvoice

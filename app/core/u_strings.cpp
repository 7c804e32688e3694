#include "app/core/u_strings.h"

#include <QDebug>

#include <iterator>

Tfrm_strings *frm_strings = nullptr;

namespace {

struct Vorgabe {
    const char *label;
    const char *text; // UTF-8
};

// Built-in German captions, in the order of the repository's pages: constants,
// messages, log texts, questions, exception texts, window titles, grid titles,
// report labels. Several end in a blank on purpose: a value follows them.
const Vorgabe kVorgaben[] = {
    {"sko_1", "MwSt"},
    {"sk_2", "Kopftext erstellen"},
    {"sk_3", "K O P F T E X T    Ü B E R G E B E N"},
    {"sk_4", "Abschlusstext erstellen'"},
    {"sk_5", "F U S S T E X T    Ü B E R G E B E N"},
    {"sk_6", "Alle Gruppen"},
    {"sk_7", "neue Gruppe"},
    {"sk_8", "Übernehmen"},
    {"sk_9", "Gruppe löschen"},
    {"sk_10", "Abbrechen"},
    {"sk_11", "neuer Artikel"},
    {"sk_12", "Artikel löschen"},
    {"sk_13", "neuer Kunde"},
    {"sk_14", "Kunde löschen"},
    {"sk_15", "Storno von Rechnung Nr. "},
    {"sk_16", "Rechnung Nr. "},
    {"sk_17", "RechnungNr_"},
    {"sk_18", "_RechnungNr_"},
    {"sk_19", "MwSt"},
    {"sk_20", "Position löschen"},
    {"sm_1", "mindestens eine Artikelgruppe muß verbleiben!"},
    {"sm_2", "Sie müssen zuerst den Artikelnamen vergeben!"},
    {"sm_3", "Twain (Kamerasoftware) ist nicht installiert."},
    {"sm_4", "mindestens eine Kundengruppe muß verbleiben!"},
    {"sm_5", "Kundentabelle nicht offen!"},
    {"sm_6", "Kundentabelle ist leer!"},
    {"sm_7", "Verbindung zur Datenbank fehlgeschlagen!"},
    {"sm_8", "Verbindung zur lokalen Datenbank fehlgeschlagen!"},
    {"sm_9", "Während der Erfassung kann der Kunde nicht geändert werden!"},
    {"sm_10", "Neuerfassung anklicken um eine neue Erfassung mit anderen Kunden zu beginnen."},
    {"sm_11", "Artikel kann nicht übergeben werden!"},
    {"sm_12", "Zuerst Kopfdaten OK Knopf anklicken."},
    {"sm_17", "Firma existiert nicht!"},
    {"sm_18", "gültigen Kunden eingeben!"},
    {"sm_19", "Es wurde keine Rechnungsnummernperiode gefunden!"},
    {"sm_20", "Keine gültige Kundeneingabe!"},
    {"sm_21", "eingegebener Kunde wurde nicht gefunden"},
    {"sm_22", "Befehl ausgeführt!"},
    {"sm_23", "Artikel im Artikelstamm nicht vorhanden!"},
    {"sm_24", "Tabelle für Artikelpositionen nicht geöffnet!"},
    {"sm_25", "keine Artikelpositionen zu speichern!"},
    {"sm_26", "keine gültigen Artikelpositionen zu speichern!"},
    {"sm_27", "Erfassungsdaten wurden gelöscht"},
    {"sm_28", "Statistiken wurden gelöscht"},
    {"sm_29", "Kunden wurden gelöscht"},
    {"sm_30", "Artikeln wurden gelöscht"},
    {"sm_31", "Lieferanten wurden gelöscht"},
    {"sm_32", "Nummernkreise wurden neu angelegt"},
    {"sm_33", "Datenbank wurde für Neuanfang initialisiert"},
    {"sm_34", "Firma nicht gefunden!"},
    {"sm_35", "überprüfen sie die Firmeneingabe."},
    {"sm_36", "Periode muß Zahl sein!"},
    {"sm_37", "MWST existiert nicht!Überprüfen Sie in den Firmenstammdaten ob eine MWST hinterlegt ist die für dieses Valutadatum greift!"},
    {"sm_38", "Transaktion wurde zurückgesetzt!Fehler "},
    {"sm_39", "Tabelle für Artikelpositionen nicht geöffnet!"},
    {"sm_40", "keine Artikelpositionen zu speichern!"},
    {"sm_41", "keine gültigen Artikelpositionen zu speichern!"},
    {"sm_42", "Firma nicht gefunden!Überprüfen sie die Firmeneingabe."},
    {"sm_43", "Periode muß Zahl sein!"},
    {"sm_44", "MWST existiert nicht!Überprüfen Sie in den Firmenstammdaten ob eine MWST hinterlegt ist die für dieses Valutadatum greift!"},
    {"sm_45", "Fehler Rechnungspeicherung: "},
    {"sm_46", "PDF wurde im Ordner abgelegt "},
    {"sm_47", "Stornogenerierung abgeschlossen."},
    {"sm_48", "Sämtliche Erfassungsdaten wirklich löschen?"},
    {"sm_49", "Sämtliche Statsitiken wirklich löschen?"},
    {"sm_50", "Sämtliche Kunden wirklich löschen?"},
    {"sm_51", "Sämtliche Artikel wirklich löschen?"},
    {"sm_52", "Sämtliche Lieferanten wirklich löschen?"},
    {"sm_53", "Sämtliche Nummerkreise wirklich löschen?"},
    {"sm_54", "Sämtliche oben angeführte Daten wirklich löschen?"},
    {"sm_55", "Position kann nicht abgespeichert werde!Artikel existiert nicht."},
    {"sm_56", "Der Kunde hat bereits Rechnungen und kann nicht gelöscht werden. Nehmen Sie stattdessen das Häkchen bei „Sichtbar“ weg, dann erscheint er in keiner Auswahlliste mehr."},
    {"sm_57", "Der Artikel steht auf ausgestellten Rechnungen und kann nicht gelöscht werden. Nehmen Sie stattdessen das Häkchen bei „Sichtbar“ weg, dann erscheint er in keiner Auswahlliste mehr."},
    {"ps_1", "Artikelgruppe wurde gelöscht "},
    {"ps_2", "Artikel wurde gelöscht "},
    {"ps_3", "Erfassungsdaten wurden gelöscht"},
    {"ps_4", "Statistiken wurden gelöscht"},
    {"ps_5", "Kunden wurden gelöscht"},
    {"ps_6", "Artikeln wurden gelöscht"},
    {"ps_7", "Lieferanten wurden gelöscht"},
    {"ps_8", "Nummernkreise wurden neu angelegt"},
    {"ps_9", "Sicherungskopie konnte nicht erstellt werden!"},
    {"ps_10", "Kundengruppe wurde gelöscht "},
    {"ps_11", "Kunde wurde gelöscht "},
    {"ps_12", "Emailpfad für PDFs zuordnen "},
    {"ps_13", "Fehler Rechnungspeicherung: "},
    {"ps_14", "Fehler Rechnungsstorno: "},
    {"ps_15", "Datenbank wurde entleert"},
    {"ps_16", "Fehler autom. Sicherung: "},
    {"am_1", "Artikel wirklich löschen?"},
    {"am_2", "Artikelgruppe wirklich löschen?"},
    {"am_3", "Kunde wirklich löschen ?"},
    {"am_4", "Kundengruppe wirklich löschen ?"},
    {"am_5", "Storno-Generierung starten?"},
    {"am_6", "Wirklich alle Daten wie Artikel,Bons usw. löschen?"},
    {"am_7", "Diese Position wirklich löschen?"},
    {"ex_1", "Kundendaten für PDF nicht gefunden!"},
    {"ex_2", "Rechnung PDF nicht gefunden!"},
    {"ex_3", "Pfad für PDF Ablage nicht gefunden!"},
    {"ex_4", "Rechnungsnummer ermitteln gescheitert!"},
    {"ex_5", "Artikel nicht vorhanden!Transaktion wird abgebrochen  "},
    {"ex_6", "Rechnungsnummer ermitteln gescheitert!"},
    {"ex_7", "keine Daten für Rechnung gefunden"},
    {"ex_8", "Rechnungsnummer ermitteln gescheitert!"},
    {"gr_artikeln_re_artikel", "Artikel"},
    {"gr_artikeln_re_name", "Name"},
    {"gr_kunden_re_kunde", "Kunde"},
    {"gr_kunden_re_name", "Name"},
    {"gr_artikelpositionen_re_artikel", "Artikel"},
    {"gr_artikelpositionen_re_bezeichnung", "Bezeichnung"},
    {"gr_artikelpositionen_re_menge", "Menge"},
    {"gr_artikelpositionen_re_eh", "EH"},
    {"gr_artikelpositionen_re_preis", "Preis"},
    {"gr_artikelpositionen_re_rabatt", "Rabatt"},
    {"gr_artikelpositionen_re_gesamt", "Gesamt"},
    {"gr_artikelpositionen_re_text", "Text"},
    {"gr_rechnungen_datum", "Datum"},
    {"gr_rechnungen_rechnungsnummer", "Rech.Nr."},
    {"gr_rechnungen_kunde", "Kunde"},
    {"gr_rechnungen_kundenname", "Kundenname"},
    {"gr_rechnungen_rechnungsbetrag", "Re.betrag"},
    {"gr_rechnungen_hinweis", "Hinweis"},
    {"gr_artikeln_artikelgruppe", "AGR"},
    {"gr_artikeln_artikel", "Artikel"},
    {"gr_artikeln_name", "Name"},
    {"gr_gruppen_artikelgruppe", "Artikelgruppe"},
    {"gr_gruppen_name", "Name"},
    {"gr_gruppenk_kundengruppe", "Kundengruppe"},
    {"gr_gruppenk_name", "Name"},
    {"gr_kunden_kundengruppe", "KGR"},
    {"gr_kunden_kundennummer", "Kunde Nr."},
    {"gr_kunden_name1", "Kundenname 1"},
    {"gr_kunden_name2", "Kundenname 2"},
    {"gr_kunden_plz", "PLZ"},
    {"gr_kunden_ort", "Ort"},
    {"gr_kunden_strassehausnummer", "Strasse_Hnr"},
    {"gr_kunden_telefon", "Telefon Firma"},
    {"gr_kunden_email", "EMail"},
    {"gr_rechnungenk_datum", "Datum"},
    {"gr_rechnungenk_rechnungsnummer", "Rech.Nr."},
    {"gr_rechnungenk_rechnungsbetrag", "Re.betrag"},
    {"gr_rechnungenk_hinweis", "Hinweis"},
    {"lbl_main", "TORVANEX"},
    {"lbl_texteerfassen", "Texte erfassen"},
    {"lbl_artikelstammdaten", "Artikelstammdaten"},
    {"lbl_kundenstammdaten", "Kundenstammdaten"},
    {"lbl_datenbankinitialisieren", "Datenbank leeren"},
    {"rlbl_artikel", "Artikel NR"},
    {"rlbl_artikelname", "Artikelbezeichnung"},
    {"rlbl_bearbeiter2_re", "Bearbeiter:"},
    {"rlbl_betrag", "Betrag"},
    {"rlbl_datum", "Datum:"},
    {"rlbl_einheit", "EH"},
    {"rlbl_email", "Email:"},
    {"rlbl_gesamtbetrag", "Gesamtbetrag"},
    {"rlbl_kunde", "Kunden Nr.:"},
    {"rlbl_kundendaten", "Kundendaten"},
    {"rlbl_lzr", "Leistungszeitraum:"},
    {"rlbl_menge", "Menge"},
    {"rlbl_mwst", "MWST"},
    {"rlbl_mwst_a", "MWST A"},
    {"rlbl_mwst_b", "MWST B"},
    {"rlbl_mwst_c", "MWST C"},
    {"rlbl_mwst_d", "MWST D"},
    {"rlbl_netto", "Netto "},
    {"rlbl_netto_a", "Netto"},
    {"rlbl_netto_b", "Netto"},
    {"rlbl_netto_c", "Netto"},
    {"rlbl_netto_d", "Netto"},
    {"rlbl_preis", "Preis"},
    {"rlbl_rabatt", "Rabatt"},
    {"rlbl_rechnungsdatum", "Rechnungsdatum:"},
    {"rlbl_rechnungsnummer", "Rechnung Nr."},
    {"rlbl_seite", "Seite"},
    {"rlbl_telefon", "Telefon:"},
    {"rlbl_uid", "Kunden UID:"},
    // e-invoice output: what became of the PDF, and the XRechnung file
    {"eu_1", "Die PDF-Datei wurde ohne E-Rechnungsdaten (ZUGFeRD/Factur-X) abgelegt."},
    {"eu_2", "Die PDF-Datei wird ohne E-Rechnungsdaten (ZUGFeRD/Factur-X) an die E-Mail angehängt."},
    {"eu_3", "E-Rechnung nicht erstellt: "},
    {"eu_4", "XRechnung wurde gespeichert: "},
    {"eu_5", "Es wurde keine XRechnung geschrieben."},
    // e-invoice data: what is missing, texts of the document
    {"ei_1", "Keine E-Rechnung erstellt. Es fehlen diese Angaben:"},
    {"ei_2", "Name der Firma"},
    {"ei_3", "Straße der Firma"},
    {"ei_4", "PLZ der Firma"},
    {"ei_5", "Ort der Firma"},
    {"ei_6", "Land der Firma (ein Land der Länderliste)"},
    {"ei_7", "UID-Nummer der Firma"},
    {"ei_8", "Ansprechpartner der Firma"},
    {"ei_9", "Telefon der Firma"},
    {"ei_10", "E-Mail der Firma"},
    {"ei_11", "Gültige IBAN der Firma"},
    {"ei_12", "Name des Kunden"},
    {"ei_13", "Straße des Kunden"},
    {"ei_14", "PLZ des Kunden"},
    {"ei_15", "Ort des Kunden"},
    {"ei_16", "Land des Kunden (ein Land der Länderliste)"},
    {"ei_17", "UID-Nummer des Kunden (innergemeinschaftliche Lieferung)"},
    {"ei_18", "Käuferreferenz des Kunden (Leitweg-ID)"},
    {"ei_19", "MwSt-Klasse 1 bis 4 des Artikels "},
    {"ei_20", "Rechnung ohne MwSt für die innergemeinschaftliche Lieferung"},
    {"ei_21", "Steuerfrei"},
    {"ei_22", "Innergemeinschaftliche Lieferung, Steuerschuld geht auf den Leistungsempfänger über"},
    {"ei_23", "Zahlbar ohne Abzug bis "},
    {"ei_24", "Zahlbar sofort ohne Abzug"},
    {"ei_25", "Die E-Rechnung entspricht nicht dem XML-Schema und wurde nicht geschrieben:"},
    {"ei_26", "Rechnung nicht gefunden!"},
    {"ei_27", "Rabatt"},
    {"ei_28", "E-Rechnung konnte nicht geschrieben werden: "},
    {"ei_29", "PDF/A-Rechnung konnte nicht erstellt werden: "},
    {"ei_30", "Rechnungsdatum"},
    {"ei_31", "Währung als ISO-Code (z. B. EUR) in den Einstellungen"},
};

const QHash<QString, QString> &vorgabenNachLabel()
{
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const Vorgabe &v : kVorgaben)
            m.insert(QString::fromLatin1(v.label), QString::fromUtf8(v.text));
        return m;
    }();
    return map;
}

} // namespace

Tfrm_strings::Tfrm_strings(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("frm_strings"));
    reset();
}

QString Tfrm_strings::text(const QString &label) const
{
    const auto it = m_captions.constFind(label);
    if (it != m_captions.constEnd())
        return it.value();
    qWarning("message repository: unknown label %s", qPrintable(label));
    return label;
}

void Tfrm_strings::setText(const QString &label, const QString &caption)
{
    auto it = m_captions.find(label);
    if (it == m_captions.end()) {
        qWarning("message repository: refusing unknown label %s", qPrintable(label));
        return;
    }
    it.value() = caption;
}

bool Tfrm_strings::hasLabel(const QString &label) const
{
    return m_captions.contains(label);
}

QStringList Tfrm_strings::labels() const
{
    return defaultLabels();
}

QString Tfrm_strings::germanDefault(const QString &label)
{
    return vorgabenNachLabel().value(label);
}

QStringList Tfrm_strings::defaultLabels()
{
    QStringList l;
    l.reserve(int(std::size(kVorgaben)));
    for (const Vorgabe &v : kVorgaben)
        l << QString::fromLatin1(v.label);
    return l;
}

void Tfrm_strings::reset()
{
    m_captions = vorgabenNachLabel();
}

QString txt(const QString &label)
{
    if (frm_strings)
        return frm_strings->text(label);
    const auto &m = vorgabenNachLabel();
    const auto it = m.constFind(label);
    if (it != m.constEnd())
        return it.value();
    qWarning("message repository: unknown label %s", qPrintable(label));
    return label;
}

QString txt(const char *label)
{
    return txt(QString::fromLatin1(label));
}

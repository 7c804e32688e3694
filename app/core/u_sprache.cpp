#include "app/core/u_sprache.h"

#include <map>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QMetaProperty>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVariantMap>
#include <QWidget>

#include "app/core/u_strings.h"
#include "platform/ini/inifile.h"

QString MwStKuerzel = QStringLiteral("MwSt");

namespace {

struct Schluessel {
    const char *key;
    const char *german; // UTF-8
    const char *role;
};

// The keys of every window, with the caption each component shows in German.
// The windows name their components exactly so; the shipped language files hold
// exactly these keys.
const Schluessel kMain[] = {
    {"ts_erfassung_Caption", "Erfassung", "tab page: invoice capture"},
    {"ts_uebersicht_Caption", "Übersicht", "tab page: invoice overview"},
    {"ts_einstellungen_Caption", "Einstellungen", "tab page: settings"},
    {"ts_druck_Caption", "Druckbild", "tab page: company record and letterhead"},
    {"ts_artikel_Caption", "Artikel && Kunden", "tab page: master data buttons"},
    {"le_1_Caption", "Kunde Nr.", "capture: label of the customer number ed_kunde_re"},
    {"le_10_Caption", "KGR", "customer picker: label of the group choice ed_kundengruppe_re"},
    {"le_11_Caption", "SB", "customer picker: label of the search field ed_kundensuche_re"},
    {"le_12_Caption", "AGR", "article picker: label of the group choice ed_artikelgruppe_re"},
    {"le_13_Caption", "SB", "article picker: label of the search field ed_artikelsuche_re"},
    {"le_14_Caption", "TORVANEX Fakturierung", "footer bar: product name"},
    {"le_15_Caption", "Support: siehe Hilfe", "footer bar: support contact"},
    {"le_2_Caption", "Artikel", "position panel: heading of ed_artikel_re"},
    {"le_3_Caption", "Bezeichnung", "position panel: heading of ed_artikel_re_name"},
    {"le_4_Caption", "Menge", "position panel: heading of ed_menge_re"},
    {"le_5_Caption", "EH", "position panel: heading of DBEdit1 (unit)"},
    {"le_6_Caption", "Einzelpreis", "position panel: heading of ed_einzelpreis_re"},
    {"le_7_Caption", "Rabatt", "position panel: heading of ed_rabatt_re"},
    {"le_8_Caption", "Gesamt", "position panel: heading of DBEdit2 (line amount)"},
    {"le_9_Caption", "Text", "position panel: heading of ed_text_re"},
    {"btn_neuerkunde_Caption", "neuer Kunde", "capture header button"},
    {"btn_kopfok_stammkunde_re_Caption", "Rechnung erfassen", "capture header button"},
    {"btn_artikelstamm_re_Caption", "Artikel erstellen", "position panel button"},
    {"btn_neueposition_Caption", "+ Position", "position panel button"},
    {"btn_re_vorschau_Caption", "Vorschau", "capture footer button"},
    {"btn_rechnung_drucken_Caption", "Rechnung drucken", "overview button"},
    {"btn_rechnung_mailen_Caption", "Email ", "capture footer button"},
    {"btn_rechnung_vorschau_Caption", "Rechnung Vorschau", "overview button"},
    {"btn_rechnungdrucken_Caption", "Drucken", "capture footer button"},
    {"btn_storno_Caption", "Storno erzeugen", "overview button"},
    {"btn_cancel_re_Caption", "Abbruch", "capture footer button"},
    {"btn_kopftext_re_Caption", "Kopftext", "capture footer button"},
    {"btn_fusstext_re_Caption", "Abschlusstext", "capture footer button"},
    {"btn_hilfe_Caption", "Hilfe", "footer bar button"},
    {"btn_close_Caption", "Schliessen", "footer bar button"},
    {"btn_email_re_Caption", "Rechnung mailen", "overview button"},
    {"btn_pdf_re_Caption", "PDF erzeugen", "overview button"},
    {"rg_anzeige_re_Caption", "Rechnungen anzeigen", "overview display choice (radio group title)"},
    {"rg_anzeige_re_Items", "Alle Rechnungen\njünger als 6 Monate", "overview display choice items (list)"},
    {"btn_artikel_Caption", "neue Artikel anlegen", "master data tab button"},
    {"btn_kunden_Caption", "Kundendaten ändern oder anlegen", "master data tab button"},
    {"btn_datenbankleeren_Caption", "Datenbank leeren für Neubeginn", "master data tab button"},
    {"cb_rappenrundung_Caption", "Rappenrundung für Schweiz", "settings check box"},
    {"ls_1_LabelCaption", "Drucker Einstellungen Rechnung", "settings: header of the printer panel"},
    {"ls_10_Caption", "MwSt A", "settings: label of ed_mwst_a"},
    {"ls_11_Caption", "MwSt B", "settings: label of ed_mwst_b"},
    {"ls_12_Caption", "MwSt C", "settings: label of ed_mwst_c"},
    {"ls_13_Caption", "MwSt D", "settings: label of ed_mwst_d"},
    {"ls_14_Caption", "Achtung die Felder nicht leeren.", "settings: hint under the VAT rates"},
    {"ls_15_Caption", "Es muß eine Zahl drinnenstehen.", "settings: second hint under the VAT rates"},
    {"ls_16_Caption", "Länder für Auswahl bei Kunden", "settings: label of me_laender"},
    {"ls_17_LabelCaption", "Ablageort für Rechnungen als PDF", "settings: header of the PDF panel"},
    {"ls_18_Caption", "Ablageort für PDF", "settings: label of ed_pdf_ablage_faktura"},
    {"ls_19_LabelCaption", "Email Einstellungen", "settings: header of the e-mail panel"},
    {"ls_2_Caption", "Drucker ", "settings: label of cb_drucker_re"},
    {"ls_20_Caption", "Betreff - Text", "settings: label of ed_subject_re"},
    {"ls_21_Caption", "Body - Text", "settings: label of me_body_re"},
    {"ls_3_Caption", "Papier ", "settings: label of cb_papier_re"},
    {"ls_4_Caption", "Papierzufuhr ", "settings: label of cb_zufuhr_re"},
    {"ls_5_Caption", "Anzahl Drucke ", "settings: label of ed_anzahl_re"},
    {"ls_6_LabelCaption", "Mehrwertsteuern usw.", "settings: header of the VAT panel"},
    {"ls_7_Caption", "Währungskürzel", "settings: label of ed_waehrung"},
    {"ls_8_Caption", "nur Buchstaben keine Punkte oder Beistriche eingeben!", "settings: hint beside ed_waehrung"},
    {"ls_9_Caption", "Sprache", "settings: label of the language choice rg_sprache"},
    {"cb_bildeinszueins_Caption", "Bild ungestreckt anzeigen", "letterhead tab check box"},
    {"lbl_absender_Caption", "Absenderadresse", "letterhead tab: label of me_anschrift_firma"},
    {"ld_1_Caption", "Gutschrift Nr. Text", "letterhead tab: label of ed_gutschrifttext_re"},
    {"la_1_Caption", "Stammdaten und Datenbank", "master data tab: heading"},
    {"la_2_Caption", "Artikel und Artikelgruppen anlegen und ändern", "master data tab: text beside btn_artikel"},
    {"la_3_Caption", "Kunden und Kundengruppen anlegen und ändern", "master data tab: text beside btn_kunden"},
    {"la_4_Caption", "Testdaten entfernen und mit eigenen Daten beginnen", "master data tab: text beside btn_datenbankleeren"},
    {"cb_erechnung_Caption", "E-Rechnung (ZUGFeRD/Factur-X) in PDF-Dateien einbetten", "settings check box: e-invoice in PDF files"},
    {"btn_xrechnung_re_Caption", "XRechnung", "overview button"},
    {"gb_erechnung_Caption", "E-Rechnung", "letterhead tab: group of the company's e-invoice data"},
    {"lbl_strasse_fi_Caption", "Straße", "letterhead tab: label of Strasse_FI"},
    {"lbl_plzort_fi_Caption", "PLZ / Ort", "letterhead tab: label of PLZ_FI and Ort_FI"},
    {"lbl_land_fi_Caption", "Land", "letterhead tab: label of Land_FI"},
    {"lbl_ustidnr_fi_Caption", "USt-IdNr.", "letterhead tab: label of UStIdNr_FI"},
    {"lbl_steuernummer_fi_Caption", "Steuernummer", "letterhead tab: label of Steuernummer_FI"},
    {"lbl_kontakt_fi_Caption", "Ansprechpartner", "letterhead tab: label of Kontakt_FI"},
    {"lbl_telefon_fi_Caption", "Telefon", "letterhead tab: label of Telefon_FI"},
    {"lbl_email_fi_Caption", "E-Mail", "letterhead tab: label of EMAIL1"},
    {"lbl_iban_fi_Caption", "IBAN", "letterhead tab: label of IBAN_FI"},
    {"lbl_bic_fi_Caption", "BIC", "letterhead tab: label of BIC_FI"},
    {"lbl_firmenname_Caption", "Firmenname", "letterhead tab: label of DBEdit3 (Name_FI)"},
    {"lbl_logo_Caption", "Logo", "letterhead tab: label of ed_file (LogoPfad)"},
    {"lbl_fusszeilen_Caption", "Fußzeilen der Rechnung", "letterhead tab: heading of ed_fuss1_d to ed_fuss4_d"},
    {"lbl_kopftextvorschlag_Caption", "Kopftext", "letterhead tab: heading of re_kopftextvorschlag_re"},
    {"lbl_fusstextvorschlag_Caption", "Abschlusstext", "letterhead tab: heading of re_fusstextvorschlag_re"},
};

const Schluessel kArtikelstamm[] = {
    {"l_1_Caption", "Artikel Nr.", "article tab: label of the Artikel field"},
    {"l_2_Caption", "Name", "article tab: label of Name_AR"},
    {"l_3_Caption", "Beschreibung", "article tab: label of Beschreibung_AR"},
    {"l_4_Caption", "Artikelgruppe", "article tab: label of the group combo"},
    {"l_5_Caption", "Mark.", "article tab: label of Markierung"},
    {"l_6_Caption", "Suchbegriff", "article tab: label of Suchbegriff"},
    {"l_7_Caption", "Anlage", "article tab: label of Anlagedatum"},
    {"l_8_Caption", "geänd.", "article tab: label of Benutzerdatum"},
    {"l_9_Caption", "Preis 1", "article tab: label of Preis1"},
    {"l_10_Caption", "Preis 2", "article tab: label of Preis2"},
    {"l_11_Caption", "Preis 3", "article tab: label of Preis3"},
    {"l_12_Caption", "Einheit", "article tab: label of Einheit"},
    {"l_13_Caption", "MWST", "article tab: label of MWST"},
    {"l_14_Caption", "Pfad der Bilddatei", "picture page: label of Bildpfad"},
    {"l_15_Caption", "Einheiten zum Auswählen hier hinterlegen", "Vortrag page: label of the unit list"},
    {"l_16_Caption", "Artikelgruppe Nr.", "groups tab: label of Artikelgruppe"},
    {"l_17_Caption", "Name", "groups tab: label of Name_AG"},
    {"l_18_Caption", "Suchbegriff eingeben", "search panel: label of the search edit"},
    {"l_19_Caption", "Artikelgruppe wählen", "search panel: label of the group picker"},
    {"l_20_Caption", "Artikelgruppe Nr. automatisch vergeben", "groups tab: label of the auto-number check box"},
    {"ts_artikelgruppen_Caption", "Artikelgruppen", "tab page: article groups"},
    {"ts_artikeln_Caption", "Artikeldaten", "tab page: article"},
    {"ts_bild_Caption", "Artikelbild", "side page: picture"},
    {"ts_sonstiges_Caption", "Sonstiges", "side page: free fields"},
    {"ts_einstellungen_Caption", "Vortrag", "side page: unit list"},
    {"btn_alle_Caption", "Alle", "search panel button"},
    {"btn_cancel_Caption", "Abbrechen", "record button bar"},
    {"btn_close_Caption", "Schliessen", "closing button bar"},
    {"btn_loeschen_Caption", "Artikel löschen", "record button bar"},
    {"btn_neu_Caption", "neuer Artikel", "record button bar"},
    {"btn_uebergeben_Caption", "Artikel übergeben", "closing button bar (hand-over)"},
    {"btn_uebernehmen_Caption", "Übernehmen", "record button bar"},
    {"Falle_Caption", "Alle", "letter bar: button 27"},
    {"cb_sichtbar_Caption", "Sichtbar", "article tab check box"},
    {"cb_bild_Caption", "Bild auf Rechnung", "picture page check box"},
};

const Schluessel kKundenstamm[] = {
    {"cb_mwst_Caption", "MWST", "additional page check box"},
    {"cb_sichtbar_Caption", "Sichtbar", "customer tab check box"},
    {"l_1_Caption", "Kunde Nr.", "customer tab: label of Kunde"},
    {"l_2_Caption", "Kundenname 1", "customer tab: label of Name_KU"},
    {"l_3_Caption", "Kundenname 2", "customer tab: label of Zusatzname_KU"},
    {"l_4_Caption", "Straße/Haus Nr.", "customer tab: label of Strasse_Hnr"},
    {"l_5_Caption", "Land-PLZ/Ort", "customer tab: label of Land, PLZ, Ort"},
    {"l_6_Caption", "Kundengruppe", "customer tab: label of the group combo"},
    {"l_7_Caption", "Suchbegriff", "customer tab: label of Suchbegriff"},
    {"l_8_Caption", "Markierung", "customer tab: label of Markierung"},
    {"l_9_Caption", "Telefon", "customer tab: label of TelefonPrivat"},
    {"l_10_Caption", "Telefon 2", "customer tab: label of TelefonFirma"},
    {"l_11_Caption", "Mobil", "customer tab: label of MobilTelefon"},
    {"l_12_Caption", "Fax", "customer tab: label of FaxNummer"},
    {"l_13_Caption", "EMail ", "customer tab: label of EMail1"},
    {"l_14_Caption", "Homepage", "customer tab: label of Homepage"},
    {"l_15_Caption", "Steuer Nr.", "additional page: label of Steuernummer"},
    {"l_16_Caption", "UID Nr.", "additional page: label of UIDNummer"},
    {"l_17_Caption", "Anmerkung", "additional page: label of Anmerkung"},
    {"l_18_Caption", "Anlagedatum", "other page: label of Anlagedatum"},
    {"l_19_Caption", "Änderungsdatum", "other page: label of Benutzerdatum"},
    {"l_20_Caption", "Kundengruppe Nr.", "groups tab: label of Kundengruppe"},
    {"l_21_Caption", "Name", "groups tab: label of Name_KG"},
    {"l_22_Caption", "Suchbegriff eingeben", "search panel: label of the search edit"},
    {"l_23_Caption", "Kundengr. wählen", "search panel: label of the group picker"},
    {"l_24_Caption", "Kundengruppenummer automatisch vergeben", "groups tab: label of the auto-number check box"},
    {"ts_artikelpositionen_Caption", "Rechnungen", "invoices tab: inner page with the invoice grid"},
    {"ts_kunden_Caption", "Kundendaten", "tab page: customer"},
    {"ts_kundengruppen_Caption", "Kundengruppen", "tab page: customer groups"},
    {"ts_rechnungen_Caption", "Rechnungen", "tab page: the customer's invoices"},
    {"ts_sonstiges_Caption", "Sonstiges", "side page: free fields and dates"},
    {"ts_zusaetzliches_Caption", "Zusätzliches", "side page: VAT, tax numbers, remark"},
    {"btn_allekunden_Caption", "Alle", "search panel button"},
    {"btn_cancel_Caption", "Abbrechen", "record button bar"},
    {"btn_close_Caption", "Schliessen", "closing button bar"},
    {"btn_loeschen_Caption", "Kunde löschen", "record button bar"},
    {"btn_neu_Caption", "neuer Kunde", "record button bar"},
    {"btn_rechnung_vorschau_Caption", "Rechnung Vorschau", "invoices tab button"},
    {"btn_uebergeben_Caption", "Kunde übergeben", "closing button bar (hand-over)"},
    {"btn_uebernehmen_Caption", "Übernehmen", "record button bar"},
    {"Falle_Caption", "Alle", "letter bar: button 27"},
    {"l_25_Caption", "Käuferreferenz / Leitweg-ID", "additional page: label of Kaeuferreferenz"},
};

const Schluessel kKopftexte[] = {
    {"btn_uebergeben_Caption", "K O P F T E X T    Ü B E R G E B E N", "transfer button (the caller sets it each time)"},
    {"btn_close_Caption", "Schliessen", "close button"},
};

const Schluessel kTexterfassen[] = {
    {"btn_uebergeben_Caption", "T E X T    Ü B E R G E B E N", "transfer button"},
    {"btn_close_Caption", "Schliessen", "close button"},
};

const Schluessel kDatenbankinitialisieren[] = {
    {"btn_artikel_Caption", "2 Artikel löschen", "step 2 button"},
    {"btn_erfassungen_Caption", "1 Rechnungen löschen", "step 1 button"},
    {"btn_initialisieren_Caption", "Alle Daten löschen", "runs all steps"},
    {"btn_schliessen_Caption", "Schliessen", "close button"},
    {"l1_Caption", "Rechnungen", "label of step 1"},
    {"l4_Caption", "Artikel und Artikelgruppen", "label of step 2"},
    {"l7_Caption", "Achtung: Wenn sie die Initialisierung starten werden", "warning, first line"},
    {"l8_Caption", "alle oben angeführten Daten von 1-2 gelöscht!", "warning, second line"},
    {"l9_Caption", "Nachdem sie die Daten hier gelöscht haben können sie ihre Daten erfassen.", "hint"},
    {"lbl_head_LabelCaption", "Hier können sie die Datenbank für einen Neuanfang initialisieren.", "header panel"},
};

struct Abschnitt {
    const char *name;
    const Schluessel *keys;
    int count;
};

template <int N>
constexpr Abschnitt abschnitt(const char *name, const Schluessel (&k)[N])
{
    return {name, k, N};
}

// Load order. Strings (the repository) comes first and has no table here: its
// keys are the repository's labels.
const Abschnitt kAbschnitte[] = {
    {"Strings", nullptr, 0},
    abschnitt("Main", kMain),
    abschnitt("Texterfassen", kTexterfassen),
    abschnitt("Kopftexte", kKopftexte),
    abschnitt("Kundenstamm", kKundenstamm),
    abschnitt("Datenbankinitialisieren", kDatenbankinitialisieren),
    abschnitt("Artikelstamm", kArtikelstamm),
};

const Abschnitt *findAbschnitt(const QString &section)
{
    for (const Abschnitt &a : kAbschnitte)
        if (section.compare(QLatin1String(a.name), Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

struct Spaltentitel {
    const char *section;
    const char *grid;
    int column;
    const char *label;
};

// By grid: article picker, customer picker, position grid, overview, article
// grid, article group grid, customer group grid, customer grid, customer
// invoice grid. The marker columns (0) keep their "M".
const Spaltentitel kSpaltentitel[] = {
    {"Main", "gr_artikeln_re", 0, "gr_artikeln_re_artikel"},
    {"Main", "gr_artikeln_re", 1, "gr_artikeln_re_name"},
    {"Main", "gr_kunden_re", 0, "gr_kunden_re_kunde"},
    {"Main", "gr_kunden_re", 1, "gr_kunden_re_name"},
    {"Main", "gr_artikelpositionen_re", 0, "gr_artikelpositionen_re_artikel"},
    {"Main", "gr_artikelpositionen_re", 1, "gr_artikelpositionen_re_bezeichnung"},
    {"Main", "gr_artikelpositionen_re", 2, "gr_artikelpositionen_re_menge"},
    {"Main", "gr_artikelpositionen_re", 3, "gr_artikelpositionen_re_eh"},
    {"Main", "gr_artikelpositionen_re", 4, "gr_artikelpositionen_re_preis"},
    {"Main", "gr_artikelpositionen_re", 5, "gr_artikelpositionen_re_rabatt"},
    {"Main", "gr_artikelpositionen_re", 6, "gr_artikelpositionen_re_gesamt"},
    {"Main", "gr_artikelpositionen_re", 7, "gr_artikelpositionen_re_text"},
    {"Main", "gr_rechnungen", 1, "gr_rechnungen_datum"},
    {"Main", "gr_rechnungen", 2, "gr_rechnungen_rechnungsnummer"},
    {"Main", "gr_rechnungen", 3, "gr_rechnungen_kunde"},
    {"Main", "gr_rechnungen", 4, "gr_rechnungen_kundenname"},
    {"Main", "gr_rechnungen", 5, "gr_rechnungen_rechnungsbetrag"},
    {"Main", "gr_rechnungen", 6, "gr_rechnungen_hinweis"},
    {"Artikelstamm", "gr_artikeln", 1, "gr_artikeln_artikelgruppe"},
    {"Artikelstamm", "gr_artikeln", 2, "gr_artikeln_artikel"},
    {"Artikelstamm", "gr_artikeln", 3, "gr_artikeln_name"},
    {"Artikelstamm", "gr_gruppen", 0, "gr_gruppen_artikelgruppe"},
    {"Artikelstamm", "gr_gruppen", 1, "gr_gruppen_name"},
    {"Kundenstamm", "gr_gruppen", 0, "gr_gruppenk_kundengruppe"},
    {"Kundenstamm", "gr_gruppen", 1, "gr_gruppenk_name"},
    {"Kundenstamm", "gr_kunden", 1, "gr_kunden_kundengruppe"},
    {"Kundenstamm", "gr_kunden", 2, "gr_kunden_kundennummer"},
    {"Kundenstamm", "gr_kunden", 3, "gr_kunden_name1"},
    {"Kundenstamm", "gr_kunden", 4, "gr_kunden_name2"},
    {"Kundenstamm", "gr_kunden", 5, "gr_kunden_plz"},
    {"Kundenstamm", "gr_kunden", 6, "gr_kunden_ort"},
    {"Kundenstamm", "gr_kunden", 7, "gr_kunden_strassehausnummer"},
    {"Kundenstamm", "gr_kunden", 8, "gr_kunden_telefon"},
    {"Kundenstamm", "gr_kunden", 9, "gr_kunden_email"},
    {"Kundenstamm", "gr_rechnungen", 1, "gr_rechnungenk_datum"},
    {"Kundenstamm", "gr_rechnungen", 2, "gr_rechnungenk_rechnungsnummer"},
    {"Kundenstamm", "gr_rechnungen", 3, "gr_rechnungenk_rechnungsbetrag"},
    {"Kundenstamm", "gr_rechnungen", 4, "gr_rechnungenk_hinweis"},
};

// Window titles set after the sections; the main window keeps its own title.
const struct {
    const char *section;
    const char *label;
} kFenstertitel[] = {
    {"Artikelstamm", "lbl_artikelstammdaten"},
    {"Kundenstamm", "lbl_kundenstammdaten"},
    {"Datenbankinitialisieren", "lbl_datenbankinitialisieren"},
    {"Texterfassen", "lbl_texteerfassen"},
};

const char *const kDateien[] = {"Sprache.ini", "Englisch.ini", "France.ini", "Spanish.ini",
                                "Selftrans.ini"};

const QString kTitlesProperty = QStringLiteral("tvxColumnTitles");

struct Registry {
    QHash<QString, QPointer<QObject>> windows; // folded section name
    std::map<int, Sprache::Report> reports;
    QString folder;
};

Registry &registry()
{
    static Registry r;
    return r;
}

QString foldedSection(const QString &s) { return s.toCaseFolded(); }

// Breadth-first over the window's descendants, the shallowest match first. Child
// windows (a dialog parented to this window) have their own section and are not
// searched, so their components cannot shadow this window's.
template <class Pred>
QObject *findInWindow(QObject *window, Pred pred)
{
    QList<QObject *> level{window};
    while (!level.isEmpty()) {
        QList<QObject *> next;
        for (QObject *o : std::as_const(level)) {
            if (pred(o))
                return o;
            for (QObject *c : o->children()) {
                auto *w = qobject_cast<QWidget *>(c);
                if (!w || !w->isWindow())
                    next << c;
            }
        }
        level = std::move(next);
    }
    return nullptr;
}

QObject *findComponent(QObject *window, const QString &name)
{
    return findInWindow(window, [&name](QObject *o) { return o->objectName() == name; });
}

// The tab widget that shows w as one of its pages, if any.
QTabWidget *tabWidgetOf(QWidget *w)
{
    QWidget *stack = w->parentWidget();
    if (!stack || !qobject_cast<QStackedWidget *>(stack))
        return nullptr;
    auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget());
    return tabs && tabs->indexOf(w) >= 0 ? tabs : nullptr;
}

bool setWritableProperty(QObject *o, const char *name, const QVariant &v)
{
    const QMetaObject *mo = o->metaObject();
    const int i = mo->indexOfProperty(name);
    if (i < 0 || !mo->property(i).isWritable())
        return false;
    return o->setProperty(name, v);
}

void setCaption(QObject *o, const QString &text)
{
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        b->setText(text);
    else if (auto *l = qobject_cast<QLabel *>(o))
        l->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(o))
        g->setTitle(text);
    else if (auto *a = qobject_cast<QAction *>(o))
        a->setText(text);
    else if (auto *w = qobject_cast<QWidget *>(o)) {
        if (QTabWidget *tabs = tabWidgetOf(w))
            tabs->setTabText(tabs->indexOf(w), text);
        else if (w->isWindow())
            w->setWindowTitle(text);
        else
            setWritableProperty(o, "caption", text);
    } else {
        setWritableProperty(o, "caption", text);
    }
}

void setLabelCaption(QObject *window, QObject *component, const QString &name, const QString &text)
{
    const QString labelName = name + QStringLiteral("_label");
    if (auto *l = qobject_cast<QLabel *>(findInWindow(window, [&labelName](QObject *o) {
            return o->objectName() == labelName && qobject_cast<QLabel *>(o);
        }))) {
        l->setText(text);
        return;
    }
    if (component && setWritableProperty(component, "labelCaption", text))
        return;
    if (auto *w = qobject_cast<QWidget *>(component)) {
        if (auto *l = qobject_cast<QLabel *>(findInWindow(window, [w](QObject *o) {
                auto *label = qobject_cast<QLabel *>(o);
                return label && label->buddy() == w;
            }))) {
            l->setText(text);
            return;
        }
    }
    if (auto *l = qobject_cast<QLabel *>(component))
        l->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(component))
        g->setTitle(text);
}

void setItems(QObject *o, const QStringList &items)
{
    if (setWritableProperty(o, "items", items))
        return;
    if (auto *c = qobject_cast<QComboBox *>(o)) {
        const int old = c->currentIndex();
        c->clear();
        c->addItems(items);
        c->setCurrentIndex(old < items.size() ? old : -1);
    } else if (auto *l = qobject_cast<QListWidget *>(o)) {
        const int old = l->currentRow();
        l->clear();
        l->addItems(items);
        l->setCurrentRow(old < items.size() ? old : -1);
    }
}

void applyKey(QObject *window, const Sprache::Key &k, const QString &value)
{
    QObject *c = findComponent(window, k.component);
    if (k.property == QLatin1String("LabelCaption"))
        setLabelCaption(window, c, k.component, value);
    else if (c)
        setCaption(c, value);
}

void applyList(QObject *window, const Sprache::Key &k, const QStringList &items)
{
    if (QObject *c = findComponent(window, k.component))
        setItems(c, items);
}

Sprache::Key makeKey(const QString &section, const Schluessel &s)
{
    Sprache::Key k;
    k.section = section;
    k.key = QString::fromLatin1(s.key);
    k.german = QString::fromUtf8(s.german);
    k.role = QString::fromUtf8(s.role);
    const qsizetype us = k.key.lastIndexOf(u'_');
    k.component = k.key.left(us);
    k.property = k.key.mid(us + 1);
    return k;
}

void setColumnTitle(QObject *grid, int column, const QString &title)
{
    QVariantMap titles = grid->property(kTitlesProperty.toLatin1().constData()).toMap();
    titles.insert(QString::number(column), title);
    grid->setProperty(kTitlesProperty.toLatin1().constData(), titles);

    if (grid->metaObject()->indexOfMethod("setColumnTitle(int,QString)") >= 0
        && QMetaObject::invokeMethod(grid, "setColumnTitle", Q_ARG(int, column), Q_ARG(QString, title)))
        return;
    if (auto *view = qobject_cast<QAbstractItemView *>(grid))
        if (QAbstractItemModel *m = view->model())
            m->setHeaderData(column, Qt::Horizontal, title, Qt::DisplayRole);
}

} // namespace

namespace Sprache {

QStringList sectionNames()
{
    QStringList l;
    for (const Abschnitt &a : kAbschnitte)
        l << QString::fromLatin1(a.name);
    return l;
}

QList<Key> keys(const QString &section)
{
    QList<Key> out;
    const Abschnitt *a = findAbschnitt(section);
    if (!a)
        return out;
    const QString name = QString::fromLatin1(a->name);
    if (!a->keys) {
        for (const QString &label : Tfrm_strings::defaultLabels()) {
            Key k;
            k.section = name;
            k.key = label + QStringLiteral("_Caption");
            k.component = label;
            k.property = QStringLiteral("Caption");
            k.german = Tfrm_strings::germanDefault(label);
            k.role = QStringLiteral("message repository label");
            out << k;
        }
        return out;
    }
    for (int i = 0; i < a->count; ++i)
        out << makeKey(name, a->keys[i]);
    return out;
}

QString germanCaption(const QString &section, const QString &key)
{
    for (const Key &k : keys(section))
        if (k.key.compare(key, Qt::CaseInsensitive) == 0)
            return k.german;
    return {};
}

QStringList germanAnzeigeItems()
{
    return germanCaption(QStringLiteral("Main"), QStringLiteral("rg_anzeige_re_Items")).split(u'\n');
}

QString fileName(int index)
{
    const quint8 b = quint8(index);
    return QString::fromLatin1(b < std::size(kDateien) ? kDateien[b] : kDateien[0]);
}

void setProgramFolder(const QString &folder) { registry().folder = folder; }

QString programFolder()
{
    return registry().folder.isEmpty() ? QCoreApplication::applicationDirPath() : registry().folder;
}

void registerWindow(const QString &section, QObject *window)
{
    registry().windows.insert(foldedSection(section), window);
}

void unregisterWindow(QObject *window)
{
    auto &w = registry().windows;
    for (auto it = w.begin(); it != w.end();)
        it = it.value() == window ? w.erase(it) : std::next(it);
}

QObject *window(const QString &section)
{
    return registry().windows.value(foldedSection(section)).data();
}

void registerReport(int order, const Report &report) { registry().reports[order] = report; }

void unregisterReport(int order) { registry().reports.erase(order); }

QStringList reportLabels()
{
    QStringList l;
    for (const QString &label : Tfrm_strings::defaultLabels())
        if (label.startsWith(QLatin1String("rlbl_")))
            l << label;
    return l;
}

QList<GridTitle> gridTitles()
{
    QList<GridTitle> l;
    for (const Spaltentitel &s : kSpaltentitel)
        l << GridTitle{QString::fromLatin1(s.section), QString::fromLatin1(s.grid), s.column,
                       QString::fromLatin1(s.label)};
    return l;
}

void applyColumnTitles(QAbstractItemView *grid)
{
    if (!grid || !grid->model())
        return;
    const QVariantMap titles = grid->property(kTitlesProperty.toLatin1().constData()).toMap();
    for (auto it = titles.constBegin(); it != titles.constEnd(); ++it) {
        bool ok = false;
        const int column = it.key().toInt(&ok);
        if (ok)
            grid->model()->setHeaderData(column, Qt::Horizontal, it.value().toString(), Qt::DisplayRole);
    }
}

bool applySection(const QString &section, QObject *window, const IniFile &ini)
{
    if (!window)
        return false;
    if (ini.readInteger(section, QStringLiteral("FormVersion"), 0) < 0)
        return false;
    const bool repository = section.compare(QLatin1String("Strings"), Qt::CaseInsensitive) == 0;
    auto *strings = repository ? qobject_cast<Tfrm_strings *>(window) : nullptr;
    for (const Key &k : keys(section)) {
        try {
            if (k.property == QLatin1String("Items")) {
                if (const auto items = ini.readStringList(section + u'.' + k.key))
                    applyList(window, k, *items);
                continue;
            }
            const auto v = ini.value(section, k.key);
            if (!v)
                continue;
            if (strings)
                strings->setText(k.component, *v);
            else
                applyKey(window, k, *v);
        } catch (...) {
            // a value that cannot be applied is skipped; the next one is tried
        }
    }
    return true;
}

void applyGermanCaptions(const QString &section, QObject *window)
{
    if (!window)
        return;
    for (const Key &k : keys(section)) {
        if (k.property == QLatin1String("Items"))
            applyList(window, k, k.german.split(u'\n'));
        else if (auto *strings = qobject_cast<Tfrm_strings *>(window))
            strings->setText(k.component, k.german);
        else
            applyKey(window, k, k.german);
    }
}

void clearRegistry()
{
    registry().windows.clear();
    registry().reports.clear();
}

} // namespace Sprache

void SpracheLaden(int index)
{
    SpracheLaden(index, Sprache::programFolder());
}

void SpracheLaden(int index, const QString &programFolder)
{
    const QDir folder(programFolder);
    const IniFile ini = IniFile::load(folder.filePath(Sprache::fileName(index)));

    // 1-2: the sections, window by window
    for (const QString &section : Sprache::sectionNames()) {
        QObject *w = section == QLatin1String("Strings") ? static_cast<QObject *>(frm_strings)
                                                         : Sprache::window(section);
        Sprache::applySection(section, w, ini);
    }

    // 3: window titles
    for (const auto &t : kFenstertitel)
        if (auto *w = qobject_cast<QWidget *>(Sprache::window(QLatin1String(t.section))))
            w->setWindowTitle(txt(t.label));

    // 4: grid titles
    for (const Spaltentitel &s : kSpaltentitel) {
        QObject *w = Sprache::window(QLatin1String(s.section));
        if (!w)
            continue;
        if (QObject *grid = findComponent(w, QLatin1String(s.grid)))
            setColumnTitle(grid, s.column, txt(s.label));
    }

    // 5
    MwStKuerzel = txt("sko_1");

    // 6: the layout file replaces the built-in layout of both reports; an error
    // ends the load here
    const QString layout = folder.filePath(QStringLiteral("Reports/Rechnung.rtm"));
    const auto reports = registry().reports; // a callback may re-register
    for (const auto &[order, r] : reports)
        if (r.loadLayout)
            r.loadLayout(layout);

    // 7: report labels, invoice report first, then the preview
    const QStringList labels = Sprache::reportLabels();
    for (const auto &[order, r] : reports) {
        if (!r.setLabel)
            continue;
        for (const QString &label : labels) {
            try {
                r.setLabel(label, txt(label));
            } catch (...) {
                // one label that cannot be set does not stop the others
            }
        }
    }
}

#include "capture/u_ausstellen.h"

#include "app/core/u_global.h"
#include "app/core/u_sicherung.h"
#include "app/core/u_strings.h"
#include "capture/u_erfassung.h"
#include "capture/u_geld.h"
#include "capture/u_rechnungsnummer.h"
#include "data/u_dm_datenbank.h"
#include "platform/core/clock.h"
#include "platform/core/dialogs.h"
#include "platform/core/errors.h"
#include "platform/dataset/dataset.h"
#include "platform/sql/sqlutil.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>

#include <vector>

const QString SQL_qry_positionen_vorhanden = QStringLiteral(
    "select Artikelpositionen.* from Artikelpositionen where RTRIM(LTRIM(Artikelpositionen.Artikel))<> ''");

const TPruefTexte kAusstellenTexte{"sm_24", "sm_25", "sm_26", "sm_36", true};
const TPruefTexte kVorschauTexte{"sm_39", "sm_40", "sm_41", "sm_43", false};

namespace {

void zeigen(const QString &text) { Dialogs::instance().message(text); }

// A memo's lines as the database keeps them: each ended by a line break.
QString memoText(const QPlainTextEdit *memo)
{
    const QString t = memo->toPlainText();
    if (t.isEmpty())
        return {};
    QString ergebnis;
    for (const QString &zeile : t.split(QLatin1Char('\n')))
        ergebnis += zeile + QStringLiteral("\r\n");
    return ergebnis;
}

QDateTime tagOhneZeit(const QDate &d) { return QDateTime(d, QTime(0, 0)); }

} // namespace

bool PositionenVorhanden()
{
    QSqlQuery q = prepareQuery(dm_datenbank->Datenbank_Verbindung_Lokal.db(), SQL_qry_positionen_vorhanden);
    execQuery(q);
    const bool da = q.next();
    q.finish();
    return da;
}

bool ErfassungPruefen(TErfassung &e, const TPruefTexte &texte, int &periode)
{
    Dataset *t = e.tbl_rechnungerfassen;
    // 1
    if (!t || !t->isOpen()) {
        zeigen(txt(texte.nichtOffen));
        return false;
    }
    // 2: the article check may refuse it (EAbort, already told)
    if (t->state() == Dataset::State::Edit || t->state() == Dataset::State::Insert)
        t->post();
    // 3
    if (t->isEmpty()) {
        zeigen(txt(texte.leer));
        return false;
    }
    // 4
    if (!PositionenVorhanden()) {
        zeigen(txt(texte.ungueltig));
        return false;
    }
    // 5
    TFirmenDaten firma;
    LadeFirma(AktuelleFirma, firma);
    if (!firma.Gefunden) {
        zeigen(texte.firmaZweiteilig ? txt("sm_34") + QStringLiteral("\n\n") + txt("sm_35") : txt("sm_42"));
        return false;
    }
    // 6
    try {
        periode = strToInt(e.ed_periode_re->text());
    } catch (const EConvertError &) {
        zeigen(txt(texte.periode));
        return false;
    }
    // 7: a rate text that is no number stops here with its conversion error
    MwstSaetzeLaden();
    return true;
}

TNeueZeile::TNeueZeile(const QStringList &tabellenspalten)
{
    for (const QString &s : tabellenspalten)
        m_tabelle.insert(s.toLower(), s);
}

bool TNeueZeile::hasField(const QString &name) const { return m_tabelle.contains(name.toLower()); }

void TNeueZeile::setValue(const QString &name, const QVariant &wert)
{
    const QString schluessel = name.toLower();
    const auto spalte = m_tabelle.constFind(schluessel);
    if (spalte == m_tabelle.constEnd())
        return;
    const auto i = m_index.constFind(schluessel);
    if (i != m_index.constEnd()) {
        m_werte[*i] = wert;
        return;
    }
    m_index.insert(schluessel, int(m_spalten.size()));
    m_spalten << *spalte;
    m_werte << wert;
}

QStringList TNeueZeile::spalten() const { return m_spalten; }

QVariantList TNeueZeile::werte() const { return m_werte; }

void TNeueZeile::leeren()
{
    m_index.clear();
    m_spalten.clear();
    m_werte.clear();
}

void qry_re_positionenNewRecord(TNeueZeile &ds)
{
    for (const char *n : {"ID_Artikelpositionen", "Firma", "Periode_ls", "Periode_re", "Periode_au", "Periode_bv",
                          "Lieferschein_nr", "Auftrag_nr", "Barverkauf_nr", "Rechnung_nr", "Position_X", "Kunde",
                          "Status", "Periode_au_merken", "Auftrag_nr_merken"})
        ds.setValue(QString::fromLatin1(n), 0);
    const QDateTime null(QDate(1899, 12, 30), QTime(0, 0));
    for (const char *n : {"Rechnungsdatum", "Valutadatum", "Auftragsdatum"})
        ds.setValue(QString::fromLatin1(n), null);
    ds.setValue(QStringLiteral("Lieferdatum"), tagOhneZeit(Clock::today()));
    ds.setValue(QStringLiteral("Benutzerdatum"), Clock::now());
    ds.setValue(QStringLiteral("Erfassungzeit"), Clock::now());
    for (const char *n : {"Artikel", "Text", "Name_EKU", "Strasse_Hnr_EKU", "PLZ_EKU", "Ort_EKU", "Lieferadresse_EKU",
                          "Benutzer", "Aktionen", "Identifikation", "Hinweis", "Leistungszeitraum", "Benutzersession",
                          "Info"})
        ds.setValue(QString::fromLatin1(n), QString());
    for (const char *n : {"Menge", "Preis", "Rabatt", "Einkaufspreis", "Rechnungsbetrag", "BereitsGeliefert",
                          "BereitsVerrechnet", "LS_RE_TeilMenge"})
        ds.setValue(QString::fromLatin1(n), 0.0);
    for (int i = 1; i <= 30; ++i)
        ds.setValue(QStringLiteral("Menge%1").arg(i), 0.0);
}

void PositionenUebertragen(TErfassung &e, TPositionsziel ziel, int periode_re, int rechnung_nr)
{
    const bool vorschau = ziel == TPositionsziel::Vorschau;
    const QString tabelle = vorschau ? QStringLiteral("ArtikelpositionenVorschau") : QStringLiteral("Artikelpositionen");
    QSqlDatabase db = dm_datenbank->Datenbank_Verbindung.db();
    Dataset &t = *e.tbl_rechnungerfassen;

    // 10: the rows are read by index, so the position panel does not follow
    // every row (and the user's current row stays where it was)
    e.pb_re->setValue(0);
    e.pb_re->setMaximum(t.recordCount());
    e.pb_re->setVisible(true);

    // qry_re_positionen: every row sets the same columns, so one prepared
    // insert serves the whole invoice (a dataset would prepare it per row), and
    // the article check asks only whether the article exists
    QStringList tabellenspalten;
    const QSqlRecord satz = db.record(tabelle);
    for (int i = 0; i < satz.count(); ++i)
        tabellenspalten << satz.fieldName(i);
    if (tabellenspalten.isEmpty())
        throw EDatabaseError(QStringLiteral("Tabelle %1 nicht gefunden").arg(tabelle));
    TNeueZeile zeile(tabellenspalten);
    QSqlQuery einfuegen(db);
    QSqlQuery artikelDa = prepareQuery(db, QStringLiteral("select 1 from Artikelstamm where Artikel =:partikel"));

    const QDateTime datum = tagOhneZeit(e.ed_datum_re->date());
    const QString kopftext = memoText(e.re_kopftext_re);
    const QString fusstext = memoText(e.re_fusstext_re);
    QStringList felder{QStringLiteral("Artikel"), QStringLiteral("Menge"), QStringLiteral("Preis"),
                       QStringLiteral("Rabatt"), QStringLiteral("Einkaufspreis"), QStringLiteral("Text"),
                       QStringLiteral("ArtikelName"), QStringLiteral("Zusatztext1")};
    if (!vorschau)
        felder << QStringLiteral("Info");

    // 11
    std::vector<int> spalten;
    for (const QString &f : felder)
        spalten.push_back(t.fieldIndex(f));
    const int artikelSpalte = t.fieldIndex(QStringLiteral("Artikel"));
    const int zeilen = t.recordCount();
    QStringList eingefuegteSpalten;
    for (int z = 0; z < zeilen; ++z) {
        const int position = z + 1;
        const QString artikel = t.valueAt(z, artikelSpalte).toString();
        if (!artikel.trimmed().isEmpty()) {
            artikelDa.bindValue(QStringLiteral(":partikel"), artikel);
            execQuery(artikelDa);
            const bool gefunden = artikelDa.next();
            artikelDa.finish();
            if (!gefunden)
                throw ETestException(txt("ex_5") + artikel);
            zeile.leeren();
            qry_re_positionenNewRecord(zeile);
            zeile.setValue(QStringLiteral("Periode_re"), periode_re);
            zeile.setValue(QStringLiteral("Firma"), AktuelleFirma);
            zeile.setValue(QStringLiteral("Rechnung_nr"), rechnung_nr);
            zeile.setValue(QStringLiteral("Position_X"), position);
            zeile.setValue(QStringLiteral("Lieferdatum"), datum);
            zeile.setValue(QStringLiteral("Rechnungsdatum"), datum);
            zeile.setValue(QStringLiteral("Valutadatum"), datum);
            zeile.setValue(QStringLiteral("Kunde"), strToInt(e.ed_kunde_re->text()));
            for (int i = 0; i < felder.size(); ++i)
                zeile.setValue(felder[i], t.valueAt(z, spalten[size_t(i)]));
            zeile.setValue(QStringLiteral("Kopftext"), kopftext);
            zeile.setValue(QStringLiteral("Fusstext"), fusstext);
            zeile.setValue(QStringLiteral("Aktionen"), QString());
            zeile.setValue(QStringLiteral("Erfassungzeit"), Clock::now());
            zeile.setValue(QStringLiteral("Status"), vorschau ? -1 : 50);
            zeile.setValue(QStringLiteral("Identifikation"), QStringLiteral("RECHNUNG"));
            zeile.setValue(QStringLiteral("Leistungszeitraum"), QString());
            zeile.setValue(QStringLiteral("ZahlungsStatus"), QStringLiteral("Keine Zahlung"));
            if (vorschau)
                zeile.setValue(QStringLiteral("BenutzerSession"), SessionKennung);
            zeile.setValue(QStringLiteral("ID_Artikelpositionen"), vorschau ? NeueIdVorschau() : NeueIdPositionen());
            if (eingefuegteSpalten.isEmpty()) {
                eingefuegteSpalten = zeile.spalten();
                QStringList marken;
                for (int i = 0; i < eingefuegteSpalten.size(); ++i)
                    marken << QStringLiteral("?");
                einfuegen = prepareQuery(db, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(tabelle, eingefuegteSpalten.join(QStringLiteral(", ")),
                                                      marken.join(QStringLiteral(", "))));
            } else if (zeile.spalten() != eingefuegteSpalten) {
                throw TvxError(QStringLiteral("Interner Fehler: Spalten der Rechnungszeilen verschieden"));
            }
            const QVariantList werte = zeile.werte();
            for (int i = 0; i < werte.size(); ++i)
                einfuegen.bindValue(i, werte[i]);
            execQuery(einfuegen);
        }
        e.pb_re->setValue(e.pb_re->value() + 1);
    }
    // 12
    einfuegen.finish();
}

void TransaktionsfehlerMelden(const QString &fehler, const char *protokollText)
{
    zeigen(txt("sm_38") + fehler);
    try {
        Protokollieren(txt(protokollText) + fehler);
    } catch (...) {
    }
}

void btn_rechnungdruckenClick(TErfassung &e, QPushButton *knopf, const TAusstellung &a)
{
    const bool email = knopf == e.btn_rechnung_mailen;
    int periode = 0;
    if (!ErfassungPruefen(e, kAusstellenTexte, periode))
        return;

    // 8: one transaction from the number to the commit
    TransactionGuard transaktion(dm_datenbank->Datenbank_Verbindung.db());
    try {
        // 9
        const int nummer = RechnungsnummerErmitteln(AktuelleFirma, periode);
        if (nummer == -1)
            throw ETestException(txt("ex_4"));
        // 10-12
        PositionenUebertragen(e, TPositionsziel::Rechnung, periode, nummer);
        // 13
        if (!a.rechnungAusgeben)
            throw TvxError(QStringLiteral("Die Ausgabe der Rechnung ist nicht eingebunden."));
        TAusgabeFolge folge;
        if (email) {
            if (a.emailOrdnerLeeren)
                a.emailOrdnerLeeren();
            folge = a.rechnungAusgeben(AktuelleFirma, periode, nummer, true);
        } else {
            folge = a.rechnungAusgeben(AktuelleFirma, periode, nummer, false);
        }
        // an invoice nobody saw is not stored (its customer row is gone, say)
        if (!folge.erzeugt)
            throw ETestException(txt("ex_7"));
        if (email) {
            if (!a.rechnungMailen)
                throw TvxError(QStringLiteral("Die Übergabe an das E-Mail-Programm ist nicht eingebunden."));
            a.rechnungMailen(AktuelleFirma, strToInt(e.ed_kunde_re->text()),
                             Einstellung::text(QStringLiteral("ed_subject_re")), folge.pdfDateien,
                             Einstellung::lines(QStringLiteral("me_body_re")).join(QStringLiteral("\r\n")));
        }
        // 15 before 14: a failed commit must leave the capture open for another attempt
        transaktion.commit();
    } catch (const EAbort &) {
        transaktion.rollback();
        throw;
    } catch (const TvxError &x) {
        transaktion.rollback();
        TransaktionsfehlerMelden(x.text(), "ps_13");
        return;
    } catch (const std::exception &x) {
        transaktion.rollback();
        TransaktionsfehlerMelden(QString::fromLocal8Bit(x.what()), "ps_13");
        return;
    }
    // 14
    e.ErfassungBeenden();
    e.KopfFreigeben();
    e.ed_kunde_re->setFocus();
}

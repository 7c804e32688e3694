#pragma once
// Issuing the captured invoice ("Drucken", "Email ") and the row copy it shares
// with the capture preview.
//
// The capture library cannot reach the output routine (the output library builds
// on the capture), so the document and the mail hand-over come in through
// TAusstellung, filled by the application's wiring:
//
//     erfassung->setRechnungAusgabe([erf, a](QPushButton *k) { btn_rechnungdruckenClick(*erf, k, a); });

#include <QHash>
#include <QString>
#include <QVariant>
#include <QStringList>
#include <functional>

class Dataset;
class QPushButton;
class TErfassung;

// What the document run reports back to the save.
struct TAusgabeFolge {
    bool erzeugt = false;    // a document was printed or written
    QStringList pdfDateien;  // files written for the e-mail
};

struct TAusstellung {
    // Produces the document of the stored invoice: printed (email false) or as
    // PDF into the e-mail folder (email true). Errors propagate.
    std::function<TAusgabeFolge(int firma, int periode_re, int rechnung_nr, bool email)> rechnungAusgeben;
    // Empties the e-mail folder before the PDF is written (may be unset).
    std::function<void()> emailOrdnerLeeren;
    // Hands the message with its attachments to the mail program. Unset: the
    // e-mail cannot be prepared and the save fails (nothing stored).
    std::function<void(int firma, int kunde, const QString &betreff, const QStringList &dateien,
                       const QString &text)> rechnungMailen;
};

// The handler of both footer buttons; tells them apart by the button.
void btn_rechnungdruckenClick(TErfassung &e, QPushButton *knopf, const TAusstellung &a);

// ---- shared with the preview ------------------------------------------------------

// Message keys of the checks before the transaction (the preview has its own).
struct TPruefTexte {
    const char *nichtOffen, *leer, *ungueltig, *periode;
    bool firmaZweiteilig; // issuing: sm_34 + two line breaks + sm_35; preview: sm_42
};
extern const TPruefTexte kAusstellenTexte;
extern const TPruefTexte kVorschauTexte;

// Steps before the transaction: the table open, a pending row posted (a refused
// post ends with EAbort), rows present, at least one with an article, the
// company record, the period an integer, the VAT settings readable (their
// conversion error propagates). Shows the message and returns false on a failed
// check; the period on success.
bool ErfassungPruefen(TErfassung &e, const TPruefTexte &texte, int &periode);

// qry_positionen_vorhanden: a capture row with a non-blank article exists.
bool PositionenVorhanden();
extern const QString SQL_qry_positionen_vorhanden;

// Appends one row of the main database per capture row with an article into
// Artikelpositionen (invoice) or ArtikelpositionenVorschau (preview: Status -1
// and SessionKennung), numbered by their ordinal among all capture rows, and
// advances pb_re. Unknown article: ETestException ex_5 + number. The customer
// number is converted here (EConvertError).
enum class TPositionsziel { Rechnung, Vorschau };
void PositionenUebertragen(TErfassung &e, TPositionsziel ziel, int periode_re, int rechnung_nr);

// One new row of qry_re_positionen: values by column of the written table,
// names matched ignoring case; a name the table lacks is dropped.
class TNeueZeile {
public:
    explicit TNeueZeile(const QStringList &tabellenspalten);
    bool hasField(const QString &name) const;
    void setValue(const QString &name, const QVariant &wert);
    QStringList spalten() const;          // the columns set, in the order first set
    QVariantList werte() const;           // their values, in that order
    void leeren();                        // no column set

private:
    QHash<QString, QString> m_tabelle;    // lower-case name -> the table's spelling
    QHash<QString, int> m_index;          // lower-case name -> position in m_spalten
    QStringList m_spalten;
    QVariantList m_werte;
};

// The new-row defaults of both tables (qry_re_positionenNewRecord).
void qry_re_positionenNewRecord(TNeueZeile &z);

// The failure path inside the transaction: sm_38 + text shown, the log entry
// (key ps_13 or sm_45) + text written; a log failure is ignored.
void TransaktionsfehlerMelden(const QString &fehler, const char *protokollText);

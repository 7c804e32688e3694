#pragma once
// The invoice document: the report rp_rechnung with its built-in layout, the
// invoice query qry_rechnung with its calculated fields, and the print-time
// handlers. The issued invoice (Tdm_rechnungen, table Artikelpositionen) and the
// capture preview (Tdm_rechnung_vorschau, table ArtikelpositionenVorschau) each
// own one; TBerichtsart says which.
#include "platform/dataset/dataset.h"
#include "platform/report/report.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <memory>
#include <vector>

// Run state shared by both invoice reports and the output routine.
extern bool Gutschrift;    // the last computed total was below zero; cleared before each run
extern bool Rappenrundung; // round VAT and totals to 0.05 in this run (taken at report start)

// Loads the picture a reference names (picture folder rule of the article
// pictures) into a report picture; false, and the picture left empty, when
// there is none or it cannot be read.
bool BildInBerichtLaden(const QString &pfad, rpt::Element &bild);

struct TBerichtsart {
    QString tabelle = QStringLiteral("Artikelpositionen");
    // The capture preview: rows of one session (parameter psession), nothing
    // written back, and with Swiss rounding the VAT amounts stay at cents.
    bool vorschau = false;
};

// What the totals block computed in the last pass.
struct TRechnungssummen {
    double netto = 0;                  // sum of Betrag
    std::array<double, 4> klasse{};    // net sums of the classes A to D
    std::array<double, 4> mwst{};      // VAT amounts of A to D
    std::array<double, 4> satz{};      // rates of A to D in percent
    double gesamt = 0;                 // total
};

class TRechnungsbericht {
public:
    explicit TRechnungsbericht(const TBerichtsart &art = {});
    ~TRechnungsbericht();
    TRechnungsbericht(const TRechnungsbericht &) = delete;
    TRechnungsbericht &operator=(const TRechnungsbericht &) = delete;

    const TBerichtsart &art() const { return m_art; }

    rpt::Report rp_rechnung;
    Dataset qry_rechnung;

    // The query's statement for a table (the join of positions, company,
    // articles and customers). Parameters :pfirma, :pperiode_re, :prechnung_nr
    // and, for the preview, :psession.
    static QString rechnungSql(const QString &tabelle, bool mitSession);

    // Closes, sets the parameters and opens qry_rechnung on the main connection,
    // computing the calculated fields of every row. MwstSaetzeLaden's conversion
    // error propagates (the query is closed then). Returns the number of rows.
    int oeffnen(int firma, int periode_re, int rechnung_nr, const QString &session = {});
    void schliessen(); // never throws
    int zeilen() const { return int(m_rechen.size()); }

    // Language load: the layout file replaces the built-in layout element by
    // element; afterwards each report label takes its repository caption.
    void layoutLaden(const QString &datei);
    void beschriftungSetzen(const QString &label, const QString &caption);

    const TRechnungssummen &summen() const { return m_summen; }

    // A value of the current report row or a calculated field.
    QVariant wert(int zeile, const QString &feld) const;

    // Handlers (public for the twin and the tests).
    void rp_rechnungBeforePrint();
    void ppHeaderBand1BeforePrint();
    void ppDetailBand1BeforePrint();
    void ppGroupFooterBand5BeforePrint();
    void ppSummaryBand1BeforePrint();
    void ppFooterBand1BeforePrint();

private:
    struct Rechenfelder {
        double Betrag = 0;
        std::array<double, 4> Betrag_K{};
        std::array<double, 4> MWST_K{};
    };
    void layoutAufbauen();
    void slotsMerken();
    void schriftenMerken();
    void einpassen(rpt::Element &e, double punkte);
    void qry_rechnungCalcFields(int zeile, Rechenfelder &f);
    void rueckschreiben(double gesamt, const std::array<double, 4> &mwst);
    int spalte(const QString &feld) const;

    TBerichtsart m_art;
    std::vector<Rechenfelder> m_rechen;
    mutable QHash<QString, int> m_spalten; // field name -> column, -1 unknown
    std::unique_ptr<rpt::DataSource> m_quelle;
    TRechnungssummen m_summen;
    // designed left edges of the four class blocks: caption, net sum, VAT caption, VAT amount
    std::array<std::array<double, 4>, 4> m_slots{};
    QHash<QString, double> m_schriften; // designed point sizes of the elements that shrink to fit
};

#pragma once
// The preview twin of the invoice document: the same report over the session's
// rows of ArtikelpositionenVorschau, without write-back.
#include "output/u_rechnungsbericht.h"

#include <QObject>

#include <functional>
#include <memory>

namespace rpt {
class ReportDocument;
}

class Tdm_rechnung_vorschau : public QObject {
    Q_OBJECT
public:
    // Sets dm_rechnung_vorschau and registers the report with the language loader.
    explicit Tdm_rechnung_vorschau(QObject *parent = nullptr);
    ~Tdm_rechnung_vorschau() override;

    TRechnungsbericht bericht;
    rpt::Report &rp_rechnung;
    Dataset &qry_rechnung;

    // Print settings handed over for the preview. The preview is never printed
    // from its window; they are kept so the report carries what the user chose.
    QString druckerName, papierName, zufuhrName;
    int kopien = 1;

    // What the totals block showed in the last run: with Swiss rounding the VAT
    // amounts are rounded to five cents as on the printed invoice.
    const TRechnungssummen &summen() const { return m_summen; }

    // The generated pages go here; by default into frm_vorschau, modally.
    std::function<void(std::shared_ptr<const rpt::ReportDocument>)> anzeigen;

private:
    void summenWieGedruckt();
    TRechnungssummen m_summen;
};

extern Tdm_rechnung_vorschau *dm_rechnung_vorschau;

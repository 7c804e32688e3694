#pragma once
// The preview twin of the invoice document: the same report over the session's
// rows of ArtikelpositionenVorschau, without write-back.
#include "output/u_rechnungsbericht.h"

#include <QObject>

class Tdm_rechnung_vorschau : public QObject {
    Q_OBJECT
public:
    // Sets dm_rechnung_vorschau and registers the report with the language loader.
    explicit Tdm_rechnung_vorschau(QObject *parent = nullptr);
    ~Tdm_rechnung_vorschau() override;

    TRechnungsbericht bericht;
    rpt::Report &rp_rechnung;
    Dataset &qry_rechnung;
};

extern Tdm_rechnung_vorschau *dm_rechnung_vorschau;

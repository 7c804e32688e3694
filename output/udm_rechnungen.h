#pragma once
// The invoice data module: the document of one stored invoice and the output
// routine that prints it, shows it on screen or writes it as a PDF.
#include "output/u_rechnungsbericht.h"

#include <QObject>
#include <QStringList>

class Tdm_rechnungen : public QObject {
    Q_OBJECT
public:
    // Sets dm_rechnungen and registers the report with the language loader.
    explicit Tdm_rechnungen(QObject *parent = nullptr);
    ~Tdm_rechnungen() override;

    TRechnungsbericht bericht; // positions of Artikelpositionen, with write-back
    rpt::Report &rp_rechnung;
    Dataset &qry_rechnung;

    // Devices; each runs the report on the opened qry_rechnung.
    // Printer: the job goes to CUPS with the document name as title; returns the job id.
    int druckerAusgeben(const QString &drucker, const QString &papier, const QString &zufuhr, int kopien);
    // Screen: the preview window, maximised at 100 %; returns when it is closed.
    void bildschirmAusgeben();
    // PDF file: always one copy, into the given file (TvxError when it cannot be written).
    void pdfAusgeben(const QString &datei);
};

extern Tdm_rechnungen *dm_rechnungen;

// What RechnungAusgeben is asked to produce. The print settings come from
// cb_drucker_re, cb_papier_re, cb_zufuhr_re and ed_anzahl_re.
struct TRechnungsausgabe {
    QString drucker;
    QString papier;
    QString zufuhr;
    int kopien = 1;
    bool pdf = false;          // file the PDF into pdfOrdner (the folder must exist)
    QString pdfOrdner;         // may be enclosed in double quotes
    bool suffixW = false;      // filed name ends in "_w.pdf"
    bool drucken = false;      // print, or with bildschirm show on screen
    bool bildschirm = false;
    bool email = false;        // PDF into the e-mail folder

    // Printer, paper, bin and copies as the print settings hold them now.
    static TRechnungsausgabe Druckeinstellungen();
};

struct TAusgabeErgebnis {
    bool erzeugt = false;      // the invoice has rows and at least one document was produced
    int druckauftrag = 0;      // CUPS job id of the print branch
    QStringList pdfDateien;    // files the PDF branches wrote
    explicit operator bool() const { return erzeugt; }
};

// Produces the document of one stored invoice. An invoice without rows (its
// customer, company or every article row is gone) produces nothing and says so
// through the result; errors (PDF folder missing: ex_3, VAT rate not a number,
// database, printing) propagate, with qry_rechnung closed.
TAusgabeErgebnis RechnungAusgeben(int firma, int periode_re, int rechnung_nr, const TRechnungsausgabe &ausgabe);

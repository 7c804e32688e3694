#pragma once
// The export of the SQL console: one table of values (the grid's visible
// columns in grid order, every record) written as text, CSV, HTML, XML, Excel
// (.xlsx), RTF, PDF or onto the clipboard.
//
// Values are formatted with the export's own settings, never the system's
// regional settings: dates dd.MM.yyyy, times HH:mm:ss (a date-time at midnight
// is written as the date alone), thousands ".", decimals ",", booleans
// "Wahr"/"Falsch"; floating-point values keep every significant digit unless
// they are to be written as amounts ("#.##0,00 €"). Zero values are written.
//
// Everything runs on the calling (UI) thread; the progress callback is called
// every few hundred records and may cancel. A file is written through a
// temporary file and only replaces the target once complete, so a cancelled or
// failed export leaves the target as it was.

#include <QChar>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

enum class ExportFormat { Text, Csv, Html, Xml, Xlsx, Rtf, Pdf, Zwischenablage };

struct ExportZahlenformate {
    QString datumsformat = QStringLiteral("dd.MM.yyyy");
    QString zeitformat = QStringLiteral("HH:mm:ss");
    QString tausender = QStringLiteral(".");
    QString dezimal = QStringLiteral(",");
    QString waehrung = QStringLiteral("€");
    bool alsBetrag = false; // floating-point values as amounts with two decimals and currency
    QString wahr = QStringLiteral("Wahr");
    QString falsch = QStringLiteral("Falsch");
};

struct ExportEinstellungen {
    ExportFormat format = ExportFormat::Text;
    QString datei;                                // target file (not for the clipboard)
    // text, CSV and clipboard
    QString trenner = QStringLiteral("\t");       // between the fields of a record
    QString begrenzer = QStringLiteral("\"");     // encloses a field holding the separator, a
                                                  // quote or a line break; empty: never
    QString satzende = QStringLiteral("\r\n");    // between records
    bool titelzeile = false;                      // column titles as the first record
    bool festeBreite = false;                     // text: fields padded to the widest value
    bool ansi = true;                             // Windows-1252; otherwise UTF-8
    ExportZahlenformate formate;
};

// What is exported: column titles and a value per record and column.
struct ExportQuelle {
    QStringList titel;
    int zeilen = 0;
    std::function<QVariant(int zeile, int spalte)> wert;
};

// Records done so far; false cancels the export.
using ExportFortschritt = std::function<bool(int erledigt)>;

struct ExportErgebnis {
    bool abgebrochen = false;
    int zeilen = 0;          // records written
    bool verlustfrei = true; // false: characters replaced or texts cut to fit the format
};

// One value as the text formats write it.
QString exportText(const QVariant &wert, const ExportZahlenformate &f);
// A floating-point value with grouping and the decimal separator of f.
QString exportZahl(double wert, const ExportZahlenformate &f);

// File extension of a format without dot ("TXT", "csv", ...); empty for the clipboard.
QString exportEndung(ExportFormat format);
// German name of a format as the dialog lists it.
QString exportFormatName(ExportFormat format);

// Writes the export. Throws TvxError with a message naming the file when it
// cannot be written; the target is then unchanged.
ExportErgebnis exportieren(const ExportQuelle &quelle, const ExportEinstellungen &e,
                           const ExportFortschritt &fortschritt = {});

// The export as bytes, for the formats that are built in memory (all but Xlsx
// and Zwischenablage); used by exportieren and by tests.
QByteArray exportDaten(const ExportQuelle &quelle, const ExportEinstellungen &e,
                       const ExportFortschritt &fortschritt, ExportErgebnis &ergebnis);

#pragma once
#include <functional>

#include <QList>
#include <QString>
#include <QStringList>

class IniFile;
class QAbstractItemView;
class QObject;

// Interface languages.
//
// SpracheLaden(index) reads the language file of the index from the program
// folder and overwrites the captions of the registered windows section by
// section, then the window titles, grid titles, the VAT abbreviation, the report
// layout and the report labels.
//
// How a window takes part
// -----------------------
// Every window registers itself once, after building its children:
//
//     Sprache::registerWindow(QStringLiteral("Kundenstamm"), this);
//
// Sections: Main (Tfrm_main), Texterfassen, Kopftexte, Kundenstamm,
// Datenbankinitialisieren, Artikelstamm. The section Strings always goes to
// frm_strings. The load order is fixed (Strings, Main, Texterfassen, Kopftexte,
// Kundenstamm, Datenbankinitialisieren, Artikelstamm), whatever the order of
// registration. A registration ends when the object is destroyed.
//
// The keys each window reads, with their German captions, are listed by
// Sprache::keys(section) (the table is in u_sprache.cpp). A key names a component
// by its objectName, searched among the window's descendants (or the window
// itself), the shallowest first, not inside child windows such as a dialog
// parented to it:
//
//  "X_Caption"       QLabel / QAbstractButton (push button, check box, radio) text;
//                    QGroupBox title; QAction text; for a page of a QTabWidget
//                    (the ts_* pages) the tab text of that page; for a window its
//                    title; otherwise a writable "caption" property.
//  "X_LabelCaption"  the caption label of a labelled control X, found in this
//                    order: a QLabel named "X_label"; a "labelCaption" property of
//                    X; a QLabel whose buddy() is X; X itself if it is a QLabel
//                    (text) or a QGroupBox (title). Header panels (ls_1, ls_6,
//                    ls_17, ls_19, lbl_head) are best a QLabel named X.
//  "rg_anzeige_re_Items"  read from the list section "Main.rg_anzeige_re_Items";
//                    replaces the items of rg_anzeige_re: its "items" property
//                    (TRadioGroup), or the items of a QComboBox / QListWidget.
// A component that does not exist or a value that cannot be applied is skipped
// without a message. Keys of the file that the table does not list are ignored.
//
// Grid titles go into the column headers of the named grid of a window
// (Sprache::gridTitles()): the grid's invokable setColumnTitle(int, QString) if
// it has one, otherwise the header data of its model (setHeaderData). In every
// case the title is also kept in the grid's dynamic property "tvxColumnTitles"
// (QVariantMap, decimal column -> title); a grid that gets a new model later
// calls Sprache::applyColumnTitles(grid) to take the titles over.
//
// The program folder is QCoreApplication::applicationDirPath() unless set with
// Sprache::setProgramFolder() (start-up passes the program folder, tests a
// temporary one).

// The VAT abbreviation of the current language (repository label sko_1), set by
// every language load. It lives here until the shared run-time values take it
// over; then the definition moves there and this declaration stays valid.
extern QString MwStKuerzel;

// Applies the language of the index (taken as one byte: -1 counts as 255) from
// the program folder: 0 Sprache.ini, 1 Englisch.ini, 2 France.ini, 3 Spanish.ini,
// 4 Selftrans.ini, any other Sprache.ini. A missing file changes nothing. An
// error of the report layout load propagates to the caller, and the report
// labels are then left as they were.
void SpracheLaden(int index);
void SpracheLaden(int index, const QString &programFolder);

namespace Sprache {

struct Key {
    QString section;   // "Main"
    QString key;       // "btn_hilfe_Caption"
    QString component; // "btn_hilfe"
    QString property;  // "Caption", "LabelCaption" or "Items"
    QString german;    // built-in German caption; for Items the lines joined by '\n'
    QString role;      // what the component is, for the window's builder
};

// Sections in load order.
QStringList sectionNames();
// Every key a section reads; Strings: one "<label>_Caption" per repository label.
QList<Key> keys(const QString &section);
// The German caption of a key of a section; empty if the key is not listed.
QString germanCaption(const QString &section, const QString &key);
// The default lines of rg_anzeige_re.
QStringList germanAnzeigeItems();

// File name of a language index (byte rule above).
QString fileName(int index);

void setProgramFolder(const QString &folder); // empty: the executable's folder
QString programFolder();

void registerWindow(const QString &section, QObject *window);
void unregisterWindow(QObject *window);
QObject *window(const QString &section);

// Report seam: the invoice report (order 0) and the preview report (order 1).
// loadLayout receives "<program folder>/Reports/Rechnung.rtm" and throws when the
// file cannot be read; setLabel receives one report label and its caption.
struct Report {
    std::function<void(const QString &layoutFile)> loadLayout;
    std::function<void(const QString &label, const QString &caption)> setLabel;
};
void registerReport(int order, const Report &report);
void unregisterReport(int order);

// The report labels, in the order they are applied.
QStringList reportLabels();

struct GridTitle {
    QString section; // window
    QString grid;    // objectName of the grid
    int column;
    QString label;   // repository label
};
// In the order they are applied.
QList<GridTitle> gridTitles();
void applyColumnTitles(QAbstractItemView *grid);

// Sets the captions of one window from a parsed file (step 2 for one section),
// honouring FormVersion. Returns false when the section was skipped.
bool applySection(const QString &section, QObject *window, const IniFile &ini);
// Sets a window's captions to the German defaults of its section (window builders
// may call this instead of repeating the texts).
void applyGermanCaptions(const QString &section, QObject *window);

// Forgets every registration (tests).
void clearRegistry();

} // namespace Sprache

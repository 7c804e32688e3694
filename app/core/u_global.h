#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>

class QObject;

#include "platform/core/errors.h"

// Process-wide values set by the start-up sequence and read everywhere.
extern int AktuelleFirma;            // always 1: the pfirma of company-bound queries
extern QString Bearbeiter;           // clerk name, written as user into the log
extern QString Waehrung;             // currency abbreviation
extern QColor Fokusfarbe;            // focus colour of every entry field (clAqua)
extern bool SmtpVoranstellen;        // prefix mail recipients with "smtp:"
extern QString SessionKennung;       // 15 random digits naming this process's preview rows
extern bool ZweiDurchlaeufe;         // the invoice reports run two passes

// Hands header and closing texts between the capture and the text dialogs.
extern QStringList TextPuffer;
extern bool TextNichtUebergeben;

// The program's own abort; carries a repository text.
class ETestException : public TvxError {
public:
    using TvxError::TvxError;
};

// The folder of the executable, with a trailing separator. Tests may point it
// elsewhere.
QString Programmordner();
void setProgrammordner(const QString &folder);

// A fresh key of 15 decimal digits (leading zeros possible).
QString NeueSessionKennung();

// The persisted controls of the main window, read at the moment they are needed.
// The main window registers itself; without one (tests of logic) the values come
// from setEinstellung or the built-in defaults.
namespace Einstellung {
QString text(const QString &component);        // edit/combo text, spin value, memo text
QStringList lines(const QString &component);   // memo lines
bool checked(const QString &component);
int itemIndex(const QString &component);       // radio group
void set(const QString &component, const QVariant &value); // writes the control or the fallback
void setSource(QObject *mainWindow);           // nullptr: fallback store only
}

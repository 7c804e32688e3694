#pragma once
// Hands a prepared message to the user's mail program, which shows its compose
// window so the user can check and send it. The hand-over runs
//     <command> --subject S --body B --attach F [recipient]
// with command "xdg-email" unless replaced (tests put a recording script there).
#include <QString>
#include <QStringList>

namespace Mail {

struct Nachricht {
    QString empfaenger;   // empty: the compose window opens without one
    QString betreff;
    QString text;
    QStringList anhaenge; // full paths
};

void setBefehl(const QString &programm); // empty: back to "xdg-email"
QString befehl();

// The arguments of the hand-over, in the order the command receives them.
QStringList argumente(const Nachricht &n);

// Runs the command and returns when it has finished (the window stays usable
// meanwhile). Throws TvxError when the command cannot be started or fails.
void uebergeben(const Nachricht &n);

} // namespace Mail

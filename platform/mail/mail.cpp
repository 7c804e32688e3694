#include "platform/mail/mail.h"

#include "platform/core/errors.h"

#include <QEventLoop>
#include <QProcess>

namespace Mail {
namespace {
QString &befehlRef()
{
    static QString b;
    return b;
}
} // namespace

void setBefehl(const QString &programm) { befehlRef() = programm; }

QString befehl() { return befehlRef().isEmpty() ? QStringLiteral("xdg-email") : befehlRef(); }

QStringList argumente(const Nachricht &n)
{
    QStringList a{QStringLiteral("--subject"), n.betreff, QStringLiteral("--body"), n.text};
    for (const QString &f : n.anhaenge)
        a << QStringLiteral("--attach") << f;
    if (!n.empfaenger.isEmpty())
        a << n.empfaenger;
    return a;
}

void uebergeben(const Nachricht &n)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    QEventLoop warten;
    QObject::connect(&p, &QProcess::finished, &warten, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &warten, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            warten.quit();
    });
    p.start(befehl(), argumente(n));
    if (p.state() != QProcess::NotRunning)
        warten.exec(QEventLoop::ExcludeUserInputEvents);
    if (p.error() == QProcess::FailedToStart)
        throw TvxError(QStringLiteral("Das E-Mail-Programm konnte nicht gestartet werden (%1).").arg(befehl()));
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw TvxError(QStringLiteral("Das E-Mail-Programm meldete einen Fehler (%1).").arg(p.exitCode()));
}

} // namespace Mail

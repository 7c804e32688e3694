#pragma once
// A stand-in for xdg-email that records its arguments, NUL-separated, and
// ends with the given exit code. Tests that link the mail hand-over only.
#include "platform/mail/mail.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

struct Mailaufnahme {
    QTemporaryDir dir;
    QString skript = dir.filePath(QStringLiteral("xdg-email"));
    QString datei = dir.filePath(QStringLiteral("argumente"));
    explicit Mailaufnahme(int exitCode = 0)
    {
        QFile f(skript);
        if (f.open(QIODevice::WriteOnly))
            f.write(QStringLiteral("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1'\nexit %2\n").arg(datei).arg(exitCode).toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Mail::setBefehl(skript);
    }
    ~Mailaufnahme() { Mail::setBefehl({}); }
    bool gelaufen() const { return QFile::exists(datei); }
    QStringList argumente() const
    {
        QFile f(datei);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList l = QString::fromUtf8(f.readAll()).split(QChar(0));
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }
};

#include "platform/core/dialogs.h"
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace {
QtDialogs g_qt;
Dialogs *g_current = nullptr;
QPointer<QWidget> g_parent;

QWidget *parentOrActive()
{
    if (g_parent)
        return g_parent;
    return QApplication::activeWindow();
}
}

Dialogs &Dialogs::instance() { return g_current ? *g_current : g_qt; }
void Dialogs::install(Dialogs *d) { g_current = d; }
void Dialogs::setParentWindow(QWidget *w) { g_parent = w; }
QWidget *Dialogs::parentWindow() { return parentOrActive(); }

static QString appTitle(const QString &title)
{
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

void QtDialogs::message(const QString &text, const QString &title)
{
    QMessageBox::information(parentOrActive(), appTitle(title), text);
}

void QtDialogs::warning(const QString &text, const QString &title)
{
    QMessageBox::warning(parentOrActive(), appTitle(title), text);
}

void QtDialogs::error(const QString &text, const QString &title)
{
    QMessageBox::critical(parentOrActive(), appTitle(title), text);
}

bool QtDialogs::question(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No,
                    parentOrActive());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::openFile(const QString &caption, const QString &dir, const QString &filter)
{
    return QFileDialog::getOpenFileName(parentOrActive(), caption, dir, filter);
}

QString QtDialogs::saveFile(const QString &caption, const QString &path, const QString &filter)
{
    return QFileDialog::getSaveFileName(parentOrActive(), caption, path, filter);
}

QString QtDialogs::folder(const QString &caption, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parentOrActive(), caption, dir);
}

void ScriptedDialogs::message(const QString &text, const QString &title)
{
    shown.append({Kind::Info, title, text, {}});
}

void ScriptedDialogs::warning(const QString &text, const QString &title)
{
    shown.append({Kind::Warning, title, text, {}});
}

void ScriptedDialogs::error(const QString &text, const QString &title)
{
    shown.append({Kind::Error, title, text, {}});
}

bool ScriptedDialogs::question(const QString &text)
{
    shown.append({Kind::Question, {}, text, {}});
    return answers.isEmpty() ? false : answers.takeFirst();
}

QString ScriptedDialogs::openFile(const QString &caption, const QString &, const QString &filter)
{
    shown.append({Kind::OpenFile, {}, caption, filter});
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::saveFile(const QString &caption, const QString &, const QString &filter)
{
    shown.append({Kind::SaveFile, {}, caption, filter});
    return files.isEmpty() ? QString() : files.takeFirst();
}

QString ScriptedDialogs::folder(const QString &caption, const QString &)
{
    shown.append({Kind::Folder, {}, caption, {}});
    return files.isEmpty() ? QString() : files.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const Record &r : shown)
        out << r.text;
    return out;
}

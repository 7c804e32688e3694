#pragma once
#include <QString>
#include <QStringList>
#include <QList>
#include <QVariant>

class QWidget;

// Every message box, question and file dialog of the program goes through here,
// so tests can queue answers and read what was said.
class Dialogs {
public:
    enum class Kind { Info, Warning, Error, Question, OpenFile, SaveFile, Folder };
    struct Record {
        Kind kind;
        QString title;
        QString text;   // message text, or the dialog's caption for file dialogs
        QString filter; // file dialogs only
    };

    virtual ~Dialogs() = default;
    virtual void message(const QString &text, const QString &title = {}) = 0;
    virtual void warning(const QString &text, const QString &title = {}) = 0;
    virtual void error(const QString &text, const QString &title = {}) = 0;
    // Yes/No with an empty title; true for Yes.
    virtual bool question(const QString &text) = 0;
    // Empty result: cancelled.
    virtual QString openFile(const QString &caption, const QString &dir, const QString &filter) = 0;
    virtual QString saveFile(const QString &caption, const QString &path, const QString &filter) = 0;
    virtual QString folder(const QString &caption, const QString &dir) = 0;

    static Dialogs &instance();
    static void install(Dialogs *d); // nullptr restores the Qt dialogs; not owned
    static void setParentWindow(QWidget *w);
    static QWidget *parentWindow();
};

class QtDialogs : public Dialogs {
public:
    void message(const QString &text, const QString &title) override;
    void warning(const QString &text, const QString &title) override;
    void error(const QString &text, const QString &title) override;
    bool question(const QString &text) override;
    QString openFile(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFile(const QString &caption, const QString &path, const QString &filter) override;
    QString folder(const QString &caption, const QString &dir) override;
};

// For tests: answers are taken from the queues in order; an empty queue answers
// No / cancel. Everything shown is recorded.
class ScriptedDialogs : public Dialogs {
public:
    QList<Record> shown;
    QList<bool> answers;
    QStringList files;

    void message(const QString &text, const QString &title) override;
    void warning(const QString &text, const QString &title) override;
    void error(const QString &text, const QString &title) override;
    bool question(const QString &text) override;
    QString openFile(const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFile(const QString &caption, const QString &path, const QString &filter) override;
    QString folder(const QString &caption, const QString &dir) override;

    QStringList texts() const;
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); }
};

// RAII: installs a ScriptedDialogs for the scope.
class ScopedScriptedDialogs : public ScriptedDialogs {
public:
    ScopedScriptedDialogs() { Dialogs::install(this); }
    ~ScopedScriptedDialogs() override { Dialogs::install(nullptr); }
};

#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// The message repository: every text that code shows at run time (message boxes,
// log texts, questions, exception texts, grid, window and report titles) is the
// caption of a named label here. The German captions are built in; the language
// loader (u_sprache.h) overwrites them from the section "Strings" of a language
// file, key "<label>_Caption".
//
// Read a text at the moment it is shown, never keep it: a language switch must
// take effect at once.
//
//     Dialogs::instance().message(txt("sm_22"));
//     throw ETestException(txt("ex_4"));
class Tfrm_strings : public QObject {
    Q_OBJECT
public:
    explicit Tfrm_strings(QObject *parent = nullptr);

    // Current caption. An unknown label gives the label name itself (and a
    // warning in the log), so a missing text shows up instead of being blank.
    QString text(const QString &label) const;
    // Only the labels of the repository take a caption; others are refused with
    // a warning.
    void setText(const QString &label, const QString &caption);
    bool hasLabel(const QString &label) const;
    // All labels, in the order of the repository's pages.
    QStringList labels() const;

    // The built-in German caption; empty for an unknown label.
    static QString germanDefault(const QString &label);
    static QStringList defaultLabels();

    // Back to the German captions.
    void reset();

private:
    QHash<QString, QString> m_captions;
};

// The one instance, created at start-up right after the main window.
extern Tfrm_strings *frm_strings;

// frm_strings->text(label); without a repository (logic tested on its own) the
// German default, or the label name for an unknown label.
QString txt(const char *label);
QString txt(const QString &label);

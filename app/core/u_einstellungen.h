#pragma once
#include <QList>
#include <QString>
#include <QVariant>

class QWidget;
class QSettings;

// A persisted control of the main window: stored under "<component>_<property>"
// in the section Tfrm_main; a Lines property lives in its own section
// "Tfrm_main.<component>_Lines" as Count/Item%d.
struct EinstellungDef {
    enum Kind { Text, Value, Lines, Checked, ItemIndex };
    QString component;
    Kind kind;
    QVariant defaultValue; // QStringList for Lines
    QString property() const;
    QString key() const { return component + QLatin1Char('_') + property(); }
};

const QList<EinstellungDef> &persistierteEinstellungen();

// The per-user store: QSettings, organisation = base name of the executable.
// Values are trimmed of surrounding blanks when written and when read; a value
// of the wrong kind or a missing one keeps the control's default.
class FormStorage {
public:
    explicit FormStorage(QWidget *form, const QString &section = QStringLiteral("Tfrm_main"));
    void restore(); // defaults first, then the stored values
    void save();
    static QString organisation();

private:
    QWidget *m_form;
    QString m_section;
};

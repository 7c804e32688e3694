#pragma once
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QList>
#include <QPair>
#include <QWidget>

class Dataset;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;


// Ties a widget to one field of a dataset, as data-aware controls do: the widget
// shows the current row's value and follows scrolling, opening, closing, cancel
// and programmatic changes; a user change puts the row into edit (or keeps the
// insert) and hands the value to the row buffer. Text that does not convert yet
// (a half-typed number) stays pending and is handed over on focus loss or when
// the dataset posts, where a conversion error then surfaces. Posting itself is
// the caller's business.
//
// A binding is owned by its widget (its QObject parent) and dies with it; the
// dataset may die first. Subclasses (the rich-text field is one) implement
// load() (value -> widget), widgetValue() (widget -> value) and applyReadOnly(),
// and call userChanged() on every user edit.
class FieldBinding : public QObject {
    Q_OBJECT
public:
    FieldBinding(Dataset *ds, const QString &field, QWidget *widget);
    ~FieldBinding() override;

    Dataset *dataset() const { return m_ds; }
    QString fieldName() const { return m_field; }
    QWidget *widget() const { return m_widget; }
    bool pending() const { return m_pending; }

    void setReadOnly(bool on);
    bool readOnly() const { return m_readOnly; }

    // Hands a pending user value to the buffer; EConvertError/TvxError on failure.
    void store();
    // Shows the dataset's value again, dropping a pending user value.
    void reload();

protected:
    virtual void load(const QVariant &value, bool active) = 0;
    virtual QVariant widgetValue() const = 0;
    virtual void applyReadOnly(bool on) = 0;
    // Declared text length of the field, -1 if none or unknown.
    int fieldLength() const;
    // Call on each user edit: puts the row into edit and hands the value over.
    void userChanged();
    bool loading() const { return m_loading; }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void onFieldChanged(int index);

    QPointer<Dataset> m_ds;
    QString m_field;
    QPointer<QWidget> m_widget;
    bool m_loading = false;
    bool m_storing = false;
    bool m_pending = false;
    bool m_readOnly = false;
};

// Text edit; numbers in the locale, dates dd.MM.yyyy; maxLength = declared length.
class LineEditBinding : public FieldBinding {
    Q_OBJECT
public:
    LineEditBinding(Dataset *ds, const QString &field, QLineEdit *edit);
    // Format used to show numbers/dates while the edit has no focus ("0.00;-0.00").
    void setDisplayFormat(const QString &format);
protected:
    void load(const QVariant &value, bool active) override;
    QVariant widgetValue() const override;
    void applyReadOnly(bool on) override;
private:
    QLineEdit *m_edit;
    QString m_format;
};

// Combo box: editable (the text is the value) or a value list (items carry values).
class ComboBoxBinding : public FieldBinding {
    Q_OBJECT
public:
    ComboBoxBinding(Dataset *ds, const QString &field, QComboBox *combo);
    // Value list: item text -> stored value; replaces the combo's items.
    void setValueList(const QList<QPair<QString, QVariant>> &items);
protected:
    void load(const QVariant &value, bool active) override;
    QVariant widgetValue() const override;
    void applyReadOnly(bool on) override;
private:
    QComboBox *m_combo;
    bool m_valueList = false;
};

// Check box: checked = 1, unchecked = 0, NULL shows unchecked.
class CheckBoxBinding : public FieldBinding {
    Q_OBJECT
public:
    CheckBoxBinding(Dataset *ds, const QString &field, QCheckBox *box);
protected:
    void load(const QVariant &value, bool active) override;
    QVariant widgetValue() const override;
    void applyReadOnly(bool on) override;
private:
    QCheckBox *m_box;
};

// Plain memo; lines are stored with CR LF as the shared database holds them.
class MemoBinding : public FieldBinding {
    Q_OBJECT
public:
    MemoBinding(Dataset *ds, const QString &field, QPlainTextEdit *edit);
    MemoBinding(Dataset *ds, const QString &field, QTextEdit *edit); // plain text only
protected:
    void load(const QVariant &value, bool active) override;
    QVariant widgetValue() const override;
    void applyReadOnly(bool on) override;
private:
    QPlainTextEdit *m_plain = nullptr;
    QTextEdit *m_text = nullptr;
};

// Date edit; NULL shows blank (the minimum date with empty special text).
class DateEditBinding : public FieldBinding {
    Q_OBJECT
public:
    DateEditBinding(Dataset *ds, const QString &field, QDateEdit *edit);
protected:
    void load(const QVariant &value, bool active) override;
    QVariant widgetValue() const override;
    void applyReadOnly(bool on) override;
private:
    QDateEdit *m_edit;
};

// Read-only label showing the value (with an optional display format).
class LabelBinding : public FieldBinding {
    Q_OBJECT
public:
    LabelBinding(Dataset *ds, const QString &field, QLabel *label, const QString &format = {});
protected:
    void load(const QVariant &value, bool active) override;
    QVariant widgetValue() const override;
    void applyReadOnly(bool) override {}
private:
    QLabel *m_label;
    QString m_format;
};

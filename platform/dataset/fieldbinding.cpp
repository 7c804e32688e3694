#include "platform/dataset/fieldbinding.h"
#include "platform/core/errors.h"
#include "platform/core/guarded.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/displayformat.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSqlField>
#include <QTextEdit>

namespace {
// An EAbort from an event handler ends the action without a message.
void guardedQuiet(const std::function<void()> &body)
{
    guarded([&] {
        try {
            body();
        } catch (const EAbort &) {
        }
    });
}
} // namespace

FieldBinding::FieldBinding(Dataset *ds, const QString &field, QWidget *widget)
    : QObject(widget), m_ds(ds), m_field(field), m_widget(widget)
{
    ds->attachBinding(this);
    connect(ds, &Dataset::resetDone, this, &FieldBinding::reload);
    connect(ds, &Dataset::currentRowChanged, this, &FieldBinding::reload);
    connect(ds, &Dataset::fieldChanged, this, &FieldBinding::onFieldChanged);
    connect(ds, &Dataset::stateChanged, this, [this](Dataset::State s) {
        if (s == Dataset::State::Browse || s == Dataset::State::Inactive)
            reload();
    });
    connect(ds, &QObject::destroyed, this, [this] { m_ds = nullptr; });
    widget->installEventFilter(this);
}

FieldBinding::~FieldBinding()
{
    if (m_ds)
        m_ds->detachBinding(this);
}

void FieldBinding::setReadOnly(bool on)
{
    m_readOnly = on;
    applyReadOnly(on);
}

int FieldBinding::fieldLength() const
{
    if (!m_ds || !m_ds->isOpen())
        return -1;
    const int i = m_ds->fieldIndex(m_field);
    if (i < 0)
        return -1;
    const QSqlField f = m_ds->record().field(i);
    return f.metaType().id() == QMetaType::QString ? f.length() : -1;
}

void FieldBinding::reload()
{
    if (m_storing || !m_widget)
        return;
    m_pending = false;
    refresh();
}

void FieldBinding::refresh()
{
    m_loading = true;
    const bool active = m_ds && m_ds->isOpen() && m_ds->hasField(m_field);
    QVariant v;
    if (active && !m_ds->isEmpty())
        v = m_ds->value(m_field);
    load(v, active);
    m_loading = false;
}

void FieldBinding::onFieldChanged(int index)
{
    if (m_storing || !m_ds || !m_ds->isOpen())
        return;
    if (index < 0 || index == m_ds->fieldIndex(m_field))
        reload();
}

void FieldBinding::userChanged()
{
    if (m_loading || !m_ds)
        return;
    if (m_readOnly || !m_ds->isOpen() || !m_ds->hasField(m_field)) {
        refresh(); // nothing to edit: show what the dataset holds
        return;
    }
    m_storing = true;
    try {
        m_ds->edit(); // keeps an insert; on an empty dataset starts one
    } catch (...) {
        m_storing = false;
        refresh();
        throw;
    }
    m_pending = true;
    try {
        m_ds->setValue(m_field, widgetValue());
        m_pending = false;
    } catch (const TvxError &) {
        // half-typed number or date: keep the text, convert on leaving or post
        m_ds->markModified();
    }
    m_storing = false;
}

void FieldBinding::store()
{
    if (!m_pending || !m_ds || !m_ds->isOpen())
        return;
    m_storing = true;
    try {
        m_ds->edit();
        m_ds->setValue(m_field, widgetValue());
    } catch (...) {
        m_storing = false;
        throw;
    }
    m_pending = false;
    m_storing = false;
}

bool FieldBinding::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_widget && event->type() == QEvent::FocusOut && m_pending)
        guardedQuiet([this] { store(); });
    return QObject::eventFilter(watched, event);
}

// ---- QLineEdit ----------------------------------------------------------------

LineEditBinding::LineEditBinding(Dataset *ds, const QString &field, QLineEdit *edit)
    : FieldBinding(ds, field, edit), m_edit(edit)
{
    connect(edit, &QLineEdit::textEdited, this, [this] { guardedQuiet([this] { userChanged(); }); });
    reload();
}

void LineEditBinding::setDisplayFormat(const QString &format)
{
    m_format = format;
    reload();
}

void LineEditBinding::load(const QVariant &value, bool active)
{
    const int len = fieldLength();
    m_edit->setMaxLength(len > 0 ? len : 32767);
    m_edit->setReadOnly(readOnly() || !active);
    m_edit->setText(displayText(value, m_format));
}

QVariant LineEditBinding::widgetValue() const { return m_edit->text(); }

void LineEditBinding::applyReadOnly(bool on) { m_edit->setReadOnly(on); }

// ---- QComboBox ----------------------------------------------------------------

ComboBoxBinding::ComboBoxBinding(Dataset *ds, const QString &field, QComboBox *combo)
    : FieldBinding(ds, field, combo), m_combo(combo)
{
    connect(combo, &QComboBox::activated, this, [this] { guardedQuiet([this] { userChanged(); }); });
    if (combo->lineEdit())
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this] { guardedQuiet([this] { userChanged(); }); });
    reload();
}

void ComboBoxBinding::setValueList(const QList<QPair<QString, QVariant>> &items)
{
    m_valueList = true;
    m_combo->clear();
    for (const auto &it : items)
        m_combo->addItem(it.first, it.second);
    reload();
}

void ComboBoxBinding::load(const QVariant &value, bool active)
{
    m_combo->setEnabled(active || !readOnly());
    if (m_valueList) {
        int found = -1;
        if (value.isValid() && !value.isNull())
            for (int i = 0; i < m_combo->count(); ++i) {
                const QVariant d = m_combo->itemData(i);
                if (d == value || d.toString() == value.toString()) {
                    found = i;
                    break;
                }
            }
        m_combo->setCurrentIndex(found);
        return;
    }
    if (QLineEdit *le = m_combo->lineEdit()) {
        const int len = fieldLength();
        le->setMaxLength(len > 0 ? len : 32767);
        le->setReadOnly(readOnly() || !active);
    }
    const QString text = displayText(value);
    if (m_combo->isEditable()) {
        m_combo->setEditText(text);
    } else {
        m_combo->setCurrentIndex(m_combo->findText(text));
    }
}

QVariant ComboBoxBinding::widgetValue() const
{
    if (m_valueList)
        return m_combo->currentIndex() >= 0 ? m_combo->currentData() : QVariant();
    return m_combo->currentText();
}

void ComboBoxBinding::applyReadOnly(bool on)
{
    if (QLineEdit *le = m_combo->lineEdit())
        le->setReadOnly(on);
}

// ---- QCheckBox ----------------------------------------------------------------

CheckBoxBinding::CheckBoxBinding(Dataset *ds, const QString &field, QCheckBox *box)
    : FieldBinding(ds, field, box), m_box(box)
{
    connect(box, &QCheckBox::clicked, this, [this] { guardedQuiet([this] { userChanged(); }); });
    reload();
}

void CheckBoxBinding::load(const QVariant &value, bool active)
{
    Q_UNUSED(active);
    bool on = false;
    if (value.isValid() && !value.isNull()) {
        bool ok = false;
        const int n = value.toInt(&ok);
        on = ok ? n != 0 : value.toBool();
    }
    m_box->setChecked(on);
}

QVariant CheckBoxBinding::widgetValue() const { return m_box->isChecked() ? 1 : 0; }

void CheckBoxBinding::applyReadOnly(bool on) { m_box->setAttribute(Qt::WA_TransparentForMouseEvents, on); }

// ---- memo ---------------------------------------------------------------------

namespace {
QString fromStored(const QVariant &v)
{
    QString s = displayText(v);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}
QString toStored(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return s;
}
} // namespace

MemoBinding::MemoBinding(Dataset *ds, const QString &field, QPlainTextEdit *edit)
    : FieldBinding(ds, field, edit), m_plain(edit)
{
    connect(edit, &QPlainTextEdit::textChanged, this, [this] { guardedQuiet([this] { userChanged(); }); });
    reload();
}

MemoBinding::MemoBinding(Dataset *ds, const QString &field, QTextEdit *edit)
    : FieldBinding(ds, field, edit), m_text(edit)
{
    edit->setAcceptRichText(false);
    connect(edit, &QTextEdit::textChanged, this, [this] { guardedQuiet([this] { userChanged(); }); });
    reload();
}

void MemoBinding::load(const QVariant &value, bool active)
{
    const QString s = fromStored(value);
    if (m_plain) {
        m_plain->setReadOnly(readOnly() || !active);
        if (m_plain->toPlainText() != s)
            m_plain->setPlainText(s);
    } else {
        m_text->setReadOnly(readOnly() || !active);
        if (m_text->toPlainText() != s)
            m_text->setPlainText(s);
    }
}

QVariant MemoBinding::widgetValue() const
{
    return toStored(m_plain ? m_plain->toPlainText() : m_text->toPlainText());
}

void MemoBinding::applyReadOnly(bool on)
{
    if (m_plain)
        m_plain->setReadOnly(on);
    else
        m_text->setReadOnly(on);
}

// ---- QDateEdit ----------------------------------------------------------------

DateEditBinding::DateEditBinding(Dataset *ds, const QString &field, QDateEdit *edit)
    : FieldBinding(ds, field, edit), m_edit(edit)
{
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setMinimumDate(QDate(1752, 9, 14));
    edit->setSpecialValueText(QStringLiteral(" ")); // the minimum shows as blank: NULL
    connect(edit, &QDateEdit::dateChanged, this, [this] {
        if (m_edit->hasFocus() || (m_edit->calendarPopup() && m_edit->calendarWidget() && m_edit->calendarWidget()->isVisible()))
            guardedQuiet([this] { userChanged(); });
    });
    reload();
}

void DateEditBinding::load(const QVariant &value, bool active)
{
    m_edit->setReadOnly(readOnly() || !active);
    const QDateTime dt = value.toDateTime();
    m_edit->setDate(value.isNull() || !dt.isValid() ? m_edit->minimumDate() : dt.date());
}

QVariant DateEditBinding::widgetValue() const
{
    if (m_edit->date() == m_edit->minimumDate())
        return QVariant(QMetaType(QMetaType::QDateTime));
    return QDateTime(m_edit->date(), QTime(0, 0));
}

void DateEditBinding::applyReadOnly(bool on) { m_edit->setReadOnly(on); }

// ---- QLabel -------------------------------------------------------------------

LabelBinding::LabelBinding(Dataset *ds, const QString &field, QLabel *label, const QString &format)
    : FieldBinding(ds, field, label), m_label(label), m_format(format)
{
    setReadOnly(true);
    reload();
}

void LabelBinding::load(const QVariant &value, bool) { m_label->setText(displayText(value, m_format)); }

QVariant LabelBinding::widgetValue() const { return m_label->text(); }

#include "platform/core/focuscolor.h"
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

static const char *kRest = "tvx_restingColour";

FocusColour::FocusColour(QWidget *window, const QColor &focus) : QObject(window), m_window(window), m_focus(focus)
{
    qApp->installEventFilter(this);
}

void FocusColour::install(QWidget *window, const QColor &focus) { new FocusColour(window, focus); }

void FocusColour::setRestingColour(QWidget *field, const QColor &colour)
{
    field->setProperty(kRest, colour);
    paint(field, colour);
}

QColor FocusColour::restingColour(QWidget *field)
{
    const QVariant v = field->property(kRest);
    return v.isValid() ? v.value<QColor>() : QApplication::palette().color(QPalette::Base);
}

bool FocusColour::isEntryField(QWidget *w)
{
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w)
           || qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w);
}

void FocusColour::paint(QWidget *field, const QColor &c)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, c);
    if (qobject_cast<QComboBox *>(field))
        p.setColor(QPalette::Button, c);
    field->setPalette(p);
    if (auto *combo = qobject_cast<QComboBox *>(field); combo && combo->lineEdit())
        combo->lineEdit()->setPalette(p);
}

bool FocusColour::eventFilter(QObject *obj, QEvent *ev)
{
    if (ev->type() != QEvent::FocusIn && ev->type() != QEvent::FocusOut)
        return false;
    auto *w = qobject_cast<QWidget *>(obj);
    if (!w || w->window() != m_window)
        return false;
    // a combo box's inner line edit belongs to the combo
    if (auto *combo = qobject_cast<QComboBox *>(w->parentWidget()); combo && combo->lineEdit() == w)
        w = combo;
    if (!isEntryField(w))
        return false;
    paint(w, ev->type() == QEvent::FocusIn ? m_focus : restingColour(w));
    return false;
}

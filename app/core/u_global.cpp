#include "app/core/u_global.h"
#include "app/core/u_einstellungen.h"
#include "platform/core/radiogroup.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTextEdit>

int AktuelleFirma = 1;
QString Bearbeiter;
QString Waehrung;
QColor Fokusfarbe(0x00, 0xFF, 0xFF);
bool SmtpVoranstellen = false;
QString SessionKennung;
bool ZweiDurchlaeufe = true;
QStringList TextPuffer;
bool TextNichtUebergeben = false;

namespace {
QString g_folder;
QPointer<QObject> g_source;
QHash<QString, QVariant> g_fallback;

QString withSeparator(QString f)
{
    f = QDir::fromNativeSeparators(f);
    if (!f.endsWith(QLatin1Char('/')))
        f += QLatin1Char('/');
    return f;
}

QObject *control(const QString &component)
{
    if (!g_source)
        return nullptr;
    if (g_source->objectName() == component)
        return g_source;
    return g_source->findChild<QObject *>(component);
}

QVariant fallback(const QString &component)
{
    auto it = g_fallback.constFind(component);
    if (it != g_fallback.constEnd())
        return *it;
    for (const EinstellungDef &d : persistierteEinstellungen())
        if (d.component == component)
            return d.defaultValue;
    return {};
}
} // namespace

QString Programmordner()
{
    if (g_folder.isEmpty())
        return withSeparator(QCoreApplication::applicationDirPath());
    return g_folder;
}

void setProgrammordner(const QString &folder)
{
    g_folder = folder.isEmpty() ? QString() : withSeparator(folder);
}

QString NeueSessionKennung()
{
    QRandomGenerator rng(quint32(QDateTime::currentMSecsSinceEpoch()) ^ quint32(QRandomGenerator::system()->generate()));
    QString s;
    s.reserve(15);
    for (int i = 0; i < 15; ++i)
        s += QChar(u'0' + rng.bounded(10));
    return s;
}

namespace Einstellung {

QString text(const QString &component)
{
    QObject *o = control(component);
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(o))
        return c->currentText();
    if (auto *s = qobject_cast<QSpinBox *>(o))
        return QString::number(s->value());
    if (auto *p = qobject_cast<QPlainTextEdit *>(o))
        return p->toPlainText();
    if (auto *t = qobject_cast<QTextEdit *>(o))
        return t->toPlainText();
    const QVariant v = fallback(component);
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char('\n'));
    return v.toString();
}

QStringList lines(const QString &component)
{
    QObject *o = control(component);
    if (qobject_cast<QPlainTextEdit *>(o) || qobject_cast<QTextEdit *>(o))
        return text(component).split(QLatin1Char('\n'));
    const QVariant v = fallback(component);
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList();
    return v.toString().split(QLatin1Char('\n'));
}

bool checked(const QString &component)
{
    if (auto *c = qobject_cast<QCheckBox *>(control(component)))
        return c->isChecked();
    return fallback(component).toBool();
}

int itemIndex(const QString &component)
{
    if (auto *r = qobject_cast<TRadioGroup *>(control(component)))
        return r->itemIndex();
    bool ok = false;
    const int v = fallback(component).toInt(&ok);
    return ok ? v : -1;
}

void set(const QString &component, const QVariant &value)
{
    QObject *o = control(component);
    if (auto *e = qobject_cast<QLineEdit *>(o)) {
        e->setText(value.toString());
    } else if (auto *c = qobject_cast<QComboBox *>(o)) {
        if (c->isEditable()) {
            c->setEditText(value.toString());
        } else {
            int i = c->findText(value.toString());
            if (i < 0) {
                c->addItem(value.toString());
                i = c->count() - 1;
            }
            c->setCurrentIndex(i);
        }
    } else if (auto *s = qobject_cast<QSpinBox *>(o)) {
        s->setValue(value.toInt());
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(o)) {
        p->setPlainText(value.metaType().id() == QMetaType::QStringList
                            ? value.toStringList().join(QLatin1Char('\n'))
                            : value.toString());
    } else if (auto *t = qobject_cast<QTextEdit *>(o)) {
        t->setPlainText(value.metaType().id() == QMetaType::QStringList
                            ? value.toStringList().join(QLatin1Char('\n'))
                            : value.toString());
    } else if (auto *cb = qobject_cast<QCheckBox *>(o)) {
        cb->setChecked(value.toBool());
    } else if (auto *r = qobject_cast<TRadioGroup *>(o)) {
        r->setItemIndex(value.toInt());
    } else {
        g_fallback.insert(component, value);
    }
}

void setSource(QObject *mainWindow)
{
    g_source = mainWindow;
    if (!mainWindow)
        g_fallback.clear();
}

} // namespace Einstellung

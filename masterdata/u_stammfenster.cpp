#include "masterdata/u_stammfenster.h"

#include "app/core/u_einstellungen.h"
#include "app/core/u_strings.h"
#include "data/u_gruppenliste.h"
#include "platform/core/dialogs.h"
#include "platform/core/guarded.h"
#include "platform/dataset/dataset.h"
#include "platform/dataset/datasetmodel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QUrl>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSettings>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {
const QColor kBullets[8] = {QColor(34, 160, 60),  QColor(214, 40, 40),  QColor(240, 140, 0),
                            QColor(235, 205, 0),  QColor(30, 100, 220), QColor(140, 60, 190),
                            QColor(120, 120, 120), QColor(20, 20, 20)};
}

QPixmap Aufzaehlungszeichen(int nummer)
{
    if (nummer < 1 || nummer > 8)
        return {};
    static QPixmap cache[8];
    QPixmap &pm = cache[nummer - 1];
    if (pm.isNull()) {
        pm = QPixmap(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor c = kBullets[nummer - 1];
        QRadialGradient g(QPointF(6, 6), 7);
        g.setColorAt(0, c.lighter(170));
        g.setColorAt(1, c);
        p.setPen(QPen(c.darker(150), 1));
        p.setBrush(g);
        p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    }
    return pm;
}

CellPainter AufzaehlungsMaler()
{
    return [](QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) {
        QStyleOptionViewItem opt = option;
        opt.text.clear();
        opt.icon = QIcon();
        const QWidget *w = opt.widget;
        QStyle *st = w ? w->style() : QApplication::style();
        st->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        const QPixmap pm = Aufzaehlungszeichen(index.data(DatasetModel::FieldValueRole).toInt());
        if (!pm.isNull())
            p->drawPixmap(opt.rect.left() + 4, opt.rect.top() + 1, pm);
        return true;
    };
}

QList<QPair<QString, QVariant>> MarkierungsWerte()
{
    QList<QPair<QString, QVariant>> werte;
    for (int i = 0; i <= 8; ++i)
        werte.append({QString::number(i), i});
    return werte;
}

void MarkierungsBilderSetzen(QComboBox *combo)
{
    combo->setIconSize(QSize(16, 16));
    for (int i = 0; i < combo->count(); ++i) {
        const QPixmap pm = Aufzaehlungszeichen(combo->itemData(i).toInt());
        if (pm.isNull()) {
            QPixmap leer(16, 16);
            leer.fill(Qt::transparent);
            combo->setItemIcon(i, QIcon(leer));
        } else {
            combo->setItemIcon(i, QIcon(pm));
        }
    }
}


std::function<bool(const QUrl &)> UrlOeffnen = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

void Ignorieren(const std::function<void()> &schritt)
{
    try {
        schritt();
    } catch (...) {
    }
}

// ---- navigator ---------------------------------------------------------------------

namespace {
enum Bewegung { Erster, SeiteZurueck, Zurueck, Vor, SeiteVor, Letzter };
}

TDatensatzNavigator::TDatensatzNavigator(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("nav_datensatz"));
    auto *h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(1);
    struct Def {
        const char *name;
        QStyle::StandardPixmap bild;
        const char *hinweis;
        int wie;
    };
    const Def defs[] = {
        {"nbFirst", QStyle::SP_MediaSkipBackward, "Erster Datensatz", Erster},
        {"nbPriorPage", QStyle::SP_MediaSeekBackward, "Seite zurück", SeiteZurueck},
        {"nbPrior", QStyle::SP_ArrowLeft, "Vorheriger Datensatz", Zurueck},
        {"nbNext", QStyle::SP_ArrowRight, "Nächster Datensatz", Vor},
        {"nbNextPage", QStyle::SP_MediaSeekForward, "Seite vor", SeiteVor},
        {"nbLast", QStyle::SP_MediaSkipForward, "Letzter Datensatz", Letzter},
    };
    for (const Def &d : defs) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setIcon(style()->standardIcon(d.bild));
        b->setToolTip(QString::fromUtf8(d.hinweis));
        b->setFixedSize(30, 30);
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        const int wie = d.wie;
        connect(b, &QToolButton::clicked, this, [this, wie] { guarded([this, wie] { bewegen(wie); }); });
        h->addWidget(b);
    }
    m_kopieren = new QToolButton(this);
    m_kopieren->setObjectName(QStringLiteral("nbCopy"));
    m_kopieren->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    m_kopieren->setToolTip(QStringLiteral("Aktuellen Datensatz kopieren"));
    m_kopieren->setFixedSize(30, 30);
    m_kopieren->setFocusPolicy(Qt::NoFocus);
    m_kopieren->setVisible(false);
    connect(m_kopieren, &QToolButton::clicked, this, [this] {
        guarded([this] {
            if (!m_ds || !m_ds->isOpen() || m_ds->isEmpty())
                return;
            if (!Dialogs::instance().question(kopierfrage()))
                return;
            if (onKopieren)
                onKopieren();
        });
    });
    h->addWidget(m_kopieren);
}

QString TDatensatzNavigator::kopierfrage()
{
    return QStringLiteral("Aktuellen Datensatz kopieren ?\n(Hauptindex ändern ...)");
}

void TDatensatzNavigator::setDataset(Dataset *ds, QAbstractItemView *grid)
{
    m_ds = ds;
    m_grid = grid;
}

void TDatensatzNavigator::setKopierenSichtbar(bool on) { m_kopieren->setVisible(on); }
bool TDatensatzNavigator::kopierenSichtbar() const { return !m_kopieren->isHidden(); }

QToolButton *TDatensatzNavigator::knopf(const QString &name) const { return findChild<QToolButton *>(name); }

int TDatensatzNavigator::seite() const
{
    if (!m_grid)
        return 10;
    const int zeile = qMax(1, m_grid->sizeHintForRow(0));
    return qMax(1, m_grid->viewport()->height() / zeile);
}

void TDatensatzNavigator::bewegen(int wie)
{
    if (!m_ds || !m_ds->isOpen())
        return;
    switch (wie) {
    case Erster: m_ds->first(); break;
    case SeiteZurueck: m_ds->moveBy(-seite()); break;
    case Zurueck: m_ds->prior(); break;
    case Vor: m_ds->next(); break;
    case SeiteVor: m_ds->moveBy(seite()); break;
    case Letzter: m_ds->last(); break;
    }
}

// ---- letter bar ----------------------------------------------------------------------

TBuchstabenleiste::TBuchstabenleiste(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnl_buchstaben"));
    setFixedWidth(37);
    setStyleSheet(QStringLiteral(
        "#pnl_buchstaben { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #dfe7f3, stop:1 #c3d2ea); }"
        "#pnl_buchstaben QPushButton { border: 1px solid #8ea6cc; border-radius: 2px; background: #f4f7fc;"
        " color: #0b2f73; font-weight: bold; padding: 0; text-align: left; }"
        "#pnl_buchstaben QPushButton:hover { background: #ffffff; }"
        "#pnl_buchstaben QPushButton:pressed { background: #9db7e0; }"
        "#pnl_buchstaben QPushButton:disabled { color: #9aa6b8; background: #e6e9ee; border-color: #c3cad6; }"));
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(1);
    for (int tag = 1; tag <= 27; ++tag) {
        QString text;
        QString name;
        if (tag <= 26) {
            const QChar c(QLatin1Char(char('A' + tag - 1)));
            text = (tag == 9 ? QStringLiteral("   ") : QStringLiteral("  ")) + c;
            name = QStringLiteral("F") + c;
        } else {
            text = QStringLiteral("Alle");
            name = QStringLiteral("Falle");
        }
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setProperty("tag", tag);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
        b->setMinimumHeight(14);
        if (tag == 27) {
            QFont f = b->font();
            f.setPointSizeF(f.pointSizeF() * 0.8);
            b->setFont(f);
            b->setStyleSheet(QStringLiteral("text-align: center;"));
        }
        connect(b, &QPushButton::clicked, this, [this, tag] { emit gewaehlt(tag); });
        v->addWidget(b);
    }
}

QString TBuchstabenleiste::buchstabe(int tag)
{
    if (tag < 1 || tag > 26)
        return {};
    return QString(QLatin1Char(char('A' + tag - 1)));
}

// ---- looks -------------------------------------------------------------------------------

QFrame *Verlaufsleiste(const QString &name, const QColor &oben, const QColor &unten, QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setObjectName(name);
    f->setAttribute(Qt::WA_StyledBackground, true);
    f->setStyleSheet(QStringLiteral("#%1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %3); }")
                         .arg(name, oben.name(), unten.name()));
    return f;
}

void TabsAlsKnoepfe(QTabWidget *tabs)
{
    tabs->setDocumentMode(false);
    tabs->tabBar()->setDrawBase(false);
    tabs->setStyleSheet(QStringLiteral(
        "QTabWidget#%1::pane { border: 1px solid #9aa9c2; top: -1px; background: palette(window); }"
        "QTabWidget#%1 > QTabBar::tab { border: 1px solid #7f93b8; border-radius: 3px; padding: 4px 14px;"
        " margin: 2px 3px 3px 0; background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dde5f2); }"
        "QTabWidget#%1 > QTabBar::tab:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #b9cbe9, stop:1 #e4ecf8); border-color: #2d5aa8; font-weight: bold; }"
        "QTabWidget#%1 > QTabBar::tab:hover:!selected { background: #f0f5fd; }")
                            .arg(tabs->objectName()));
}

// ---- keys ----------------------------------------------------------------------------------

TFensterTasten::TFensterTasten(QWidget *fenster, QSet<QString> mehrzeilig)
    : QObject(fenster), m_fenster(fenster), m_mehrzeilig(std::move(mehrzeilig))
{
    qApp->installEventFilter(this);
}

bool TFensterTasten::eventFilter(QObject *obj, QEvent *ev)
{
    if (ev->type() != QEvent::KeyPress)
        return false;
    auto *w = qobject_cast<QWidget *>(obj);
    if (!w || w->window() != m_fenster || !w->hasFocus())
        return false;
    auto *k = static_cast<QKeyEvent *>(ev);
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (auto it = tasten.constFind(k->key()); it != tasten.constEnd() && k->modifiers() == Qt::NoModifier) {
        const auto aktion = it.value();
        guarded([&] { aktion(); });
        return true;
    }
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        for (QWidget *p = w; p && p != m_fenster; p = p->parentWidget())
            if (m_mehrzeilig.contains(p->objectName()))
                return false;
        // a combo's open list takes its Enter itself
        if (auto *c = qobject_cast<QComboBox *>(w); c && c->view() && c->view()->isVisible())
            return false;
        // swallowed; the focus moves once this event has been handled
        QMetaObject::invokeMethod(m_fenster, [f = m_fenster] { NaechstesFeld(f); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}

void NaechstesFeld(QWidget *fenster)
{
    QWidget *fw = QApplication::focusWidget();
    if (!fw || fw->window() != fenster)
        return;
    for (QWidget *w = fw->nextInFocusChain(); w && w != fw; w = w->nextInFocusChain()) {
        if (w->window() == fenster && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(fenster)
            && w->isEnabled() && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

namespace {
class Ruhefarbe : public QObject {
public:
    using QObject::QObject;
protected:
    bool eventFilter(QObject *obj, QEvent *ev) override
    {
        if (ev->type() == QEvent::FocusIn || ev->type() == QEvent::FocusOut) {
            auto *w = static_cast<QWidget *>(obj);
            QPalette p = w->palette();
            const QColor c = w->property("tvx_restingColour").isValid()
                                 ? w->property("tvx_restingColour").value<QColor>()
                                 : QApplication::palette().color(QPalette::Base);
            p.setColor(QPalette::Base, c);
            w->setPalette(p);
        }
        return false;
    }
};
} // namespace

void OhneFokusfarbe(QWidget *feld)
{
    // object filters run after the application's, so this repaints after the
    // window's focus colour
    feld->installEventFilter(new Ruhefarbe(feld));
}

QLineEdit *Beschriftungsfeld(const QString &name, const QString &text, QWidget *parent)
{
    auto *e = new QLineEdit(text, parent);
    e->setObjectName(name);
    e->setFrame(false);
    e->setFixedWidth(100);
    return e;
}

// ---- storage -------------------------------------------------------------------------------

namespace {
std::unique_ptr<QSettings> einstellungenOeffnen()
{
    return std::make_unique<QSettings>(FormStorage::organisation(), FormStorage::organisation());
}
} // namespace

QVariant TFensterSpeicher::wert(const QString &schluessel, const QVariant &vorgabe) const
{
    const auto s = einstellungenOeffnen();
    return s->value(m_gruppe + QLatin1Char('/') + schluessel, vorgabe);
}

void TFensterSpeicher::setzen(const QString &schluessel, const QVariant &wert) const
{
    const auto s = einstellungenOeffnen();
    s->setValue(m_gruppe + QLatin1Char('/') + schluessel, wert);
    s->sync();
}

QStringList TFensterSpeicher::zeilen(const QString &schluessel, const QStringList &vorgabe) const
{
    const auto s = einstellungenOeffnen();
    s->beginGroup(m_gruppe + QLatin1Char('.') + schluessel);
    bool ok = false;
    const int n = s->value(QStringLiteral("Count")).toInt(&ok);
    QStringList z;
    if (ok && n > 0)
        for (int i = 0; i < n; ++i)
            z << s->value(QStringLiteral("Item%1").arg(i)).toString();
    s->endGroup();
    return ok && n > 0 ? z : vorgabe;
}

void TFensterSpeicher::zeilenSetzen(const QString &schluessel, const QStringList &zeilen) const
{
    const auto s = einstellungenOeffnen();
    s->beginGroup(m_gruppe + QLatin1Char('.') + schluessel);
    s->remove(QString());
    s->setValue(QStringLiteral("Count"), zeilen.size());
    for (int i = 0; i < zeilen.size(); ++i)
        s->setValue(QStringLiteral("Item%1").arg(i), zeilen[i]);
    s->endGroup();
    s->sync();
}

void TFensterSpeicher::platzierungLaden(QWidget *fenster) const
{
    bool okL = false, okT = false;
    const int l = wert(QStringLiteral("Left"), {}).toInt(&okL);
    const int t = wert(QStringLiteral("Top"), {}).toInt(&okT);
    if (!okL || !okT)
        return;
    // only where it is still on a screen of this session
    if (QGuiApplication::screenAt(QPoint(l + 40, t + 20)))
        fenster->move(l, t);
}

void TFensterSpeicher::platzierungSpeichern(const QWidget *fenster) const
{
    setzen(QStringLiteral("Left"), fenster->x());
    setzen(QStringLiteral("Top"), fenster->y());
}

// ---- group list of the search panel ---------------------------------------------------------------

void GruppenlisteAufbauen(Dataset *liste, const QString &tabelle, const QString &nummer, const QString &name)
{
    liste->close();
    liste->setSql(GruppenlisteSql(tabelle, nummer, name, txt("sk_6")));
}

void GruppenlisteOeffnen(Dataset *liste, QComboBox *wahl, const QString &tabelle, const QString &nummer,
                         const QString &name)
{
    const QVariant gewaehlt = wahl->currentIndex() >= 0 ? wahl->currentData() : QVariant();
    liste->close();
    if (liste->sql().isEmpty())
        GruppenlisteAufbauen(liste, tabelle, nummer, name);
    liste->open();
    if (gewaehlt.isValid() && !liste->locate(nummer, gewaehlt))
        liste->first();
    GruppenwahlFuellen(liste, wahl, nummer, name);
}

void GruppenwahlFuellen(Dataset *liste, QComboBox *wahl, const QString &nummer, const QString &name)
{
    const QSignalBlocker sperre(wahl);
    wahl->clear();
    if (!liste->isOpen())
        return;
    const int n = liste->fieldIndex(nummer);
    const int t = liste->fieldIndex(name);
    for (int i = 0; i < liste->recordCount(); ++i)
        wahl->addItem(liste->valueAt(i, t).toString(), liste->valueAt(i, n));
    wahl->setCurrentIndex(liste->row());
    if (wahl->count() == 0)
        wahl->setPlaceholderText(txt("sk_6"));
}

QList<QPair<QString, QVariant>> GruppenWerte(Dataset *tabelle, const QString &nummer, const QString &name)
{
    QList<QPair<QString, QVariant>> werte;
    if (!tabelle->isOpen())
        return werte;
    const int n = tabelle->fieldIndex(nummer);
    const int t = tabelle->fieldIndex(name);
    for (int i = 0; i < tabelle->recordCount(); ++i) {
        if (tabelle->state() == Dataset::State::Insert && i == tabelle->row())
            continue;
        werte.append({tabelle->valueAt(i, t).toString(), tabelle->valueAt(i, n)});
    }
    return werte;
}

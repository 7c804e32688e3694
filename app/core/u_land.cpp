#include "app/core/u_land.h"

#include <cmath>

#include <QButtonGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

Tfrm_land *frm_land = nullptr;

namespace {

// A small globe: shaded sphere, two land masses, meridians and parallels.
QPixmap globus(int size, qreal dpr)
{
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(3, 3, size - 6, size - 6);
    const QPointF c = r.center();
    const qreal rad = r.width() / 2;

    QRadialGradient sea(c - QPointF(rad * 0.35, rad * 0.35), rad * 1.4);
    sea.setColorAt(0, QColor(120, 180, 240));
    sea.setColorAt(0.6, QColor(30, 100, 190));
    sea.setColorAt(1, QColor(10, 45, 110));
    QPainterPath ball;
    ball.addEllipse(r);
    p.fillPath(ball, sea);

    p.save();
    p.setClipPath(ball);
    auto land = [&](std::initializer_list<QPointF> pts) {
        QPainterPath path;
        auto it = pts.begin();
        path.moveTo(c + *it * rad);
        for (++it; it != pts.end(); ++it)
            path.lineTo(c + *it * rad);
        path.closeSubpath();
        p.fillPath(path, QColor(70, 160, 80));
    };
    // Europe and Africa
    land({{-0.05, -0.75}, {0.30, -0.70}, {0.40, -0.45}, {0.20, -0.30}, {0.45, -0.15}, {0.55, 0.15},
          {0.35, 0.55}, {0.15, 0.75}, {0.02, 0.45}, {-0.15, 0.10}, {-0.35, -0.05}, {-0.20, -0.35},
          {-0.25, -0.55}});
    // the Americas at the rim
    land({{-0.95, -0.35}, {-0.70, -0.55}, {-0.55, -0.35}, {-0.70, -0.10}, {-0.60, 0.20},
          {-0.75, 0.55}, {-0.95, 0.40}});
    QPen grid(QColor(255, 255, 255, 110), 1.0);
    p.setPen(grid);
    p.setBrush(Qt::NoBrush);
    for (qreal k : {0.35, 0.7})
        p.drawEllipse(c, rad * k, rad);
    p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
    for (qreal y : {-0.5, 0.0, 0.5}) {
        const qreal half = rad * std::sqrt(1 - y * y);
        p.drawLine(QPointF(c.x() - half, c.y() + y * rad), QPointF(c.x() + half, c.y() + y * rad));
    }
    p.restore();

    QRadialGradient shine(c - QPointF(rad * 0.4, rad * 0.45), rad * 0.6);
    shine.setColorAt(0, QColor(255, 255, 255, 120));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(ball, shine);
    p.setPen(QPen(QColor(10, 40, 90), 1.5));
    p.drawEllipse(r);
    return pm;
}

} // namespace

Tfrm_land::Tfrm_land(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_land"));
    setWindowTitle(QStringLiteral("Country/Land"));
    setModal(true);

    m_bild = new QLabel(this);
    m_bild->setObjectName(QStringLiteral("img_land"));
    m_bild->setPixmap(globus(96, devicePixelRatioF()));
    m_bild->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *titel = new QLabel(QStringLiteral("Language/Sprache/Langue/Lengua"), this);
    titel->setObjectName(QStringLiteral("lbl_sprache"));
    QFont f = titel->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    titel->setFont(f);

    m_rg = new QGroupBox(this);
    m_rg->setObjectName(QStringLiteral("rg_sprache"));
    m_gruppe = new QButtonGroup(m_rg);
    auto *rgLayout = new QVBoxLayout(m_rg);
    rgLayout->setSpacing(6);
    const QStringList items{QStringLiteral("Deutsch"), QStringLiteral("English"),
                            QStringLiteral("Français"), QStringLiteral("Español")};
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], m_rg);
        b->setObjectName(QStringLiteral("rg_sprache_item%1").arg(i));
        m_gruppe->addButton(b, i);
        rgLayout->addWidget(b);
    }
    titel->setBuddy(m_gruppe->button(0));

    m_ok = new QPushButton(QStringLiteral(" OK - Take Over"), this);
    m_ok->setObjectName(QStringLiteral("btn_uebernehmen"));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_ok->setMinimumWidth(140);
    connect(m_ok, &QPushButton::clicked, this, &Tfrm_land::btn_uebernehmenClick);

    auto *rechts = new QVBoxLayout;
    rechts->setSpacing(10);
    rechts->addWidget(titel);
    rechts->addWidget(m_rg);
    rechts->addStretch();

    auto *oben = new QHBoxLayout;
    oben->setSpacing(18);
    oben->addWidget(m_bild);
    oben->addLayout(rechts, 1);

    auto *knopfzeile = new QHBoxLayout;
    knopfzeile->addStretch();
    knopfzeile->addWidget(m_ok);

    auto *haupt = new QVBoxLayout(this);
    haupt->setContentsMargins(18, 18, 18, 14);
    haupt->setSpacing(14);
    haupt->addLayout(oben);
    haupt->addLayout(knopfzeile);
    haupt->setSizeConstraint(QLayout::SetFixedSize);
}

int Tfrm_land::itemIndex() const { return m_gruppe->checkedId(); }

void Tfrm_land::setItemIndex(int index)
{
    if (QAbstractButton *b = m_gruppe->button(index))
        b->setChecked(true);
}

int Tfrm_land::vorauswahl(QLocale::Language language)
{
    switch (language) {
    case QLocale::German:
        return 0;
    case QLocale::French:
        return 2;
    case QLocale::Spanish:
        return 3;
    default:
        return 1;
    }
}

void Tfrm_land::setSystemLanguage(QLocale::Language language)
{
    m_sprache = language;
    m_festeSprache = true;
}

void Tfrm_land::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    setItemIndex(vorauswahl(m_festeSprache ? m_sprache : QLocale::system().language()));
    if (QAbstractButton *b = m_gruppe->checkedButton())
        b->setFocus();
    if (QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect g = frameGeometry();
        g.moveCenter(s->availableGeometry().center());
        move(g.topLeft());
    }
}

void Tfrm_land::btn_uebernehmenClick()
{
    const int index = itemIndex();
    if (m_ziel)
        m_ziel(index);
    emit uebernommen(index);
    accept();
}

ErststartVorgaben ErststartVorgabenFuer(int index)
{
    static const char *const de[] = {
        "€",
        "Herzlichen Dank für ihr Vertrauen in unsere Dienstleistungen.",
        "Bitte den Betrag innerhalb von 14 Tagen überweisen.",
        "Gutschrift Nr.",
        "Bezahlt",
        "1 Mahnung",
        "2 Mahnung",
        "3 Mahnung",
        "Uneinbringbar",
        "Sonstiges 1",
        "Sonstiges 2",
        "Rechnung von Firma MOSKERA",
        "Hiermit übersenden wir ihnen die Rechnung zu ihrer Bestellung.",
    };
    static const char *const fr[] = {
        "€",
        "Je vous remercie pour votre confiance dans nos services.",
        "Sil vous plaît transférer le montant dans les 14 jours suivant le transfert.",
        "Crédit Nr.",
        "Paye",
        "1 Rappel",
        "2 Rappel",
        "3 Rappel",
        "Irrecouvrables",
        "Autre 1",
        "Autre 2",
        "Compte de la société MOSKERA",
        "Par la présente nous leur envoyer la facture à votre commande.",
    };
    static const char *const es[] = {
        "€",
        "Gracias por su confianza en nuestros servicios.",
        "Por favor transferir el importe dentro de los 14 días de la transferencia.",
        "Crédito Nr.",
        "Pagado",
        "1 Recordatorio",
        "2 Recordatorio",
        "3 Recordatorio",
        "Inconbrables",
        "Otro 1",
        "Otro 2",
        "Cuenta de la empresa MOSKERA",
        "Por la presente les enviamos la factura a su pedido.",
    };
    static const char *const en[] = {
        "USD",
        "Thanks for confidence in our services.",
        "Please pay within 14 days.",
        "Credit Nr.",
        "Payed",
        "1 Reminder",
        "2 Reminder",
        "3 Reminder",
        "Uncollectible",
        "Others 1",
        "Others 2",
        "Invoice from Company MOSKERA",
        "Attached the invoice for you.",
    };
    const char *const *col = index == 0 ? de : index == 2 ? fr : index == 3 ? es : en;
    auto s = [col](int i) { return QString::fromUtf8(col[i]); };
    return {s(0), s(1), s(2), s(3), s(4), s(5), s(6), s(7), s(8), s(9), s(10), s(11), s(12)};
}

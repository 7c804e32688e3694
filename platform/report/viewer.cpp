#include "platform/report/viewer.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace rpt {

namespace {

// A page with a thin frame and a soft shadow, as paper lying on the desk.
QPixmap framed(const QImage &page)
{
    const int shadow = 4;
    QPixmap pm(page.width() + shadow + 2, page.height() + shadow + 2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.fillRect(QRect(shadow + 1, shadow + 1, page.width(), page.height()), QColor(0, 0, 0, 60));
    p.drawImage(1, 1, page);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(QRect(0, 0, page.width() + 1, page.height() + 1));
    return pm;
}

// Magnifier with the zoom figure, for the zoom buttons.
QIcon zoomIcon(int percent)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2.2));
    p.setBrush(QColor(225, 238, 250));
    p.drawEllipse(QRectF(3, 3, 19, 19));
    p.setPen(QPen(QColor(60, 60, 60), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 20), QPointF(28, 28));
    QFont f = p.font();
    f.setPixelSize(percent >= 100 ? 8 : 9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(3, 3, 19, 19), Qt::AlignCenter, QString::number(percent));
    return QIcon(pm);
}

} // namespace

ReportViewer::ReportViewer(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scroll"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setBackgroundRole(QPalette::Window);
    m_scroll->setFocusProxy(this);
    m_pageLabel = new QLabel;
    m_pageLabel->setObjectName(QStringLiteral("page"));
    m_pageLabel->setAlignment(Qt::AlignCenter);
    m_pageLabel->setBackgroundRole(QPalette::Window);
    m_pageLabel->setAutoFillBackground(true);
    m_pageLabel->setContentsMargins(12, 12, 12, 12);
    m_scroll->setWidget(m_pageLabel);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_scroll);
}

ReportViewer::~ReportViewer() = default;

void ReportViewer::setDocument(std::shared_ptr<const ReportDocument> doc)
{
    m_doc = std::move(doc);
    m_page = pageCount() > 0 ? 0 : -1;
    refresh();
}

void ReportViewer::firstPage() { setPage(0); }
void ReportViewer::priorPage()
{
    if (m_page > 0)
        setPage(m_page - 1);
}
void ReportViewer::nextPage()
{
    if (m_page + 1 < pageCount())
        setPage(m_page + 1);
}
void ReportViewer::lastPage() { setPage(pageCount() - 1); }

void ReportViewer::setPage(int page)
{
    if (pageCount() == 0)
        return;
    page = qBound(0, page, pageCount() - 1);
    if (page == m_page)
        return;
    m_page = page;
    refresh();
    m_scroll->verticalScrollBar()->setValue(0);
}

void ReportViewer::setZoom(int percent)
{
    percent = qBound(10, percent, 800);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    refresh();
    emit zoomChanged(m_zoom);
}

void ReportViewer::refresh()
{
    if (!m_doc || m_page < 0) {
        m_image = QImage();
        m_pageLabel->setPixmap(QPixmap());
    } else {
        const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
        m_image = renderPageImage(*m_doc, m_page, m_zoom, dpi);
        m_pageLabel->setPixmap(framed(m_image));
    }
    emit pageChanged(m_page, pageCount());
}

void ReportViewer::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_PageDown:
        nextPage();
        break;
    case Qt::Key_PageUp:
        priorPage();
        break;
    case Qt::Key_Home:
        if (e->modifiers() & Qt::ControlModifier)
            firstPage();
        else
            m_scroll->verticalScrollBar()->setValue(0);
        break;
    case Qt::Key_End:
        if (e->modifiers() & Qt::ControlModifier)
            lastPage();
        else
            m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->maximum());
        break;
    case Qt::Key_Down:
        m_scroll->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Up:
        m_scroll->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    default:
        QWidget::keyPressEvent(e);
    }
}

ReportPreview::ReportPreview(QWidget *parent) : QWidget(parent)
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnl_oben"));
    auto *top = new QHBoxLayout(panel);
    top->setContentsMargins(6, 4, 6, 4);
    auto button = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, panel);
        b->setObjectName(QLatin1String(name));
        b->setMinimumWidth(48);
        top->addWidget(b);
        return b;
    };
    m_first = button("btn_first", QStringLiteral("| <"));
    m_back = button("btn_back", QStringLiteral("<<"));
    m_forward = button("btn_forward", QStringLiteral(">>"));
    m_last = button("btn_last", QStringLiteral("> |"));
    m_indicator = new QLabel(panel);
    m_indicator->setObjectName(QStringLiteral("lbl_seiten"));
    m_indicator->setMinimumWidth(70);
    m_indicator->setAlignment(Qt::AlignCenter);
    top->addWidget(m_indicator);
    top->addSpacing(16);
    auto *zooms = new QButtonGroup(this);
    auto zoom = [&](const char *name, int percent) {
        auto *b = new QToolButton(panel);
        b->setObjectName(QLatin1String(name));
        b->setIcon(zoomIcon(percent));
        b->setIconSize(QSize(24, 24));
        b->setText(QStringLiteral("%1 %").arg(percent));
        b->setToolTip(b->text());
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setCheckable(true);
        b->setAutoRaise(true);
        zooms->addButton(b, percent);
        top->addWidget(b);
        return b;
    };
    m_z140 = zoom("sb_140", 140);
    m_z100 = zoom("sb_100", 100);
    m_z68 = zoom("sb_68", 68);
    top->addStretch(1);

    m_viewer = new ReportViewer(this);
    m_viewer->setObjectName(QStringLiteral("vw_vorschau"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(panel);
    lay->addWidget(m_viewer, 1);

    connect(m_first, &QPushButton::clicked, m_viewer, &ReportViewer::firstPage);
    connect(m_back, &QPushButton::clicked, m_viewer, &ReportViewer::priorPage);
    connect(m_forward, &QPushButton::clicked, m_viewer, &ReportViewer::nextPage);
    connect(m_last, &QPushButton::clicked, m_viewer, &ReportViewer::lastPage);
    connect(zooms, &QButtonGroup::idClicked, m_viewer, &ReportViewer::setZoom);
    connect(m_viewer, &ReportViewer::pageChanged, this, &ReportPreview::updateButtons);
    connect(m_viewer, &ReportViewer::zoomChanged, this, &ReportPreview::updateButtons);
    updateButtons();
}

void ReportPreview::updateButtons()
{
    const int n = m_viewer->pageCount(), p = m_viewer->currentPage();
    m_first->setEnabled(n > 0 && p > 0);
    m_back->setEnabled(n > 0 && p > 0);
    m_forward->setEnabled(p + 1 < n);
    m_last->setEnabled(p + 1 < n);
    m_indicator->setText(n > 0 ? QStringLiteral("%1 / %2").arg(p + 1).arg(n) : QString());
    m_z140->setChecked(m_viewer->zoom() == 140);
    m_z100->setChecked(m_viewer->zoom() == 100);
    m_z68->setChecked(m_viewer->zoom() == 68);
}

} // namespace rpt

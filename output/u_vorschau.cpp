#include "output/u_vorschau.h"

#include "platform/report/viewer.h"

#include <QAbstractButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

Tfrm_vorschau *frm_vorschau = nullptr;

Tfrm_vorschau::Tfrm_vorschau(QWidget *parent) : QDialog(parent)
{
    // the first window is the program's; a temporary one must not replace it
    if (!frm_vorschau)
        frm_vorschau = this;
    setObjectName(QStringLiteral("frm_vorschau"));
    setWindowTitle(QStringLiteral("Vorschau"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    resize(900, 1000);
    m_preview = new rpt::ReportPreview(this);
    m_preview->setObjectName(QStringLiteral("pnl_vorschau"));
    m_viewer = m_preview->viewer();
    // a click on a page or zoom button leaves the keyboard with the pages
    for (QAbstractButton *b : m_preview->findChildren<QAbstractButton *>())
        b->setFocusPolicy(Qt::TabFocus);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_preview);
}

Tfrm_vorschau::~Tfrm_vorschau()
{
    if (frm_vorschau == this)
        frm_vorschau = nullptr;
}

void Tfrm_vorschau::setDocument(std::shared_ptr<const rpt::ReportDocument> doc)
{
    m_preview->setDocument(std::move(doc));
}

void Tfrm_vorschau::anzeigen(std::shared_ptr<const rpt::ReportDocument> doc)
{
    setDocument(std::move(doc));
    // a desktop without a window manager ignores the state: the screen's room then
    if (QScreen *s = screen())
        setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    exec();
    // the pages are not kept once the window is closed
    setDocument(nullptr);
}

void Tfrm_vorschau::FormShow()
{
    m_viewer->setZoom(100);
    m_viewer->setFocus(); // page keys work at once
}

void Tfrm_vorschau::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

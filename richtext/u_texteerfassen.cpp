#include "richtext/u_texteerfassen.h"

#include "app/core/u_einstellungen.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "platform/core/guarded.h"
#include "platform/dataset/dataset.h"
#include "richtext/richtextbinding.h"
#include "richtext/trichtexttoolbar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QShowEvent>
#include <QTextEdit>
#include <QVBoxLayout>

Tfrm_texteerfassen *frm_texteerfassen = nullptr;

namespace {
const QString kSection = QStringLiteral("Texterfassen");
const QString kStorage = QStringLiteral("Tfrm_texteerfassen");
} // namespace

Tfrm_texteerfassen::Tfrm_texteerfassen(QWidget *parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("frm_texteerfassen"));
  setWindowTitle(txt("lbl_texteerfassen"));
  setModal(true);

  m_editor = new QTextEdit(this);
  m_editor->setObjectName(QStringLiteral("rt_text"));
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(13);
  m_editor->setFont(f);
  m_editor->setAcceptRichText(true);
  m_editor->setTabChangesFocus(false);
  m_editor->setReadOnly(true);  // until a data source is bound

  m_toolbar = new TRichTextToolbar(m_editor, TRichTextToolbar::Rows::One, this);
  m_toolbar->setObjectName(QStringLiteral("FormatBar"));
  m_toolbar->fontNameCombo()->setFixedWidth(268);

  m_transfer = new QPushButton(Sprache::germanCaption(kSection, QStringLiteral("btn_uebergeben_Caption")), this);
  m_transfer->setObjectName(QStringLiteral("btn_uebergeben"));
  m_close = new QPushButton(Sprache::germanCaption(kSection, QStringLiteral("btn_close_Caption")), this);
  m_close->setObjectName(QStringLiteral("btn_close"));
  for (QPushButton *b : {m_transfer, m_close}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }

  auto *buttons = new QHBoxLayout;
  buttons->setContentsMargins(6, 6, 6, 6);
  buttons->addWidget(m_transfer, 1);
  buttons->addWidget(m_close);
  auto *l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(0);
  l->addWidget(m_toolbar);
  l->addWidget(m_editor, 1);
  l->addLayout(buttons);
  resize(640, 360);

  connect(m_transfer, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

  Sprache::registerWindow(kSection, this);
}

Tfrm_texteerfassen::~Tfrm_texteerfassen()
{
  if (frm_texteerfassen == this) frm_texteerfassen = nullptr;
}

void Tfrm_texteerfassen::setDataSource(Dataset *ds, const QString &field)
{
  delete m_binding;
  m_binding = nullptr;
  if (!ds) {
    m_editor->clear();
    m_editor->setReadOnly(true);
    return;
  }
  m_binding = new RichTextBinding(ds, field, m_editor);
  m_toolbar->refresh();
}

Dataset *Tfrm_texteerfassen::dataSource() const
{
  return m_binding ? m_binding->dataset() : nullptr;
}

void Tfrm_texteerfassen::showEvent(QShowEvent *e)
{
  if (!m_placed && !e->spontaneous()) {
    QSettings st(FormStorage::organisation(), FormStorage::organisation());
    const QByteArray g = st.value(kStorage + QStringLiteral("/Geometrie")).toByteArray();
    if (!g.isEmpty()) restoreGeometry(g);
    m_placed = true;
  }
  QDialog::showEvent(e);
  if (!e->spontaneous()) {
    m_editor->setFocus(Qt::OtherFocusReason);
    m_toolbar->refresh();
  }
}

void Tfrm_texteerfassen::storePending()
{
  // Leaving the editor hands its text to the row; closing counts as leaving.
  if (m_binding) guarded([this] { m_binding->store(); });
}

void Tfrm_texteerfassen::done(int result)
{
  storePending();
  QSettings st(FormStorage::organisation(), FormStorage::organisation());
  st.setValue(kStorage + QStringLiteral("/Geometrie"), saveGeometry());
  QDialog::done(result);
}

#include "richtext/u_kopftext.h"

#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "platform/core/guarded.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QShowEvent>
#include <QVBoxLayout>

Tfrm_kopftext *frm_kopftext = nullptr;

namespace {
const QString kSection = QStringLiteral("Kopftexte");
const QString kStorage = QStringLiteral("Tfrm_kopftext");
} // namespace

Tfrm_kopftext::Tfrm_kopftext(QWidget *parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("frm_kopftext"));
  setWindowTitle(QStringLiteral("Kopftext erfassen"));
  setModal(true);

  m_editor = new QPlainTextEdit(this);
  m_editor->setObjectName(QStringLiteral("me_kopftext"));
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(13);
  m_editor->setFont(f);
  m_editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_editor->setTabChangesFocus(false);

  m_transfer = new QPushButton(Sprache::germanCaption(kSection, QStringLiteral("btn_uebergeben_Caption")), this);
  m_transfer->setObjectName(QStringLiteral("btn_uebergeben"));
  m_close = new QPushButton(Sprache::germanCaption(kSection, QStringLiteral("btn_close_Caption")), this);
  m_close->setObjectName(QStringLiteral("btn_close"));
  // Enter makes a new line in the editor; the buttons act only when clicked or focused.
  for (QPushButton *b : {m_transfer, m_close}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }

  auto *buttons = new QHBoxLayout;
  buttons->addWidget(m_transfer, 1);
  buttons->addWidget(m_close);
  auto *l = new QVBoxLayout(this);
  l->addWidget(m_editor, 1);
  l->addLayout(buttons);
  resize(560, 320);

  connect(m_transfer, &QPushButton::clicked, this, [this] { guarded([this] { transfer(); }); });
  connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

  Sprache::registerWindow(kSection, this);
}

Tfrm_kopftext::~Tfrm_kopftext()
{
  if (frm_kopftext == this) frm_kopftext = nullptr;
}

void Tfrm_kopftext::setTransferCaption(const QString &caption)
{
  m_transfer->setText(caption);
}

void Tfrm_kopftext::setLines(const QStringList &lines)
{
  m_editor->setPlainText(lines.join(u'\n'));
}

QStringList Tfrm_kopftext::lines() const
{
  const QString text = m_editor->toPlainText();
  if (text.isEmpty()) return {};
  return text.split(u'\n');
}

void Tfrm_kopftext::transfer()
{
  TextNichtUebergeben = false;
  TextPuffer.clear();
  TextPuffer.append(lines());
  accept();
}

void Tfrm_kopftext::showEvent(QShowEvent *e)
{
  if (!m_placed && !e->spontaneous()) {
    QSettings st(FormStorage::organisation(), FormStorage::organisation());
    const QByteArray g = st.value(kStorage + QStringLiteral("/Geometrie")).toByteArray();
    if (!g.isEmpty()) restoreGeometry(g);
    m_placed = true;
  }
  QDialog::showEvent(e);
  if (!e->spontaneous()) {
    TextNichtUebergeben = true;
    m_editor->setFocus(Qt::OtherFocusReason);
  }
}

void Tfrm_kopftext::done(int result)
{
  QSettings st(FormStorage::organisation(), FormStorage::organisation());
  st.setValue(kStorage + QStringLiteral("/Geometrie"), saveGeometry());
  QDialog::done(result);
}

bool KopftextBearbeiten(Tfrm_kopftext *dialog, QStringList &lines, const QString &caption,
                        const QString &transferCaption)
{
  dialog->setWindowTitle(caption);
  dialog->setTransferCaption(transferCaption);
  dialog->setLines(lines);
  TextPuffer.clear();
  TextNichtUebergeben = true;
  dialog->exec();
  if (TextNichtUebergeben) return false;
  lines = TextPuffer;
  return true;
}

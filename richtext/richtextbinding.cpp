#include "richtext/richtextbinding.h"

#include "platform/core/guarded.h"
#include "platform/rtf/rtf.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

RichTextBinding::RichTextBinding(Dataset *ds, const QString &field, QTextEdit *edit)
    : FieldBinding(ds, field, edit), m_edit(edit)
{
  edit->setAcceptRichText(true);
  connect(edit, &QTextEdit::textChanged, this, [this] { guarded([this] { userChanged(); }); });
  reload();
}

void RichTextBinding::load(const QVariant &value, bool active)
{
  m_edit->setReadOnly(readOnly() || !active);
  const QString text = value.isNull() ? QString() : value.toString();
  if (m_hasShown && text == m_shown) return;
  Rtf::read(text, m_edit->document());
  m_edit->moveCursor(QTextCursor::Start);  // a freshly shown text starts at its beginning
  m_shown = text;
  m_hasShown = true;
}

QVariant RichTextBinding::widgetValue() const
{
  const QTextDocument *doc = m_edit->document();
  const QString text = doc->toPlainText().trimmed().isEmpty() ? QStringLiteral("") : Rtf::write(doc);
  m_shown = text;
  m_hasShown = true;
  return text;
}

void RichTextBinding::applyReadOnly(bool on)
{
  m_edit->setReadOnly(on);
}

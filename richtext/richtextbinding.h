#pragma once
#include "platform/dataset/dataset.h"
#include "platform/dataset/fieldbinding.h"

#include <QString>

class QTextEdit;

// Ties a rich-text editor to a memo field that holds RTF, as a data-aware rich
// edit does: the editor shows the current row's text (plain text fields are
// shown as plain text), and every user change - typing or formatting - puts
// the row into edit state and hands the RTF to the row buffer. Posting is the
// caller's business.
//
// An editor left without any visible text stores an empty field, so that
// nothing counts the field as filled (the invoice prints its region only for a
// non-blank text).
class RichTextBinding : public FieldBinding {
  Q_OBJECT
public:
  RichTextBinding(Dataset *ds, const QString &field, QTextEdit *edit);

protected:
  void load(const QVariant &value, bool active) override;
  QVariant widgetValue() const override;
  void applyReadOnly(bool on) override;

private:
  QTextEdit *m_edit;
  // The field text the editor currently reflects; reloading the same text
  // keeps caret, selection and undo history.
  mutable QString m_shown;
  mutable bool m_hasShown = false;
};

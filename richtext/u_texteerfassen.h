#pragma once
#include <QDialog>
#include <QPointer>
#include <QString>

class Dataset;
class QPushButton;
class QTextEdit;
class RichTextBinding;
class TRichTextToolbar;

// The text entry dialog: edits the additional rich text of the current
// invoice position in place. The caller binds the editor to its dataset
// before each showing; typing and formatting edit the row's field directly
// (the row goes into edit state), and both buttons just close the dialog -
// nothing is discarded, posting the row stays with the caller.
//
// Components: rt_text (editor), the formatting toolbar FormatBar,
// btn_uebergeben, btn_close. Language section "Texterfassen".
class Tfrm_texteerfassen : public QDialog {
  Q_OBJECT
public:
  explicit Tfrm_texteerfassen(QWidget *parent = nullptr);
  ~Tfrm_texteerfassen() override;

  // Binds rt_text to field of ds (the capture's current position); replaces
  // any earlier binding. nullptr unbinds (the editor is then read-only).
  void setDataSource(Dataset *ds, const QString &field = QStringLiteral("Zusatztext1"));
  Dataset *dataSource() const;

  QTextEdit *editor() const { return m_editor; }
  TRichTextToolbar *toolbar() const { return m_toolbar; }

  void done(int result) override;

protected:
  void showEvent(QShowEvent *e) override;

private:
  void storePending();

  QTextEdit *m_editor;
  TRichTextToolbar *m_toolbar;
  QPushButton *m_transfer;
  QPushButton *m_close;
  QPointer<RichTextBinding> m_binding;
  bool m_placed = false;
};

// The one instance, created at start-up (frm_texteerfassen).
extern Tfrm_texteerfassen *frm_texteerfassen;

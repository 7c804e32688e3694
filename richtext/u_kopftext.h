#pragma once
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// The header text dialog: edits the header or the closing text of the invoice
// under capture as plain lines. It works on a copy; only the transfer button
// hands the lines back, through the shared text buffer TextPuffer and the
// not-transferred flag TextNichtUebergeben (app/core/u_global.h).
//
// The caller sets caption and transfer button text each time, puts its lines
// into the editor, empties TextPuffer, sets TextNichtUebergeben and shows the
// dialog modally; afterwards it takes TextPuffer if the flag is clear.
// KopftextBearbeiten() below does exactly that.
//
// Components: me_kopftext (editor), btn_uebergeben, btn_close. Language
// section "Kopftexte".
class Tfrm_kopftext : public QDialog {
  Q_OBJECT
public:
  explicit Tfrm_kopftext(QWidget *parent = nullptr);
  ~Tfrm_kopftext() override;

  void setTransferCaption(const QString &caption);
  // Lines as a memo holds them: one per line, empty lines included.
  void setLines(const QStringList &lines);
  QStringList lines() const;

  QPlainTextEdit *editor() const { return m_editor; }
  QPushButton *transferButton() const { return m_transfer; }

  void done(int result) override;

protected:
  void showEvent(QShowEvent *e) override;

private:
  void transfer();

  QPlainTextEdit *m_editor;
  QPushButton *m_transfer;
  QPushButton *m_close;
  bool m_placed = false;
};

// The one instance, created at start-up (frm_kopftext).
extern Tfrm_kopftext *frm_kopftext;

// Runs the dialog for one text: title and button caption as given, the lines
// to edit in and out. Returns true when the user transferred (lines replaced),
// false when he closed the dialog otherwise (lines as they were).
bool KopftextBearbeiten(Tfrm_kopftext *dialog, QStringList &lines, const QString &caption,
                        const QString &transferCaption);

#pragma once
#include <QColor>
#include <QFrame>
#include <QList>
#include <QMenu>
#include <QString>

#include <functional>

class QActionGroup;
class QButtonGroup;
class QComboBox;
class QSpinBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

// One item of a colour menu: caption and colour. An invalid colour is the
// "Automatic" item (automatic text colour, resp. no background).
struct TColorItem {
  QString caption;
  QColor color;
};

// The 17 items of both colour menus, in menu order.
const QList<TColorItem> &colorMenuItems();

// A colour drop-down menu whose items are drawn with a colour swatch between
// the check mark and the caption.
class TColorMenu : public QMenu {
  Q_OBJECT
public:
  enum class Kind { Text, Background };
  TColorMenu(Kind kind, QWidget *parent = nullptr);

  Kind kind() const { return kind_; }
  // Checks exactly the item whose colour is c (invalid = "Automatic");
  // none when no item bears it.
  void checkColor(const QColor &c);
  QAction *checkedItem() const;

signals:
  void colorChosen(const QColor &c);

protected:
  void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override;
  void paintEvent(QPaintEvent *e) override;
  void changeEvent(QEvent *e) override;

private:
  void build();
  void updateWidth();
  int captionLeft(const QRect &item) const;
  QRect swatchRect(const QRect &item) const;
  int checkMarkWidth() const;

  Kind kind_;
  QActionGroup *group_;
  bool painting_ = false;
};

// The formatting toolbar of a rich-text editor: character styles, text and
// background colour, paragraph alignment, font name and size. It reads
// everything it shows from the editor at each refresh and keeps no state of
// its own beyond the updating flag.
//
// A change applies to the selection; without one, to the word at the caret
// and to what is typed there.
//
// Components (objectName): BoldButton, ItalicButton, UnderlineButton,
// ColorButton (menu ColorMenu), BackgroundButton (menu BackgroundMenu),
// LeftAlign, CenterAlign, RightAlign, FontName, FontSize.
class TRichTextToolbar : public QFrame {
  Q_OBJECT
public:
  // One row; or two: the buttons, then font name and size.
  enum class Rows { One, Two };

  // Alignment values carried by the alignment buttons.
  enum AlignValue { AlignLeftValue = 0, AlignRightValue = 1, AlignCenterValue = 2 };

  // Largest size in points the editor is given; a rich edit takes no more.
  static constexpr int kMaxAppliedPointSize = 1638;

  explicit TRichTextToolbar(QTextEdit *editor, Rows rows = Rows::One, QWidget *parent = nullptr);

  QTextEdit *editor() const { return editor_; }
  bool isUpdating() const { return updating_; }

  QComboBox *fontNameCombo() const { return fontName_; }
  QSpinBox *fontSizeSpin() const { return fontSize_; }
  TColorMenu *colorMenu() const { return colorMenu_; }
  TColorMenu *backgroundMenu() const { return backgroundMenu_; }

public slots:
  // Brings every element up to date from the editor's current text and
  // paragraph, without writing anything back into the text.
  void refresh();

private:
  QToolButton *makeButton(const char *name, const QString &icon, const QString &hint);
  // The current text attributes: the selection's, else those at the caret.
  QTextCharFormat currentFormat() const;
  // Changes the current text attributes: the selection, else the word at the
  // caret and the format for typing.
  void change(const std::function<void(QTextCharFormat &)> &edit);
  void setAlignment(int value);

  QTextEdit *editor_;
  bool updating_ = false;
  QToolButton *bold_, *italic_, *underline_, *color_, *background_;
  QButtonGroup *align_;
  QComboBox *fontName_;
  QSpinBox *fontSize_;
  TColorMenu *colorMenu_, *backgroundMenu_;
};

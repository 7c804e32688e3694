#include "platform/rtf/rtf.h"
#include "richtext/trichtexttoolbar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

const char *const kSample =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil Times New Roman;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 eins zwei drei\\par\r\n"
    "\\b fett\\b0  normal \\cf1 rot\\cf0  \\highlight2 gelb\\highlight0  \\f1\\fs28 gross\\par\r\n}\r\n";

struct Window {
  QWidget w;
  QTextEdit *ed;
  TRichTextToolbar *bar;
  explicit Window(TRichTextToolbar::Rows rows = TRichTextToolbar::Rows::One)
  {
    auto *l = new QVBoxLayout(&w);
    ed = new QTextEdit;
    QFont f("Arial");
    f.setPixelSize(13);
    ed->setFont(f);
    bar = new TRichTextToolbar(ed, rows);
    bar->setObjectName("FormatBar");
    l->addWidget(bar);
    l->addWidget(ed);
    Rtf::read(kSample, ed->document());
    w.resize(600, 300);
    w.show();
  }
  template <class T> T *child(const char *name) { return w.findChild<T *>(name); }
  QToolButton *button(const char *name) { return child<QToolButton>(name); }
  // Caret to a character offset, by keys from the start of the text.
  void caretTo(int pos)
  {
    QTest::keyClick(ed, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < pos; ++i) QTest::keyClick(ed, Qt::Key_Right);
    QCOMPARE(ed->textCursor().position(), pos);
  }
  void select(int from, int len)
  {
    caretTo(from);
    for (int i = 0; i < len; ++i) QTest::keyClick(ed, Qt::Key_Right, Qt::ShiftModifier);
  }
  void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
  QTextCharFormat formatAt(int pos) const
  {
    QTextCursor c(ed->document());
    c.setPosition(pos + 1);
    return c.charFormat();
  }
  bool boldAt(int pos) const { return formatAt(pos).fontWeight() > QFont::Medium; }
  // Opens a colour button's menu with the mouse, hands the open menu to
  // inspect and closes it by clicking the item captioned choose (or Escape).
  void withMenu(const char *buttonName, const std::function<void(TColorMenu *)> &inspect, const QString &choose = {})
  {
    auto *menu = static_cast<TColorMenu *>(button(buttonName)->menu());
    QTimer::singleShot(0, menu, [=] {
      inspect(menu);
      QAction *target = nullptr;
      for (QAction *a : menu->actions())
        if (a->text() == choose) target = a;
      if (target)
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(target).center());
      else
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    QTest::mouseClick(button(buttonName), Qt::LeftButton);
  }
};

int offsetOf(const QTextEdit *ed, const QString &word)
{
  return int(ed->document()->toPlainText().indexOf(word));
}

} // namespace

class TestRichTextToolbar : public QObject {
  Q_OBJECT
private slots:
  void init()
  {
    win_ = std::make_unique<Window>();
    QVERIFY(QTest::qWaitForWindowExposed(&win_->w));
    win_->ed->setFocus();
  }
  void cleanup() { win_.reset(); }

  void elementsAndHints()
  {
    struct E { const char *name; QString tip; } elements[] = {
        {"BoldButton", "Bold"}, {"ItalicButton", "Italic"}, {"UnderlineButton", "Underline"},
        {"ColorButton", "Farbe"}, {"BackgroundButton", "Hintergrund"}, {"LeftAlign", "Align Left"},
        {"CenterAlign", "Center"}, {"RightAlign", "Align Right"}};
    for (const E &e : elements) {
      QToolButton *b = win_->button(e.name);
      QVERIFY2(b, e.name);
      QCOMPARE(b->toolTip(), e.tip);
      QVERIFY(!b->icon().isNull());
      QCOMPARE(b->height(), 23);
    }
    QCOMPARE(win_->button("ColorButton")->statusTip(), QString::fromUtf8("färbt die Selektion ein"));
    QCOMPARE(win_->button("LeftAlign")->property("alignment").toInt(), 0);
    QCOMPARE(win_->button("CenterAlign")->property("alignment").toInt(), 2);
    QCOMPARE(win_->button("RightAlign")->property("alignment").toInt(), 1);
    auto *size = win_->child<QSpinBox>("FontSize");
    QCOMPARE(size->minimum(), 1);
    QCOMPARE(size->maximum(), 2147483647);
    auto *name = win_->child<QComboBox>("FontName");
    QVERIFY(name->isEditable());
    QVERIFY(name->count() > 0);

    for (const char *menuName : {"ColorMenu", "BackgroundMenu"}) {
      auto *menu = win_->child<TColorMenu>(menuName);
      QVERIFY(menu);
      QStringList captions;
      QList<QRgb> colours;
      for (QAction *a : menu->actions()) {
        captions << a->text();
        QVERIFY(a->isCheckable());
        const QColor c = a->data().value<QColor>();
        if (c.isValid()) colours << c.rgb();
      }
      QCOMPARE(captions, (QStringList{"Black", "Maroon", "Green", "Olive", "Navy", "Purple", "Teal", "Gray", "Silver",
                                      "Red", "Lime", "Yellow", "Blue", "Fuchsia", "Aqua", "White", "Automatic"}));
      QCOMPARE(colours, (QList<QRgb>{0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080,
                                     0xff808080, 0xffc0c0c0, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff,
                                     0xffff00ff, 0xff00ffff, 0xffffffff}));
    }
  }

  void emptyEditorShowsItsFont()
  {
    QTextEdit ed;
    QFont f("Arial");
    f.setPixelSize(13);  // 9.75 pt at 96 dpi, shown as 10
    ed.setFont(f);
    TRichTextToolbar bar(&ed);
    QCOMPARE(bar.fontNameCombo()->currentText(), QString("Arial"));
    QCOMPARE(bar.fontSizeSpin()->value(), 10);
    QVERIFY(!bar.findChild<QToolButton *>("BoldButton")->isChecked());
    QVERIFY(bar.findChild<QToolButton *>("LeftAlign")->isChecked());
  }

  void boldAppliesToSelectionOnly()
  {
    Window &w = *win_;
    const int zwei = offsetOf(w.ed, "zwei");
    w.select(zwei, 4);
    w.click("BoldButton");
    QVERIFY(w.button("BoldButton")->isChecked());
    for (int i = 0; i < 14; ++i) QCOMPARE(w.boldAt(i), i >= zwei && i < zwei + 4);
  }

  void boldWithoutSelectionTakesWordAtCaret()
  {
    Window &w = *win_;
    const int drei = offsetOf(w.ed, "drei");
    w.caretTo(drei + 2);
    w.click("BoldButton");
    for (int i = 0; i < 14; ++i) QCOMPARE(w.boldAt(i), i >= drei);
    // and text typed there continues bold
    QTest::keyClicks(w.ed, "xy");
    QVERIFY(w.boldAt(drei + 2));
    QVERIFY(w.boldAt(drei + 3));
    // pressing again takes it off the whole word, italic and the rest untouched
    w.click("ItalicButton");
    w.click("BoldButton");
    for (int i = drei; i < drei + 6; ++i) {
      QVERIFY(!w.boldAt(i));
      QVERIFY(w.formatAt(i).fontItalic());
    }
    QVERIFY(!w.formatAt(0).fontItalic());
  }

  void refreshDoesNotWriteBack()
  {
    Window &w = *win_;
    const QString before = Rtf::write(w.ed->document());
    w.ed->document()->setModified(false);
    const int fett = offsetOf(w.ed, "fett");
    w.caretTo(fett + 2);
    QVERIFY(w.button("BoldButton")->isChecked());
    QCOMPARE(w.child<QSpinBox>("FontSize")->value(), 10);
    const int gross = offsetOf(w.ed, "gross");
    for (int i = fett + 2; i < gross + 2; ++i) QTest::keyClick(w.ed, Qt::Key_Right);
    QVERIFY(!w.button("BoldButton")->isChecked());  // popped up by moving into plain text
    QCOMPARE(w.child<QSpinBox>("FontSize")->value(), 14);
    QCOMPARE(w.child<QComboBox>("FontName")->currentText(), QString("Times New Roman"));
    // selecting backwards over mixed text, then moving around between paragraphs
    for (int i = 0; i < 8; ++i) QTest::keyClick(w.ed, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(w.ed, Qt::Key_Up);
    QTest::keyClick(w.ed, Qt::Key_End);
    QVERIFY(!w.ed->document()->isModified());
    QCOMPARE(Rtf::write(w.ed->document()), before);
    QVERIFY(!w.bar->isUpdating());
  }

  void colourMenuFollowsCaret()
  {
    Window &w = *win_;
    w.caretTo(2);
    QString checked;
    w.withMenu("ColorButton", [&](TColorMenu *m) { checked = m->checkedItem() ? m->checkedItem()->text() : "-"; });
    QCOMPARE(checked, QString("Automatic"));
    w.caretTo(offsetOf(w.ed, "rot") + 1);
    w.withMenu("ColorButton", [&](TColorMenu *m) { checked = m->checkedItem() ? m->checkedItem()->text() : "-"; });
    QCOMPARE(checked, QString("Red"));
    w.caretTo(offsetOf(w.ed, "gelb") + 1);
    w.withMenu("BackgroundButton", [&](TColorMenu *m) { checked = m->checkedItem() ? m->checkedItem()->text() : "-"; });
    QCOMPARE(checked, QString("Yellow"));
    w.caretTo(1);
    w.withMenu("BackgroundButton", [&](TColorMenu *m) { checked = m->checkedItem() ? m->checkedItem()->text() : "-"; });
    QCOMPARE(checked, QString("Automatic"));
  }

  void choosingColours()
  {
    Window &w = *win_;
    w.select(0, 4);  // "eins"
    w.withMenu("ColorButton", [](TColorMenu *) {}, "Navy");
    QCOMPARE(w.formatAt(0).foreground().color(), QColor(0, 0, 128));
    QCOMPARE(w.formatAt(3).foreground().color(), QColor(0, 0, 128));
    QCOMPARE(w.formatAt(4).foreground().style(), Qt::NoBrush);
    QString checked;
    w.withMenu("ColorButton", [&](TColorMenu *m) { checked = m->checkedItem()->text(); });
    QCOMPARE(checked, QString("Navy"));

    // "Automatic" in the background menu removes the background from the selection
    const int gelb = offsetOf(w.ed, "gelb");
    w.select(gelb - 1, 6);
    w.withMenu("BackgroundButton", [](TColorMenu *) {}, "Automatic");
    for (int i = gelb - 1; i < gelb + 5; ++i) QCOMPARE(w.formatAt(i).background().style(), Qt::NoBrush);
    // and keeps every other attribute
    QCOMPARE(w.formatAt(gelb).fontFamilies().toStringList(), QStringList{"Arial"});
    // automatic text colour on red text
    const int rot = offsetOf(w.ed, "rot");
    w.caretTo(rot + 1);
    w.withMenu("ColorButton", [](TColorMenu *) {}, "Automatic");
    for (int i = rot; i < rot + 3; ++i) QCOMPARE(w.formatAt(i).foreground().style(), Qt::NoBrush);
    // the codec writes what the menus set
    QTextDocument back;
    Rtf::read(Rtf::write(w.ed->document()), &back);
    QCOMPARE(back.toPlainText(), w.ed->document()->toPlainText());
  }

  void fontSize()
  {
    Window &w = *win_;
    auto *spin = w.child<QSpinBox>("FontSize");
    const int zwei = offsetOf(w.ed, "zwei");
    w.select(zwei, 4);
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, "18");
    QCOMPARE(w.formatAt(zwei).fontPointSize(), 18.0);
    QCOMPARE(w.formatAt(zwei + 3).fontPointSize(), 18.0);
    QCOMPARE(w.formatAt(0).fontPointSize(), 10.0);
    // typing 0 leaves the size as it was
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, "0");
    QTest::keyClick(spin, Qt::Key_Tab);
    QCOMPARE(w.formatAt(zwei).fontPointSize(), 18.0);
    QCOMPARE(spin->value(), 18);
    // an enormous size is accepted but given to the editor at its largest
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, "2147483647");
    QCOMPARE(w.formatAt(zwei).fontPointSize(), double(TRichTextToolbar::kMaxAppliedPointSize));
  }

  void fontName()
  {
    Window &w = *win_;
    auto *combo = w.child<QComboBox>("FontName");
    w.caretTo(1);
    QCOMPARE(combo->currentText(), QString("Arial"));
    w.select(0, 4);
    combo->setFocus();
    QTest::keyClick(combo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(combo->lineEdit(), "Kein Font XY");
    QCOMPARE(w.formatAt(0).fontFamilies().toStringList(), QStringList{"Kein Font XY"});
    QCOMPARE(w.formatAt(5).fontFamilies().toStringList(), QStringList{"Arial"});
    // an installed font chosen from the list
    const int idx = combo->findText("DejaVu Sans");
    QVERIFY(idx >= 0);
    combo->setCurrentIndex(idx);
    QCOMPARE(w.formatAt(2).fontFamilies().toStringList(), QStringList{"DejaVu Sans"});
  }

  void alignment()
  {
    Window &w = *win_;
    const int fett = offsetOf(w.ed, "fett");
    w.caretTo(fett);
    QVERIFY(w.button("LeftAlign")->isChecked());
    w.click("CenterAlign");
    QCOMPARE(w.ed->document()->findBlock(fett).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(w.ed->document()->firstBlock().blockFormat().alignment() & Qt::AlignHCenter, Qt::Alignment{});
    w.click("RightAlign");
    QVERIFY(w.ed->document()->findBlock(fett).blockFormat().alignment() & Qt::AlignRight);
    w.caretTo(1);
    QVERIFY(w.button("LeftAlign")->isChecked());
    QTest::keyClick(w.ed, Qt::Key_Down);
    QVERIFY(w.button("RightAlign")->isChecked());
    QVERIFY(!w.button("CenterAlign")->isChecked());
  }

  void twoRows()
  {
    Window two(TRichTextToolbar::Rows::Two);
    QVERIFY(QTest::qWaitForWindowExposed(&two.w));
    auto *bold = two.button("BoldButton");
    auto *name = two.child<QComboBox>("FontName");
    QVERIFY(name->mapTo(&two.w, QPoint()).y() >= bold->mapTo(&two.w, QPoint()).y() + bold->height());
    QCOMPARE(bold->mapTo(two.bar, QPoint()), QPoint(3, 3));
    auto *one = win_->child<QComboBox>("FontName");
    QCOMPARE(one->mapTo(&win_->w, QPoint()).y() < win_->button("BoldButton")->mapTo(&win_->w, QPoint()).y() + 23, true);
  }

private:
  std::unique_ptr<Window> win_;
};

QTEST_MAIN(TestRichTextToolbar)
#include "tst_richtexttoolbar.moc"

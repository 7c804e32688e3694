#include "richtext/trichtexttoolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QSpinBox>
#include <QStyleOptionMenuItem>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

static void initRichTextResources()
{
  Q_INIT_RESOURCE(richtext);
}

namespace {

// Colours as the colour names of the toolkit give them ($BBGGRR).
QColor fromTColor(unsigned v)
{
  return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

constexpr int kButtonWidth = 24;
constexpr int kButtonHeight = 23;
constexpr int kBarMargin = 3;
constexpr int kSwatchWidth = 20;
constexpr int kSwatchGap = 6;
constexpr int kMinTextOffset = 20;

QColor foregroundOf(const QTextCharFormat &f)
{
  return f.foreground().style() == Qt::NoBrush ? QColor() : f.foreground().color().toRgb();
}

QColor backgroundOf(const QTextCharFormat &f)
{
  return f.background().style() == Qt::NoBrush ? QColor() : f.background().color().toRgb();
}

} // namespace

const QList<TColorItem> &colorMenuItems()
{
  static const QList<TColorItem> items{
      {QStringLiteral("Black"), fromTColor(0x000000)},   {QStringLiteral("Maroon"), fromTColor(0x000080)},
      {QStringLiteral("Green"), fromTColor(0x008000)},   {QStringLiteral("Olive"), fromTColor(0x008080)},
      {QStringLiteral("Navy"), fromTColor(0x800000)},    {QStringLiteral("Purple"), fromTColor(0x800080)},
      {QStringLiteral("Teal"), fromTColor(0x808000)},    {QStringLiteral("Gray"), fromTColor(0x808080)},
      {QStringLiteral("Silver"), fromTColor(0xC0C0C0)},  {QStringLiteral("Red"), fromTColor(0x0000FF)},
      {QStringLiteral("Lime"), fromTColor(0x00FF00)},    {QStringLiteral("Yellow"), fromTColor(0x00FFFF)},
      {QStringLiteral("Blue"), fromTColor(0xFF0000)},    {QStringLiteral("Fuchsia"), fromTColor(0xFF00FF)},
      {QStringLiteral("Aqua"), fromTColor(0xFFFF00)},    {QStringLiteral("White"), fromTColor(0xFFFFFF)},
      {QStringLiteral("Automatic"), QColor()},
  };
  return items;
}

// --- TColorMenu ---------------------------------------------------------------

TColorMenu::TColorMenu(Kind kind, QWidget *parent) : QMenu(parent), kind_(kind), group_(new QActionGroup(this))
{
  group_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  build();
}

void TColorMenu::build()
{
  // Rebuilding starts from an empty menu.
  for (QAction *a : actions()) {
    removeAction(a);
    group_->removeAction(a);
    a->deleteLater();
  }
  for (const TColorItem &item : colorMenuItems()) {
    QAction *a = addAction(item.caption);
    a->setCheckable(true);
    a->setData(item.color);
    group_->addAction(a);
    connect(a, &QAction::triggered, this, [this, a] {
      a->setChecked(true);
      emit colorChosen(a->data().value<QColor>());
    });
  }
  updateWidth();
}

void TColorMenu::checkColor(const QColor &c)
{
  const QColor want = c.isValid() ? c.toRgb() : QColor();
  for (QAction *a : actions()) {
    const QColor own = a->data().value<QColor>();
    a->setChecked(own.isValid() == want.isValid() && (!own.isValid() || own.rgb() == want.rgb()));
  }
}

QAction *TColorMenu::checkedItem() const
{
  return group_->checkedAction();
}

int TColorMenu::checkMarkWidth() const
{
  // The check mark's column: the style's indicator plus the item's inner margin.
  return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
         style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, this) + 8;
}

QRect TColorMenu::swatchRect(const QRect &item) const
{
  return QRect(item.left() + kSwatchGap + checkMarkWidth(), item.top() + 3, kSwatchWidth, item.height() - 6);
}

void TColorMenu::initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const
{
  QMenu::initStyleOption(option, action);
  // While painting, the style draws the item without its caption; the
  // caption follows the swatch (see paintEvent).
  if (painting_) option->text.clear();
}

int TColorMenu::captionLeft(const QRect &item) const
{
  return swatchRect(item).right() + 1 + kSwatchGap;
}

void TColorMenu::updateWidth()
{
  const QFontMetrics fm(font());
  int text = 0;
  for (QAction *a : actions()) text = qMax(text, fm.horizontalAdvance(a->text()));
  const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this) +
                    style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, this);
  setMinimumWidth(2 * frame + kSwatchGap + checkMarkWidth() + kSwatchWidth +
                  qMax(kSwatchGap, kMinTextOffset - kSwatchWidth) + text + 24);
}

void TColorMenu::changeEvent(QEvent *e)
{
  QMenu::changeEvent(e);
  if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) updateWidth();
}

void TColorMenu::paintEvent(QPaintEvent *e)
{
  painting_ = true;
  QMenu::paintEvent(e);
  painting_ = false;

  QPainter p(this);
  const QColor outline = palette().color(QPalette::Active, QPalette::Text);
  const QColor automatic =
      kind_ == Kind::Text ? palette().color(QPalette::Text) : palette().color(QPalette::Base);
  for (QAction *a : actions()) {
    const QRect item = actionGeometry(a);
    if (!item.intersects(e->rect()) || item.height() < 8) continue;
    const QRect sw = swatchRect(item);
    const QColor c = a->data().value<QColor>();
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(sw.adjusted(0, 0, -1, -1));
    p.fillRect(sw.adjusted(1, 1, -1, -1), c.isValid() ? c : automatic);
    p.setPen(palette().color(a == activeAction() ? QPalette::HighlightedText : QPalette::Text));
    const QRect text(captionLeft(item), item.top(), item.right() - captionLeft(item), item.height());
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, a->text());
  }
}

// --- TRichTextToolbar ---------------------------------------------------------

TRichTextToolbar::TRichTextToolbar(QTextEdit *editor, Rows rows, QWidget *parent)
    : QFrame(parent), editor_(editor)
{
  initRichTextResources();
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, fromTColor(0x808080));  // clGray
  pal.setColor(QPalette::Button, fromTColor(0x808080).lighter(125));
  setPalette(pal);

  bold_ = makeButton("BoldButton", "bold", QStringLiteral("Bold"));
  italic_ = makeButton("ItalicButton", "italic", QStringLiteral("Italic"));
  underline_ = makeButton("UnderlineButton", "underline", QStringLiteral("Underline"));
  for (QToolButton *b : {bold_, italic_, underline_}) b->setCheckable(true);

  color_ = makeButton("ColorButton", "textcolor", QStringLiteral("Farbe|färbt die Selektion ein"));
  background_ = makeButton("BackgroundButton", "background", QStringLiteral("Hintergrund|"));
  colorMenu_ = new TColorMenu(TColorMenu::Kind::Text, this);
  colorMenu_->setObjectName(QStringLiteral("ColorMenu"));
  backgroundMenu_ = new TColorMenu(TColorMenu::Kind::Background, this);
  backgroundMenu_->setObjectName(QStringLiteral("BackgroundMenu"));
  for (auto [button, menu] : {std::pair{color_, colorMenu_}, std::pair{background_, backgroundMenu_}}) {
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setFixedWidth(kButtonWidth + 8);  // room for the drop-down arrow
  }

  QToolButton *left = makeButton("LeftAlign", "alignleft", QStringLiteral("Align Left"));
  QToolButton *center = makeButton("CenterAlign", "aligncenter", QStringLiteral("Center"));
  QToolButton *right = makeButton("RightAlign", "alignright", QStringLiteral("Align Right"));
  align_ = new QButtonGroup(this);
  align_->setExclusive(true);
  for (auto [b, v] : {std::pair{left, int(AlignLeftValue)}, std::pair{center, int(AlignCenterValue)},
                      std::pair{right, int(AlignRightValue)}}) {
    b->setCheckable(true);
    b->setProperty("alignment", v);
    align_->addButton(b, v);
  }
  left->setChecked(true);

  fontName_ = new QComboBox(this);
  fontName_->setObjectName(QStringLiteral("FontName"));
  fontName_->setEditable(true);
  fontName_->setInsertPolicy(QComboBox::NoInsert);
  fontName_->addItems(QFontDatabase::families());
  fontName_->setCurrentText(QStringLiteral("Arial"));
  fontName_->setMinimumContentsLength(14);
  fontName_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  fontName_->setAutoFillBackground(true);

  fontSize_ = new QSpinBox(this);
  fontSize_->setObjectName(QStringLiteral("FontSize"));
  fontSize_->setRange(1, INT_MAX);
  fontSize_->setValue(10);
  fontSize_->setFixedWidth(64);
  fontSize_->setAutoFillBackground(true);
  for (QWidget *w : {static_cast<QWidget *>(fontName_), static_cast<QWidget *>(fontSize_)}) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    p.setColor(QPalette::Button, QApplication::palette().color(QPalette::Button));
    w->setPalette(p);
  }

  auto group = [](std::initializer_list<QWidget *> ws) {
    auto *l = new QHBoxLayout;
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(1);
    for (QWidget *w : ws) l->addWidget(w);
    return l;
  };
  auto *buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->setSpacing(8);
  buttons->addLayout(group({bold_, italic_, underline_}));
  buttons->addLayout(group({color_, background_}));
  buttons->addLayout(group({left, center, right}));
  auto *fonts = new QHBoxLayout;
  fonts->setContentsMargins(0, 0, 0, 0);
  fonts->setSpacing(4);
  fonts->addWidget(fontName_);
  fonts->addWidget(fontSize_);
  if (rows == Rows::One) {
    auto *l = new QHBoxLayout(this);
    l->setContentsMargins(kBarMargin, kBarMargin, kBarMargin, kBarMargin);
    l->setSpacing(8);
    l->addLayout(buttons);
    l->addLayout(fonts);
    l->addStretch(1);
  } else {
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(kBarMargin, kBarMargin, kBarMargin, kBarMargin);
    l->setSpacing(kBarMargin);
    buttons->addStretch(1);
    fonts->addStretch(1);
    l->addLayout(buttons);
    l->addLayout(fonts);
  }
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  // Actions: each does nothing while the toolbar is being brought up to date.
  auto styleToggle = [this](QToolButton *b, void (*set)(QTextCharFormat &, bool)) {
    connect(b, &QToolButton::toggled, this, [this, set](bool down) {
      if (updating_) return;
      change([&](QTextCharFormat &f) { set(f, down); });
    });
  };
  styleToggle(bold_, [](QTextCharFormat &f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
  styleToggle(italic_, [](QTextCharFormat &f, bool on) { f.setFontItalic(on); });
  styleToggle(underline_, [](QTextCharFormat &f, bool on) { f.setFontUnderline(on); });

  connect(align_, &QButtonGroup::idClicked, this, [this](int value) {
    if (!updating_) setAlignment(value);
  });
  connect(fontName_, &QComboBox::currentTextChanged, this, [this](const QString &name) {
    if (updating_) return;
    change([&](QTextCharFormat &f) { f.setFontFamilies(QStringList{name}); });
  });
  connect(fontSize_, &QSpinBox::valueChanged, this, [this](int size) {
    if (updating_ || size <= 0) return;
    const int pt = qMin(size, kMaxAppliedPointSize);
    change([&](QTextCharFormat &f) { f.setFontPointSize(pt); });
  });

  connect(colorMenu_, &QMenu::aboutToShow, this, [this] { colorMenu_->checkColor(foregroundOf(currentFormat())); });
  connect(backgroundMenu_, &QMenu::aboutToShow, this,
          [this] { backgroundMenu_->checkColor(backgroundOf(currentFormat())); });
  connect(colorMenu_, &TColorMenu::colorChosen, this, [this](const QColor &c) {
    if (updating_) return;
    change([&](QTextCharFormat &f) {
      if (c.isValid())
        f.setForeground(c);
      else
        f.clearForeground();
    });
  });
  connect(backgroundMenu_, &TColorMenu::colorChosen, this, [this](const QColor &c) {
    if (updating_) return;
    change([&](QTextCharFormat &f) {
      if (c.isValid())
        f.setBackground(c);
      else
        f.clearBackground();
    });
  });

  connect(editor_, &QTextEdit::cursorPositionChanged, this, &TRichTextToolbar::refresh);
  connect(editor_, &QTextEdit::selectionChanged, this, &TRichTextToolbar::refresh);
  connect(editor_, &QTextEdit::currentCharFormatChanged, this, &TRichTextToolbar::refresh);
  refresh();
}

QToolButton *TRichTextToolbar::makeButton(const char *name, const QString &icon, const QString &hint)
{
  auto *b = new QToolButton(this);
  b->setObjectName(QLatin1String(name));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);  // the editor keeps the focus and its selection
  b->setFixedSize(kButtonWidth, kButtonHeight);
  b->setIconSize(QSize(16, 16));
  b->setIcon(QIcon(QStringLiteral(":/richtext/icons/%1.svg").arg(icon)));
  // "short|long": the short part is the tool tip, the long one the status tip.
  const qsizetype bar = hint.indexOf(u'|');
  b->setToolTip(bar < 0 ? hint : hint.left(bar));
  b->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
  b->setAccessibleName(b->toolTip());
  return b;
}

QTextCharFormat TRichTextToolbar::currentFormat() const
{
  const QTextCursor c = editor_->textCursor();
  if (c.hasSelection()) {
    // A rich edit reports the first selected character.
    QTextCursor first(editor_->document());
    first.setPosition(c.selectionStart() + 1);
    return first.charFormat();
  }
  return editor_->currentCharFormat();
}

void TRichTextToolbar::change(const std::function<void(QTextCharFormat &)> &edit)
{
  QTextDocument *doc = editor_->document();
  QTextCursor target = editor_->textCursor();
  const bool selection = target.hasSelection();
  if (!selection) target.select(QTextCursor::WordUnderCursor);

  if (target.hasSelection()) {
    // Each stretch of equal format is changed on its own so that removing a
    // property (automatic colour) keeps every other attribute of the text.
    const int start = target.selectionStart(), end = target.selectionEnd();
    struct Piece { int from, to; QTextCharFormat fmt; };
    QList<Piece> pieces;
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const int from = qMax(start, frag.position()), to = qMin(end, frag.position() + frag.length());
        if (from < to) pieces.append({from, to, frag.charFormat()});
      }
    }
    QTextCursor c(doc);
    c.beginEditBlock();
    for (Piece &p : pieces) {
      edit(p.fmt);
      c.setPosition(p.from);
      c.setPosition(p.to, QTextCursor::KeepAnchor);
      c.setCharFormat(p.fmt);
    }
    c.endEditBlock();
  }
  if (!selection) {
    QTextCharFormat typing = editor_->currentCharFormat();
    edit(typing);
    editor_->setCurrentCharFormat(typing);
  }
}

void TRichTextToolbar::setAlignment(int value)
{
  switch (value) {
  case AlignLeftValue: editor_->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
  case AlignRightValue: editor_->setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
  case AlignCenterValue: editor_->setAlignment(Qt::AlignHCenter); break;
  default: break;
  }
}

void TRichTextToolbar::refresh()
{
  updating_ = true;
  struct Reset {
    bool &flag;
    ~Reset() { flag = false; }
  } reset{updating_};

  const QTextCharFormat f = currentFormat();
  bold_->setChecked(f.fontWeight() > QFont::Medium);
  italic_->setChecked(f.fontItalic());
  underline_->setChecked(f.fontUnderline());

  const QFont base = editor_->document()->defaultFont();
  double points;
  if (f.hasProperty(QTextFormat::FontPointSize))
    points = f.fontPointSize();
  else if (f.hasProperty(QTextFormat::FontPixelSize))
    points = f.intProperty(QTextFormat::FontPixelSize) * 72.0 / editor_->logicalDpiY();
  else if (base.pointSizeF() > 0)
    points = base.pointSizeF();
  else
    points = base.pixelSize() * 72.0 / editor_->logicalDpiY();
  fontSize_->setValue(qMax(1, int(std::lround(points))));

  const QStringList families = f.fontFamilies().toStringList();
  fontName_->setCurrentText(families.isEmpty() || families.first().isEmpty() ? base.family() : families.first());

  const Qt::Alignment a =
      editor_->textCursor().blockFormat().alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
  int value = -1;
  if (a == 0 || a == Qt::AlignLeft || a == Qt::AlignLeading) value = AlignLeftValue;
  else if (a == Qt::AlignRight || a == Qt::AlignTrailing) value = AlignRightValue;
  else if (a == Qt::AlignHCenter) value = AlignCenterValue;
  if (value >= 0) align_->button(value)->setChecked(true);
}

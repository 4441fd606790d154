#include "qt/ButtonView.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "qt/ModelPanel.h"
#include "qt/ViewSync.h"

namespace trovel::qt {
namespace {

QPixmap ToPixmap(const Picture& picture) {
  QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const int index = picture.PaletteIndex(x, y);
      image.setPixel(x, y, index == Picture::kTransparent ? 0u : 0xFF000000u | Picture::Palette()[index]);
    }
  return QPixmap::fromImage(image);
}

bool IsGraphical(const CommandButton& button) {
  return button.Style() == ButtonStyle::Graphical && button.GetPicture();
}

}  // namespace

ButtonView::ButtonView(QtHost& host, CommandButton& model, QWidget* parent)
    : QPushButton(parent), host_(host), model_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setAutoDefault(false);
  host_.AttachView(&model_, this);
  model_.onChanged = [this] { Sync(); };
  connect(this, &QPushButton::clicked, this, [this] { Click(); });
  Sync();
}

ButtonView::~ButtonView() {
  model_.onChanged = nullptr;
  host_.DetachView(&model_);
}

void ButtonView::Sync() {
  SyncCommon(host_, this, model_, false);
  setText(QString::fromStdString(model_.Caption()));
  // Named by its caption, unless the model gives it a tooltip of its own.
  const QString name =
      model_.ToolTipText().empty() ? WithoutAccessKey(text()) : QString::fromStdString(model_.ToolTipText());
  ShowNames(this, name, name);
  if (model_.GetPicture().get() != shown_picture_) {
    shown_picture_ = model_.GetPicture().get();
    setIcon(shown_picture_ ? QIcon(ToPixmap(*shown_picture_)) : QIcon());
  }
  update();
}

void ButtonView::paintEvent(QPaintEvent* e) {
  if (!IsGraphical(model_)) {
    QPushButton::paintEvent(e);
    return;
  }
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButtonBevel, option);
  const QSize picture_size(model_.GetPicture()->Width(), model_.GetPicture()->Height());
  const int gap = 2;
  const int text_height = fontMetrics().height();
  const int top = std::max(0, (height() - picture_size.height() - gap - text_height) / 2);
  const QPixmap pixmap = icon().pixmap(picture_size, isEnabled() ? QIcon::Normal : QIcon::Disabled);
  painter.drawPixmap((width() - picture_size.width()) / 2, top, pixmap);
  const QRect caption(0, top + picture_size.height() + gap, width(), text_height);
  painter.drawItemText(caption, Qt::AlignHCenter | Qt::TextShowMnemonic, palette(), isEnabled(), text(),
                       QPalette::ButtonText);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(3, 3, -3, -3);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

void ButtonView::Click() {
  // The click handler may raise an event whose form deletes this view.
  host_.Guarded(this, [this] { model_.Click(); });
}

ButtonView* ButtonView::AccessKeyTarget() const {
  const QKeySequence key = QKeySequence::mnemonic(text());
  auto pressable = [&key](const QWidget* panel) -> ButtonView* {
    for (ButtonView* b : panel->findChildren<ButtonView*>(QString(), Qt::FindDirectChildrenOnly))
      if (QKeySequence::mnemonic(b->text()) == key && b->isVisible() && b->isEnabled()) return b;
    return nullptr;
  };
  // The control holding the focus answers alone, also with nothing to press.
  for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
    if (qobject_cast<const ModelPanel*>(w)) return w->window() == window() ? pressable(w) : nullptr;
  QWidget* form = window();
  for (QWidget* w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain())
    if (qobject_cast<ModelPanel*>(w))
      if (ButtonView* b = pressable(w)) return b;
  return nullptr;
}

void ButtonView::Press() {
  // An access key moves the focus to the button first, as a click does.
  try {
    host_.SetFocus(&model_);
  } catch (const std::exception&) {
    return;
  }
  Click();
}

bool ButtonView::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    if (ButtonView* target = AccessKeyTarget()) target->Press();
    return true;
  }
  if (HandleTab(host_, this, e)) return true;
  if (e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) {
      Click();
      return true;
    }
  }
  return QPushButton::event(e);
}

}  // namespace trovel::qt

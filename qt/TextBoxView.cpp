#include "qt/TextBoxView.h"

#include <QKeyEvent>

#include "qt/KeyTranslation.h"
#include "qt/ViewSync.h"

namespace trovel::qt {

TextBoxView::TextBoxView(QtHost& host, TextBox& model, QWidget* parent)
    : QLineEdit(parent), host_(host), model_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setFrame(true);
  host_.AttachView(&model_, this);
  model_.onChanged = [this] { Sync(); };
  connect(this, &QLineEdit::cursorPositionChanged, this, [this] { FollowView(); });
  connect(this, &QLineEdit::textEdited, this, [this] { FollowView(); });
  Sync();
}

TextBoxView::~TextBoxView() {
  model_.onChanged = nullptr;
  host_.DetachView(&model_);
}

void TextBoxView::Sync() {
  const bool was = syncing_;
  syncing_ = true;
  SyncCommon(host_, this, model_);
  const QString text = QString::fromStdString(model_.Text());
  if (QLineEdit::text() != text) setText(text);
  setCursorPosition(model_.SelStart());
  syncing_ = was;
}

void TextBoxView::FollowView() {
  if (syncing_) return;
  // Read the view before the model's notices re-sync it.
  const std::string text = QLineEdit::text().toStdString();
  const int cursor = cursorPosition();
  if (host_.Guarded(this, [&] {
        model_.SetText(text);
        model_.SetSelStart(cursor);
      }))
    Sync();
}

bool TextBoxView::event(QEvent* e) {
  // Tab belongs to the host's focus chain, not to Qt's.
  if (e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      host_.Guarded(this, [this] { host_.SendTab(); });
      return true;
    }
  }
  return QLineEdit::event(e);
}

void TextBoxView::keyPressEvent(QKeyEvent* e) {
  TranslatedKey k = Translate(e);
  if (!k.character) {
    QLineEdit::keyPressEvent(e);
    return;
  }
  e->accept();
  // Each handler may raise an event whose form deletes this view.
  if (k.key_code && !host_.Guarded(this, [&] { model_.FireKeyDown(k.key_code); })) return;
  int16_t code = *k.character;
  if (!host_.Guarded(this, [&] { model_.FireKeyPress(code); }) || code == 0) return;
  host_.Guarded(this, [&] { model_.ApplyTypedCharacter(code); });
}

}  // namespace trovel::qt

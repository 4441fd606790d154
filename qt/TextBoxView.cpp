#include "qt/TextBoxView.h"

#include <QKeyEvent>
#include <limits>
#include <utility>

#include "qt/KeyTranslation.h"
#include "qt/ViewSync.h"

namespace trovel::qt {
namespace {

bool PairStartsAt(const QString& text, qsizetype i) {
  return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

// The UTF-16 position of the character with 0-based index `chars`.
int Utf16Position(const QString& text, int chars) {
  qsizetype i = 0;
  for (; i < text.size() && chars > 0; ++i, --chars)
    if (PairStartsAt(text, i)) ++i;
  return static_cast<int>(i);
}

// The number of characters before UTF-16 position `units`.
int CharacterPosition(const QString& text, int units) {
  int chars = 0;
  for (qsizetype i = 0; i < units && i < text.size(); ++i, ++chars)
    if (PairStartsAt(text, i)) ++i;
  return chars;
}

}  // namespace

TextBoxView::TextBoxView(QtHost& host, TextBox& model, QWidget* parent)
    : QLineEdit(parent), host_(host), model_(model) {
  setObjectName(QString::fromStdString(model.Name()));
  setFrame(true);
  // MaxLength is the model's; the line's own limit would cut longer texts.
  setMaxLength(std::numeric_limits<int>::max());
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
  ShowText();
  syncing_ = was;
}

void TextBoxView::ShowText() {
  const TextBox::Edit& edit = model_.LastEdit();
  if (model_.Revision() != shown_revision_) {
    if (edit.revision == model_.Revision() && edit.revision == shown_revision_ + 1 && edit.caret == shown_caret_ &&
        !hasSelectedText()) {
      // The line's cursor stands where the model's caret stood: the same
      // edit there leaves both alike, the cursor after it.
      if (edit.codepoint) {
        const char32_t c = static_cast<char32_t>(edit.codepoint);
        insert(QString::fromUcs4(&c, 1));
      } else {
        backspace();
      }
      shown_caret_ = edit.codepoint ? edit.caret + 1 : edit.caret - 1;
    } else {
      const QString text = QString::fromStdString(model_.Text());
      if (QLineEdit::text() != text) setText(text);
      shown_caret_ = -1;
    }
    shown_revision_ = model_.Revision();
  }
  if (model_.SelStart() != shown_caret_) {
    setCursorPosition(Utf16Position(QLineEdit::text(), model_.SelStart()));
    shown_caret_ = model_.SelStart();
  }
}

void TextBoxView::FollowView() {
  if (syncing_) return;
  // Read the view before the model's notices re-sync it.
  const QString shown = QLineEdit::text();
  const std::string text = shown.toStdString();
  const int caret = CharacterPosition(shown, cursorPosition());
  if (host_.Guarded(this, [&] {
        model_.SetText(text);
        model_.SetSelStart(caret);
      }))
    Sync();
}

bool TextBoxView::event(QEvent* e) {
  if (HandleTab(host_, this, e)) return true;
  return QLineEdit::event(e);
}

void TextBoxView::keyPressEvent(QKeyEvent* e) {
  TranslatedKey k = Translate(e);
  // A character beyond U+FFFF may come as two events, a half in each.
  const char16_t high = std::exchange(high_surrogate_, 0);
  if (k.surrogate) {
    e->accept();
    if (QChar::isHighSurrogate(k.surrogate))
      high_surrogate_ = k.surrogate;
    else if (high)
      TypeCharacter(QChar::surrogateToUcs4(high, k.surrogate), 0);
    return;  // a low half alone is no character
  }
  if (k.wide) {
    e->accept();
    TypeCharacter(k.wide, 0);
    return;
  }
  if (!k.character) {
    QLineEdit::keyPressEvent(e);
    return;
  }
  e->accept();
  TypeCharacter(static_cast<uint16_t>(*k.character), k.key_code);
}

void TextBoxView::inputMethodEvent(QInputMethodEvent* e) {
  // Committed text is typed like keys, through the model (without a
  // key-down); the composition still under way is the line's to show.
  if (e->commitString().isEmpty() || e->replacementLength() != 0) return QLineEdit::inputMethodEvent(e);
  e->accept();
  for (char32_t c : WholeCharacters(e->commitString()))
    if (c >= 32 && !TypeCharacter(c, 0)) return;
  QInputMethodEvent rest(e->preeditString(), e->attributes());
  QLineEdit::inputMethodEvent(&rest);
}

bool TextBoxView::TypeCharacter(char32_t c, int16_t key_code) {
  // Each handler may raise an event whose form deletes this view.
  if (c > 0xFFFF) return host_.Guarded(this, [&] { model_.TypeWideCharacter(static_cast<int32_t>(c)); });
  if (key_code && !host_.Guarded(this, [&] { model_.FireKeyDown(key_code); })) return false;
  int16_t code = static_cast<int16_t>(c);
  if (!host_.Guarded(this, [&] { model_.FireKeyPress(code); })) return false;
  return code == 0 || host_.Guarded(this, [&] { model_.ApplyTypedCharacter(code); });
}

}  // namespace trovel::qt

#include "qt/TextBoxView.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <functional>
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
  connect(this, &QLineEdit::selectionChanged, this, [this] { FollowView(); });
  connect(this, &QLineEdit::textEdited, this, [this] { FollowView(); });
  Sync();
}

TextBoxView::~TextBoxView() {
  model_.onChanged = nullptr;
  host_.DetachView(&model_);
}

void TextBoxView::Sync() {
  // FollowView syncs once the model has the whole of the line.
  if (following_) return;
  const bool was = syncing_;
  syncing_ = true;
  SyncCommon(host_, this, model_);
  ShowText();
  ShowSelection();
  syncing_ = was;
}

void TextBoxView::ShowText() {
  if (model_.Revision() == shown_revision_) return;
  const TextBox::Edit& edit = model_.LastEdit();
  if (edit.revision == model_.Revision() && edit.revision == shown_revision_ + 1 && edit.caret == shown_start_ &&
      shown_length_ == 0 && !hasSelectedText()) {
    // The line's cursor stands where the model's caret stood: the same
    // edit there leaves both alike, the cursor after it.
    if (edit.codepoint) {
      const char32_t c = static_cast<char32_t>(edit.codepoint);
      insert(QString::fromUcs4(&c, 1));
    } else {
      backspace();
    }
    shown_start_ = edit.codepoint ? edit.caret + 1 : edit.caret - 1;
  } else {
    const QString text = QString::fromStdString(model_.Text());
    if (QLineEdit::text() != text) {
      if (editing_)
        ReplaceDifference(text);
      else
        setText(text);
    }
    shown_start_ = -1;
  }
  shown_revision_ = model_.Revision();
}

void TextBoxView::ShowSelection() {
  if (model_.SelStart() == shown_start_ && model_.SelLength() == shown_length_) return;
  const QString shown = QLineEdit::text();
  const int start = Utf16Position(shown, model_.SelStart());
  const int end = Utf16Position(shown, model_.SelStart() + model_.SelLength());
  if (start == end) {
    if (hasSelectedText() || cursorPosition() != start) setCursorPosition(start);
  } else if (!hasSelectedText() || selectionStart() != start || selectionEnd() != end) {
    // A selection the line has already keeps the end its cursor is at.
    setSelection(start, end - start);
  }
  shown_start_ = model_.SelStart();
  shown_length_ = model_.SelLength();
}

void TextBoxView::ReplaceDifference(const QString& text) {
  const QString old = QLineEdit::text();
  const qsizetype most = std::min(old.size(), text.size());
  qsizetype prefix = 0;
  while (prefix < most && old[prefix] == text[prefix]) ++prefix;
  if (prefix > 0 && old[prefix - 1].isHighSurrogate()) --prefix;
  qsizetype suffix = 0;
  while (suffix < most - prefix && old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix]) ++suffix;
  if (suffix > 0 && old[old.size() - suffix].isLowSurrogate()) --suffix;
  const auto removed = static_cast<int>(old.size() - prefix - suffix);
  if (removed > 0)
    setSelection(static_cast<int>(prefix), removed);
  else
    setCursorPosition(static_cast<int>(prefix));
  insert(text.mid(prefix, text.size() - prefix - suffix));
}

void TextBoxView::FollowView() {
  if (syncing_ || following_) return;
  // Read the view before the model's notices re-sync it.
  const QString shown = QLineEdit::text();
  const std::string text = shown.toStdString();
  const int from = hasSelectedText() ? selectionStart() : cursorPosition();
  const int to = hasSelectedText() ? selectionEnd() : from;
  const int start = CharacterPosition(shown, from);
  const int length = CharacterPosition(shown, to) - start;
  const QPointer<TextBoxView> self(this);
  ++editing_;
  following_ = true;
  const bool done = host_.Guarded(this, [&] {
    model_.SetText(text);
    model_.SetSelStart(start);
    model_.SetSelLength(length);
  });
  if (!self) return;
  following_ = false;
  // The line shows what the model took, unless a handler changed it since.
  if (done && model_.Text() == text) {
    shown_revision_ = model_.Revision();
    shown_start_ = start;
    shown_length_ = length;
  }
  Sync();
  --editing_;
}

bool TextBoxView::event(QEvent* e) {
  if (HandleTab(host_, this, e)) return true;
  return QLineEdit::event(e);
}

void TextBoxView::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Paste)) {
    e->accept();
    if (!isReadOnly()) Paste(QGuiApplication::clipboard()->text());
    return;
  }
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

void TextBoxView::contextMenuEvent(QContextMenuEvent* e) {
  // Qt's own menu speaks English and pastes past the model's key rules.
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const QPointer<TextBoxView> self(this);
  auto add = [&](const char* name, const QString& text, QKeySequence::StandardKey key, bool enabled,
                 std::function<void(TextBoxView&)> run) {
    const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
    QAction* action = menu->addAction(shortcut.isEmpty() ? text : text + '\t' + shortcut);
    action->setObjectName(name);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [self, run] {
      if (self) run(*self);
    });
  };
  const bool writable = !isReadOnly();
  const bool selected = hasSelectedText();
  add("edit-undo", "&Deshacer", QKeySequence::Undo, writable && isUndoAvailable(), [](TextBoxView& v) { v.undo(); });
  add("edit-redo", "&Rehacer", QKeySequence::Redo, writable && isRedoAvailable(), [](TextBoxView& v) { v.redo(); });
  menu->addSeparator();
  add("edit-cut", "Cor&tar", QKeySequence::Cut, writable && selected, [](TextBoxView& v) { v.cut(); });
  add("edit-copy", "&Copiar", QKeySequence::Copy, selected, [](TextBoxView& v) { v.copy(); });
  add("edit-paste", "&Pegar", QKeySequence::Paste, writable && !QGuiApplication::clipboard()->text().isEmpty(),
      [](TextBoxView& v) { v.Paste(QGuiApplication::clipboard()->text()); });
  add("edit-delete", "&Eliminar", QKeySequence::Delete, writable && selected, [](TextBoxView& v) { v.del(); });
  menu->addSeparator();
  add("select-all", "&Seleccionar todo", QKeySequence::SelectAll,
      !text().isEmpty() && selectedText().size() != text().size(), [](TextBoxView& v) { v.selectAll(); });
  menu->popup(e->globalPos());
  e->accept();
}

void TextBoxView::mouseReleaseEvent(QMouseEvent* e) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (e->button() != Qt::MiddleButton || !clipboard->supportsSelection() || isReadOnly())
    return QLineEdit::mouseReleaseEvent(e);
  e->accept();
  setCursorPosition(cursorPositionAt(e->position().toPoint()));
  Paste(clipboard->text(QClipboard::Selection));
}

void TextBoxView::dropEvent(QDropEvent* e) {
  if (!e->mimeData()->hasText() || isReadOnly()) return QLineEdit::dropEvent(e);
  // A drop pastes where it lands; what was dragged stays where it was.
  e->setDropAction(Qt::CopyAction);
  e->accept();
  setCursorPosition(cursorPositionAt(e->position().toPoint()));
  Paste(e->mimeData()->text());
}

bool TextBoxView::Paste(const QString& text) {
  const QPointer<TextBoxView> self(this);
  bool alive = true;
  ++editing_;
  for (char32_t c : WholeCharacters(text))
    if (c >= 32 && !(alive = TypeCharacter(c, 0))) break;
  if (self) --editing_;
  return alive;
}

bool TextBoxView::TypeCharacter(char32_t c, int16_t key_code) {
  // Each handler may raise an event whose form deletes this view.
  const QPointer<TextBoxView> self(this);
  ++editing_;
  const bool alive = [&] {
    if (c > 0xFFFF) return host_.Guarded(this, [&] { model_.TypeWideCharacter(static_cast<int32_t>(c)); });
    if (key_code && !host_.Guarded(this, [&] { model_.FireKeyDown(key_code); })) return false;
    int16_t code = static_cast<int16_t>(c);
    if (!host_.Guarded(this, [&] { model_.FireKeyPress(code); })) return false;
    return code == 0 || host_.Guarded(this, [&] { model_.ApplyTypedCharacter(code); });
  }();
  if (self) --editing_;
  return alive;
}

}  // namespace trovel::qt

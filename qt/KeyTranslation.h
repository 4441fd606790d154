// KeyTranslation: what a Qt key event means to a control's handlers: the
// key code of its key-down event and the character code of its key-press
// event (Enter 13, Escape 27, Backspace 8, printable characters their code
// point). Keys without a character (arrows, Home, Delete ...) have none and
// are left to the Qt widget.
#pragma once

#include <QKeyEvent>
#include <optional>

namespace trovel::qt {

struct TranslatedKey {
  int16_t key_code = 0;                 // 0: no key-down for the control
  std::optional<int16_t> character;     // the key-press code, if any
  bool tab = false;                     // Tab or Backtab: the host moves the focus
};

inline TranslatedKey Translate(const QKeyEvent* e) {
  TranslatedKey k;
  switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: k.tab = true; return k;
    case Qt::Key_Return:
    case Qt::Key_Enter: k.key_code = 13; k.character = 13; return k;
    case Qt::Key_Escape: k.key_code = 27; k.character = 27; return k;
    case Qt::Key_Backspace: k.key_code = 8; k.character = 8; return k;
    default: break;
  }
  const QString text = e->text();
  if (text.isEmpty() || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return k;
  const char32_t code = text.toUcs4().value(0);
  if (code < 32 || code > 0x7FFF) return k;
  k.key_code = static_cast<int16_t>(code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code);
  k.character = static_cast<int16_t>(code);
  return k;
}

}  // namespace trovel::qt

// KeyTranslation: what a Qt key event means to a control's handlers: the
// key code of its key-down event and the character code of its key-press
// event (Enter 13, Escape 27, Backspace 8, printable characters their code
// point, from U+8000 on negative as 16-bit codes run). Keys without a
// character (arrows, Home, Delete ...) have none and are left to the Qt
// widget. A character beyond U+FFFF has no key code either: it comes apart,
// whole in `wide` or as one surrogate half, for a text box to type whole
// (TextBox::TypeWideCharacter), never cut down to another character.
#pragma once

#include <QKeyEvent>
#include <optional>
#include <string>

namespace trovel::qt {

struct TranslatedKey {
  int16_t key_code = 0;                 // 0: no key-down for the control
  std::optional<int16_t> character;     // the key-press code, if any
  char32_t wide = 0;                    // a character beyond U+FFFF
  char16_t surrogate = 0;               // half of one, sent alone
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
  if (text.size() == 1 && text[0].isSurrogate()) {
    k.surrogate = text[0].unicode();
    return k;
  }
  const char32_t code = text.toUcs4().value(0);
  if (code < 32) return k;
  if (code > 0xFFFF) {
    k.wide = code;
    return k;
  }
  k.key_code = static_cast<int16_t>(code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code);
  k.character = static_cast<int16_t>(code);
  return k;
}

// The characters of `text`, each whole; a surrogate half without its other
// half is no character and is left out.
inline std::u32string WholeCharacters(const QString& text) {
  std::u32string out;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (!c.isSurrogate()) {
      out += c.unicode();
    } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      out += QChar::surrogateToUcs4(c, text[i + 1]);
      ++i;
    }
  }
  return out;
}

}  // namespace trovel::qt

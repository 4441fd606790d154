// Twips: the controls place their children in twips (1/1440 inch); Qt
// places widgets in pixels at the screen's resolution.
#pragma once

#include <QFont>
#include <QWidget>
#include <cmath>

#include "platform/Font.h"

namespace trovel::qt {

inline int ToPixels(float twips, const QWidget* at) {
  return static_cast<int>(std::lround(twips * at->logicalDpiX() / 1440.0));
}

inline float ToTwips(int pixels, const QWidget* at) { return static_cast<float>(pixels * 1440.0 / at->logicalDpiX()); }

// The Qt font for a font object; null gives the application's font.
inline QFont ToQFont(const Font* font) {
  QFont f;
  if (!font) return f;
  f.setFamily(QString::fromStdString(font->name));
  f.setPointSizeF(font->size);
  f.setBold(font->bold);
  f.setItalic(font->italic);
  return f;
}

}  // namespace trovel::qt

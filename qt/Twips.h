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

// The Qt font a font object names; null names the host's default font, the
// controls' "MS Sans Serif" 8.25 point.
QFont ToQFont(const Font* font);
// The font the views show for a font object. A family missing here (the
// controls' own is, off Windows) is stood in for by the family fontconfig
// picks, narrowed to the proportions of the classic dialog font: the
// controls' captions were sized in twips for it, and a wider stand-in would
// not fit them.
QFont ShownFont(const Font* font);

}  // namespace trovel::qt

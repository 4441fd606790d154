#include "qt/Twips.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>
#include <map>

namespace trovel::qt {
namespace {

// The stretch (percent) that brings a stand-in family to the classic 8-point
// dialog font's proportions: letters about 0.4 of a line high on average (5
// pixels in 13-pixel lines). Measured once per family and weight.
int StandInStretch(const QFont& font) {
  static std::map<std::pair<QString, bool>, int> measured;
  const std::pair<QString, bool> key(QFontInfo(font).family(), font.bold());
  auto it = measured.find(key);
  if (it != measured.end()) return it->second;
  QString letters;
  for (char c = 'A'; c <= 'Z'; ++c) letters.append(QChar(c)).append(QChar(c + ('a' - 'A')));
  const QFontMetricsF metrics(font);
  const double average = metrics.horizontalAdvance(letters) / letters.size();
  const int stretch = average > 0 ? static_cast<int>(100 * 0.4 * metrics.height() / average) : 100;
  return measured[key] = std::clamp(stretch, 50, 100);
}

}  // namespace

QFont ToQFont(const Font* font) {
  const Font standard;
  if (!font) font = &standard;
  QFont f;
  f.setFamily(QString::fromStdString(font->name));
  f.setPointSizeF(font->size);
  f.setBold(font->bold);
  f.setItalic(font->italic);
  return f;
}

QFont ShownFont(const Font* font) {
  QFont f = ToQFont(font);
  if (QFontInfo(f).family().compare(f.family(), Qt::CaseInsensitive) != 0) f.setStretch(StandInStretch(f));
  return f;
}

}  // namespace trovel::qt

#include "ctltrovel2/clsColumn.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <limits>

#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/Host.h"
#include "platform/Text.h"

namespace trovel {
namespace {

constexpr int kAlignLeftTop = 0;
constexpr int kAlignRightTop = 6;
// Lengths from this many characters on all get the widest column.
constexpr int16_t kWideLength = 50;
constexpr float kWideChars = 53;
constexpr int16_t kPadChars = 3;

// Nearest whole number, ties to the even neighbour, whatever the current
// floating-point rounding mode is.
double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double below = std::floor(x);
  const double fraction = x - below;  // exact
  if (fraction > 0.5) return below + 1;
  if (fraction < 0.5) return below;
  return std::fmod(below, 2) == 0 ? below : below + 1;
}

}  // namespace

std::shared_ptr<FlexGrid> clsColumn::Grid() const {
  std::shared_ptr<FlexGrid> grid = grid_.lock();
  if (!grid) throw Error::ObjectNotSet("la columna de Key:" + Key + " no tiene cuadrícula");
  return grid;
}

int clsColumn::ColumnIndex() const {
  const double index = RoundHalfEven(Text::Val(Key));
  if (!(index >= std::numeric_limits<int>::min() && index <= std::numeric_limits<int>::max()))
    throw Error::SubscriptOutOfRange("columna de la cuadrícula de Key:" + Key);
  return static_cast<int>(index);
}

void clsColumn::Message(const std::string& text) const {
  if (host_) host_->MsgBox(text, Host::kOkOnly | Host::kCritical, "Mensaje");
}

void clsColumn::SetWidthUnit(float unit) {
  if (!std::isfinite(unit) || unit < 0) throw Error::InvalidValue("la unidad de ancho debe ser un número finito de twips, 0 o más");
  width_unit_ = unit;
}

void clsColumn::ApplyWidth(int16_t length) {
  const std::shared_ptr<FlexGrid> grid = Grid();
  const int col = ColumnIndex();
  // Single precision throughout, as the unit itself is.
  const float width = length < kWideLength ? static_cast<float>(length + kPadChars) * width_unit_
                                           : kWideChars * width_unit_;
  const double twips = RoundHalfEven(width);
  if (!std::isfinite(twips) || twips > std::numeric_limits<int32_t>::max())
    throw Error::Overflow("ancho de la columna de Key:" + Key);
  grid->SetColWidth(col, static_cast<float>(twips));
}

void clsColumn::Caption(const std::string& v) {
  caption_ = v;
  try {
    const std::shared_ptr<FlexGrid> grid = Grid();
    grid->SetTextMatrix(0, ColumnIndex(), caption_);
  } catch (const std::exception& e) {
    Message(std::string(e.what()) + " Numero de Columna Key:" + Key);
  }
}

void clsColumn::Longht(int16_t v) {
  longht_ = v;
  try {
    ApplyWidth(longht_);
  } catch (const std::exception&) {
    Message("Columna no valida key:" + Key);
  }
}

void clsColumn::TypeData(TIPOC v) {
  type_data_ = v;
  try {
    const std::shared_ptr<FlexGrid> grid = Grid();
    grid->SetColAlignment(ColumnIndex(), type_data_ == ctvNUMBER ? kAlignRightTop : kAlignLeftTop);
  } catch (const std::exception&) {
    Message("Columna no v\xC3\xA1lida Key:" + Key);
  }
}

void clsColumn::Visible(bool v) {
  visible_ = v;
  try {
    if (visible_) {
      ApplyWidth(longht_);
    } else {
      const std::shared_ptr<FlexGrid> grid = Grid();
      grid->SetColWidth(ColumnIndex(), 0);
    }
  } catch (const std::exception& e) {
    Message(std::string(e.what()) + " Columna Key:" + Key);
  }
}

}  // namespace trovel

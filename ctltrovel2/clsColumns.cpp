#include "ctltrovel2/clsColumns.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/Error.h"
#include "platform/FlexGrid.h"
#include "platform/Host.h"
#include "platform/Text.h"

namespace trovel {

std::shared_ptr<clsColumns> clsColumns::Create(Host* host) {
  if (!host) throw Error::ObjectNotSet("una colección de columnas necesita un host para sus mensajes");
  return std::shared_ptr<clsColumns>(new clsColumns(host));
}

void clsColumns::SetWidthUnit(float unit) {
  if (!std::isfinite(unit) || unit < 0) throw Error::InvalidValue("la unidad de ancho debe ser un número finito de twips, 0 o más");
  width_unit_ = unit;
}

std::shared_ptr<clsColumn> clsColumns::Add(const std::string& Key, const std::string& Field,
                                           const std::string& Table, TIPOC TypeData,
                                           const std::string& Caption, int16_t Longht,
                                           const std::string& sKey) {
  try {
    std::shared_ptr<clsColumn> column(new clsColumn(host_));
    const std::shared_ptr<FlexGrid> grid = grid_.lock();
    if (!grid) throw Error::ObjectNotSet("la colección de columnas aún no tiene cuadrícula");
    grid->SetCols(Count() + 1);
    column->Key = Key;
    column->SetGrid(grid_);
    column->Field(Field);
    column->Table(Table);
    column->TypeData(TypeData);
    column->Caption(Caption);
    column->SetWidthUnit(width_unit_);
    column->Longht(Longht);

    const std::string& key = sKey.empty() ? Field : sKey;
    std::string folded = Text::Upper(key);
    if (std::find(folded_keys_.begin(), folded_keys_.end(), folded) != folded_keys_.end())
      throw Error::KeyAlreadyInCollection("clave \"" + key + "\"");
    // Reserve both lists first so the two appends cannot fail half-way.
    columns_.reserve(columns_.size() + 1);
    folded_keys_.reserve(folded_keys_.size() + 1);
    folded_keys_.push_back(std::move(folded));
    columns_.push_back(column);
    return column;
  } catch (const std::exception& e) {
    host_->MsgBox(e.what(), Host::kOkOnly | Host::kCritical, "Mensaje");
    return nullptr;
  }
}

std::size_t clsColumns::IndexOf(const Variant& vntIndexKey) const {
  if (vntIndexKey.type() == Variant::Type::String) {
    const std::string key = vntIndexKey.ToString();
    const auto found = std::find(folded_keys_.begin(), folded_keys_.end(), Text::Upper(key));
    if (found == folded_keys_.end()) throw Error::SubscriptOutOfRange("ninguna columna tiene la clave \"" + key + "\"");
    return static_cast<std::size_t>(found - folded_keys_.begin());
  }
  if (!vntIndexKey.IsNumeric()) throw Error::TypeMismatch("una columna se nombra por su posición o por su clave");
  const int32_t position = vntIndexKey.ToLong();
  if (position < 1 || position > Count())
    throw Error::SubscriptOutOfRange("posición de columna " + std::to_string(position) + " de " +
                                     std::to_string(Count()));
  return static_cast<std::size_t>(position - 1);
}

std::shared_ptr<clsColumn> clsColumns::Item(const Variant& vntIndexKey) {
  try {
    return columns_[IndexOf(vntIndexKey)];
  } catch (const std::exception& e) {
    host_->MsgBox(e.what(), Host::kOkOnly | Host::kCritical, "Mensaje");
    return nullptr;
  }
}

void clsColumns::Remove(const Variant& vntIndexKey) {
  const std::size_t index = IndexOf(vntIndexKey);
  columns_.erase(columns_.begin() + static_cast<std::ptrdiff_t>(index));
  folded_keys_.erase(folded_keys_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace trovel

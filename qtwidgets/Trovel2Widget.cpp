#include "qtwidgets/Trovel2Widget.h"

#include "ctltrovel2/ColumnDescription.h"
#include "platform/Error.h"
#include "platform/MemoryPropertyBag.h"
#include "qt/Twips.h"

namespace trovel::qt {

namespace {

std::shared_ptr<Font> ToFont(const QFont& f) {
  auto font = std::make_shared<Font>(f.family().toStdString(), static_cast<float>(f.pointSizeF()), f.bold());
  font->italic = f.italic();
  return font;
}

}  // namespace

// The empty bag lives until the constructor it is passed to has returned.
Trovel2Widget::Trovel2Widget(QWidget* parent)
    : Trovel2Widget(SharedHost(), std::make_unique<MemoryPropertyBag>().get(), parent) {}

Trovel2Widget::Trovel2Widget(QtHost& host, PropertyBag* bag, QWidget* parent)
    : TypedControlWidget(host, std::make_unique<ctlTrovel2>(host), bag, parent) {}

void Trovel2Widget::setColumnsCount(int v) {
  if (Guard([&] { control().grdDatos.SetCols(v); })) emit ColumnsCountChanged();
}

void Trovel2Widget::setColumnas(const QString& v) {
  const bool done = Guard([&] {
    const std::vector<ColumnDescription> columns = ColumnDescription::Parse(v.toStdString());
    if (!Columns()) throw Error::ObjectNotSet("the control has no column collection");
    clsColumns& collection = *Columns();
    while (collection.Count() > 0) collection.Remove(1);
    ColumnDescription::AddAll(control(), columns);
    columnas_ = QString::fromStdString(ColumnDescription::Text(columns));
  });
  if (!done) return;
  emit ColumnasChanged();
  emit ColumnsCountChanged();
}

QFont Trovel2Widget::GridFont() const { return ToQFont(control().GridFont().get()); }

void Trovel2Widget::setGridFont(const QFont& v) {
  if (Guard([&] { control().GridFont(ToFont(v)); })) emit GridFontChanged();
}

QFont Trovel2Widget::CommandFont() const { return ToQFont(control().CommandFont().get()); }

void Trovel2Widget::setCommandFont(const QFont& v) {
  if (Guard([&] { control().CommandFont(ToFont(v)); })) emit CommandFontChanged();
}

void Trovel2Widget::Raised(const QString& name, const QStringList&) {
  if (name == "evtSeleccionar") {
    QStringList valores;
    if (Columns())
      for (const std::shared_ptr<clsColumn>& c : *Columns()) valores << QString::fromStdString(c->Value());
    emit evtSeleccionar(valores);
  } else if (name == "evtsalir") {
    emit evtsalir();
  }
}

}  // namespace trovel::qt

#include "designer/TrovelDesignerPlugin.h"

#include "designer/CustomWidget.h"
#include "qtwidgets/Trovel2Widget.h"
#include "qtwidgets/TrovelWidget.h"

namespace trovel::designer {

namespace {

// Text properties whose values are SQL, names and formats: not for translation.
QString Untranslated(const QStringList& names, const QStringList& multiline = {}) {
  QString out;
  for (const QString& name : names)
    out += QString("    <stringpropertyspecification name=\"%1\" notr=\"true\" type=\"%2\"/>\n")
               .arg(name, multiline.contains(name) ? "multiline" : "singleline");
  return out;
}

}  // namespace

TrovelDesignerPlugin::TrovelDesignerPlugin(QObject* parent) : QObject(parent) {
  QStringList trovel_texts = {"OrderBy", "GridFormat", "SentenciaSQL", "SeparaFecha", "FormatoFecha"};
  for (int n = 1; n <= 8; ++n) trovel_texts << QString("N_Campo%1").arg(n);
  for (int n = 1; n <= 4; ++n) trovel_texts << QString("N_Tabla%1").arg(n);
  widgets_ << new CustomWidget({"trovel::qt::TrovelWidget", "ctlTrovel", "qtwidgets/TrovelWidget.h",
                                "Búsqueda con cuatro campos de filtro sobre una cuadrícula",
                                Untranslated(trovel_texts, {"SentenciaSQL"}), trovel_texts,
                                [](QWidget* parent) { return new qt::TrovelWidget(parent); }},
                               this);
  const QStringList trovel2_texts = {"OrderBy", "SentenciaSQL", "SeparaFecha", "FormatoFecha", "Columnas"};
  widgets_ << new CustomWidget(
      {"trovel::qt::Trovel2Widget", "ctlTrovel2", "qtwidgets/Trovel2Widget.h",
       "Búsqueda con columnas descritas y filtros escritos en la cuadrícula",
       Untranslated(trovel2_texts, {"SentenciaSQL", "Columnas"}), trovel2_texts,
       [](QWidget* parent) { return new qt::Trovel2Widget(parent); }},
      this);
}

}  // namespace trovel::designer

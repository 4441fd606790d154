// Trovel2Widget: ctlTrovel2 as a Qt widget with a typed API: its public
// properties as Q_PROPERTYs, its methods as slots, its events as typed
// signals next to the generic eventRaised of ControlWidget.
//
// Columnas holds the column descriptions of the form as JSON text (see
// ColumnDescription); setting it replaces the columns of the collection
// with those, added through Columns.Add as a host program adds them, so a
// .ui file that saves it rebuilds the columns when the form loads. Columns
// added through Columns() directly are not in it. ColumnsCount is the
// grid's column count, which a saved control keeps.
//
// The properties are declared in the order in which a saved control is
// loaded, the columns after them.
//
// Threading: Qt's GUI thread only.
// Ownership: the widget owns its control; see ControlWidget.
#pragma once

#include <QFont>

#include "ctltrovel2/ctlTrovel2.h"
#include "qtwidgets/TypedControlWidget.h"

namespace trovel::qt {

class Trovel2Widget : public TypedControlWidget {
  Q_OBJECT
  Q_PROPERTY(QString OrderBy READ OrderBy WRITE setOrderBy NOTIFY OrderByChanged)
  Q_PROPERTY(QString SentenciaSQL READ SentenciaSQL WRITE setSentenciaSQL NOTIFY SentenciaSQLChanged)
  Q_PROPERTY(QString SeparaFecha READ SeparaFecha WRITE setSeparaFecha NOTIFY SeparaFechaChanged)
  Q_PROPERTY(QString FormatoFecha READ FormatoFecha WRITE setFormatoFecha NOTIFY FormatoFechaChanged)
  Q_PROPERTY(bool BuscarAlEscribir READ BuscarAlEscribir WRITE setBuscarAlEscribir NOTIFY BuscarAlEscribirChanged)
  Q_PROPERTY(int PausaBusqueda READ PausaBusqueda WRITE setPausaBusqueda NOTIFY PausaBusquedaChanged)
  Q_PROPERTY(int ColumnsCount READ ColumnsCount WRITE setColumnsCount NOTIFY ColumnsCountChanged)
  Q_PROPERTY(bool UCaseFiltro READ UCaseFiltro WRITE setUCaseFiltro NOTIFY UCaseFiltroChanged)
  Q_PROPERTY(QString Columnas READ Columnas WRITE setColumnas NOTIFY ColumnasChanged)
  Q_PROPERTY(QFont GridFont READ GridFont WRITE setGridFont NOTIFY GridFontChanged)
  Q_PROPERTY(QFont CommandFont READ CommandFont WRITE setCommandFont NOTIFY CommandFontChanged)

 public:
  // A control loaded from a form that saved none of its properties, as
  // Designer, QUiLoader and uic make it, on the shared host; its columns
  // can be added at once.
  explicit Trovel2Widget(QWidget* parent = nullptr);
  // A control on `host`: new (InitProperties) when `bag` is null, otherwise
  // loaded from `bag`. REQUIRES: `host` outlives the widget.
  Trovel2Widget(QtHost& host, PropertyBag* bag, QWidget* parent = nullptr);

  ctlTrovel2& control() const { return static_cast<ctlTrovel2&>(ControlWidget::control()); }
  const std::shared_ptr<clsColumns>& Columns() const { return control().Columns(); }

  QString OrderBy() const { return Read("OrderBy").toString(); }
  void setOrderBy(const QString& v) { Write("OrderBy", v); }
  QString SentenciaSQL() const { return Read("SentenciaSQL").toString(); }
  void setSentenciaSQL(const QString& v) { Write("SentenciaSQL", v); }
  QString SeparaFecha() const { return Read("SeparaFecha").toString(); }
  void setSeparaFecha(const QString& v) { Write("SeparaFecha", v); }
  QString FormatoFecha() const { return Read("FormatoFecha").toString(); }
  void setFormatoFecha(const QString& v) { Write("FormatoFecha", v); }
  bool BuscarAlEscribir() const { return Read("BuscarAlEscribir").toBool(); }
  void setBuscarAlEscribir(bool v) { Write("BuscarAlEscribir", v); }
  int PausaBusqueda() const { return Read("PausaBusqueda").toInt(); }
  void setPausaBusqueda(int v) { Write("PausaBusqueda", v); }
  int ColumnsCount() const { return control().grdDatos.Cols(); }
  void setColumnsCount(int v);
  bool UCaseFiltro() const { return Read("UCaseFiltro").toBool(); }
  void setUCaseFiltro(bool v) { Write("UCaseFiltro", v); }
  QString Columnas() const { return columnas_; }
  // Text that is not a valid list is refused whole: the columns stay.
  void setColumnas(const QString& v);
  QFont GridFont() const;
  void setGridFont(const QFont& v);
  QFont CommandFont() const;
  void setCommandFont(const QFont& v);

 signals:
  // The row chosen: each column's Value, in the order of Columns.
  void evtSeleccionar(const QStringList& valores);
  void evtsalir();

  void OrderByChanged();
  void SentenciaSQLChanged();
  void SeparaFechaChanged();
  void FormatoFechaChanged();
  void BuscarAlEscribirChanged();
  void PausaBusquedaChanged();
  void ColumnsCountChanged();
  void UCaseFiltroChanged();
  void ColumnasChanged();
  void GridFontChanged();
  void CommandFontChanged();

 protected:
  void Raised(const QString& name, const QStringList& args) override;

 private:
  QString columnas_;
};

}  // namespace trovel::qt

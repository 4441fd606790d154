// TrovelWidget: ctlTrovel as a Qt widget with a typed API: its public
// properties as Q_PROPERTYs (edited in Qt Designer and saved in .ui files),
// its methods as slots and its events as typed signals, next to the generic
// eventRaised of ControlWidget.
//
//   trovel::qt::TrovelWidget search(form);
//   search.setSentenciaSQL("select codigo, nombre from clientes");
//   search.setDatabase("clientes.db");
//   QObject::connect(&search, &TrovelWidget::evtSeleccionar,
//                    [](const QStringList& fila) { qDebug() << fila; });
//
// The properties are declared in the order in which a saved control is
// loaded, so that a form file that replays them in declaration order (as
// Designer writes them) ends with the same control. TipoCampo1..TipoCampo4
// are Q_PROPERTYs of the enumeration CodigoTipo (TEX, NUM, FEC), so that
// Designer offers the three codes. TipoC1..TipoC4, the typed views of
// TipoCampo1..TipoCampo4, are not saved; one whose code is none of the three
// reads -1.
//
// Threading: Qt's GUI thread only.
// Ownership: the widget owns its control; see ControlWidget.
#pragma once

#include "ctltrovel/ctlTrovel.h"
#include "qtwidgets/TypedControlWidget.h"

namespace trovel::qt {

class TrovelWidget : public TypedControlWidget {
  Q_OBJECT
  Q_PROPERTY(QString OrderBy READ OrderBy WRITE setOrderBy NOTIFY OrderByChanged)
  Q_PROPERTY(QString GridFormat READ GridFormat WRITE setGridFormat NOTIFY GridFormatChanged)
  Q_PROPERTY(int NumCol READ NumCol WRITE setNumCol NOTIFY NumColChanged)
  Q_PROPERTY(double Width1 READ Width1 WRITE setWidth1 NOTIFY Width1Changed)
  Q_PROPERTY(double Width2 READ Width2 WRITE setWidth2 NOTIFY Width2Changed)
  Q_PROPERTY(double Width3 READ Width3 WRITE setWidth3 NOTIFY Width3Changed)
  Q_PROPERTY(double Width4 READ Width4 WRITE setWidth4 NOTIFY Width4Changed)
  Q_PROPERTY(int MaxLength1 READ MaxLength1 WRITE setMaxLength1 NOTIFY MaxLength1Changed)
  Q_PROPERTY(int MaxLength2 READ MaxLength2 WRITE setMaxLength2 NOTIFY MaxLength2Changed)
  Q_PROPERTY(int MaxLength3 READ MaxLength3 WRITE setMaxLength3 NOTIFY MaxLength3Changed)
  Q_PROPERTY(int MaxLength4 READ MaxLength4 WRITE setMaxLength4 NOTIFY MaxLength4Changed)
  Q_PROPERTY(CodigoTipo TipoCampo1 READ CodigoTipoCampo1 WRITE setTipoCampo1 NOTIFY TipoCampo1Changed)
  Q_PROPERTY(CodigoTipo TipoCampo2 READ CodigoTipoCampo2 WRITE setTipoCampo2 NOTIFY TipoCampo2Changed)
  Q_PROPERTY(CodigoTipo TipoCampo3 READ CodigoTipoCampo3 WRITE setTipoCampo3 NOTIFY TipoCampo3Changed)
  Q_PROPERTY(CodigoTipo TipoCampo4 READ CodigoTipoCampo4 WRITE setTipoCampo4 NOTIFY TipoCampo4Changed)
  Q_PROPERTY(QString SentenciaSQL READ SentenciaSQL WRITE setSentenciaSQL NOTIFY SentenciaSQLChanged)
  Q_PROPERTY(QString N_Campo1 READ N_Campo1 WRITE setN_Campo1 NOTIFY N_Campo1Changed)
  Q_PROPERTY(QString N_Campo2 READ N_Campo2 WRITE setN_Campo2 NOTIFY N_Campo2Changed)
  Q_PROPERTY(QString N_Campo3 READ N_Campo3 WRITE setN_Campo3 NOTIFY N_Campo3Changed)
  Q_PROPERTY(QString N_Campo4 READ N_Campo4 WRITE setN_Campo4 NOTIFY N_Campo4Changed)
  Q_PROPERTY(QString N_Campo5 READ N_Campo5 WRITE setN_Campo5 NOTIFY N_Campo5Changed)
  Q_PROPERTY(QString N_Campo6 READ N_Campo6 WRITE setN_Campo6 NOTIFY N_Campo6Changed)
  Q_PROPERTY(QString N_Campo7 READ N_Campo7 WRITE setN_Campo7 NOTIFY N_Campo7Changed)
  Q_PROPERTY(QString N_Campo8 READ N_Campo8 WRITE setN_Campo8 NOTIFY N_Campo8Changed)
  Q_PROPERTY(QString N_Tabla1 READ N_Tabla1 WRITE setN_Tabla1 NOTIFY N_Tabla1Changed)
  Q_PROPERTY(QString N_Tabla2 READ N_Tabla2 WRITE setN_Tabla2 NOTIFY N_Tabla2Changed)
  Q_PROPERTY(QString N_Tabla3 READ N_Tabla3 WRITE setN_Tabla3 NOTIFY N_Tabla3Changed)
  Q_PROPERTY(QString N_Tabla4 READ N_Tabla4 WRITE setN_Tabla4 NOTIFY N_Tabla4Changed)
  Q_PROPERTY(QString SeparaFecha READ SeparaFecha WRITE setSeparaFecha NOTIFY SeparaFechaChanged)
  Q_PROPERTY(QString FormatoFecha READ FormatoFecha WRITE setFormatoFecha NOTIFY FormatoFechaChanged)
  Q_PROPERTY(bool BuscarAlEscribir READ BuscarAlEscribir WRITE setBuscarAlEscribir NOTIFY BuscarAlEscribirChanged)
  Q_PROPERTY(int PausaBusqueda READ PausaBusqueda WRITE setPausaBusqueda NOTIFY PausaBusquedaChanged)
  Q_PROPERTY(TIPOC TipoC1 READ TipoC1 WRITE setTipoC1 NOTIFY TipoCampo1Changed DESIGNABLE false STORED false)
  Q_PROPERTY(TIPOC TipoC2 READ TipoC2 WRITE setTipoC2 NOTIFY TipoCampo2Changed DESIGNABLE false STORED false)
  Q_PROPERTY(TIPOC TipoC3 READ TipoC3 WRITE setTipoC3 NOTIFY TipoCampo3Changed DESIGNABLE false STORED false)
  Q_PROPERTY(TIPOC TipoC4 READ TipoC4 WRITE setTipoC4 NOTIFY TipoCampo4Changed DESIGNABLE false STORED false)

 public:
  // Of type int, so that any number, read from a form or refused by the
  // control, is a value of it.
  enum TIPOC : int { ctvTEXT = trovel::ctvTEXT, ctvNUMBER = trovel::ctvNUMBER, ctvDATE = trovel::ctvDATE };
  Q_ENUM(TIPOC)
  // The three type codes of TipoCampo1..TipoCampo4, offered by Designer's
  // property editor and saved by name in .ui files. The properties read a
  // code that is none of them (the control stores any text) as -1; C++
  // reads and writes the code's text with TipoCampoN() and
  // setTipoCampoN(QString), which .ui files of earlier plugins use too.
  enum CodigoTipo : int { TEX, NUM, FEC };
  Q_ENUM(CodigoTipo)

  // A control loaded from a form that saved none of its properties, as
  // Designer, QUiLoader and uic make it, on the shared host.
  explicit TrovelWidget(QWidget* parent = nullptr);
  // A control on `host`: new (InitProperties) when `bag` is null, otherwise
  // loaded from `bag`. REQUIRES: `host` outlives the widget.
  TrovelWidget(QtHost& host, PropertyBag* bag, QWidget* parent = nullptr);

  ctlTrovel& control() const { return static_cast<ctlTrovel&>(ControlWidget::control()); }

  QString OrderBy() const { return Read("OrderBy").toString(); }
  void setOrderBy(const QString& v) { Write("OrderBy", v); }
  QString GridFormat() const { return Read("GridFormat").toString(); }
  void setGridFormat(const QString& v) { Write("GridFormat", v); }
  int NumCol() const { return Read("NumCol").toInt(); }
  void setNumCol(int v) { Write("NumCol", v); }
  double Width1() const { return Read("Width1").toDouble(); }
  void setWidth1(double v) { Write("Width1", v); }
  double Width2() const { return Read("Width2").toDouble(); }
  void setWidth2(double v) { Write("Width2", v); }
  double Width3() const { return Read("Width3").toDouble(); }
  void setWidth3(double v) { Write("Width3", v); }
  double Width4() const { return Read("Width4").toDouble(); }
  void setWidth4(double v) { Write("Width4", v); }
  int MaxLength1() const { return Read("MaxLength1").toInt(); }
  void setMaxLength1(int v) { Write("MaxLength1", v); }
  int MaxLength2() const { return Read("MaxLength2").toInt(); }
  void setMaxLength2(int v) { Write("MaxLength2", v); }
  int MaxLength3() const { return Read("MaxLength3").toInt(); }
  void setMaxLength3(int v) { Write("MaxLength3", v); }
  int MaxLength4() const { return Read("MaxLength4").toInt(); }
  void setMaxLength4(int v) { Write("MaxLength4", v); }
  QString TipoCampo1() const { return Read("TipoCampo1").toString(); }
  void setTipoCampo1(const QString& v) { Write("TipoCampo1", v); }
  CodigoTipo CodigoTipoCampo1() const { return CodigoOf(TipoCampo1()); }
  void setTipoCampo1(CodigoTipo v) { setTipoCampo1(TextOf(v)); }
  QString TipoCampo2() const { return Read("TipoCampo2").toString(); }
  void setTipoCampo2(const QString& v) { Write("TipoCampo2", v); }
  CodigoTipo CodigoTipoCampo2() const { return CodigoOf(TipoCampo2()); }
  void setTipoCampo2(CodigoTipo v) { setTipoCampo2(TextOf(v)); }
  QString TipoCampo3() const { return Read("TipoCampo3").toString(); }
  void setTipoCampo3(const QString& v) { Write("TipoCampo3", v); }
  CodigoTipo CodigoTipoCampo3() const { return CodigoOf(TipoCampo3()); }
  void setTipoCampo3(CodigoTipo v) { setTipoCampo3(TextOf(v)); }
  QString TipoCampo4() const { return Read("TipoCampo4").toString(); }
  void setTipoCampo4(const QString& v) { Write("TipoCampo4", v); }
  CodigoTipo CodigoTipoCampo4() const { return CodigoOf(TipoCampo4()); }
  void setTipoCampo4(CodigoTipo v) { setTipoCampo4(TextOf(v)); }
  QString SentenciaSQL() const { return Read("SentenciaSQL").toString(); }
  void setSentenciaSQL(const QString& v) { Write("SentenciaSQL", v); }
  QString N_Campo1() const { return Read("N_Campo1").toString(); }
  void setN_Campo1(const QString& v) { Write("N_Campo1", v); }
  QString N_Campo2() const { return Read("N_Campo2").toString(); }
  void setN_Campo2(const QString& v) { Write("N_Campo2", v); }
  QString N_Campo3() const { return Read("N_Campo3").toString(); }
  void setN_Campo3(const QString& v) { Write("N_Campo3", v); }
  QString N_Campo4() const { return Read("N_Campo4").toString(); }
  void setN_Campo4(const QString& v) { Write("N_Campo4", v); }
  QString N_Campo5() const { return Read("N_Campo5").toString(); }
  void setN_Campo5(const QString& v) { Write("N_Campo5", v); }
  QString N_Campo6() const { return Read("N_Campo6").toString(); }
  void setN_Campo6(const QString& v) { Write("N_Campo6", v); }
  QString N_Campo7() const { return Read("N_Campo7").toString(); }
  void setN_Campo7(const QString& v) { Write("N_Campo7", v); }
  QString N_Campo8() const { return Read("N_Campo8").toString(); }
  void setN_Campo8(const QString& v) { Write("N_Campo8", v); }
  QString N_Tabla1() const { return Read("N_Tabla1").toString(); }
  void setN_Tabla1(const QString& v) { Write("N_Tabla1", v); }
  QString N_Tabla2() const { return Read("N_Tabla2").toString(); }
  void setN_Tabla2(const QString& v) { Write("N_Tabla2", v); }
  QString N_Tabla3() const { return Read("N_Tabla3").toString(); }
  void setN_Tabla3(const QString& v) { Write("N_Tabla3", v); }
  QString N_Tabla4() const { return Read("N_Tabla4").toString(); }
  void setN_Tabla4(const QString& v) { Write("N_Tabla4", v); }
  QString SeparaFecha() const { return Read("SeparaFecha").toString(); }
  void setSeparaFecha(const QString& v) { Write("SeparaFecha", v); }
  QString FormatoFecha() const { return Read("FormatoFecha").toString(); }
  void setFormatoFecha(const QString& v) { Write("FormatoFecha", v); }
  bool BuscarAlEscribir() const { return Read("BuscarAlEscribir").toBool(); }
  void setBuscarAlEscribir(bool v) { Write("BuscarAlEscribir", v); }
  int PausaBusqueda() const { return Read("PausaBusqueda").toInt(); }
  void setPausaBusqueda(int v) { Write("PausaBusqueda", v); }
  TIPOC TipoC1() const { return TipoC("TipoC1"); }
  void setTipoC1(TIPOC v) { Write("TipoC1", static_cast<int>(v)); }
  TIPOC TipoC2() const { return TipoC("TipoC2"); }
  void setTipoC2(TIPOC v) { Write("TipoC2", static_cast<int>(v)); }
  TIPOC TipoC3() const { return TipoC("TipoC3"); }
  void setTipoC3(TIPOC v) { Write("TipoC3", static_cast<int>(v)); }
  TIPOC TipoC4() const { return TipoC("TipoC4"); }
  void setTipoC4(TIPOC v) { Write("TipoC4", static_cast<int>(v)); }

 signals:
  // The row chosen: the texts of its first five cells.
  void evtSeleccionar(const QStringList& fila);
  void evtsalir();

  void OrderByChanged();
  void GridFormatChanged();
  void NumColChanged();
  void Width1Changed();
  void Width2Changed();
  void Width3Changed();
  void Width4Changed();
  void MaxLength1Changed();
  void MaxLength2Changed();
  void MaxLength3Changed();
  void MaxLength4Changed();
  void TipoCampo1Changed();
  void TipoCampo2Changed();
  void TipoCampo3Changed();
  void TipoCampo4Changed();
  void SentenciaSQLChanged();
  void N_Campo1Changed();
  void N_Campo2Changed();
  void N_Campo3Changed();
  void N_Campo4Changed();
  void N_Campo5Changed();
  void N_Campo6Changed();
  void N_Campo7Changed();
  void N_Campo8Changed();
  void N_Tabla1Changed();
  void N_Tabla2Changed();
  void N_Tabla3Changed();
  void N_Tabla4Changed();
  void SeparaFechaChanged();
  void FormatoFechaChanged();
  void BuscarAlEscribirChanged();
  void PausaBusquedaChanged();

 protected:
  void Noticed(const QString& name) override;
  void Raised(const QString& name, const QStringList& args) override;

 private:
  TIPOC TipoC(const char* name) const;
  static CodigoTipo CodigoOf(const QString& code);
  static QString TextOf(CodigoTipo code);
};

}  // namespace trovel::qt

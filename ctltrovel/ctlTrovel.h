// ctlTrovel: the search control with four filter boxes over a result grid of
// up to eight columns.
//
// The user types filter values into txtCodigo, txtNombre, txtcol3 and
// txtcol4, presses "&Leer", pages on with "S&iguiente" and picks a row with
// "S&eleccion", a double-click or Enter in the grid; the control builds the
// SQL statement, reads blocks of at most 51 rows from glbDb and reports the
// pick with evtSeleccionar, or the wish to leave with evtsalir.
//
// Threading: everything runs on the host's user-interface thread; events are
// raised from inside the handler that causes them.
//
// Ownership: the control owns its nine child widgets and the cursor of its
// last read (rsConsulta), which it closes before releasing. It shares the
// connection given through glbDb with the host until Quit or Terminate. The
// host must outlive the control.
//
// Public interface: methods and properties in interface order; a property is
// a pair of overloads, Name() to read and Name(value) to write. Every write
// except glbDb notifies the host under the property's name.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "contracts/DataConnection.h"
#include "contracts/SearchStatement.h"
#include "ctltrovel/TIPOC.h"
#include "platform/CommandButton.h"
#include "platform/DescribedControl.h"
#include "platform/FlexGrid.h"
#include "platform/HeaderTips.h"
#include "platform/Host.h"
#include "platform/TextBox.h"
#include "search/SearchAsYouType.h"

namespace trovel {

class ctlTrovel : public DescribedControl {
 public:
  // Creation: builds the children in their designed state and registers
  // them with `host`. REQUIRES: `host` outlives the control.
  explicit ctlTrovel(Host& host);
  ~ctlTrovel() override;

  // --- Public interface, in interface order ---------------------------------
  void p_leer();
  int16_t MaxLength1() const { return MaxLengthOf(1); }
  void MaxLength1(int16_t v) { SetMaxLength(1, v); }
  int16_t MaxLength2() const { return MaxLengthOf(2); }
  void MaxLength2(int16_t v) { SetMaxLength(2, v); }
  int16_t MaxLength3() const { return MaxLengthOf(3); }
  void MaxLength3(int16_t v) { SetMaxLength(3, v); }
  int16_t MaxLength4() const { return MaxLengthOf(4); }
  void MaxLength4(int16_t v) { SetMaxLength(4, v); }
  const std::string& TipoCampo1() const { return TipoCampo_[0]; }
  void TipoCampo1(const std::string& v) { SetTipoCampo(1, v); }
  const std::string& TipoCampo2() const { return TipoCampo_[1]; }
  void TipoCampo2(const std::string& v) { SetTipoCampo(2, v); }
  const std::string& TipoCampo3() const { return TipoCampo_[2]; }
  void TipoCampo3(const std::string& v) { SetTipoCampo(3, v); }
  const std::string& TipoCampo4() const { return TipoCampo_[3]; }
  void TipoCampo4(const std::string& v) { SetTipoCampo(4, v); }
  const std::string& SentenciaSQL() const { return SentenciaSQL_; }
  void SentenciaSQL(const std::string& v) { Store(SentenciaSQL_, v, "SentenciaSQL"); }
  const std::string& N_Campo1() const { return N_Campo_[0]; }
  void N_Campo1(const std::string& v) { SetNCampo(1, v); }
  const std::string& N_Tabla1() const { return N_Tabla_[0]; }
  void N_Tabla1(const std::string& v) { Store(N_Tabla_[0], v, "N_Tabla1"); }
  const std::string& N_Tabla2() const { return N_Tabla_[1]; }
  void N_Tabla2(const std::string& v) { Store(N_Tabla_[1], v, "N_Tabla2"); }
  const std::string& N_Tabla3() const { return N_Tabla_[2]; }
  void N_Tabla3(const std::string& v) { Store(N_Tabla_[2], v, "N_Tabla3"); }
  const std::string& N_Tabla4() const { return N_Tabla_[3]; }
  void N_Tabla4(const std::string& v) { Store(N_Tabla_[3], v, "N_Tabla4"); }
  const std::string& N_Campo2() const { return N_Campo_[1]; }
  void N_Campo2(const std::string& v) { SetNCampo(2, v); }
  const std::string& N_Campo3() const { return N_Campo_[2]; }
  void N_Campo3(const std::string& v) { SetNCampo(3, v); }
  const std::string& N_Campo4() const { return N_Campo_[3]; }
  void N_Campo4(const std::string& v) { SetNCampo(4, v); }
  const std::string& N_Campo5() const { return N_Campo_[4]; }
  void N_Campo5(const std::string& v) { SetNCampo(5, v); }
  const std::string& N_Campo6() const { return N_Campo_[5]; }
  void N_Campo6(const std::string& v) { SetNCampo(6, v); }
  const std::string& N_Campo7() const { return N_Campo_[6]; }
  void N_Campo7(const std::string& v) { SetNCampo(7, v); }
  const std::string& N_Campo8() const { return N_Campo_[7]; }
  void N_Campo8(const std::string& v) { SetNCampo(8, v); }
  // Fails with Error::Overflow when the grid has more than 32767 columns.
  int16_t NumCol() const;
  void NumCol(int16_t v);
  double Width1() const { return WidthOf(1); }
  void Width1(double v) { SetWidth(1, v); }
  double Width2() const { return WidthOf(2); }
  void Width2(double v) { SetWidth(2, v); }
  double Width3() const { return WidthOf(3); }
  void Width3(double v) { SetWidth(3, v); }
  double Width4() const { return WidthOf(4); }
  void Width4(double v) { SetWidth(4, v); }
  const std::string& GridFormat() const { return grdDatos.FormatString(); }
  void GridFormat(const std::string& v);
  const std::string& OrderBy() const { return OrderBy_; }
  void OrderBy(const std::string& v) { Store(OrderBy_, v, "OrderBy"); }
  void p_Boton_Leer();
  const std::string& FormatoFecha() const { return FormatoFecha_; }
  void FormatoFecha(const std::string& v) { Store(FormatoFecha_, v, "FormatoFecha"); }
  const std::string& SeparaFecha() const { return SeparaFecha_; }
  void SeparaFecha(const std::string& v) { Store(SeparaFecha_, v, "SeparaFecha"); }
  // The connection; an empty reference clears it. An object that is not a
  // DataConnection is refused with Error::TypeMismatch. Not notified.
  ObjectRef glbDb() const { return connection_; }
  void glbDb(ObjectRef connection);
  // Typed views of TipoCampo1..4. Reading a code other than "TEX", "NUM" and
  // "FEC", or writing a value outside TIPOC, fails with Error::InvalidValue.
  TIPOC TipoC1() const { return TipoCOf(1); }
  void TipoC1(TIPOC v) { SetTipoC(1, v); }
  TIPOC TipoC2() const { return TipoCOf(2); }
  void TipoC2(TIPOC v) { SetTipoC(2, v); }
  TIPOC TipoC3() const { return TipoCOf(3); }
  void TipoC3(TIPOC v) { SetTipoC(3, v); }
  TIPOC TipoC4() const { return TipoCOf(4); }
  void TipoC4(TIPOC v) { SetTipoC(4, v); }
  void Quit();
  // Whether the search follows the keys: a pause of PausaBusqueda ms after
  // a change of a filter box reads as "&Leer" would, with the focus left in
  // the box; a text filter without a wildcard then searches by prefix. A
  // key that the host lets through during such a read stops it (the host's
  // stop of ConnectionSettings::read_progress), and a result for filters
  // changed since it began is never shown.
  bool BuscarAlEscribir() const { return typing_.On(); }
  void BuscarAlEscribir(bool v);
  // Fails with Error::InvalidValue outside 0 to 60000.
  int32_t PausaBusqueda() const { return typing_.Pause(); }
  void PausaBusqueda(int32_t v);

  // --- Events -----------------------------------------------------------------
  // A host form connects these; they run inside the handler that raises
  // them, before the host's own RaiseEvent hears of it. They may destroy the
  // control; the host then hears nothing of the event.
  std::function<void(Variant& varCodigo, Variant& varNombre, Variant& varCol3, Variant& varCol4,
                     Variant& varCol5)>
      evtSeleccionar;
  std::function<void()> evtsalir;

  // --- Control --------------------------------------------------------------
  std::string ClassName() const override { return "ctlTrovel"; }
  void InitProperties() override;
  // Reads every key in order. A value that cannot be applied is skipped, the
  // other keys are still read, and one Error naming the skipped keys is
  // thrown at the end.
  void ReadProperties(PropertyBag& bag) override;
  void WriteProperties(PropertyBag& bag) override;
  void Resize() override;
  void Terminate() override;
  std::vector<Widget*> Children() override;

  // --- Children, which hosts mirror and tests drive ---------------------------
  TextBox txtCodigo{"txtCodigo"};
  TextBox txtNombre{"txtNombre"};
  TextBox txtcol3{"txtcol3"};
  TextBox txtcol4{"txtcol4"};
  CommandButton cmdLeer{"cmdLeer"};
  CommandButton cmdSiguiente{"cmdSiguiente"};
  CommandButton cmdSeleccionar{"cmdSeleccionar"};
  CommandButton cmdSalir{"cmdSalir"};
  FlexGrid grdDatos{"grdDatos"};

  // The statement the read button would send now, as text (what "Ver SQL"
  // and the logs show) and as the SearchStatement handed to glbDb, whose
  // typed values the connection binds.
  std::string BuildStatement() const;
  SearchStatement BuildSearch() const;
  // The cell text of a non-null field value of grid column n (1 to 8).
  std::string f_FormatoCelda(const Variant& value, int16_t n) const;

 private:
  enum class BlockEnd { EndOfData, MoreRows };

  void CreateChildren();
  void BuildMembers();

  // Property helpers; n counts from 1.
  TextBox& Box(int n);
  const TextBox& Box(int n) const;
  void Store(std::string& field, const std::string& value, const char* name);
  int16_t MaxLengthOf(int n) const;
  void SetMaxLength(int n, int16_t v);
  double WidthOf(int n) const { return Box(n).Width(); }
  void SetWidth(int n, double v);
  void SetTipoCampo(int n, const std::string& code);
  void AlignTextColumn(int n);
  void SetNCampo(int n, const std::string& name);
  TIPOC TipoCOf(int n) const;
  void SetTipoC(int n, TIPOC v);

  // Search.
  void cmdLeer_Click();
  void cmdSiguiente_Click();
  void Seleccionar();
  void cmdSalir_Click();
  DataCursor& Cursor();
  void CloseCursor();
  BlockEnd LoadBlock();
  void RemoveBlankRow();
  void ShowFailure(const std::exception& failure);

  // Filter boxes.
  void ConnectFilterBox(int n);
  void FilterKeyPress(int n, int16_t& key_ascii);
  void FilterLostFocus(int n);
  // The read that a pause after typing starts.
  void ReadAsTyped();
  void DropStaleRead();

  Host& host_;
  SearchAsYouType typing_{host_, [this] { ReadAsTyped(); }};

  std::string SentenciaSQL_;
  std::shared_ptr<DataConnection> connection_;
  std::shared_ptr<DataCursor> rsConsulta_;
  std::string SeparaFecha_ = "#";
  std::string FormatoFecha_ = "dd/mm/yyyy";
  std::array<std::string, 4> TipoCampo_{"TEX", "TEX", "TEX", "TEX"};
  std::array<std::string, 4> N_Tabla_;
  std::array<std::string, 8> N_Campo_;
  int32_t nFilas_ = 0;
  std::string OrderBy_;
  std::string TextoAnterior_;
  // Names each filter box after its grid column; goes before the grid.
  std::unique_ptr<HeaderTips> header_tips_;
};

}  // namespace trovel

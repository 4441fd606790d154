// ctlTrovel2: the search control whose columns the host describes at run
// time with Columns.Add, and whose filters the user types into row 1 of the
// grid through an editor laid over the current cell.
//
// The read button has two states: "&Leer" (filter mode) runs the search
// built from the filter row, and "&Filtro" (results mode) returns to filter
// entry. A selection copies the chosen row into the columns' Value and
// raises evtSeleccionar.
//
// Threading: everything runs on the host's user-interface thread; events are
// raised from inside the handler that causes them.
//
// Ownership: the control owns its children, its grid (shared, so that the
// columns can hold it weakly), its column collection and the cursor of its
// last read. It shares glbDb with the host until Quit. Columns refer to the
// grid without owning it, so no reference cycle exists; Quit still unbinds
// and drops them so that the host's references to the columns no longer
// reach the grid. The host must outlive the control.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "contracts/DataConnection.h"
#include "contracts/SearchStatement.h"
#include "ctltrovel2/clsColumns.h"
#include "platform/CommandButton.h"
#include "platform/DescribedControl.h"
#include "platform/FlexGrid.h"
#include "platform/Font.h"
#include "platform/Host.h"
#include "platform/TextBox.h"
#include "search/SearchAsYouType.h"

namespace trovel {

class ctlTrovel2 : public DescribedControl {
 public:
  // Creation (Initialize): builds the children in their designed state,
  // registers them with `host` and creates an empty column collection.
  // REQUIRES: `host` outlives the control.
  explicit ctlTrovel2(Host& host);
  ~ctlTrovel2() override;

  // --- Public interface, in interface order ---------------------------------
  void p_leer();
  const std::string& SentenciaSQL() const { return SentenciaSQL_; }
  void SentenciaSQL(const std::string& v);
  const std::string& OrderBy() const { return OrderBy_; }
  void OrderBy(const std::string& v);
  void p_Boton_Leer();
  const std::string& FormatoFecha() const { return FormatoFecha_; }
  void FormatoFecha(const std::string& v);
  const std::string& SeparaFecha() const { return SeparaFecha_; }
  void SeparaFecha(const std::string& v);
  // An object that is not a DataConnection is refused with
  // Error::TypeMismatch; an empty reference clears the connection.
  ObjectRef glbDb() const { return glbDb_; }
  void glbDb(ObjectRef connection);
  // c + Cols x r; Error::Overflow outside the 16-bit range.
  int16_t fgi(int16_t r, int16_t c) const;
  const std::shared_ptr<clsColumns>& Columns() const { return Columns_; }
  void Columns(std::shared_ptr<clsColumns> columns);
  bool UCaseFiltro() const { return UCaseFiltro_; }
  void UCaseFiltro(bool v);
  // Fonts shared by several children. A non-font object is refused with
  // Error::TypeMismatch. Not notified, not saved.
  std::shared_ptr<Font> GridFont() const { return grdDatos.GetFont(); }
  void GridFont(std::shared_ptr<Font> font);
  std::shared_ptr<Font> CommandFont() const { return cmdLeer.GetFont(); }
  void CommandFont(std::shared_ptr<Font> font);
  void Quit();
  // Whether the search follows the keys: a pause of PausaBusqueda ms after
  // a change of the cell being edited in the filter row reads as "&Leer"
  // would, and shows the rows under the filter row, the editor and its
  // caret left as they were; a text filter without a wildcard then
  // searches by prefix. A key that the host lets through during such a
  // read stops it, and a result for filters changed since it began is
  // never shown.
  bool BuscarAlEscribir() const { return typing_.On(); }
  void BuscarAlEscribir(bool v);
  // Fails with Error::InvalidValue outside 0 to 60000.
  int32_t PausaBusqueda() const { return typing_.Pause(); }
  void PausaBusqueda(int32_t v);

  // --- Events -----------------------------------------------------------------
  // Connected by a host form; they run before the host's RaiseEvent hears
  // of the event. After evtSeleccionar each column's Value holds the row.
  // They may destroy the control; the host then hears nothing of the event.
  std::function<void()> evtSeleccionar;
  std::function<void()> evtsalir;

  // --- Control --------------------------------------------------------------
  std::string ClassName() const override { return "ctlTrovel2"; }
  void InitProperties() override;
  void ReadProperties(PropertyBag& bag) override;
  void WriteProperties(PropertyBag& bag) override;
  void Resize() override;
  void Terminate() override {}
  std::vector<Widget*> Children() override;

  // --- Children, which hosts mirror and tests drive ---------------------------
 private:
  std::shared_ptr<FlexGrid> grid_;

 public:
  FlexGrid& grdDatos;
  TextBox txtEdit{"txtEdit"};
  CommandButton cmdLeer{"cmdLeer"};
  CommandButton cmdSiguiente{"cmdSiguiente"};
  CommandButton cmdSeleccionar{"cmdSeleccionar"};
  CommandButton cmdSalir{"cmdSalir"};

  // True in results mode, while cmdLeer reads "&Filtro".
  bool Leido() const { return bLeido_; }
  // The statement the read button would send for the current filter row,
  // as text (what the logs show) and as the SearchStatement handed to
  // glbDb, whose typed values the connection binds.
  std::string BuildStatement();
  SearchStatement BuildSearch() { return BuildSearch(-1, std::string()); }

 private:
  void CreateChildren();
  void BuildMembers();
  void Notify(const char* name) { host_.PropertyChanged(this, name); }

  // Search.
  void cmdLeer_Click();
  void cmdSiguiente_Click();
  void cmdSeleccionar_Click();
  void cmdSalir_Click();
  clsColumn& ColumnOf(int grid_column);
  DataCursor& Cursor();
  void CloseCursor();
  bool LoadPage();  // true when rows remain
  void ShowMensaje(const std::string& text, const std::string& title = "Mensaje");

  // In-grid editing.
  void grdDatos_KeyPress(int16_t& key_ascii);
  void grdDatos_DblClick();
  void txtEdit_KeyDown(int16_t& key_code);
  void txtEdit_KeyPress(int16_t& key_ascii);
  void f_EditarCelda(int16_t key_ascii);
  int16_t f_FiltrarTecla(int16_t key_ascii);
  void f_ValidarFecha();
  void RefuseDate(const std::string& message);
  void MoveToNextVisibleColumn();
  void Commit();

  // The statement with `editing_text` for the filter of grid column
  // `editing_col` (-1: none), the editor's text not yet in its cell.
  SearchStatement BuildSearch(int editing_col, const std::string& editing_text);
  // The read that a pause after typing starts, and the rows it shows under
  // the filter row (row 1), which stays.
  void ReadAsTyped();
  void DropStaleRead();
  bool typed_rows_ = false;

  Host& host_;
  SearchAsYouType typing_{host_, [this] { ReadAsTyped(); }};

  std::string SentenciaSQL_;
  std::shared_ptr<DataConnection> glbDb_;
  std::shared_ptr<DataCursor> rsConsulta_;
  std::shared_ptr<clsColumns> Columns_;
  std::string SeparaFecha_ = "#";
  std::string FormatoFecha_ = "dd/mm/yyyy";
  bool UCaseFiltro_ = true;
  int32_t nFilas_ = 0;
  bool bLeido_ = false;
  std::string OrderBy_;
};

}  // namespace trovel

// ctlTrovel2: the two-state read button, the statement from the filter row,
// page loading, selection, exit and Quit.
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"
#include "search/BlockLoader.h"
#include "search/ClauseBuilder.h"
#include "search/SearchStart.h"

namespace trovel {

namespace {

// A page stops once more than this many rows were added: at most 51.
constexpr int32_t kBlockLimit = 50;

}  // namespace

void ctlTrovel2::ShowMensaje(const std::string& text, const std::string& title) {
  host_.MsgBox(text, Host::kOkOnly | Host::kCritical, title);
}

void ctlTrovel2::p_leer() { cmdLeer.SetValue(true); }

void ctlTrovel2::p_Boton_Leer() {
  cmdSiguiente.SetEnabled(false);
  cmdSeleccionar.SetEnabled(false);
}

clsColumn& ctlTrovel2::ColumnOf(int grid_column) {
  if (!Columns_) throw Error::ObjectNotSet("el control no tiene colección de columnas");
  std::shared_ptr<clsColumn> column = Columns_->Item(Variant(static_cast<int32_t>(grid_column + 1)));
  if (!column) throw Error::ObjectNotSet("ninguna columna describe la columna de la cuadrícula " + std::to_string(grid_column));
  return *column;
}

DataCursor& ctlTrovel2::Cursor() {
  if (!rsConsulta_) throw Error::ObjectNotSet();
  return *rsConsulta_;
}

void ctlTrovel2::CloseCursor() { DataCursor::CloseAndRelease(rsConsulta_); }

std::string ctlTrovel2::BuildStatement() { return BuildSearch().text; }

SearchStatement ctlTrovel2::BuildSearch(int editing_col, const std::string& editing_text) {
  ClauseBuilder sql(SentenciaSQL_);
  for (int i = 0; i < grdDatos.Cols(); ++i) {
    const std::string& filter = i == editing_col ? editing_text : grdDatos.TextMatrix(1, i);
    if (filter.empty()) continue;
    clsColumn& col = ColumnOf(i);
    // The clause starts whatever the column's type.
    sql.And(col.Table() + "." + col.Field());
    // A leading "<" or ">" is the comparison; the rest is the value.
    const bool compares = filter[0] == '<' || filter[0] == '>';
    const std::string_view op = compares ? std::string_view(filter).substr(0, 1) : std::string_view();
    const std::string value = compares ? filter.substr(1) : filter;
    switch (col.TypeData()) {
      case ctvTEXT:
        // A search that follows the keys finds what starts with the text
        // when no wildcard is typed.
        sql.Like(typing_.On() ? SearchAsYouType::AsPrefix(value) : value);
        break;
      case ctvNUMBER:
        sql.Compare(op, value);
        break;
      case ctvDATE:
        // Typed day first, sent month first.
        sql.CompareDate(op, SeparaFecha_, value, ClauseBuilder::DayMonth::kSwapped);
        break;
    }
  }
  return sql.Finish(OrderBy_);
}

void ctlTrovel2::cmdLeer_Click() {
  typing_.Cancel();  // this read answers the filters as they are
  typed_rows_ = false;
  try {
    host_.DoEvents();
    if (bLeido_) {
      SearchStart::ClearGrid(grdDatos);
      cmdLeer.SetCaption("&Leer");
      bLeido_ = false;
      cmdSiguiente.SetEnabled(false);
      cmdSeleccionar.SetEnabled(false);
      host_.SetFocus(&grdDatos);
      return;
    }
    bLeido_ = true;
    cmdLeer.SetCaption("&Filtro");
    const SearchStatement statement = BuildSearch();
    nFilas_ = 0;
    SearchStart::ClearGrid(grdDatos);
    SearchStart::Reopen(rsConsulta_, glbDb_, statement);
    if (Cursor().AtEnd()) {
      ShowMensaje("No existen registros");
      return;
    }
    const bool more = LoadPage();
    cmdSiguiente.SetEnabled(more);
    cmdSeleccionar.SetEnabled(true);
    if (grdDatos.Rows() >= 3) grdDatos.RemoveItem(1);
    host_.SetFocus(&grdDatos);
  } catch (const std::exception& failure) {
    std::string last_error;
    try {
      if (glbDb_) last_error = glbDb_->LastErrorText();
    } catch (const std::exception&) {
    }
    ShowMensaje(std::string(failure.what()) + "\r\n" + last_error);
  }
}

void ctlTrovel2::ReadAsTyped() {
  if (bLeido_) return;
  SearchAsYouType::Read read(typing_);
  try {
    const int editing_col = txtEdit.Visible() ? grdDatos.Col() : -1;
    // A date still being typed would be refused, or name another day.
    for (int i = 0; i < grdDatos.Cols(); ++i) {
      const std::string& filter = i == editing_col ? txtEdit.Text() : grdDatos.TextMatrix(1, i);
      if (filter.empty() || ColumnOf(i).TypeData() != ctvDATE) continue;
      const size_t p = (filter[0] == '<' || filter[0] == '>') ? 1 : 0;
      if (!SearchAsYouType::IsWholeDate(filter.substr(p), true, DateTest::LeapYears::kEveryFourth)) return;
    }
    const SearchStatement statement = BuildSearch(editing_col, txtEdit.Text());
    // The rows of the last read go; the header and the filter row stay.
    grdDatos.SetRows(2);
    typed_rows_ = false;
    cmdSiguiente.SetEnabled(false);
    cmdSeleccionar.SetEnabled(false);
    nFilas_ = 0;
    SearchStart::Reopen(rsConsulta_, glbDb_, statement);
    if (read.Stale()) return DropStaleRead();
    if (Cursor().AtEnd()) return;
    const bool more = LoadPage();
    if (read.Stale()) return DropStaleRead();
    typed_rows_ = true;
    cmdSiguiente.SetEnabled(more);
    cmdSeleccionar.SetEnabled(true);
  } catch (const std::exception& failure) {
    if (read.Stale()) return DropStaleRead();
    ShowMensaje(failure.what());
  }
}

void ctlTrovel2::DropStaleRead() {
  grdDatos.SetRows(2);
  typed_rows_ = false;
  cmdSiguiente.SetEnabled(false);
  cmdSeleccionar.SetEnabled(false);
  try {
    CloseCursor();
  } catch (const std::exception&) {
    // The next read closes it again; nothing of this one is shown.
  }
}

bool ctlTrovel2::LoadPage() {
  // Each column shows its field: a date in FormatoFecha, a number in the
  // column's own Format when it has one.
  auto describe = [this](int i) {
    clsColumn& col = ColumnOf(i);
    BlockLoader::Column column{col.Field(), std::nullopt};
    if (col.TypeData() == ctvDATE)
      column.format = FormatoFecha_;
    else if (col.TypeData() == ctvNUMBER && !col.Format().empty())
      column.format = col.Format();
    return column;
  };
  BlockLoader loader;
  return loader.Load(Cursor(), grdDatos, describe, kBlockLimit, nFilas_) == BlockLoader::BlockEnd::kMoreRows;
}

void ctlTrovel2::cmdSiguiente_Click() {
  // In filter mode row 1 is the filter row and stays the one being edited.
  const int first_new = bLeido_ ? grdDatos.Rows() : -1;
  try {
    if (!Cursor().IsOpen()) return;
    const bool more = LoadPage();
    BlockLoader::CurrentToFirstNew(grdDatos, first_new);
    if (!more) cmdSiguiente.SetEnabled(false);
    host_.SetFocus(&grdDatos);
  } catch (const std::exception& failure) {
    // The rows read before the failure are shown from their first.
    BlockLoader::CurrentToFirstNew(grdDatos, first_new);
    ShowMensaje(failure.what());
  }
}

void ctlTrovel2::cmdSeleccionar_Click() {
  // The form's handler may destroy the control and still fail: the box
  // that reports the failure must not need the control.
  Host& host = host_;
  try {
    const int row = grdDatos.Row();
    // Under rows read while typing, row 1 is still the filter row.
    if (row < (typed_rows_ && !bLeido_ ? 2 : 1)) return;
    CloseCursor();
    for (int i = 0; i < grdDatos.Cols(); ++i) ColumnOf(i).Value(grdDatos.TextMatrix(row, i));
    RaiseToForm(host, evtSeleccionar, "evtSeleccionar", {});
  } catch (const std::exception& failure) {
    host.MsgBox(failure.what(), Host::kOkOnly | Host::kCritical, "Mensaje");
  }
}

void ctlTrovel2::cmdSalir_Click() {
  CloseCursor();
  RaiseToForm(host_, evtsalir, "evtsalir", {});
}

void ctlTrovel2::Quit() {
  typing_.Cancel();  // no read after the columns and the connection are gone
  try {
    if (Columns_) {
      const int32_t n = Columns_->Count();
      for (int32_t k = 0; k < n; ++k) {
        std::shared_ptr<clsColumn> first = Columns_->Item(Variant(int32_t{1}));
        if (first) first->SetGrid({});
        Columns_->Remove(Variant(int32_t{1}));
      }
      Columns_->SetGrid({});
      Columns_.reset();
    }
    CloseCursor();
    glbDb_.reset();
    grdDatos.SetRows(2);
  } catch (const std::exception& failure) {
    ShowMensaje(failure.what(), "quit " + ClassName());
  }
}

}  // namespace trovel

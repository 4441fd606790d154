// ctlTrovel: building the statement, reading and paging blocks of rows,
// selection and exit.
#include "ctltrovel/basFuncion.h"
#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel/TypeCode.h"
#include "platform/Error.h"
#include "platform/Format.h"
#include "search/BlockLoader.h"
#include "search/ClauseBuilder.h"
#include "search/SearchStart.h"

namespace trovel {

namespace {

// A read or a next press stops once more than this many rows were added, so
// it shows at most 51 and a 52nd row tells that more remain.
constexpr int32_t kBlockLimit = 50;

void ShowMensaje(Host& host, const std::string& text) { host.MsgBox(text, Host::kOkOnly | Host::kCritical, "Mensaje"); }

}  // namespace

std::string ctlTrovel::BuildStatement() const { return BuildSearch().text; }

SearchStatement ctlTrovel::BuildSearch() const {
  ClauseBuilder sql(SentenciaSQL_);
  for (int n = 1; n <= 4; ++n) {
    const std::string& text = Box(n).Text();
    if (text.empty()) continue;
    std::string field = N_Tabla_[n - 1];
    if (!field.empty() && field.back() != '.') field += '.';
    field += N_Campo_[n - 1];
    const std::string& code = TipoCampo_[n - 1];
    if (code == TypeCode::kNumber) {
      sql.And(field);
      sql.Compare("", text);
    } else if (code == TypeCode::kText) {
      // The user types any wildcard; a search that follows the keys finds
      // what starts with the text when none is typed.
      sql.And(field);
      sql.Like(typing_.On() ? SearchAsYouType::AsPrefix(text) : text);
    } else if (code == TypeCode::kDate) {
      // A day-first entry goes out month first.
      sql.And(field);
      sql.CompareDate("", SeparaFecha_, text,
                      basFuncion::IsDayFirstFormat(FormatoFecha_) ? ClauseBuilder::DayMonth::kSwapped
                                                                  : ClauseBuilder::DayMonth::kAsTyped);
    }
  }
  return sql.Finish(OrderBy_);
}

std::string ctlTrovel::f_FormatoCelda(const Variant& value, int16_t n) const {
  if (n >= 1 && n <= 4 && TipoCampo_[n - 1] == TypeCode::kDate) return Format(value, FormatoFecha_);
  return value.ToString();
}

void ctlTrovel::p_leer() { cmdLeer.SetValue(true); }

void ctlTrovel::p_Boton_Leer() {
  cmdSiguiente.SetEnabled(false);
  cmdSeleccionar.SetEnabled(false);
}

DataCursor& ctlTrovel::Cursor() {
  if (!rsConsulta_) throw Error::ObjectNotSet();
  return *rsConsulta_;
}

void ctlTrovel::CloseCursor() { DataCursor::CloseAndRelease(rsConsulta_); }

void ctlTrovel::cmdLeer_Click() {
  typing_.Cancel();  // this read answers the filters as they are
  try {
    const SearchStatement statement = BuildSearch();
    SearchStart::ClearGrid(grdDatos);
    SearchStart::Reopen(rsConsulta_, connection_, statement);
    if (Cursor().AtEnd()) {
      ShowMensaje(host_, "No existen registros");
      return;
    }
    if (LoadBlock() == BlockEnd::MoreRows) {
      cmdSiguiente.SetEnabled(true);
      cmdSeleccionar.SetEnabled(true);
      RemoveBlankRow();
      return;
    }
    cmdSiguiente.SetEnabled(false);
    cmdSeleccionar.SetEnabled(true);
    RemoveBlankRow();
    try {
      host_.SetFocus(&grdDatos);
    } catch (const std::exception&) {
      // A hidden or disabled grid cannot take the focus; the rows are shown.
    }
  } catch (const std::exception& failure) {
    ShowFailure(failure);
  }
}

void ctlTrovel::ReadAsTyped() {
  // A date still being typed would be refused, or name another day.
  for (int n = 1; n <= 4; ++n) {
    const std::string& text = Box(n).Text();
    if (!text.empty() && TipoCampo_[n - 1] == TypeCode::kDate &&
        !SearchAsYouType::IsWholeDate(text, basFuncion::IsDayFirstFormat(FormatoFecha_)))
      return;
  }
  // As cmdLeer_Click, but the focus stays in the box, an empty result shows
  // only the grid's blank row, and a result for filters changed meanwhile
  // (a key that stopped the read) is dropped without a word.
  SearchAsYouType::Read read(typing_);
  try {
    const SearchStatement statement = BuildSearch();
    SearchStart::ClearGrid(grdDatos);
    cmdSiguiente.SetEnabled(false);
    cmdSeleccionar.SetEnabled(false);
    SearchStart::Reopen(rsConsulta_, connection_, statement);
    if (read.Stale()) return DropStaleRead();
    if (Cursor().AtEnd()) return;
    const BlockEnd end = LoadBlock();
    if (read.Stale()) return DropStaleRead();
    cmdSiguiente.SetEnabled(end == BlockEnd::MoreRows);
    cmdSeleccionar.SetEnabled(true);
    RemoveBlankRow();
  } catch (const std::exception& failure) {
    if (read.Stale()) return DropStaleRead();
    ShowFailure(failure);
  }
}

void ctlTrovel::DropStaleRead() {
  SearchStart::ClearGrid(grdDatos);
  cmdSiguiente.SetEnabled(false);
  cmdSeleccionar.SetEnabled(false);
  try {
    CloseCursor();
  } catch (const std::exception&) {
    // The next read closes it again; nothing of this one is shown.
  }
}

void ctlTrovel::cmdSiguiente_Click() {
  const int first_new = grdDatos.Rows();
  try {
    if (!Cursor().IsOpen()) return;
    const BlockEnd end = LoadBlock();
    BlockLoader::CurrentToFirstNew(grdDatos, first_new);
    if (end == BlockEnd::EndOfData) cmdSiguiente.SetEnabled(false);
  } catch (const std::exception& failure) {
    // The rows read before the failure are shown from their first.
    BlockLoader::CurrentToFirstNew(grdDatos, first_new);
    ShowFailure(failure);
  }
}

ctlTrovel::BlockEnd ctlTrovel::LoadBlock() {
  // Grid column c shows field N_Campo(c + 1); the first four show a date
  // column in FormatoFecha, as f_FormatoCelda does.
  auto describe = [this](int col) {
    if (col >= static_cast<int>(N_Campo_.size()))
      throw Error::SubscriptOutOfRange("la columna " + std::to_string(col + 1) + " de la cuadrícula no tiene nombre de campo");
    BlockLoader::Column column{N_Campo_[static_cast<size_t>(col)], std::nullopt};
    if (col < 4 && TipoCampo_[static_cast<size_t>(col)] == TypeCode::kDate) column.format = FormatoFecha_;
    return column;
  };
  BlockLoader loader;
  return loader.Load(Cursor(), grdDatos, describe, kBlockLimit, nFilas_) == BlockLoader::BlockEnd::kMoreRows
             ? BlockEnd::MoreRows
             : BlockEnd::EndOfData;
}

void ctlTrovel::RemoveBlankRow() {
  if (grdDatos.Rows() > 2) grdDatos.RemoveItem(1);
}

void ctlTrovel::Seleccionar() {
  CloseCursor();
  const int row = grdDatos.Row();
  if (row <= 0) return;
  // Cells are read as displayed; a column the grid lacks passes "".
  auto cell = [&](int col) { return col < grdDatos.Cols() ? grdDatos.TextMatrix(row, col) : std::string(); };
  const int cols = grdDatos.Cols();
  Variant values[5];
  values[0] = cell(0);
  values[1] = cell(1);
  values[2] = std::string();
  values[3] = std::string();
  values[4] = std::string();
  if (cols >= 3 && cols <= 8) values[2] = cell(2);
  if (cols >= 4 && cols <= 8) values[3] = cell(3);
  if (cols >= 5 && cols <= 8) values[4] = cell(4);
  RaiseToForm(
      host_, [&] { if (evtSeleccionar) evtSeleccionar(values[0], values[1], values[2], values[3], values[4]); },
      "evtSeleccionar", {&values[0], &values[1], &values[2], &values[3], &values[4]});
}

void ctlTrovel::cmdSalir_Click() {
  CloseCursor();
  RaiseToForm(host_, evtsalir, "evtsalir", {});
}

void ctlTrovel::Quit() {
  typing_.Cancel();  // no read after the connection is gone
  CloseCursor();  // a failing Close goes to the caller with both references still held
  connection_.reset();
}

void ctlTrovel::ShowFailure(const std::exception& failure) { ShowMensaje(host_, failure.what()); }

}  // namespace trovel

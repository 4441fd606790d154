// Both controls set up the same way over the table clientes of
// bench/BenchDatabase.h, for every benchmark that reads through them:
//
//   ctlTrovel: four grid columns codigo, nombre, saldo, alta; saldo typed
//   "NUM" and alta "FEC", so dates go through Format with FormatoFecha;
//   ctlTrovel2: four columns from its Columns collection, saldo a number
//   column with the Format "#,##0.00" and alta a date column.
//
// `order` adds ORDER BY codigo, an indexed column.
//
// Paging: a read, then next presses until the grid holds at least the rows
// asked for, each press timed. A read or a press shows 51 rows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bench/Timing.h"
#include "ctltrovel/ctlTrovel.h"
#include "ctltrovel2/ctlTrovel2.h"

namespace trovel::bench {

inline const std::string kClientesSql = "select codigo, nombre, saldo, alta from clientes";
inline constexpr int kBlockRows = 51;

inline void ConfigureCtlTrovel(ctlTrovel& ctl, bool order) {
  ctl.SentenciaSQL(kClientesSql);
  ctl.NumCol(4);
  ctl.N_Campo1("codigo");
  ctl.N_Campo2("nombre");
  ctl.N_Campo3("saldo");
  ctl.N_Campo4("alta");
  ctl.TipoCampo3("NUM");
  ctl.TipoCampo4("FEC");
  ctl.OrderBy(order ? "codigo" : "");
}

inline void ConfigureCtlTrovel2(ctlTrovel2& ctl, bool order) {
  ctl.Columns()->Add("0", "codigo", "clientes", ctvTEXT, "Código", 8);
  ctl.Columns()->Add("1", "nombre", "clientes", ctvTEXT, "Nombre", 20);
  ctl.Columns()->Add("2", "saldo", "clientes", ctvNUMBER, "Saldo", 12)->Format("#,##0.00");
  ctl.Columns()->Add("3", "alta", "clientes", ctvDATE, "Alta", 10);
  ctl.SentenciaSQL(kClientesSql);
  ctl.OrderBy(order ? "codigo" : "");
}

// The data rows a control's grid shows (its header row not counted).
template <typename Control>
int DataRows(const Control& ctl) {
  return ctl.grdDatos.Rows() - 1;
}

struct PagingTimes {
  double read = 0;               // the read button
  std::vector<double> presses;   // each next press, in order
  double total = 0;              // the read and every press
  int rows = 0;                  // data rows in the grid at the end
};

// Runs `read`, then `next` until the grid of `ctl` shows at least `rows`
// data rows or `next` adds none, timing each.
template <typename Control>
PagingTimes PageUntil(const Control& ctl, int rows, const std::function<void()>& read,
                      const std::function<void()>& next) {
  PagingTimes t;
  t.read = Seconds(read);
  t.total = t.read;
  for (int shown = DataRows(ctl); shown < rows;) {
    t.presses.push_back(Seconds(next));
    t.total += t.presses.back();
    const int now = DataRows(ctl);
    if (now == shown) break;
    shown = now;
  }
  t.rows = DataRows(ctl);
  return t;
}

}  // namespace trovel::bench

// SampleDatabase: the demo's embedded database: customers for ctlTrovel and
// articles for ctlTrovel2, generated the same way on every run.
#pragma once

#include <string>

namespace trovel::cli {

// Creates the tables "clientes" (codigo, nombre, ciudad, alta, importe) and
// "articulos" (codigo, descripcion, precio, fecha) with 240 rows each in the
// database at `address` (any address OpenConnection takes; a missing SQLite
// file is made), replacing tables of those names, all of it or nothing. Some
// names carry accents, some cities, dates and amounts are NULL. Throws Error.
void CreateSampleDatabase(const std::string& address);

}  // namespace trovel::cli

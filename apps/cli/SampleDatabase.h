// SampleDatabase: the demo's embedded database: customers for ctlTrovel and
// articles for ctlTrovel2, generated the same way on every run.
#pragma once

#include <string>

namespace trovel::cli {

// Creates the tables "clientes" (codigo, nombre, ciudad, alta, importe) and
// "articulos" (codigo, descripcion, precio, fecha) with 240 rows each in the
// SQLite database at `path`, replacing tables of those names. Some names
// carry accents, some cities, dates and amounts are NULL. Throws Error.
void CreateSampleDatabase(const std::string& path);

}  // namespace trovel::cli

#include "apps/cli/SampleDatabase.h"

#include <cstdio>

#include "connectors/OpenConnection.h"
#ifdef TROVEL_HAVE_ODBC
#include "connectors/OdbcConnection.h"
#endif

namespace trovel::cli {

namespace {

const char* const kFirstNames[] = {"Ana",   "José",  "María", "Zoe",   "Íñigo", "Lucía", "Pedro",  "Sofía",
                                   "Tomás", "Elena", "Raúl",  "Inés",  "Óscar", "Clara", "Andrés", "Beatriz"};
const char* const kLastNames[] = {"García", "Pérez",  "López",  "Martín", "Gómez",   "Ruiz",
                                  "Díaz",   "Álvarez", "Muñoz", "Romero", "Castaño", "Ortega"};
const char* const kCities[] = {"Madrid", "Bogotá", "Córdoba", "Lima", "Quito", "Málaga", "Cádiz", "Santiago"};
const char* const kArticles[] = {"Tornillo", "Tuerca", "Arandela", "Bisagra", "Cerradura", "Taladro",
                                 "Martillo", "Destornillador", "Llave", "Cinta"};

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string Date(int i) {
  char text[16];
  std::snprintf(text, sizeof text, "'%04d-%02d-%02d'", 2015 + (i * 7) % 10, 1 + (i * 5) % 12, 1 + (i * 11) % 28);
  return text;
}

// How the server behind `address` writes the tables' types: text in
// Spanish order (Íñigo before Zoe, Ñ after N) and an approximate number.
// SQLite and PostgreSQL hold a collation named es; MariaDB names its own;
// any other server through ODBC gets standard types in its own order.
struct Types {
  std::string text = "TEXT COLLATE es";
  std::string real = "REAL";
  bool transaction = true;  // BEGIN and COMMIT read as such
};

Types TypesFor(const std::string& address) {
  Types t;
#ifdef TROVEL_HAVE_ODBC
  if (BackendName(address) != "odbc") return t;
  const std::string server = OdbcConnection(address).ServerName();
  if (server == "MariaDB" || server == "MySQL") {
    t.text = "VARCHAR(100) COLLATE utf8mb4_uca1400_spanish_as_ci";
    t.real = "DOUBLE";
  } else if (server != "PostgreSQL") {
    t = {"VARCHAR(100)", "DOUBLE PRECISION", false};
  }
#else
  (void)address;
#endif
  return t;
}

}  // namespace

void CreateSampleDatabase(const std::string& address) {
  const Types t = TypesFor(address);
  std::string sql =
      std::string(t.transaction ? "BEGIN;" : "") +
      "DROP TABLE IF EXISTS clientes;"
      "CREATE TABLE clientes (codigo " + t.text + " PRIMARY KEY, nombre " + t.text + " NOT NULL,"
      " ciudad " + t.text + ", alta DATE, importe " + t.real + ");"
      "DROP TABLE IF EXISTS articulos;"
      "CREATE TABLE articulos (codigo " + t.text + " PRIMARY KEY, descripcion " + t.text + " NOT NULL,"
      " precio " + t.real + ", fecha DATE);";
  for (int i = 0; i < 240; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "%c%03d", 'A' + i % 6, i + 1);
    std::string name = std::string(kFirstNames[i % 16]) + " " + kLastNames[(i / 3) % 12];
    std::string city = i % 11 == 5 ? "NULL" : Quote(kCities[(i * 3 + i / 7) % 8]);
    std::string alta = i % 13 == 7 ? "NULL" : Date(i);
    std::string importe = i % 17 == 3 ? "NULL" : std::to_string((i * 7919) % 100000 / 100.0);
    sql += "INSERT INTO clientes VALUES (" + Quote(code) + "," + Quote(name) + "," + city + "," + alta + "," +
           importe + ");";
    char article[8];
    std::snprintf(article, sizeof article, "R%04d", i + 1);
    std::string descripcion = std::string(kArticles[i % 10]) + " " + std::to_string(4 + i % 20) + " mm";
    std::string precio = i % 19 == 4 ? "NULL" : std::to_string((i * 1237) % 500000 / 100.0 + 0.5);
    sql += "INSERT INTO articulos VALUES (" + Quote(article) + "," + Quote(descripcion) + "," + precio + "," +
           Date(i * 3) + ");";
  }
  if (t.transaction) sql += "COMMIT;";
  ExecuteScript(address, sql);
}

}  // namespace trovel::cli

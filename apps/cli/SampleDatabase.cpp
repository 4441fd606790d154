#include "apps/cli/SampleDatabase.h"

#include <cstdio>

#include "connectors/OpenConnection.h"

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

}  // namespace

void CreateSampleDatabase(const std::string& address) {
  std::string sql =
      "BEGIN;"
      "DROP TABLE IF EXISTS clientes;"
      // Text columns sort in Spanish order: Íñigo before Zoe, Ñ after N.
      "CREATE TABLE clientes (codigo TEXT COLLATE es PRIMARY KEY, nombre TEXT COLLATE es NOT NULL,"
      " ciudad TEXT COLLATE es, alta DATE, importe REAL);"
      "DROP TABLE IF EXISTS articulos;"
      "CREATE TABLE articulos (codigo TEXT COLLATE es PRIMARY KEY, descripcion TEXT COLLATE es NOT NULL,"
      " precio REAL, fecha DATE);";
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
  sql += "COMMIT;";
  ExecuteScript(address, sql);
}

}  // namespace trovel::cli

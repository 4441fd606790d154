#include "connectors/ReadRefusal.h"

namespace trovel {

std::string ReadRefusal::TimedOut(std::chrono::milliseconds limit) {
  // Whole seconds as the setting is usually written; a fraction with the
  // decimal comma of the user's language otherwise.
  long long ms = limit.count();
  std::string seconds = std::to_string(ms / 1000);
  if (ms % 1000 != 0) {
    std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    seconds += "," + fraction;
  }
  return "La consulta excedió el tiempo máximo (" + seconds + " s)";
}

std::string ReadRefusal::Stopped() { return "La consulta se detuvo a petición del usuario"; }

std::string ReadRefusal::NotAllowed() {
  return "La consulta no está permitida: una búsqueda solo lee datos";
}

std::string ReadRefusal::Unreachable(const std::string& reason) {
  return "No se pudo conectar con el servidor de la base de datos: " + reason;
}

std::string ReadRefusal::Lost(const std::string& reason) {
  return "Se perdió la conexión con el servidor de la base de datos; vuelva a leer cuando esté disponible: " + reason;
}

std::string ReadRefusal::Failed(const std::string& reason) {
  return "La base de datos no pudo ejecutar la consulta: " + reason;
}

std::string ReadRefusal::CannotOpen(const std::string& reason) {
  return "No se pudo abrir la base de datos: " + reason;
}

}  // namespace trovel

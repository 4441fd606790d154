// ReadRefusal: the messages with which every connector refuses or stops a
// read, the same on every backend so that a control shows the same text
// whatever database it talks to.
//
// Thread-safety: the functions may be called from any thread.
#pragma once

#include <chrono>
#include <string>

namespace trovel {

struct ReadRefusal {
  // "La consulta excedió el tiempo máximo (30 s)", with `limit` in seconds.
  static std::string TimedOut(std::chrono::milliseconds limit);
  // The read was stopped by the host (the user pressed Escape).
  static std::string Stopped();
  // The statement does something a search never does: writes, attaches a
  // database, changes a setting, reads the schema. Names nothing: the user
  // may not learn what exists.
  static std::string NotAllowed();
};

}  // namespace trovel

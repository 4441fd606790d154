// A QPSQL database for a libpq keyword address ("host=/tmp/x dbname=d
// user=u"): QPSQL takes host, database and user as properties and every
// other keyword as a connection option.
#pragma once

#include <QSqlDatabase>
#include <QStringList>
#include <sstream>
#include <string>

namespace trovel::bench {

// Adds the connection `name` for `address`, not yet opened. The caller
// removes it (QSqlDatabase::removeDatabase) once every copy is gone.
inline QSqlDatabase AddQPsqlDatabase(const QString& name, const std::string& address) {
  QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name);
  std::istringstream words(address);
  QStringList options;
  for (std::string word; words >> word;) {
    const size_t eq = word.find('=');
    const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
    if (key == "host")
      db.setHostName(QString::fromStdString(value));
    else if (key == "dbname")
      db.setDatabaseName(QString::fromStdString(value));
    else if (key == "user")
      db.setUserName(QString::fromStdString(value));
    else
      options << QString::fromStdString(word);
  }
  db.setConnectOptions(options.join(';'));
  return db;
}

}  // namespace trovel::bench

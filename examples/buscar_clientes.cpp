// A form with one ctlTrovel on the customers of an SQLite database; prints
// each row chosen. With --primera it reads, chooses the first row and ends.
//   buscar_clientes clientes.db [--primera]
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <trovel/qtwidgets/TrovelWidget.h>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  trovel::qt::TrovelWidget buscar;
  buscar.setSentenciaSQL("select codigo, nombre from clientes");
  buscar.setN_Campo1("codigo");
  buscar.setN_Campo2("nombre");
  if (argc < 2 || !buscar.setDatabase(argv[1])) return 1;
  QObject::connect(&buscar, &trovel::qt::TrovelWidget::evtSeleccionar, [](const QStringList& fila) {
    std::printf("seleccionado: %s\n", qPrintable(fila.join(" | ")));
    std::fflush(stdout);
  });
  QObject::connect(&buscar, &trovel::qt::TrovelWidget::evtsalir, &app, &QApplication::quit);
  buscar.show();
  if (argc > 2 && QString(argv[2]) == "--primera")
    QTimer::singleShot(0, [&] {
      buscar.p_leer();
      buscar.findChild<QPushButton*>("cmdSeleccionar")->click();
      buscar.findChild<QPushButton*>("cmdSalir")->click();
    });
  return app.exec();
}

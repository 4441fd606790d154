// trovel-demo: the desktop demo. Shows a form file's controls in a Qt
// window against the form's database, logging every selection and exit;
// with --design, edits the form instead.
//
//   trovel-demo [FORM.json]                 run the form (default: the demo's)
//   trovel-demo --database ADDRESS [FORM]   run it on another database (a file
//                                           path read from the working folder,
//                                           or a server's address)
//   trovel-demo --design FORM.json          design it: select, edit, resize, save
//   trovel-demo --screenshot FILE.png FORM  run it, read each control and
//                                           press its "S&iguiente" once, save a
//                                           picture of the window, quit
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "apps/desktop/FormWindow.h"
#include "platform/Control.h"

// Whether Qt has somewhere to show a window: an X or Wayland display, or a
// platform named outright (offscreen, say). Without one Qt would abort.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::cerr << "trovel-demo: no hay pantalla (ni DISPLAY ni WAYLAND_DISPLAY) donde mostrar la ventana; "
                 "sin pantalla, el programa trovel recorre el formulario (make tour)\n";
    return 1;
  }
  QApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  auto mode = trovel::desktop::FormWindow::Mode::Run;
  QString screenshot;
  std::string database;
  if (!args.isEmpty() && args[0] == "--design") {
    mode = trovel::desktop::FormWindow::Mode::Design;
    args.removeFirst();
  } else if (args.size() >= 2 && args[0] == "--database") {
    database = args[1].toStdString();
    args = args.mid(2);
  } else if (args.size() >= 2 && args[0] == "--screenshot") {
    screenshot = args[1];
    args = args.mid(2);
  }
  const QString form_path = args.value(0, "build/demo/demo.form.json");
  try {
    trovel::qt::QtHost host;
    trovel::forms::FormFile form;
    try {
      form = trovel::forms::FormFile::Load(form_path.toStdString());
    } catch (const std::exception& failure) {
      if (screenshot.isEmpty()) QMessageBox::critical(nullptr, "Abrir", QString::fromStdString(failure.what()));
      throw;
    }
    if (!database.empty()) form.NameDatabase(database);
    trovel::desktop::FormWindow window(host, std::move(form), mode);
    window.show();
    if (screenshot.isEmpty()) QTimer::singleShot(0, &window, [&window] { window.ShowLoadFailures(); });
    if (!screenshot.isEmpty()) {
      QTimer::singleShot(300, [&] {
        for (auto* control : window.Controls()) {
          control->control().Invoke("p_leer");
          auto* next = control->findChild<QPushButton*>("cmdSiguiente");
          if (next && next->isEnabled()) next->click();
        }
        QTimer::singleShot(300, [&] {
          const bool saved = window.grab().save(screenshot);
          std::cout << (saved ? "saved " : "could not save ") << screenshot.toStdString() << "\n";
          app.exit(saved ? 0 : 1);
        });
      });
    }
    return app.exec();
  } catch (const std::exception& failure) {
    std::cerr << "trovel-demo: " << failure.what() << "\n";
    return 1;
  }
}

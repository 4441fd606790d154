#include "apps/desktop/FormWindow.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "apps/desktop/DesignFrame.h"
#include "apps/desktop/PropertyList.h"
#include "apps/cli/EchoConnection.h"
#include "apps/forms/ControlFactory.h"
#include "connectors/OpenConnection.h"
#include "ctltrovel2/ColumnDescription.h"
#include "ctltrovel2/ctlTrovel2.h"
#include "platform/Error.h"
#include "platform/CommandButton.h"
#include "platform/JsonFilePropertyBag.h"
#include "qt/ReadWatch.h"
#include "qt/Twips.h"
#include "qtwidgets/ColumnsEditor.h"
#include "qtwidgets/PropertySheet.h"

namespace trovel::desktop {

namespace {

// The least size of a control at run time: its row of four buttons of width
// B, with gaps of B/4, starts 2.625 B left of the control's centre, so the
// control needs 5.25 B to show it whole; in height, room for the filter
// boxes, a few rows of the grid and the buttons.
QSize LeastSize(Control& control, const QWidget* at) {
  float button = 0;
  for (const Widget* w : control.Children())
    if (dynamic_cast<const CommandButton*>(w)) button = std::max(button, w->Width());
  return {qt::ToPixels(5.25f * button, at) + 1, qt::ToPixels(2400, at)};
}

}  // namespace

FormWindow::FormWindow(qt::QtHost& host, forms::FormFile form, Mode mode)
    : host_(host), form_(std::move(form)), mode_(mode) {
  // The form, and the database it runs on by its kind and name.
  const std::string database = form_.database.empty() ? "" : DatabaseTitle(form_.DatabaseAddress());
  setWindowTitle(QString("Trovel - %1%2[*]%3")
                     .arg(QFileInfo(QString::fromStdString(form_.path)).fileName(),
                          database.empty() ? QString() : " (" + QString::fromStdString(database) + ")",
                          mode_ == Mode::Design ? " [diseño]" : ""));
  // At design time controls sit side by side at their saved sizes, as placed
  // on a form; at run time they share the window.
  auto* surface = new QWidget;
  auto* row = mode_ == Mode::Run ? new QHBoxLayout(surface) : nullptr;
  if (row) row->setSpacing(12);
  log_ = new QPlainTextEdit;
  log_->setObjectName("log");
  log_->setAccessibleName("Registro");
  log_->setToolTip("Cada selección y salida de los controles, y con Ver SQL cada sentencia");
  log_->setReadOnly(true);
  log_->setTabChangesFocus(true);
  log_->setMaximumBlockCount(500);
  int next_left = 8;
  auto place = [&](QWidget* w) {
    w->setParent(surface);
    w->move(next_left, 8);
    next_left += w->width() + 12;
  };

  if (mode_ == Mode::Run) {
    // A slow read shows the wait cursor, and Escape stops it.
    ConnectionSettings settings;
    QPointer<qt::ReadWatch> watch = new qt::ReadWatch(this);
    settings.read_progress = [watch](std::chrono::milliseconds elapsed) { return watch && watch->Report(elapsed); };
    // A result left on screen lets go of the database after the hold time.
    settings.defer = host_.Deferrer();
    try {
      connection_ = form_.OpenDatabase(settings);
    } catch (const std::exception& failure) {
      LoadFailed(failure.what());
    }
    ver_sql_ = new QCheckBox("&Ver SQL");
    ver_sql_->setObjectName("verSql");
    ver_sql_->setToolTip("Escribe en el registro cada sentencia enviada a la base de datos");
    if (connection_)
      connection_ = std::make_shared<cli::EchoConnection>(
          connection_, [box = QPointer<QCheckBox>(ver_sql_), log = QPointer<QPlainTextEdit>(log_)](const std::string& sql) {
            if (box && box->isChecked() && log) log->appendPlainText("sql: " + QString::fromStdString(sql));
          });
  }

  for (const forms::FormFile::Control& entry : form_.controls) {
    std::unique_ptr<JsonFilePropertyBag> bag;
    bool bag_read = false;  // a bag whose values did not all decode gives what did
    if (entry.properties) {
      bag = std::make_unique<JsonFilePropertyBag>();
      try {
        bag->FromJson(*entry.properties);
        bag_read = true;
      } catch (const std::exception& failure) {
        LoadFailed(QString::fromStdString(entry.name + ": " + failure.what()));
      }
    }
    auto* widget = new qt::ControlWidget(host_, forms::ControlFactory::Create(entry.class_name, host_), bag.get());
    widget->setObjectName(QString::fromStdString(entry.name));
    // A screen reader tells the two controls' "Leer" apart by the control.
    widget->setAccessibleName(QString::fromStdString(entry.name));
    widget->resize(qt::ToPixels(entry.width, this), qt::ToPixels(entry.height, this));
    widget->setMinimumSize(0, 0);
    if (!widget->loadError().isEmpty()) {
      LoadFailed(QString::fromStdString(entry.name) + ": " + widget->loadError());
    } else if (bag_read) {
      try {
        forms::ControlFactory::CheckEveryKeyRead(*bag);
      } catch (const std::exception& failure) {
        LoadFailed(QString::fromStdString(entry.name + ": " + failure.what()));
      }
    }
    Control& control = widget->control();
    const int index = static_cast<int>(controls_.size());
    controls_.push_back(widget);
    if (mode_ == Mode::Run) {
      if (connection_) control.SetObject("glbDb", connection_);
      try {
        forms::ControlFactory::Prepare(control, entry.entry);
      } catch (const std::exception& failure) {
        LoadFailed(QString::fromStdString(entry.name + ": " + failure.what()));
      }
      const QString name = QString::fromStdString(entry.name);
      connect(widget, &qt::ControlWidget::eventRaised, this, [this, name, widget](const QString& event, const QStringList& args) {
        QString line = name + "." + event;
        if (!args.isEmpty()) line += "(" + args.join(", ") + ")";
        const std::string described = forms::ControlFactory::Describe(widget->control());
        if (!described.empty()) line += "  " + QString::fromStdString(described);
        Log(line);
      });
      widget->setMinimumSize(LeastSize(control, this));
      row->addWidget(widget, std::max(1, static_cast<int>(entry.width)));
    } else {
      ShowColumns(static_cast<size_t>(index));
      auto* frame = new DesignFrame(widget, surface);
      frame->onSelected = [this, index] { Select(index); };
      frame->onResized = [this] { MarkChanged(); };
      frames_.push_back(frame);
      place(frame);
    }
  }

  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  if (mode_ == Mode::Run) {
    column->addWidget(surface, 3);
    column->addWidget(ver_sql_);
    if (!controls_.empty()) controls_.front()->setFocus(Qt::TabFocusReason);
  } else {
    int bottom = 0;
    for (QWidget* w : surface->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      bottom = std::max(bottom, w->geometry().bottom());
    surface->setMinimumSize(next_left, bottom + 8);
    auto* scroll = new QScrollArea;
    scroll->setWidget(surface);
    scroll->setWidgetResizable(true);
    column->addWidget(scroll, 3);
  }
  column->addWidget(log_, 1);
  setCentralWidget(central);

  if (mode_ == Mode::Design) {
    properties_ = new PropertyList;
    auto* dock = new QDockWidget("Propiedades", this);
    dock->setObjectName("properties");
    dock->setWidget(properties_);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    QToolBar* tools = addToolBar("Diseño");
    tools->addAction("&Guardar", this, [this] {
      try {
        SaveForm();
        Log("guardado " + QString::fromStdString(form_.path));
      } catch (const std::exception& failure) {
        QMessageBox::warning(this, "Guardar", QString::fromStdString(failure.what()));
      }
    });
    tools->addAction("&Páginas de propiedades...", this, [this] { OpenPropertySheet(); });
    tools->addAction("&Columnas...", this, [this] { OpenColumnsEditor(); });
    tools->addAction("&Abrir...", this, [this] {
      const QString dir = QFileInfo(QString::fromStdString(form_.path)).absolutePath();
      const QString path = QFileDialog::getOpenFileName(this, "Abrir formulario", dir, "Formularios (*.json)");
      if (!path.isEmpty()) OpenForm(path);
    });
    for (qt::ControlWidget* w : controls_)
      connect(w, &qt::ControlWidget::propertyChanged, this, [this] {
        MarkChanged();
        if (properties_) properties_->Refresh();
      });
    if (!controls_.empty()) Select(0);
  }
  resize(1100, 640);
}

FormWindow::~FormWindow() = default;

bool FormWindow::ConfirmClose() {
  if (mode_ != Mode::Design || !isWindowModified() || confirmed_) return true;
  QMessageBox box(QMessageBox::Question, "Trovel", "¿Guardar los cambios?",
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.button(QMessageBox::Save)->setText("&Guardar");
  box.button(QMessageBox::Discard)->setText("&No guardar");
  box.button(QMessageBox::Cancel)->setText("Cancelar");
  box.setDefaultButton(QMessageBox::Save);
  const int answer = box.exec();
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Save) {
    try {
      SaveForm();
    } catch (const std::exception& failure) {
      QMessageBox::warning(this, "Guardar", QString::fromStdString(failure.what()));
      return false;
    }
  }
  confirmed_ = true;
  return true;
}

void FormWindow::closeEvent(QCloseEvent* e) {
  if (ConfirmClose())
    e->accept();
  else
    e->ignore();
}

void FormWindow::OpenForm(const QString& path) {
  if (!ConfirmClose()) return;
  try {
    auto* next = new FormWindow(host_, forms::FormFile::Load(path.toStdString()), mode_);
    next->setAttribute(Qt::WA_DeleteOnClose);
    next->show();
    next->ShowLoadFailures();
  } catch (const std::exception& failure) {
    confirmed_ = false;  // this window stays, and asks again when it closes
    QMessageBox::warning(this, "Abrir", QString::fromStdString(failure.what()));
    return;
  }
  close();
}

void FormWindow::LoadFailed(const QString& what) {
  load_failures_ << what;
  Log(what);
}

void FormWindow::ShowLoadFailures() {
  if (load_failures_.isEmpty()) return;
  QMessageBox::warning(this, "Abrir",
                       "El formulario " + QString::fromStdString(form_.path) + " no se cargó entero:\n\n" +
                           load_failures_.join("\n"));
}

void FormWindow::Log(const QString& line) {
  if (log_) log_->appendPlainText(line);
}

void FormWindow::Select(int index) {
  if (index < 0 || index >= static_cast<int>(controls_.size())) return;
  selected_ = index;
  for (size_t i = 0; i < frames_.size(); ++i) frames_[i]->SetSelected(static_cast<int>(i) == index);
  if (properties_) properties_->Show(&controls_[static_cast<size_t>(index)]->control());
}

void FormWindow::OpenPropertySheet() {
  if (selected_ < 0) return;
  Control& control = controls_[static_cast<size_t>(selected_)]->control();
  if (control.ClassName() != "ctlTrovel") {
    QMessageBox::information(this, "Propiedades", QString::fromStdString(control.ClassName()) + " no tiene páginas de propiedades.");
    return;
  }
  qt::PropertySheet sheet(host_, control, this);
  sheet.onApplied = [this] {
    if (properties_) properties_->Refresh();
  };
  sheet.exec();
}

void FormWindow::OpenColumnsEditor() {
  if (selected_ < 0) return;
  forms::FormFile::Control& entry = form_.controls[static_cast<size_t>(selected_)];
  if (entry.class_name != "ctlTrovel2") {
    QMessageBox::information(this, "Columnas", QString::fromStdString(entry.class_name) + " no tiene columnas descritas.");
    return;
  }
  std::vector<ColumnDescription> columns;
  try {
    if (entry.entry.contains("columns")) columns = ColumnDescription::FromJson(entry.entry["columns"]);
  } catch (const std::exception& failure) {
    // The editor starts empty; the form keeps its list unless accepted.
    Log(QString::fromStdString(entry.name + ": " + failure.what()));
  }
  qt::ColumnsEditor editor(columns, this);
  if (editor.exec() != QDialog::Accepted) return;
  entry.entry["columns"] = ColumnDescription::ToJson(editor.Columns());
  ShowColumns(static_cast<size_t>(selected_));
  MarkChanged();
  Log(QString::fromStdString(entry.name) + ": columnas cambiadas");
}

void FormWindow::ShowColumns(size_t index) {
  auto* trovel2 = dynamic_cast<ctlTrovel2*>(&controls_[index]->control());
  const forms::FormFile::Control& entry = form_.controls[index];
  // A control never saved has its collection bound to no grid yet (that
  // comes with loading its properties): it shows its columns once saved.
  if (!trovel2 || !trovel2->Columns() || !entry.properties) return;
  try {
    clsColumns& columns = *trovel2->Columns();
    while (columns.Count() > 0) columns.Remove(1);
    forms::ControlFactory::Prepare(*trovel2, entry.entry);
  } catch (const std::exception& failure) {
    Log(QString::fromStdString(entry.name + ": " + failure.what()));
  }
}

void FormWindow::SaveForm() {
  for (size_t i = 0; i < controls_.size(); ++i) {
    JsonFilePropertyBag bag;
    controls_[i]->control().WriteProperties(bag);
    form_.controls[i].properties = bag.ToJson();
    form_.controls[i].width = qt::ToTwips(controls_[i]->width(), this);
    form_.controls[i].height = qt::ToTwips(controls_[i]->height(), this);
  }
  form_.Save(form_.path);
  setWindowModified(false);
}

}  // namespace trovel::desktop

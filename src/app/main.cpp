// The first runnable program: one window with one editor, showing the file
// named on the command line or an empty document.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include <exception>
#include <string>

#include "props/editor_prop_link.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  auto* widget = new yk::TEditorWidget(&window);
  yk::TEditor& editor = widget->Editor();
  // The application's initial style (colours, marks, word wrap at 80),
  // until the main window brings the user's styles.
  yk::TEditorProp style;
  yk::SetInitialStyle(style);
  yk::TEditorPropLink link(editor);
  style.AssignTo(link);
  window.setCentralWidget(widget);

  // The path is used as the bytes given; it is converted for the title only.
  const std::string path = argc > 1 ? argv[1] : "";
  QString title = QString::fromUtf8("無題");
  if (!path.empty()) {
    title = QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
    try {
      editor.Lines().LoadFromFile(path);
      editor.SetModified(false);
    } catch (const std::exception& e) {
      QMessageBox::critical(&window, QStringLiteral("Yomikaki"), QString::fromLocal8Bit(e.what()));
    }
  }
  window.setWindowTitle(title + QStringLiteral(" - Yomikaki"));
  // Told on the status bar: a message box would appear in the middle of
  // typing and take the keys that follow.
  QObject::connect(widget, &yk::TEditorWidget::charactersReplaced, &window, [&window](int count) {
    window.statusBar()->showMessage(QString::fromUtf8("Shift-JISにない文字 %1 個を「?」に置き換えました").arg(count),
                                    10000);
  });
  editor.OnChange = [&window, title](yk::TEditor& sender) {
    window.setWindowTitle(title + (sender.Modified() ? QStringLiteral(" * - Yomikaki") : QStringLiteral(" - Yomikaki")));
  };
  window.resize(800, 600);
  window.show();
  widget->setFocus();
  return app.exec();
}

// The toolkit's file dialog as the prompts show it: where it starts and
// what its name box holds.
#include "dialogs/dialog_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include "temp_dir.h"

namespace yk {
namespace {

struct TSeen {
  QString folder;
  QString name;
};

// Opens the dialog on initial and reports where it started, then cancels.
TSeen OpenOn(const QString& initial, bool save) {
  TSeen seen;
  QTimer::singleShot(0, [&seen] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    seen.folder = dialog->directory().absolutePath();
    seen.name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    dialog->reject();
  });
  TDialogPrompts& prompts = DefaultDialogPrompts();
  const QString filter = QStringLiteral("テキストファイル(*.txt)|*.txt");
  EXPECT_FALSE(save ? prompts.SaveFileName(nullptr, QStringLiteral("t"), filter, 0, initial)
                    : prompts.OpenFileName(nullptr, QStringLiteral("t"), filter, 0, initial));
  return seen;
}

TEST(DialogPrompts, AFolderIsWhereTheFileDialogStartsWithNoNameTyped) {
  test::TTempDir dir;
  std::filesystem::create_directories(dir.File("docs"));
  test::Spit(dir.File("docs/a.txt"), "a");
  const QString docs = QString::fromStdString(dir.File("docs"));
  for (bool save : {false, true}) {
    const TSeen folder = OpenOn(docs, save);
    EXPECT_EQ(folder.folder, docs) << save;
    EXPECT_EQ(folder.name, QString()) << save;
    // A file is preselected in its folder.
    const TSeen file = OpenOn(docs + QStringLiteral("/a.txt"), save);
    EXPECT_EQ(file.folder, docs) << save;
    EXPECT_EQ(file.name, QStringLiteral("a.txt")) << save;
  }
}

}  // namespace
}  // namespace yk

// The style settings dialog driven through its real widgets: every page
// changes the working copy and its sample, and only OK hands the copy back.
#include "dialogs/form_view_editor.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/fake_prompts.h"
#include "qt/editor_widget.h"

namespace yk {
namespace {

class FormViewEditorTest : public ::testing::Test {
 protected:
  FormViewEditorTest() {
    SetInitialStyle(prop);
    dialog.Open(prop);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  template <typename T>
  T* Find(const char* name) {
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void ShowPage(TFormViewEditor::TPage page) {
    Find<QTabWidget>("PageControl1")->setCurrentIndex(page);
    QCoreApplication::processEvents();
  }
  TEditorProp& copy() { return dialog.EditorProp1(); }

  TEditorProp prop;
  test::TFakePrompts prompts;
  TFormViewEditor dialog{nullptr, prompts};
};

// Not a check: with YK_SCREENSHOT_DIR set, every page is saved as a PNG
// there for a look at the layout.
TEST_F(FormViewEditorTest, Screenshots) {
  const QString dir = qEnvironmentVariable("YK_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP();
  QDir().mkpath(dir);
  auto* pages = Find<QTabWidget>("PageControl1");
  for (int i = 0; i < pages->count(); ++i) {
    ShowPage(static_cast<TFormViewEditor::TPage>(i));
    const QString name = pages->tabText(i).replace(QLatin1Char(' '), QLatin1Char('_'));
    EXPECT_TRUE(dialog.grab().save(dir + QStringLiteral("/style_%1_%2.png").arg(i).arg(name)));
  }
}

}  // namespace
}  // namespace yk

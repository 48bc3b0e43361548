// The main window's small dialogs: the one-field dialogs, the word list and
// the About box.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/about_box.h"
#include "app/app_icons.h"
#include "app/hist_head_dlg.h"
#include "app/jump_dlg.h"
#include "app/list_form.h"
#include "app/topic_dlg.h"

namespace yk {
namespace {

// Runs `act` once the modal loop of whatever is shown next has started. A
// dialog that `act` failed to close is closed after a few seconds, so a
// failing test reports instead of hanging.
void WhenShown(std::function<void()> act) {
  static int showings = 0;
  const int showing = ++showings;
  QTimer::singleShot(0, std::move(act));
  QTimer::singleShot(5000, [showing] {
    if (showing != showings) return;
    if (QWidget* modal = QApplication::activeModalWidget()) {
      ADD_FAILURE() << "a dialog stayed open";
      modal->close();
    }
  });
}

template <class T>
T* Child(QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

TEST(LineNumber, ParsesDecimalIntegersOnly) {
  struct Case {
    const char* text;
    std::optional<int> want;
  };
  const Case cases[] = {
      {"12", 12},           {" 7 ", 7},      {"-3", -3},  {"+4", 4},        {"0", 0},
      {"１２３", 123},      {"－５", -5},    {"", {}},    {"  ", {}},       {"-", {}},
      {"12a", {}},          {"1 2", {}},     {"0x10", {}}, {"1.5", {}},     {"9999999999999", 2147483647},
      {"-9999999999999", -2147483647 - 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLineNumber(QString::fromUtf8(c.text)), c.want) << c.text;
}

TEST(FieldDialogs, CaptionsLabelsAndButtons) {
  TJumpDlg jump;
  TTopicDlg topic;
  THistHeadDlg head;
  const std::tuple<TFieldDlg*, const char*, const char*> dialogs[] = {
      {&jump, "ジャンプ", "ジャンプしたい行番号を入力してください。"},
      {&topic, "トピック入力", "以下のキーワードを一時的に強調表示します。"},
      {&head, "版管理ファイル名用ヘッダ入力", "先頭に以下のテキストを付加したファイル名で登録します。"}};
  for (auto [dlg, caption, prompt] : dialogs) {
    EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8(caption));
    EXPECT_EQ(Child<QLabel>(dlg, "Label1")->text(), QString::fromUtf8(prompt));
    QPushButton* ok = Child<QPushButton>(dlg, "OKBtn");
    EXPECT_EQ(ok->text(), QString::fromUtf8("ＯＫ"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(Child<QPushButton>(dlg, "CancelBtn")->text(), QString::fromUtf8("キャンセル"));
  }
  QLabel* note = Child<QLabel>(&head, "Label2");
  EXPECT_EQ(note->text(), QString::fromUtf8("＊）ファイル名として使用できない文字は使用できません。"));
  EXPECT_EQ(note->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

TEST(FieldDialogs, TheFieldKeepsItsTextBetweenShowings) {
  TJumpDlg jump;
  WhenShown([&] {
    QTest::keyClicks(jump.Edit(), "42");
    QTest::keyClick(jump.Edit(), Qt::Key_Return);
  });
  ASSERT_TRUE(jump.Execute());
  EXPECT_EQ(jump.LineNumber(), 42);
  QString seen;
  bool selected = false;
  WhenShown([&] {
    seen = jump.Edit()->text();
    selected = jump.Edit()->selectedText() == seen;
    Child<QPushButton>(&jump, "CancelBtn")->click();
  });
  EXPECT_FALSE(jump.Execute());
  EXPECT_EQ(seen, "42");
  EXPECT_TRUE(selected);  // typing replaces the last number
  EXPECT_EQ(jump.Text(), "42");
}

TEST(FieldDialogs, TopicIsCp932) {
  TTopicDlg topic;
  topic.SetTopic("\x82\xa0\x82\xa2 ABC");  // あい ABC
  EXPECT_EQ(topic.Text(), QString::fromUtf8("あい ABC"));
  topic.SetText(QString::fromUtf8("表"));
  EXPECT_EQ(topic.Topic(), "\x95\x5c");
}

struct ListFormTest : ::testing::Test {
  ListFormTest() {
    form.SetItems({"\x82\xa0", "abc", "\x95\x5c"});  // あ, abc, 表
    form.PlaceAt(QPoint(10, 10));
  }
  QRect ItemRect(int row) { return form.ListBox()->visualItemRect(form.ListBox()->item(row)); }
  TListForm form;
};

TEST_F(ListFormTest, ShapeAndItems) {
  EXPECT_EQ(form.size(), QSize(154, 144));
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.Items(), (std::vector<std::string>{"\x82\xa0", "abc", "\x95\x5c"}));
  EXPECT_EQ(form.ListBox()->item(2)->text(), QString::fromUtf8("表"));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(ItemRect(1).top() - ItemRect(0).top(), TListForm::kItemHeight);
  form.hide();
}

TEST_F(ListFormTest, EnterChoosesTheSelectedWord) {
  std::string told;
  form.OnChoose = [&](const std::string& word) { told = word; };
  WhenShown([&] {
    // Without a selection Enter does nothing and the window stays.
    QTest::keyClick(form.ListBox(), Qt::Key_Return);
    EXPECT_TRUE(form.isVisible());
    form.ListBox()->setCurrentRow(2);
    QTest::keyClick(form.ListBox(), Qt::Key_Return);
  });
  EXPECT_EQ(form.Execute(), std::optional<std::string>("\x95\x5c"));
  EXPECT_EQ(told, "\x95\x5c");
}

TEST_F(ListFormTest, DoubleClickChoosesAndEscapeCloses) {
  WhenShown([&] {
    QWidget* view = form.ListBox()->viewport();
    const QPoint at = ItemRect(1).center();
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    QTest::mouseDClick(view, Qt::LeftButton, {}, at);
  });
  EXPECT_EQ(form.Execute(), std::optional<std::string>("abc"));
  WhenShown([&] {
    form.ListBox()->setCurrentRow(0);
    QTest::keyClick(form.ListBox(), Qt::Key_Escape);
  });
  EXPECT_EQ(form.Execute(), std::nullopt);
  EXPECT_FALSE(form.Chosen().has_value());
}

TEST(AboutBox, Contents) {
  std::unique_ptr<QDialog> box = MakeAboutBox(nullptr);
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8("Yomikakiのバージョン情報"));
  QLabel* product = Child<QLabel>(box.get(), "ProductName");
  EXPECT_EQ(product->text(), "Yomikaki");
  EXPECT_TRUE(product->font().bold());
  EXPECT_TRUE(Child<QLabel>(box.get(), "Version")->text().contains(QStringLiteral(YK_VERSION)));
  EXPECT_FALSE(Child<QLabel>(box.get(), "ProgramIcon")->pixmap().isNull());
  for (const char* name : {"WebLink", "MailLink"}) {
    QLabel* link = Child<QLabel>(box.get(), name);
    EXPECT_TRUE(link->openExternalLinks()) << name;
    EXPECT_TRUE(link->text().contains("<a href=")) << name;
  }
  EXPECT_TRUE(Child<QLabel>(box.get(), "WebLink")->text().contains(kWebAddress));
  EXPECT_TRUE(Child<QLabel>(box.get(), "MailLink")->text().contains(QStringLiteral("mailto:") + kMailAddress));
}

TEST(AboutBox, MadeForEachShowingAndFreedAfter) {
  QWidget owner;
  QString caption;
  WhenShown([&] {
    QDialog* box = owner.findChild<QDialog*>("AboutBox");
    ASSERT_NE(box, nullptr);
    caption = box->windowTitle();
    Child<QPushButton>(box, "OKButton")->click();
  });
  ShowAboutBox(&owner);
  EXPECT_EQ(caption, QString::fromUtf8("Yomikakiのバージョン情報"));
  EXPECT_EQ(owner.findChild<QDialog*>("AboutBox"), nullptr);
}

TEST(AppIcons, NineDistinctImages) {
  std::vector<QImage> images;
  for (int i = 0; i < kAnimationFrameCount; ++i) {
    const QIcon icon = AnimationFrame(i);
    ASSERT_FALSE(icon.isNull()) << i;
    EXPECT_FALSE(icon.availableSizes().isEmpty());
    images.push_back(icon.pixmap(32, 32).toImage());
  }
  for (std::size_t i = 0; i < images.size(); ++i)
    for (std::size_t j = i + 1; j < images.size(); ++j) EXPECT_NE(images[i], images[j]) << i << " " << j;
  EXPECT_EQ(StillIcon().pixmap(32, 32).toImage(), images[0]);
  EXPECT_EQ(AnimationFrame(9).pixmap(32, 32).toImage(), images[0]);  // out of range: the still icon
  EXPECT_EQ(AnimationFrame(-1).pixmap(32, 32).toImage(), images[0]);
}

// Each tick of the animation sends every size of its image to the X server
// and the window manager: a 256-pixel image is a quarter of a megabyte.
TEST(AppIcons, AnimationSendsSmallImagesStillIconKeepsLargeOnes) {
  auto largest = [](const QIcon& icon) {
    int side = 0;
    for (const QSize& s : icon.availableSizes()) side = std::max(side, s.width());
    return side;
  };
  for (int i = 0; i < kAnimationFrameCount; ++i) EXPECT_LE(largest(AnimationFrame(i)), 64) << i;
  EXPECT_EQ(largest(StillIcon()), 256);
}

}  // namespace
}  // namespace yk

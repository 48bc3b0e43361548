// The file list box: display texts, icons, item handling and repainting.
#include "controls/fi_list_box.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace yk {
namespace {

TEST(FIListBoxText, Rules) {
  struct Case {
    const char* path;
    bool full, ext;
    std::string want;
  };
  const std::string drive = "\xc4\xde\xd7\xb2\xcc\xde";  // ﾄﾞﾗｲﾌﾞ
  const Case cases[] = {
      {"/home/u/memo.txt", true, false, "/home/u/memo.txt"},
      {"/home/u/memo.txt", false, true, "memo.txt"},
      {"/home/u/memo.txt", false, false, "memo"},
      {"/home/u/a.b.txt", false, false, "a.b"},
      {"/home/u/README", false, false, "README"},
      {"/home/u/.bashrc", false, false, ".bashrc"},  // a hidden file, not an extension
      {"/home/u/.conf.ini", false, false, ".conf"},
      {"memo.txt", false, false, "memo"},
      {"/home/u.d/memo", false, false, "memo"},  // a dot in a folder is no extension
      {"D:\\", false, false, "(D:) " + drive},
      {"D:\\", false, true, ""},
      {"/", false, false, "(/) " + drive},
      {"/media/usb/", false, false, "(/media/usb) " + drive},
      {"", false, false, ""},
      // 表.txt: the trail byte of 表 is a backslash, which must not cut.
      {"/d/\x95\x5c.txt", false, false, "\x95\x5c"},
      {"/d/\xe3\x81\x82.txt", false, true, "\xe3\x81\x82.txt"},  // あ.txt in UTF-8
  };
  for (const Case& c : cases)
    EXPECT_EQ(FIListBoxText(c.path, c.full, c.ext), c.want) << c.path << " full=" << c.full << " ext=" << c.ext;
}

TEST(FIListBoxText, NamesDecodeAsUtf8OrCp932) {
  EXPECT_EQ(FileNameForScreen("\xe3\x81\x82.txt"), QString::fromUtf8("あ.txt"));
  EXPECT_EQ(FileNameForScreen("\x82\xa0.txt"), QString::fromUtf8("あ.txt"));  // あ in CP932
  EXPECT_EQ(FileNameForScreen("\xc4\xde\xd7\xb2\xcc\xde"), QString::fromUtf8("ﾄﾞﾗｲﾌﾞ"));
}

TEST(FIListBox, ItemsKeepTheirBytes) {
  TFIListBox box;
  const std::string cp932 = "/tmp/\x95\x5c.txt";  // 表.txt
  box.SetItems({"/a/one.txt", cp932});
  box.InsertItem(0, "/a/zero.txt");
  box.InsertItem(99, "/a/last.txt");  // clamped: appended
  box.AddItem("/a/appended");
  ASSERT_EQ(box.Count(), 5);
  EXPECT_EQ(box.Items(), (std::vector<std::string>{"/a/zero.txt", "/a/one.txt", cp932, "/a/last.txt", "/a/appended"}));
  EXPECT_EQ(box.IndexOf(cp932), 2);
  EXPECT_EQ(box.IndexOf("/a/none"), -1);
  EXPECT_EQ(box.DisplayText(2), QString::fromUtf8("表.txt"));
  box.DeleteItem(0);
  EXPECT_EQ(box.Item(0), "/a/one.txt");
  EXPECT_THROW(box.Item(4), std::out_of_range);
  EXPECT_THROW(box.DeleteItem(-1), std::out_of_range);
  box.ClearItems();
  EXPECT_EQ(box.Count(), 0);
}

TEST(FIListBox, SwitchesChangeTheTexts) {
  TFIListBox box;
  box.SetItems({"/x/a.b.txt"});
  EXPECT_EQ(box.DisplayText(0), "a.b.txt");
  EXPECT_EQ(box.item(0)->text(), "a.b.txt");
  box.SetShowExtention(false);
  EXPECT_EQ(box.DisplayText(0), "a.b");
  EXPECT_EQ(box.item(0)->text(), "a.b");
  box.SetShowFullPath(true);
  EXPECT_EQ(box.item(0)->text(), "/x/a.b.txt");
}

TEST(FIListBox, IconsForExistingAndMissingFiles) {
  test::TTempDir dir;
  test::Spit(dir.File("here.txt"), "x");
  TFIListBox box;
  box.SetItems({dir.File("here.txt"), dir.File("gone.txt"), dir.File("gone-without-extension")});
  EXPECT_FALSE(box.ItemIcon(0).isNull());
  EXPECT_TRUE(box.ItemIcon(1).isNull());  // no icon for a missing file by default
  box.SetShowUnexistFileIcon(true);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(box.ItemIcon(i).isNull()) << i;
  // A file that appears later gets its icon without resetting the list.
  box.SetShowUnexistFileIcon(false);
  test::Spit(dir.File("gone.txt"), "now here");
  EXPECT_FALSE(box.ItemIcon(1).isNull());
}

// Counts the paint events of the list's viewport.
class TPaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST(FIListBox, SettersRepaintOnlyOnChange) {
  TFIListBox box;
  box.SetItems({"/x/a.txt", "/x/b.txt"});
  box.resize(200, 100);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  TPaintCounter counter;
  box.viewport()->installEventFilter(&counter);
  using Setter = void (TFIListBox::*)(bool);
  using Getter = bool (TFIListBox::*)() const;
  const std::pair<Getter, Setter> switches[] = {{&TFIListBox::ShowFullPath, &TFIListBox::SetShowFullPath},
                                                {&TFIListBox::ShowExtention, &TFIListBox::SetShowExtention},
                                                {&TFIListBox::ShowIcon, &TFIListBox::SetShowIcon},
                                                {&TFIListBox::ShowUnexistFileIcon, &TFIListBox::SetShowUnexistFileIcon}};
  for (auto [get, set] : switches) {
    QTest::qWait(20);  // paints still due from showing or the last switch
    counter.paints = 0;
    (box.*set)((box.*get)());
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    (box.*set)(!(box.*get)());
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
  }
}

TEST(FIListBox, PaintsItemsOfSeventeenPixels) {
  TFIListBox box;
  box.SetShowUnexistFileIcon(true);
  box.SetItems({"/x/a.txt", "/x/b.txt", "/x/c"});
  box.resize(200, 100);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  EXPECT_EQ(box.visualItemRect(box.item(1)).top() - box.visualItemRect(box.item(0)).top(), TFIListBox::kItemHeight);
  QImage image(box.viewport()->size(), QImage::Format_ARGB32);
  box.viewport()->render(&image);  // paints every item, icon and text, without crashing
  box.setEnabled(false);
  box.viewport()->render(&image);
}

}  // namespace
}  // namespace yk

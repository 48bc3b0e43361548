// The styles of the main window: the style by extension, never-configured
// styles, the style dialog's OK and Cancel, style export and import, and the
// general settings dialog's round trip through the settings file.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolBar>

#include "controls/fi_list_box.h"
#include "dialogs/basic_setup_dlg.h"
#include "dialogs/form_view_editor.h"
#include "form_fixture.h"
#include "props/component_stream.h"
#include "props/editor_prop.h"
#include "props/editor_prop_link.h"
#include "props/reg_manager.h"

namespace yk::test {
namespace {

class StyleTest : public FormTest {
 protected:
  // The property set stored for a style, or nullopt when none is stored.
  std::optional<std::string> Stored(const std::string& file, const std::string& section) {
    if (!TIniText(Slurp(file)).SectionExists(section)) return std::nullopt;
    TRegManager store;
    store.SetIniFileName(file);
    store.RegItems().Add("P", section, "prop");
    TEditorProp prop;
    store.FilerOf("P").ReadComponent(&prop);
    return SaveComponent(prop);
  }
  std::optional<std::string> StoredStyle(int n) { return Stored(SettingsFile(), "EditProp" + std::to_string(n)); }
  static std::string Current(const TEditorProp& prop) {
    TEditorProp copy;
    copy.Assign(prop);
    return SaveComponent(copy);
  }
  static int WrapOf(TEditorWidget* memo) { return memo->Editor().WrapOption().WrapByte(); }

  // Answers the style dialog: sets the wrap width in its working copy and
  // closes it with OK or Cancel.
  void StyleDialog(int wrap, bool ok) {
    prompts.Dialog([wrap, ok](QDialog& box) {
      auto& dialog = dynamic_cast<TFormViewEditor&>(box);
      dialog.EditorProp1().WrapOption().SetWrapByte(wrap);
      if (!ok) return static_cast<int>(QDialog::Rejected);
      dialog.accept();
      return dialog.result();
    });
  }
};

TEST_F(StyleTest, TheStyleIsChosenByTheFileExtension) {
  Spit(SettingsFile(),
       "[StyleExt]\nExt2=txt doc\nExt3=\"my ext\",md\nExt4=.log\nExt5=TXT\n");
  struct {
    const char* name;
    int style;
  } const cases[] = {
      {"A.TXT", 2},     // letter case is ignored
      {"b.doc", 2},     // blank-separated entries
      {"c.md", 3},
      {"d.my ext", 3},  // a quoted entry with a blank
      {"e.log", 0},     // an entry with its own dot matches nothing
      {"README", 0},    // no extension: no change
  };
  for (const auto& c : cases) {
    TMainForm& f = Make({File(c.name, "x\r\n")});
    EXPECT_EQ(f.StyleIndex, c.style) << c.name;
    EXPECT_EQ(f.TabSet1->currentIndex(), c.style) << c.name;
  }
  // An earlier style wins over a later one that lists the same extension.
  Spit(SettingsFile(), "[StyleExt]\nExt1=txt\nExt2=txt doc\n");
  EXPECT_EQ(Make({File("f.txt", "x\r\n")}).StyleIndex, 1);
}

TEST_F(StyleTest, ANeverConfiguredStyleKeepsTheLookAndConfiguringStoresIt) {
  TMainForm& f = Make();
  StyleDialog(40, true);
  f.StyleOption1Click();
  EXPECT_EQ(WrapOf(f.Memo1), 40);
  EXPECT_FALSE(StoredStyle(6).has_value());

  f.SelectStyle(6);
  EXPECT_EQ(f.StyleIndex, 6);
  for (TEditorWidget* memo : {f.Memo1, f.Memo2, f.Memo3}) EXPECT_EQ(WrapOf(memo), 40);
  EXPECT_FALSE(StoredStyle(6).has_value());  // switching tabs never writes

  StyleDialog(60, true);
  f.StyleOption1Click();
  ASSERT_TRUE(StoredStyle(6).has_value());
  EXPECT_EQ(*StoredStyle(6), Current(*f.EditorProp1));
  f.SelectStyle(0);
  EXPECT_EQ(WrapOf(f.Memo1), 40);
  f.SelectStyle(6);
  EXPECT_EQ(WrapOf(f.Memo3), 60);
}

TEST_F(StyleTest, StyleDialogOkAppliesAndCancelStillStoresTheUnchangedSettings) {
  TMainForm& f = Make();
  const int initial = WrapOf(f.Memo1);
  StyleDialog(initial + 7, false);
  ASSERT_TRUE(f.RunCommand("StyleOption1"));
  EXPECT_EQ(WrapOf(f.Memo1), initial);
  ASSERT_TRUE(StoredStyle(0).has_value());
  EXPECT_EQ(*StoredStyle(0), Current(*f.EditorProp1));

  StyleDialog(33, true);
  ASSERT_TRUE(f.RunCommand("StyleOption1"));
  for (TEditorWidget* memo : {f.Memo1, f.Memo2, f.Memo3}) EXPECT_EQ(WrapOf(memo), 33);
  EXPECT_EQ(f.EditorProp1->WrapOption().WrapByte(), 33);
  // The next window starts with the stored style 0.
  EXPECT_EQ(WrapOf(Make().Memo1), 33);
}

// Settings that did not change change nothing the rows depend on: typed
// text stays undoable and the caret stays, after the style dialog's OK or
// Cancel (with the split view open too) and after a switch to a style that
// looks the same. A new wrap width does re-wrap and forgets the steps.
TEST_F(StyleTest, UnchangedSettingsKeepTheUndoStepsAndTheCaret) {
  TMainForm& f = Make();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Memo1->setFocus();
  QTest::keyClicks(f.Memo1, QStringLiteral("abc def"));
  const auto press = [this](const char* button) {
    prompts.Dialog([button](QDialog& d) {
      d.show();
      QTest::mouseClick(d.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
      return d.result();
    });
  };
  struct {
    const char* what;
    std::function<void()> act;
  } const steps[] = {
      {"OK", [&] {
         press("OKButton");
         f.RunCommand("StyleOption1");
       }},
      {"Cancel with the split view", [&] {
         f.RunCommand("Split1");
         press("CancelButton");
         f.RunCommand("StyleOption1");
       }},
      {"OK with the split view", [&] {
         press("OKButton");
         f.RunCommand("StyleOption1");
       }},
      {"a style that looks the same", [&] { f.TabSet1->setCurrentIndex(1); }},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Doc().CanUndo());
    EXPECT_TRUE(f.Action("Undo1")->isEnabled());
    EXPECT_EQ(Doc().Col(), 7);
  }
  StyleDialog(WrapOf(f.Memo1) + 7, true);
  ASSERT_TRUE(f.RunCommand("StyleOption1"));
  EXPECT_FALSE(Doc().CanUndo());
}

// Cancel leaves the split pane as it was: it keeps its own font while the
// document shows a temporary one.
TEST_F(StyleTest, CancelLeavesTheSplitPaneAlone) {
  TMainForm& f = Make();
  ASSERT_TRUE(f.RunCommand("Split1"));
  const TFontSpec own = f.Memo3->Editor().Font();
  QFont chosen(QStringLiteral("Some Font"));
  chosen.setPixelSize(23);
  prompts.Font(chosen);
  ASSERT_TRUE(f.RunCommand("Font1"));
  ASSERT_NE(Doc().Font(), own);
  StyleDialog(WrapOf(f.Memo1), false);
  ASSERT_TRUE(f.RunCommand("StyleOption1"));
  EXPECT_EQ(f.Memo3->Editor().Font(), own);
}

TEST_F(StyleTest, ExportThenImportIntoAnotherStyleMakesItIdenticalAndStored) {
  TMainForm& f = Make();
  StyleDialog(44, true);
  f.StyleOption1Click();
  const std::string style0 = Current(*f.EditorProp1);
  const std::string recent = File("recent.txt", "r\r\n");
  f.RegisterRecent(recent);

  // An existing file keeps its other sections; the name gets ".yks".
  Spit(dir.File("mine.yks"), "[Other]\nkey=value\n");
  prompts.SaveFile(Q(dir.File("mine")));
  ASSERT_TRUE(f.RunCommand("WriteStyle1"));
  EXPECT_EQ(prompts.Last().filter, QString::fromUtf8(kStyleFilter));
  EXPECT_EQ(f.RegManager1->IniFileName(), SettingsFile());
  EXPECT_EQ(TIniText(Slurp(dir.File("mine.yks"))).Read("Other", "key").value_or(""), "value");
  EXPECT_EQ(Stored(dir.File("mine.yks"), "EditProp"), style0);
  // The File menu still lists the settings file's recent files.
  f.RunMenuHooks(TMenu::File);
  EXPECT_TRUE(f.Action("His0")->isVisible());
  EXPECT_EQ(f.FIListBox2->Items(), std::vector<std::string>{recent});

  f.SelectStyle(3);
  StyleDialog(70, true);
  f.StyleOption1Click();
  ASSERT_NE(Current(*f.EditorProp1), style0);
  prompts.OpenFile(Q(dir.File("mine.yks")));
  ASSERT_TRUE(f.RunCommand("ReadStyle1"));
  EXPECT_EQ(Current(*f.EditorProp1), style0);
  EXPECT_EQ(WrapOf(f.Memo1), 44);
  EXPECT_EQ(StoredStyle(3), style0);
  EXPECT_EQ(f.RegManager1->IniFileName(), SettingsFile());
}

TEST_F(StyleTest, AStyleFileWithoutAReadableSetChangesNothing) {
  TMainForm& f = Make();
  f.SelectStyle(2);
  const std::string before = Current(*f.EditorProp1);
  const std::string settings_before = Slurp(SettingsFile());
  const std::string files[] = {
      File("none.yks", "[Other]\nkey=value\n"),
      File("garbage.yks", "[EditProp]\nprop_c=1\nprop_d0=ZZZZ\n"),
      File("short.yks", "[EditProp]\nprop_c=1\nprop_d0=545046\n"),
      dir.File("missing.yks"),
      dir.Path(),  // a folder
  };
  for (const std::string& file : files) {
    prompts.OpenFile(Q(file));
    prompts.Expect(TKind::Error);
    f.ReadStyle1Click();
    EXPECT_EQ(Current(*f.EditorProp1), before) << file;
    EXPECT_EQ(Slurp(SettingsFile()), settings_before) << file;
    EXPECT_EQ(f.RegManager1->IniFileName(), SettingsFile()) << file;
  }
  // A style file that cannot be written: an error, and the store is back
  // on the settings file.
  prompts.SaveFile(Q(dir.File("no/such/folder/x.yks")));
  prompts.Expect(TKind::Error);
  f.WriteStyle1Click();
  EXPECT_EQ(f.RegManager1->IniFileName(), SettingsFile());
  // Cancelled file dialogs do nothing.
  prompts.OpenFile(std::nullopt);
  f.ReadStyle1Click();
  prompts.SaveFile(std::nullopt);
  f.WriteStyle1Click();
  EXPECT_EQ(Slurp(SettingsFile()), settings_before);
}

TEST_F(StyleTest, AStyleStoredOrImportedWithHugeValuesIsBroughtIntoBounds) {
  // Margins that push the text out of the window and a giant font, as
  // anyone may write them into the settings or a style file.
  TEditorProp wild;
  SetInitialStyle(wild);
  wild.Margin().SetLeft(30000);
  wild.Margin().SetTop(30000);
  wild.Font().SetHeight(-4000);
  const std::string yks = dir.File("wild.yks");
  for (const auto& [file, section] : {std::pair(SettingsFile(), "EditProp0"), std::pair(yks, "EditProp")}) {
    TRegManager store;
    store.SetIniFileName(file);
    store.RegItems().Add("P", section, "prop");
    store.FilerOf("P").WriteComponent(&wild);
  }
  TMainForm& f = Make();
  auto bounded = [](TEditor& ed) {
    return ed.Margin().Left() == kMaxStyleMargin && ed.Margin().Top() == kMaxStyleMargin &&
           ed.Font().height == -kMaxStyleFontPixels;
  };
  EXPECT_TRUE(bounded(f.Memo1->Editor()));  // at start
  f.SelectStyle(1);
  prompts.OpenFile(Q(yks));
  f.ReadStyle1Click();
  EXPECT_TRUE(bounded(f.Memo1->Editor()));  // imported
  const std::string stored = StoredStyle(1).value_or("");
  TEditorProp read;
  ASSERT_TRUE(LoadComponent(stored, read));
  EXPECT_EQ(read.Margin().Left(), kMaxStyleMargin);  // and stored so
  EXPECT_EQ(read.Font().Height(), -kMaxStyleFontPixels);
}

TBasicSettings ChangedSettings() {
  TBasicSettings s = DefaultBasicSettings();
  s.imeMode = true;
  for (int n = 0; n < kStyleCount; ++n) {
    const auto i = static_cast<std::size_t>(n);
    s.tabNames[i] = "\x83\x58\x83\x5e\x83\x43\x83\x8b" + std::to_string(n);  // スタイル
    s.dicFiles[i] = "/dic/" + std::to_string(n) + ".csv";
    s.styleExts[i] = "e" + std::to_string(n) + " \"x y\"";
  }
  s.customDayTime = true;
  s.dayTimeFormat = "yyyy-mm-dd";
  s.toolNames = {"t1", "t2", "t3"};
  s.toolPaths = {"/bin/a", "/bin/b", "/bin/c"};
  s.tracerPath = "/bin/grep";
  s.tracerExt = "*.txt";
  s.sizePosSave = false;
  s.iconAnime = false;
  s.deleteHistory = false;
  s.userHeader = true;
  s.tabMark = 1;
  s.spaceMark = 2;
  s.logicalLineNumbers = false;
  return s;
}

TEST_F(StyleTest, GeneralSettingsTravelThroughTheDialogAndTheSettingsFile) {
  TMainForm& f = Make();
  EXPECT_TRUE(f.AnimeTimer1->isActive());
  const TBasicSettings changed = ChangedSettings();
  prompts.Dialog([&](QDialog& box) {
    auto& dialog = dynamic_cast<TBasicSetupDlg&>(box);
    EXPECT_EQ(dialog.Take(), f.Settings);  // filled from the window
    dialog.Load(changed);
    return static_cast<int>(QDialog::Accepted);
  });
  ASSERT_TRUE(f.RunCommand("GeneralOption1"));
  EXPECT_EQ(f.Settings, changed);
  EXPECT_EQ(f.TabSet1->tabText(4), QString::fromUtf8("スタイル4"));
  EXPECT_FALSE(f.AnimeTimer1->isActive());
  EXPECT_EQ(ReadBasicSettings(SettingsFile()), changed);
  // The new extensions choose the style at once.
  f.SelectStyleByExt("/x/a.e7");
  EXPECT_EQ(f.StyleIndex, 7);

  // The next window reads them all back.
  TMainForm& g = Make();
  EXPECT_EQ(g.Settings, changed);
  EXPECT_EQ(g.TabSet1->tabText(9), QString::fromUtf8("スタイル9"));
  EXPECT_FALSE(g.AnimeTimer1->isActive());
}

TEST_F(StyleTest, GeneralSettingsCancelChangesNothing) {
  TMainForm& f = Make();
  const TBasicSettings before = f.Settings;
  const std::string file_before = Slurp(SettingsFile());
  prompts.Dialog([&](QDialog& box) {
    dynamic_cast<TBasicSetupDlg&>(box).Load(ChangedSettings());
    return static_cast<int>(QDialog::Rejected);
  });
  ASSERT_TRUE(f.RunCommand("GeneralOption1"));
  EXPECT_EQ(f.Settings, before);
  EXPECT_EQ(f.TabSet1->tabText(0), QString::fromUtf8("定義1"));
  EXPECT_TRUE(f.AnimeTimer1->isActive());
  EXPECT_EQ(Slurp(SettingsFile()), file_before);
}

TEST_F(StyleTest, BothSettingsCommandsAreInTheViewMenuAndStyleSettingsOnTheToolBar) {
  TMainForm& f = Make();
  for (const char* name : {"GeneralOption1", "StyleOption1", "ReadStyle1", "WriteStyle1"}) {
    EXPECT_TRUE(f.Action(name)->isEnabled()) << name;
    EXPECT_TRUE(f.Menu(TMenu::View)->actions().contains(f.Action(name))) << name;
  }
  EXPECT_TRUE(f.ToolBar1->actions().contains(f.Action("StyleOption1")));
}

}  // namespace
}  // namespace yk::test

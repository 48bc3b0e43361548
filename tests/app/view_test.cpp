// The main window's view: the split view and its closing by the splitter,
// the wheel on the active pane, the View menu's toggles, word wrap, the
// temporary font and the icon animation.
#include <QAction>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QWheelEvent>

#include "app/app_icons.h"
#include "controls/cute_splitter.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

using ViewTest = FormTest;

std::string Rows(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "row " + std::to_string(i) + "\r\n";
  return text;
}

void Click(TEditorWidget* memo) {
  memo->Editor().MouseDown(mbLeft, 0, 0, 0);
  memo->Editor().MouseUp(mbLeft, 0, 0, 0);
}

void Wheel(TEditorWidget* over, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(over->viewport(), &e);
}

TEST_F(ViewTest, SplitPaneSharesTheTextAtHalfHeightAndClosesWhenDraggedSmall) {
  TMainForm& f = Make();
  Doc().Lines().SetTextStr(Rows(10));
  const int height = f.Memo1->height();
  EXPECT_TRUE(f.RunCommand("Split1"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.Action("Split1")->isChecked());
  EXPECT_TRUE(f.SplitView());
  EXPECT_NEAR(f.Memo3->height(), height / 2, 2);
  TEditor& upper = f.Memo3->Editor();
  EXPECT_EQ(upper.RowText(3), "row 3");
  // Each pane has its own caret; an edit in one shows in the other.
  upper.SetRowCol(2, 0);
  upper.SetSelTextBuf("X");
  EXPECT_EQ(Doc().RowText(2), "Xrow 2");
  EXPECT_EQ(Doc().Row(), 0);

  Click(f.Memo3);
  EXPECT_EQ(f.ActiveEditor, f.Memo3);
  f.Splitter2->setSizes({20, 1000});
  QCoreApplication::processEvents();
  f.Splitter2->OnMoved(*f.Splitter2);
  EXPECT_FALSE(f.SplitView());
  EXPECT_FALSE(f.Action("Split1")->isChecked());
  EXPECT_EQ(f.ActiveEditor, f.Memo1);  // not the hidden pane

  // Opened again, it still shows the document; the command closes it too.
  EXPECT_TRUE(f.RunCommand("Split1"));
  EXPECT_EQ(upper.RowText(2), "Xrow 2");
  EXPECT_TRUE(f.RunCommand("Split1"));
  EXPECT_FALSE(f.SplitView());
}

// The document pane loses half its height to the split pane: a caret on one
// of its lower rows stays in view, moved there through the keys.
TEST_F(ViewTest, OpeningTheSplitViewKeepsTheCaretInView) {
  TMainForm& f = Make();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  Doc().Lines().SetTextStr(Rows(300));
  f.Memo1->setFocus();
  QTest::keyClick(f.Memo1, Qt::Key_Home, Qt::ControlModifier);
  const int v = Doc().VisibleRows();
  for (int i = 0; i < v - 2; ++i) QTest::keyClick(f.Memo1, Qt::Key_Down);
  ASSERT_EQ(Doc().Row() - Doc().TopRow(), v - 2);  // near the bottom of the view
  EXPECT_TRUE(f.RunCommand("Split1"));
  QCoreApplication::processEvents();
  ASSERT_LT(Doc().VisibleRows(), v);
  for (TEditorWidget* pane : {f.Memo1, f.Memo3}) {
    const TEditor& ed = pane->Editor();
    EXPECT_GE(ed.Row(), ed.TopRow());
    EXPECT_LT(ed.Row(), ed.TopRow() + ed.VisibleRows());
  }
}

// Typing in one pane moves the shared text under the other pane's caret;
// that must not make the other pane the one commands act on.
TEST_F(ViewTest, TheFocusedPaneStaysActiveWhileTheOtherFollowsItsEdits) {
  TMainForm& f = Make();
  Doc().Lines().SetTextStr(Rows(5));
  f.RunCommand("Split1");
  f.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  f.Memo1->Editor().SetRowCol(3, 0);
  f.Memo3->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(f.ActiveEditor, f.Memo3);
  QTest::keyClicks(f.Memo3, QStringLiteral("ab"));
  QTest::keyClick(f.Memo3, Qt::Key_Return);
  EXPECT_EQ(Doc().RowText(0), "ab");
  EXPECT_EQ(f.ActiveEditor, f.Memo3);
  f.RunCommand("Undo1");
  EXPECT_EQ(Doc().RowText(0), "abrow 0");
}

TEST_F(ViewTest, TheWheelScrollsTheActivePaneByTheDesktopsLinesPerNotch) {
  TMainForm& f = Make();
  Doc().Lines().SetTextStr(Rows(300));
  f.RunCommand("Split1");
  QCoreApplication::processEvents();
  Click(f.Memo3);
  TEditor& upper = f.Memo3->Editor();
  QApplication::setWheelScrollLines(3);
  // Small deltas add up, a line at a time; over Memo1, Memo3 scrolls.
  Wheel(f.Memo1, -20);
  EXPECT_EQ(upper.TopRow(), 0);
  Wheel(f.Memo1, -20);
  EXPECT_EQ(upper.TopRow(), 1);
  EXPECT_EQ(Doc().TopRow(), 0);
  Wheel(f.Memo1, -240);
  EXPECT_EQ(upper.TopRow(), 7);
  Wheel(f.Memo1, 120);
  EXPECT_EQ(upper.TopRow(), 4);
  // Shift pages, a page per notch.
  const int page = upper.VisibleRows();
  Wheel(f.Memo1, -120, Qt::ShiftModifier);
  EXPECT_GE(upper.TopRow(), 4 + page - 1);
  EXPECT_LE(upper.TopRow(), 4 + page);
}

// A desktop with a dark palette: links and mail addresses of the first
// style stand on the editor's own dark background, in a light colour.
TEST_F(ViewTest, LinksAreReadableWithoutBoxesInADarkPalette) {
  TMainForm& f = Make();
  QPalette dark = f.palette();
  dark.setColor(QPalette::Base, QColor(30, 30, 30));
  dark.setColor(QPalette::Text, QColor(220, 220, 220));
  f.setPalette(dark);
  Doc().Lines().SetTextStr("x http://example.com/ me@example.com\r\n");
  Doc().SetRowCol(1, 0);
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QCoreApplication::processEvents();
  const QImage shot = f.Memo1->viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  TEditor& ed = Doc();
  for (const auto& [col, cells] : {std::pair{2, 19}, std::pair{22, 14}}) {
    const QRect area(ed.Margin().Left() + col * ed.ColWidth(), ed.Margin().Top(), cells * ed.ColWidth(),
                     ed.FontHeight());
    int light = 0, bright = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor c = shot.pixelColor(x, y);
        light += c.lightness() > 250;
        bright += c.lightness() > 110;
      }
    EXPECT_LT(light, area.width() * area.height() / 20) << col;  // no white box
    EXPECT_GT(bright, 0) << col;                                 // and ink that reads
  }
}

TEST_F(ViewTest, ViewTogglesFlipTheirPartsAndCheckMarks) {
  TMainForm& f = Make();
  struct {
    const char* command;
    std::function<bool()> shown;
  } const toggles[] = {
      {"HistView1", [&] { return f.ListPanelVisible(); }}, {"Tool1", [&] { return f.ToolBarVisible(); }},
      {"StyleTab1", [&] { return f.StyleTabVisible(); }},  {"Status1", [&] { return f.StatusBarVisible(); }},
      {"ViewLine1", [&] { return f.LineNumber; }},
  };
  for (const auto& t : toggles) {
    const bool before = t.shown();
    EXPECT_TRUE(f.RunCommand(t.command)) << t.command;
    EXPECT_EQ(t.shown(), !before) << t.command;
    EXPECT_EQ(f.Action(t.command)->isChecked(), !before) << t.command;
    EXPECT_TRUE(f.RunCommand(t.command)) << t.command;
    EXPECT_EQ(t.shown(), before) << t.command;
  }
  // Commands leave the preview when it is hidden.
  Click(f.Memo2);
  EXPECT_TRUE(f.RunCommand("HistView1"));
  EXPECT_EQ(f.ActiveEditor, f.Memo1);
}

TEST_F(ViewTest, WordWrapAndTheTemporaryFontAreInTheViewMenu) {
  TMainForm& f = Make();
  const QList<QAction*> view = f.Menu(TMenu::View)->actions();
  EXPECT_TRUE(view.contains(f.Action("Wrap1")));
  EXPECT_TRUE(view.contains(f.Action("Font1")));
  EXPECT_EQ(f.Action("Font1")->statusTip(), QString::fromUtf8("一時的にフォントを変更します。"));

  const bool wrap = Doc().WordWrap();
  EXPECT_TRUE(f.RunCommand("Wrap1"));
  EXPECT_EQ(Doc().WordWrap(), !wrap);
  EXPECT_EQ(f.Action("Wrap1")->isChecked(), !wrap);
  Doc().SetWordWrap(wrap);  // as a style would
  f.RunMenuHooks(TMenu::View);
  EXPECT_EQ(f.Action("Wrap1")->isChecked(), wrap);

  // Cancel changes nothing; a chosen font goes to the document and the
  // preview, not to the split pane.
  const TFontSpec before = Doc().Font();
  prompts.Font(std::nullopt);
  EXPECT_TRUE(f.RunCommand("Font1"));
  EXPECT_EQ(Doc().Font(), before);
  QFont chosen(QStringLiteral("Some Font"));
  chosen.setPixelSize(21);
  chosen.setBold(true);
  prompts.Font(chosen);
  EXPECT_TRUE(f.RunCommand("Font1"));
  EXPECT_EQ(Doc().Font().name, "Some Font");
  EXPECT_EQ(Doc().Font().height, -21);
  EXPECT_TRUE(Doc().Font().style.Contains(fsBold));
  EXPECT_EQ(Doc().Font().color, before.color);
  EXPECT_EQ(f.Memo2->Editor().Font(), Doc().Font());
  EXPECT_EQ(f.Memo3->Editor().Font(), before);
}

TEST_F(ViewTest, IconAnimationCyclesWhileActiveAndInactive) {
  TMainForm& f = Make();
  auto frames = [&](int ticks) {
    std::vector<int> seen;
    for (int i = 0; i < ticks; ++i) {
      f.AnimeTimer1Timer();
      seen.push_back(f.AnimeFrame);
      EXPECT_EQ(f.windowIcon().cacheKey(), AnimationFrame(f.AnimeFrame).cacheKey());
    }
    return seen;
  };
  EXPECT_EQ(frames(7), (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  f.ApplicationActivated(false);
  EXPECT_EQ(frames(4), (std::vector<int>{6, 7, 8, 6}));
  f.ApplicationActivated(true);
  EXPECT_EQ(frames(1), (std::vector<int>{1}));

  f.Settings.iconAnime = false;
  f.ApplyIconAnime();
  EXPECT_FALSE(f.AnimeTimer1->isActive());
  EXPECT_EQ(f.windowIcon().cacheKey(), StillIcon().cacheKey());
  f.Settings.iconAnime = true;
  f.ApplyIconAnime();
  EXPECT_TRUE(f.AnimeTimer1->isActive());
}

}  // namespace
}  // namespace yk::test

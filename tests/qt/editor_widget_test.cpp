// The editor widget under the offscreen platform: keys, mouse, wheel,
// scroll bars, input method, painting and the clipboard, through Qt events.
#include "qt/editor_widget.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/cp932_codec.h"
#include "qt/editor_menu.h"
#include "qt/glyph_cells.h"
#include "qt/image_probe.h"
#include "qt/qt_graphics.h"
#include "qt/qt_surface.h"

namespace yk {
namespace {

class EditorWidgetTest : public ::testing::Test {
 protected:
  EditorWidgetTest() {
    w.resize(480, 320);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    w.setFocus();
    QCoreApplication::processEvents();
  }
  TEditor& ed() { return w.Editor(); }
  // A fresh document with the caret and the view at its start.
  void SetText(const std::vector<std::string>& rows) {
    ed().SetLines(rows);
    ed().SetRowCol(0, 0);
    ed().SetTopRow(0);
  }
  // The viewport point at the middle of a cell.
  QPoint Cell(int row, int col) const {
    TEditor& e = const_cast<TEditorWidget&>(w).Editor();
    return {e.Margin().Left() + (col - e.TopCol()) * e.ColWidth() + e.ColWidth() / 2,
            e.Margin().Top() + (row - e.TopRow()) * e.RowHeight() + e.FontHeight() / 2};
  }
  // The cell's left edge (a press there is not rounded to the next column).
  QPoint CellEdge(int row, int col) { return Cell(row, col) - QPoint(w.Editor().ColWidth() / 2 - 1, 0); }
  QImage Shot() { return w.viewport()->grab().toImage().convertToFormat(QImage::Format_ARGB32); }
  QRect CellRect(int row, int col, int cells = 1) {
    return QRect(ed().Margin().Left() + (col - ed().TopCol()) * ed().ColWidth(),
                 ed().Margin().Top() + (row - ed().TopRow()) * ed().RowHeight(), cells * ed().ColWidth(),
                 ed().FontHeight());
  }

  TEditorWidget w;
};

// Escape belongs to the dialog unless the editor has something to cancel.
TEST(EditorWidgetInDialog, EscapeReachesTheDialog) {
  QDialog dialog;
  auto* editor = new TEditorWidget(&dialog);
  editor->Editor().SetWantReturns(false);
  editor->Editor().SetLines({"abc"});
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  dialog.activateWindow();
  editor->setFocus();
  QCoreApplication::processEvents();
  int handled = 0;
  editor->Editor().OnKeyDown = [&](TEditor&, TKey& key, TShiftState) {
    if (key == vkEscape) ++handled;
  };
  // Not while a composition is shown.
  QInputMethodEvent compose(QString::fromUtf8("か"), {});
  QCoreApplication::sendEvent(editor, &compose);
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  QInputMethodEvent cancel;
  QCoreApplication::sendEvent(editor, &cancel);
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(handled, 2);  // the editor's handler still sees it first
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(editor->Editor().RowText(0), "abc");
}

TEST_F(EditorWidgetTest, TypingAndEditingKeys) {
  QTest::keyClicks(&w, "abc");
  QTest::keyClick(&w, Qt::Key_Return);
  QTest::keyClicks(&w, "xy");
  QTest::keyClick(&w, Qt::Key_Backspace);
  QTest::keyClick(&w, Qt::Key_Tab);
  EXPECT_EQ(ed().RowText(0), "abc");
  EXPECT_EQ(ed().RowText(1), "x\t");
  QTest::keyClick(&w, Qt::Key_Home);
  QTest::keyClick(&w, Qt::Key_Delete);
  EXPECT_EQ(ed().RowText(1), "\t");
  // Ctrl combinations that are no command type nothing.
  QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(ed().RowText(1), "\t");
}

TEST_F(EditorWidgetTest, ShiftArrowsSelectAndMenuShortcutsRun) {
  SetText({"abcdef", "ghi"});
  QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(ed().SelText(), "ab");
  QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "ab");
  QTest::keyClick(&w, Qt::Key_End);
  EXPECT_FALSE(ed().Selected());
  QTest::keyClick(&w, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(ed().RowText(0), "abcdefab");
  QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ed().RowText(0), "abcdef");
}

TEST_F(EditorWidgetTest, InputMethodCommitIsOneEditAndPreeditShowsAtTheCaret) {
  SetText({"ab"});
  QTest::keyClick(&w, Qt::Key_End);
  const QRect before = w.inputMethodQuery(Qt::ImCursorRectangle).toRect();
  // Composing: shown, not in the document.
  QInputMethodEvent compose(QString::fromUtf8("にほん"), {{QInputMethodEvent::Cursor, 3, 1, QVariant()}});
  QCoreApplication::sendEvent(&w, &compose);
  EXPECT_EQ(w.Preedit(), QString::fromUtf8("にほん"));
  EXPECT_EQ(ed().RowText(0), "ab");
  const QImage shot = Shot();
  EXPECT_GT(test::InkCount(shot, ToQColor(clWindow), CellRect(0, 2, 6)), 0);
  // Committing: the whole text goes in as one edit.
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("日本〜"));  // with a WAVE DASH as input methods here send it
  QCoreApplication::sendEvent(&w, &commit);
  EXPECT_TRUE(w.Preedit().isEmpty());
  EXPECT_EQ(ed().RowText(0), "ab\x93\xfa\x96\x7b\x81\x60");  // ab日本～
  const QRect after = w.inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(after.left() - before.left(), 6 * ed().ColWidth());  // the input method follows the caret
  ed().Undo();
  EXPECT_EQ(ed().RowText(0), "ab");
  // A character with no CP932 form gets a code of the document's table.
  int replaced = 0;
  QObject::connect(&w, &TEditorWidget::charactersReplaced, [&](int n) { replaced += n; });
  QInputMethodEvent emoji;
  emoji.setCommitString(QString::fromUtf8("x\U0001F600"));
  QCoreApplication::sendEvent(&w, &emoji);
  EXPECT_EQ(replaced, 0);
  EXPECT_EQ(ed().RowText(0), "abx\xf9\xfc");
  EXPECT_EQ(w.ToText(ed().RowText(0)), QString::fromUtf8("abx\U0001F600"));
}

// A character with no CP932 form, when the document's table has no free
// code left, is typed as "?" and then reported: the notice comes after the
// edit, so whatever shows it cannot hold up or eat the keys around it.
TEST_F(EditorWidgetTest, ReplacedCharactersAreReportedAfterTheyWentIn) {
  SetText({""});
  auto full = std::make_shared<TMappedChars>();
  for (char32_t c = 0x20000; full->Count() < TMappedChars::kCapacity; ++c) full->CodeFor(c);
  w.SetChars(full);
  QStringList seen;
  QObject::connect(&w, &TEditorWidget::charactersReplaced,
                   [&](int n) { seen << QString::number(n) + ":" + ToQString(ed().RowText(0)); });
  QTest::keyClick(&w, Qt::Key_A);
  QKeyEvent emoji(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\U0001F600"));
  QCoreApplication::sendEvent(&w, &emoji);
  QTest::keyClick(&w, Qt::Key_B);
  EXPECT_EQ(ed().RowText(0), "a?b");
  EXPECT_EQ(seen, QStringList({"1:a?"}));
  // From the input method.
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("\U0001F600\U0001F600"));
  QCoreApplication::sendEvent(&w, &commit);
  EXPECT_EQ(seen.last(), "2:a?b??");
  // From a paste of another program's text.
  QGuiApplication::clipboard()->setText(QString::fromUtf8("x\U0001F600"));
  ed().PasteFromClipboard();
  QCoreApplication::processEvents();
  EXPECT_EQ(seen.last(), "1:a?b??x?");
  EXPECT_EQ(seen.size(), 3);
}

// The composition is shown inline: the text after the caret moves right to
// make room for it, whole, and comes back when the composition ends; the
// document never changes meanwhile.
TEST_F(EditorWidgetTest, CompositionMovesTheRestOfTheRowAside) {
  SetText({"ab\x82\xa0\x82\xa2" "ef", "xyz"});  // abあいef
  ed().SetRowCol(1, 3);  // the caret out of the way of the shots
  QCoreApplication::processEvents();
  const QImage before = Shot();
  ed().SetRowCol(0, 2);
  // (The composition's own cursor at its start, clear of the moved text.)
  QInputMethodEvent compose(QString::fromUtf8("にほ"), {{QInputMethodEvent::Cursor, 0, 1, QVariant()}});
  QCoreApplication::sendEvent(&w, &compose);
  QCoreApplication::processEvents();
  const QImage during = Shot();
  const int cw = ed().ColWidth();
  const QRect rest = CellRect(0, 2, 6);  // あいef
  EXPECT_EQ(during.copy(rest.translated(4 * cw, 0)), before.copy(rest));
  EXPECT_EQ(during.copy(CellRect(0, 0, 2)), before.copy(CellRect(0, 0, 2)));
  EXPECT_EQ(during.copy(CellRect(1, 0, 3)), before.copy(CellRect(1, 0, 3)));  // other rows stay
  EXPECT_GT(test::InkCount(during, ToQColor(clWindow), CellRect(0, 2, 4)), 0);
  EXPECT_NE(during.copy(CellRect(0, 2, 4)), before.copy(CellRect(0, 2, 4)));
  EXPECT_EQ(ed().RowText(0), "ab\x82\xa0\x82\xa2" "ef");
  QInputMethodEvent cancel;
  QCoreApplication::sendEvent(&w, &cancel);
  ed().SetRowCol(1, 3);
  QCoreApplication::processEvents();
  EXPECT_EQ(Shot().copy(CellRect(0, 0, 10)), before.copy(CellRect(0, 0, 10)));
}

// A conversion in segments, recorded as an input method sends it: the
// segment being converted highlighted, the next one underlined, the cursor
// after the first. Each is drawn as formatted, not as one underline.
TEST_F(EditorWidgetTest, CompositionSegmentsAreDrawnAsTheInputMethodFormatsThem) {
  SetText({"", "xyz"});
  ed().SetRowCol(0, 0);
  QTextCharFormat active;
  active.setBackground(QColor(200, 0, 0));
  active.setForeground(QColor(255, 255, 255));
  QTextCharFormat other;
  other.setUnderlineStyle(QTextCharFormat::DashUnderline);
  QInputMethodEvent compose(QString::fromUtf8("今日は晴れ"), {{QInputMethodEvent::TextFormat, 0, 3, active},
                                                              {QInputMethodEvent::TextFormat, 3, 2, other},
                                                              {QInputMethodEvent::Cursor, 3, 1, QVariant()}});
  QCoreApplication::sendEvent(&w, &compose);
  QCoreApplication::processEvents();
  const QImage shot = Shot();
  const auto reds = [&](QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) n += shot.pixelColor(x, y) == QColor(200, 0, 0);
    return n;
  };
  const QRect first = CellRect(0, 0, 6), second = CellRect(0, 6, 4);
  EXPECT_GT(reds(first), first.width() * first.height() / 2);  // 今日は on the highlight
  EXPECT_EQ(reds(second), 0);
  EXPECT_GT(test::InkCount(shot, ToQColor(clWindow), second), 0);  // 晴れ, in the editor's colours
  // Another segment chosen: the highlight moves with it.
  QInputMethodEvent next(QString::fromUtf8("今日は晴れ"), {{QInputMethodEvent::TextFormat, 0, 3, other},
                                                           {QInputMethodEvent::TextFormat, 3, 2, active}});
  QCoreApplication::sendEvent(&w, &next);
  QCoreApplication::processEvents();
  const QImage moved = Shot();
  EXPECT_EQ(moved.pixelColor(second.center() + QPoint(0, second.height() / 2 - 1)), QColor(200, 0, 0));
  EXPECT_NE(moved.pixelColor(first.center() + QPoint(0, first.height() / 2 - 1)), QColor(200, 0, 0));
  EXPECT_EQ(ed().RowText(0), "");
}

// A composition at the right edge moves the view so that its cursor stays
// in sight; the document is not touched.
TEST_F(EditorWidgetTest, CompositionAtTheRightEdgeScrollsTheView) {
  SetText({std::string(300, 'a')});
  const int visible = ed().VisibleCols();
  ed().SetRowCol(0, visible - 2);
  ASSERT_EQ(ed().TopCol(), 0);
  QInputMethodEvent compose(QString::fromUtf8("にほんごを"), {{QInputMethodEvent::Cursor, 5, 1, QVariant()}});
  QCoreApplication::sendEvent(&w, &compose);
  QCoreApplication::processEvents();
  EXPECT_GT(ed().TopCol(), 0);
  const QRect start = w.inputMethodQuery(Qt::ImCursorRectangle).toRect().translated(-w.viewport()->pos());
  const int cursorX = start.left() + 10 * ed().ColWidth();
  EXPECT_LE(cursorX + 2, w.viewport()->width());
  EXPECT_GE(start.left(), ed().Margin().Left());  // the composition's start stays in sight too
  EXPECT_EQ(ed().RowText(0), std::string(300, 'a'));
}

TEST_F(EditorWidgetTest, MouseClickDragAndThreshold) {
  SetText({"abcdef", "ghijkl"});
  QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, CellEdge(1, 2));
  EXPECT_EQ(ed().Row(), 1);
  EXPECT_EQ(ed().Col(), 2);
  EXPECT_FALSE(ed().Selected());
  // A press and a move of a pixel selects nothing.
  QTest::mousePress(w.viewport(), Qt::LeftButton, {}, CellEdge(0, 1));
  QTest::mouseMove(w.viewport(), CellEdge(0, 1) + QPoint(1, 0));
  EXPECT_FALSE(ed().Selected());
  QTest::mouseMove(w.viewport(), CellEdge(0, 4));
  QTest::mouseRelease(w.viewport(), Qt::LeftButton, {}, CellEdge(0, 4));
  EXPECT_EQ(ed().SelText(), "bcd");
}

// Taking the focus, by a click or back from a popup, leaves the view where
// it is, so a click lands on the row under the mouse.
TEST_F(EditorWidgetTest, FocusKeepsTheViewAndAClickLandsWhereItIs) {
  std::vector<std::string> rows;
  for (int i = 0; i < 300; ++i) rows.push_back("row " + std::to_string(i));
  SetText(rows);
  w.clearFocus();
  QCoreApplication::processEvents();
  ed().SetTopRow(190);
  QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, CellEdge(193, 2));
  EXPECT_TRUE(w.hasFocus());
  EXPECT_EQ(ed().TopRow(), 190);
  EXPECT_EQ(ed().Row(), 193);
  EXPECT_EQ(ed().Col(), 2);
  // A popup takes the focus away and gives it back.
  ed().SetTopRow(100);
  QWidget popup(&w, Qt::Popup);
  popup.show();
  popup.setFocus();
  QCoreApplication::processEvents();
  popup.close();
  w.setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(ed().TopRow(), 100);
}

// A property set is applied to the editor, not to its widget: the bars on
// screen follow the editor's ScrollBars all the same.
TEST_F(EditorWidgetTest, TheEditorsScrollBarsShowOnScreen) {
  SetText(std::vector<std::string>(200, std::string(300, 'x')));
  ed().SetScrollBars(ssBoth);
  QCoreApplication::processEvents();
  EXPECT_EQ(w.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  EXPECT_TRUE(w.verticalScrollBar()->isVisible());
  EXPECT_TRUE(w.horizontalScrollBar()->isVisible());
  EXPECT_EQ(ed().VisibleRows(), (w.viewport()->height() - ed().Margin().Top() - 5) / ed().RowHeight());
  ed().SetScrollBars(ssNone);
  QCoreApplication::processEvents();
  EXPECT_FALSE(w.verticalScrollBar()->isVisible());
  EXPECT_FALSE(w.horizontalScrollBar()->isVisible());
  EXPECT_EQ(ed().VisibleRows(), (w.viewport()->height() - ed().Margin().Top() - 5) / ed().RowHeight());
}

TEST_F(EditorWidgetTest, AWindowShrunkTinyAndGrownAgainShowsTheText) {
  SetText({});
  w.resize(60, 60);
  QCoreApplication::processEvents();
  for (int i = 0; i < 6; ++i) {
    QTest::keyClicks(&w, "line");
    QTest::keyClick(&w, Qt::Key_Return);
  }
  w.resize(480, 320);
  QCoreApplication::processEvents();
  EXPECT_EQ(ed().TopRow(), 0);
  const QImage shot = Shot();
  EXPECT_GT(test::InkCount(shot, ToQColor(clWindow), CellRect(0, 0, 4)), 0);
}

TEST_F(EditorWidgetTest, ScrollBarsAndWheelMoveTheView) {
  w.SetScrollBars(ssBoth);
  std::vector<std::string> rows;
  for (int i = 0; i < 200; ++i) rows.push_back("row " + std::to_string(i));
  SetText(rows);
  QScrollBar* bar = w.verticalScrollBar();
  EXPECT_EQ(bar->maximum(), ed().MaxTopRow() - ed().VisibleRows() + 1);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ed().TopRow(), 1);
  EXPECT_EQ(bar->value(), 1);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(ed().TopRow(), 1 + ed().VisibleRows());
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(ed().TopRow(), 0);
  // A wheel notch towards the user scrolls down the rows the desktop sets.
  struct {
    int linesPerNotch;
    int delta;
    int top;
  } const turns[] = {{3, -120, 3}, {3, 120, 0}, {3, -40, 1}, {5, -120, 6}, {1, 120, 5}};
  for (const auto& t : turns) {
    QApplication::setWheelScrollLines(t.linesPerNotch);
    QWheelEvent wheel(QPointF(50, 50), w.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, t.delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.viewport(), &wheel);
    EXPECT_EQ(ed().TopRow(), t.top) << t.linesPerNotch << " " << t.delta;
    EXPECT_EQ(bar->value(), t.top);
  }
  QApplication::setWheelScrollLines(3);
  ed().SetTopRow(1);
  // The pixels moved with the view: row 1's text is now in the first row.
  QCoreApplication::processEvents();
  const QImage shot = Shot();
  const QColor bk = ToQColor(clWindow);
  EXPECT_GT(test::InkCount(shot, bk, CellRect(1, 4)), 0);   // "1" of "row 1"
  EXPECT_EQ(test::InkCount(shot, bk, CellRect(1, 5)), 0);   // nothing after it
  w.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ed().TopCol(), 1);
}

// The host may take the wheel, to scroll whichever editor it means; the
// widget it hands the wheel to scrolls as if turned itself.
TEST_F(EditorWidgetTest, TheHostCanTakeTheWheel) {
  SetText(std::vector<std::string>(200, "x"));
  TEditorWidget other;
  other.Editor().SetLines(std::vector<std::string>(200, "y"));
  other.resize(300, 200);
  int turns = 0;
  w.OnWheel = [&](TEditorWidget& sender, QWheelEvent* e) {
    EXPECT_EQ(&sender, &w);
    ++turns;
    other.TurnWheel(e->angleDelta().y(), e->modifiers());
    return true;
  };
  auto turn = [&](int delta) {
    QWheelEvent wheel(QPointF(50, 50), w.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w.viewport(), &wheel);
  };
  QApplication::setWheelScrollLines(3);
  turn(-120);
  turn(-20);
  turn(-20);  // small steps add up
  EXPECT_EQ(turns, 3);
  EXPECT_EQ(ed().TopRow(), 0);
  EXPECT_EQ(other.Editor().TopRow(), 4);
  // A host that declines leaves the wheel to the widget.
  w.OnWheel = [](TEditorWidget&, QWheelEvent*) { return false; };
  turn(-120);
  EXPECT_EQ(ed().TopRow(), 3);
}

TEST_F(EditorWidgetTest, PaintsTextSelectionCaretAndEof) {
  SetText({"W\x82\xa0W"});  // WあW
  QCoreApplication::processEvents();
  QImage shot = Shot();
  const QColor bk = ToQColor(clWindow);
  EXPECT_GT(test::InkCount(shot, bk, CellRect(0, 0)), 0);
  EXPECT_GT(test::InkCount(shot, bk, CellRect(0, 1, 2)), 0);
  EXPECT_EQ(test::InkCount(shot, bk, CellRect(0, 4, 4)), 0);
  // Selected cells take the selection background.
  QTest::keyClick(&w, Qt::Key_Home);
  QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
  QCoreApplication::processEvents();
  shot = Shot();
  const QColor select = ToQColor(ed().View().Colors().Select().BkColor());
  const QRect first = CellRect(0, 0);
  EXPECT_EQ(shot.pixelColor(first.left() + 1, first.bottom()), select);
  EXPECT_NE(shot.pixelColor(CellRect(0, 3).left() + 1, first.bottom()), select);
}

TEST_F(EditorWidgetTest, CaretIsDrawnWhereTheEditorPutsIt) {
  SetText({"abc"});
  QTest::keyClick(&w, Qt::Key_End);
  const QRect caret = w.CaretRect();
  ASSERT_FALSE(caret.isEmpty());
  EXPECT_EQ(caret.left(), ed().Margin().Left() + 3 * ed().ColWidth());
  ed().SetOverwrite(true);
  EXPECT_EQ(w.CaretRect().width(), ed().ColWidth() - ed().Margin().Character());
  w.clearFocus();
  QCoreApplication::processEvents();
  EXPECT_TRUE(w.CaretRect().isEmpty());
}

TEST_F(EditorWidgetTest, ContextMenuMirrorsTheEditorsMenu) {
  SetText({"abc"});
  ed().SelectAll();
  ed().SetReadOnly(true);
  std::unique_ptr<QMenu> menu(CreateEditorMenu(*ed().PopupMenu(), &w));
  QStringList enabled;
  QString redoKey;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    if (a->isEnabled()) enabled << a->text();
    if (a->text() == QString::fromUtf8("やり直し(&R)")) redoKey = a->shortcut().toString();
  }
  EXPECT_EQ(enabled, QStringList({QString::fromUtf8("コピー(&C)"), QString::fromUtf8("すべて選択(&A)"),
                                  QString::fromUtf8("Box選択モード(&K)")}));
  EXPECT_EQ(redoKey, "Ctrl+A");
  EXPECT_EQ(menu->actions().size(), 12);
  // Choosing the box-mode item switches the mode.
  menu->actions().back()->trigger();
  EXPECT_EQ(ed().SelectionMode(), smBox);
}

// Records the keys that reach a widget.
class KeySpy : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(e)->key();
    return false;
  }
  QList<int> keys;
};

// An application's own context menu replaces the built-in one: it is the
// menu shown, and the built-in menu's shortcuts no longer act.
TEST(EditorWidgetMenu, AnApplicationsMenuReplacesTheBuiltInOne) {
  QWidget parent;
  KeySpy parentKeys;
  parent.installEventFilter(&parentKeys);
  auto* w = new TEditorWidget(&parent);
  w->resize(300, 200);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  parent.activateWindow();
  w->setFocus();
  QMenu menu;
  menu.addAction(QStringLiteral("App"));
  w->SetPopupMenu(&menu);
  EXPECT_EQ(w->PopupMenu(), &menu);
  TEditor& ed = w->Editor();
  ed.SetLines({"abc"});
  ed.SetRowCol(0, 0);
  QTest::keyClick(w, Qt::Key_X);
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(ed.RowText(0), "xabc");
  EXPECT_EQ(ed.SelectionMode(), smNormal);
  // The keys go on to the application; typing does not.
  EXPECT_TRUE(parentKeys.keys.contains(Qt::Key_Z) && parentKeys.keys.contains(Qt::Key_K)) << parentKeys.keys.size();
  EXPECT_FALSE(parentKeys.keys.contains(Qt::Key_X));
  const QPoint at(ed.Margin().Left() + 4, ed.Margin().Top() + 4);
  QContextMenuEvent open(QContextMenuEvent::Mouse, at, w->viewport()->mapToGlobal(at));
  QCoreApplication::sendEvent(w->viewport(), &open);
  EXPECT_TRUE(menu.isVisible());
  menu.close();
  // Back to the built-in menu and its keys.
  w->SetPopupMenu(nullptr);
  EXPECT_EQ(w->PopupMenu(), nullptr);
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ed.RowText(0), "abc");
}

// The X11 selection only where the platform has one (the offscreen
// platform of these tests has none): otherwise a middle click pastes nothing.
TEST_F(EditorWidgetTest, TheSelectionClipboardOnlyWhereThePlatformHasOne) {
  const bool supported = QGuiApplication::clipboard()->supportsSelection();
  EXPECT_EQ(ed().SelectionClipboard() != nullptr, supported);
  if (supported) return;
  SetText({"abc"});
  QGuiApplication::clipboard()->setText("x");
  ed().SetRowCol(0, 0);
  QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
  QTest::mouseClick(w.viewport(), Qt::MiddleButton, {}, CellEdge(0, 3));
  EXPECT_EQ(ed().RowText(0), "abc");
}

TEST_F(EditorWidgetTest, BoxCopyPastesAsABoxInAnotherEditor) {
  SetText({"abcd", "efgh"});
  ed().SetSelectionMode(smBox);
  QTest::keyClick(&w, Qt::Key_Right);
  QTest::keyClick(&w, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
  ed().CopyToClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "bc\nfg\n");
  TEditorWidget other;
  other.Editor().SetLines({"12", "34"});
  other.Editor().SetRowCol(0, 1);
  other.Editor().PasteFromClipboard();
  EXPECT_EQ(other.Editor().RowText(0), "1bc2");
  EXPECT_EQ(other.Editor().RowText(1), "3fg4");
}

// Where a selection dragged with the mouse ends up: moved, copied with
// Ctrl held at the release, or left alone after Escape; the screen cursor
// shows the kind of drag and is given back at the end.
TEST_F(EditorWidgetTest, SelectionDragMovesCopiesOrCancels) {
  struct Case {
    const char* name;
    bool ctrl;
    bool escape;
    const char* row;
    Qt::CursorShape cursor;
  } cases[] = {{"move", false, false, "adebcf", Qt::DragMoveCursor},
               {"copy", true, false, "abcdebcf", Qt::DragCopyCursor},
               {"escape", false, true, "abcdef", Qt::DragMoveCursor}};
  for (const Case& c : cases) {
    SetText({"abcdef"});
    ed().SetRowCol(0, 1);
    ed().StartSelection();
    ed().SetRowCol(0, 3);
    ed().ExtendSelection();
    QWidget* v = w.viewport();
    QTest::mousePress(v, Qt::LeftButton, {}, CellEdge(0, 2));
    QTest::mouseMove(v, CellEdge(0, 5));
    ASSERT_EQ(ed().SelDragState(), sdDragging) << c.name;
    if (c.ctrl) QTest::keyPress(&w, Qt::Key_Control, Qt::ControlModifier);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << c.name;
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), c.cursor) << c.name;
    if (c.escape) QTest::keyClick(&w, Qt::Key_Escape);
    QTest::mouseRelease(v, Qt::LeftButton, c.ctrl ? Qt::ControlModifier : Qt::NoModifier, CellEdge(0, 5));
    if (c.ctrl) QTest::keyRelease(&w, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(ed().RowText(0), c.row) << c.name;
    EXPECT_EQ(ed().SelDragState(), sdNone) << c.name;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << c.name;
  }
}

TEST_F(EditorWidgetTest, LeftMarginSelectsWholeRows) {
  SetText({"abc", "def", "ghi", "jkl"});
  QWidget* v = w.viewport();
  const int x = ed().Margin().Left() / 2;
  QTest::mouseMove(v, QPoint(x, Cell(1, 0).y()));
  EXPECT_EQ(v->cursor().shape(), Qt::BitmapCursor);  // the right-pointing arrow
  QTest::mousePress(v, Qt::LeftButton, {}, QPoint(x, Cell(1, 0).y()));
  QTest::mouseMove(v, QPoint(x, Cell(2, 0).y()));
  QTest::mouseRelease(v, Qt::LeftButton, {}, QPoint(x, Cell(2, 0).y()));
  EXPECT_EQ(ed().SelText(), "def\r\nghi\r\n");
  QTest::mouseMove(v, Cell(3, 1));
  EXPECT_EQ(v->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(EditorWidgetTest, HeldArrowAtTheViewsEdgeScrollsTwoRowsAndLockScrollCarriesTheCaret) {
  w.SetScrollBars(ssBoth);
  std::vector<std::string> rows(200, "x");
  SetText(rows);
  const int last = ed().VisibleRows() - 1;
  ed().SetRowCol(last, 0);
  QKeyEvent held(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(&w, &held);
  EXPECT_EQ(ed().Row(), last + 2);
  EXPECT_EQ(ed().TopRow(), 2);
  QTest::keyRelease(&w, Qt::Key_Down);
  QTest::keyClick(&w, Qt::Key_Down);
  EXPECT_EQ(ed().Row(), last + 3);
  EXPECT_EQ(ed().TopRow(), 3);
  // With LockScroll the scroll bar moves the caret with the view.
  ed().Caret().SetLockScroll(true);
  w.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ed().TopRow(), 4);
  EXPECT_EQ(ed().Row(), last + 4);
}

// Records the regions the viewport paints.
class PaintSpy : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
  QRegion painted;
};

TEST_F(EditorWidgetTest, TypingRepaintsOnlyTheChangedRowAtOnce) {
  std::vector<std::string> rows(20, "abcdef");
  SetText(rows);
  ed().SetRowCol(3, 2);
  QCoreApplication::processEvents();
  PaintSpy spy;
  w.viewport()->installEventFilter(&spy);
  QTest::keyClick(&w, Qt::Key_X);
  // Painted before the event loop ran again.
  const QRect painted = spy.painted.boundingRect();
  ASSERT_FALSE(painted.isEmpty());
  EXPECT_TRUE(painted.contains(CellRect(3, 0, 6)));
  EXPECT_GE(painted.top(), CellRect(2, 0).top());
  EXPECT_LE(painted.height(), 3 * ed().RowHeight());  // the row and its neighbours, not the view
  EXPECT_EQ(ed().RowText(3), "abxcdef");
  w.viewport()->removeEventFilter(&spy);
}

// A key in a long wrapped line is shown before the rest of the line is
// wrapped: that waits for the event loop, or for the next key, which must
// see the rows of a whole wrap (here: the end of the last row).
TEST_F(EditorWidgetTest, TheRestOfALongLineIsWrappedAfterTheKey) {
  ed().WrapOption().SetWrapByte(20);
  ed().SetWordWrap(true);
  std::string line;
  for (int i = 0; line.size() < 20000; ++i) line += i % 7 ? "word " : "42; ";
  SetText({line});
  QTest::keyClick(&w, Qt::Key_X);
  EXPECT_TRUE(ed().ScreenStrings().WrapPending());
  QTest::keyClick(&w, Qt::Key_End, Qt::ControlModifier);
  EXPECT_FALSE(ed().ScreenStrings().WrapPending());
  QTest::keyClick(&w, Qt::Key_Up);
  QTest::keyClick(&w, Qt::Key_End);
  QTest::keyClick(&w, Qt::Key_Z);
  ed().SetRowCol(0, 0);
  QTest::keyClick(&w, Qt::Key_Y);
  EXPECT_TRUE(ed().ScreenStrings().WrapPending());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !ed().ScreenStrings().WrapPending(); }, 2000));
  EXPECT_TRUE(ed().Lines().GetTextStr() == "yx" + line + "z\r\n");
}

// A key that moves the view shows what came into view before it returns,
// not when the event loop next runs its update timer.
TEST_F(EditorWidgetTest, KeysThatMoveTheViewPaintWhatTheyUncoverAtOnce) {
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool bottomRow;  // start with the caret on the last visible row
    bool far;        // start with the caret far right in a long row
  } cases[] = {
      {"PageDown", Qt::Key_PageDown, Qt::NoModifier, false, false},
      {"Down at the bottom", Qt::Key_Down, Qt::NoModifier, true, false},
      {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier, false, false},
      {"Right past the edge", Qt::Key_Right, Qt::NoModifier, false, true},
  };
  std::vector<std::string> rows;
  for (int i = 0; i < 200; ++i) rows.push_back(std::to_string(i) + std::string(300, 'x'));
  for (const Case& c : cases) {
    SetText(rows);
    const int last = ed().TopRow() + ed().VisibleRows() - 1;
    if (c.bottomRow) ed().SetRowCol(last, 0);
    if (c.far) ed().SetRowCol(0, ed().VisibleCols() - 1);
    QCoreApplication::processEvents();
    w.UpdateNow();  // nothing waits for paint any more
    const int topRow = ed().TopRow(), topCol = ed().TopCol();
    PaintSpy spy;
    w.viewport()->installEventFilter(&spy);
    QTest::keyClick(&w, c.key, c.modifiers);
    w.viewport()->removeEventFilter(&spy);
    ASSERT_TRUE(ed().TopRow() != topRow || ed().TopCol() != topCol) << c.name;
    // The bottom row of the view, or the right column, is new on screen.
    const QRect uncovered = ed().TopCol() != topCol
                                ? CellRect(ed().TopRow(), ed().TopCol() + ed().VisibleCols() - 1)
                                : CellRect(ed().TopRow() + ed().VisibleRows() - 1, 0);
    EXPECT_TRUE(spy.painted.contains(uncovered)) << c.name;
  }
}

// Idle time draws the characters of the next page ahead, so PageDown into
// text never seen before draws no glyph of its own.
TEST_F(EditorWidgetTest, IdleTimeDrawsThePageBelowAhead) {
  std::vector<std::string> rows;
  // Each row starts with a letter of its own that CP932 lacks: the
  // document's table gives it a code, and the cells are the letter's.
  auto chars = std::make_shared<TMappedChars>();
  w.SetChars(chars);
  for (int i = 0; i < 90; ++i) {  // level-1 kanji, different in every row
    const std::uint16_t code = chars->CodeFor(U'\u0100' + i);  // Ā ā Ă ă …
    std::string row{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    for (int k = 0; k < 30; ++k) {
      int trail = 0x40 + (i % 6) * 30 + k;
      if (trail >= 0x7F) ++trail;
      row += static_cast<char>(0x89 + i / 6);
      row += static_cast<char>(trail);
    }
    rows.push_back(row);
  }
  const std::size_t before = TGlyphCells::Shared().Size();
  SetText(rows);
  QCoreApplication::processEvents();
  w.UpdateNow();
  ASSERT_GT(TGlyphCells::Shared().Size(), before);  // the first page went through the cells
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.WarmingCells(); }, 10000));
  const std::size_t warm = TGlyphCells::Shared().Size();
  PaintSpy spy;
  w.viewport()->installEventFilter(&spy);
  QTest::keyClick(&w, Qt::Key_PageDown);
  w.viewport()->removeEventFilter(&spy);
  ASSERT_FALSE(spy.painted.isEmpty());
  EXPECT_EQ(TGlyphCells::Shared().Size(), warm);
}

// The same code stands for different characters in different documents: a
// mapped code of the user-defined area, or a form a Unicode file kept for a
// code CP932 gives two characters. Windows share the cache of drawn cells,
// so each must still show its own characters, pixel for pixel as drawing
// them glyph by glyph does.
TEST_F(EditorWidgetTest, WindowsWithDifferentTablesShowTheirOwnCharactersForOneCode) {
  TEditorWidget other;
  other.resize(w.size());
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  struct Doc {
    TEditorWidget& widget;
    char32_t mapped;  // gets the table's first free code
    bool keepForms;
    char32_t minus;   // what 0x817C shows: MINUS SIGN or FULLWIDTH HYPHEN-MINUS
  } docs[] = {{w, U'\u00E9', true, U'\u2212'}, {other, U'\u00F1', false, U'\uFF0D'}};  // é, ñ
  std::uint16_t code = 0;
  for (Doc& d : docs) {
    auto chars = std::make_shared<TMappedChars>(d.keepForms);
    const cp932::TEncoded text =
        cp932::Encode(QString::fromUcs4(&d.mapped, 1).append(QChar(char16_t(d.minus))).toStdU16String(), chars.get());
    ASSERT_EQ(text.replaced, 0);
    ASSERT_EQ(text.bytes.substr(2), "\x81\x7C");
    ASSERT_EQ(chars->CharOf(0x817C) ? chars->CharOf(0x817C) : U'\uFF0D', d.minus);
    code = code ? code : chars->CodeFor(d.mapped);
    ASSERT_EQ(chars->CodeFor(d.mapped), code);  // both tables give the same code
    d.widget.SetChars(chars);
    d.widget.Editor().SetLines({text.bytes, ""});
    d.widget.Editor().SetRowCol(1, 0);  // the caret away from the row compared
  }
  const QRect row = CellRect(0, 0, 4);
  auto shot = [&](TEditorWidget& widget, bool cells) {
    TQtSurface::SetGlyphCellsEnabled(cells);
    QImage image(widget.viewport()->size(), QImage::Format_RGB32);
    widget.viewport()->render(&image);
    return image.copy(row);
  };
  const QImage cached[] = {shot(w, true), shot(other, true)};
  const QImage drawn[] = {shot(w, false), shot(other, false)};
  TQtSurface::SetGlyphCellsEnabled(true);
  EXPECT_EQ(cached[0], drawn[0]);
  EXPECT_EQ(cached[1], drawn[1]);
  EXPECT_NE(drawn[0], drawn[1]);
}

TEST_F(EditorWidgetTest, SystemColoursFollowTheWidgetsPalette) {
  SetText({"abc"});
  QPalette palette = w.palette();
  palette.setColor(QPalette::Base, QColor(10, 20, 30));
  palette.setColor(QPalette::Text, QColor(200, 0, 0));
  w.setPalette(palette);
  QCoreApplication::processEvents();
  const QImage shot = Shot();
  const QRect empty = CellRect(2, 10);
  EXPECT_EQ(shot.pixelColor(empty.center()), QColor(10, 20, 30));
  // Text in clWindowText takes the palette's text colour.
  const QRect text = test::InkBox(shot, QColor(10, 20, 30), CellRect(0, 0, 3));
  ASSERT_FALSE(text.isEmpty());
  bool red = false;
  for (int x = text.left(); x <= text.right(); ++x)
    for (int y = text.top(); y <= text.bottom(); ++y)
      if (shot.pixelColor(x, y) == QColor(200, 0, 0)) red = true;
  EXPECT_TRUE(red);
}

}  // namespace
}  // namespace yk

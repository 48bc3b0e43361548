// The line-number gutters (which rows are numbered and flagged, the painted
// picture, widths) and the decorations of the draw-line hook: topic word,
// tab and full-width space symbols; the topic command.
#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSplitter>

#include <set>

#include "app/gutter_painter.h"
#include "app/line_decorations.h"
#include "app/topic_dlg.h"
#include "controls/cute_splitter.h"
#include "editor/editor_fixture.h"
#include "form_fixture.h"
#include "qt/qt_graphics.h"

namespace yk::test {
namespace {

// --- which rows get numbers and flags ---------------------------------------------

class GutterRowsTest : public EditorTest {
 protected:
  // A view where `rows` rows fit; the gutter goes one row further.
  void ViewRows(int rows) {
    host.size = {640, ed.Margin().Top() + rows * ed.CaretRowHeight()};
    ed.Resized();
  }
  void Wrap(int columns) {
    ed.WrapOption().SetWrapByte(columns);
    ed.SetWordWrap(true);
  }
  // The gutter top-down: the number, or "." for none, "*" after a flag.
  std::string Dump(bool logical = true, std::set<int> marks = {}) {
    TGutterOptions options;
    options.logical = logical;
    if (!marks.empty()) options.isMarked = [marks](int row) { return marks.count(row) != 0; };
    std::string out;
    for (const TGutterEntry& e : GutterEntries(ed, options)) {
      if (!out.empty()) out += ' ';
      out += e.number ? std::to_string(e.number) : ".";
      if (e.marked) out += '*';
    }
    return out;
  }
};

TEST_F(GutterRowsTest, LogicalNumbersOncePerLineAndOnTheTopRow) {
  Wrap(20);
  ViewRows(7);
  Load("short\n" + std::string(50, 'a') + "\nnext\nlast");
  ASSERT_EQ(ed.RowCount(), 6);  // the long line takes three rows
  EXPECT_EQ(Dump(), "1 2 . . 3 4 .");
  EXPECT_EQ(Dump(false), "1 2 3 4 5 6 .");
  // Scrolled into the wrapped line: its second row is the top row and
  // shows the line's number.
  ed.SetTopRow(2);
  EXPECT_EQ(Dump(), "2 . 3 4 . . .");
  ed.SetTopRow(3);
  EXPECT_EQ(Dump(), "2 3 4 . . . .");
}

TEST_F(GutterRowsTest, TheRowAfterTheLastRow) {
  ViewRows(4);
  struct {
    bool wrap;
    const char* text;
    const char* logical;
    const char* rows;
  } const cases[] = {
      // With wrap, the index puts a line after the last row only after a
      // final line end; without wrap it always does.
      {true, "one\ntwo", "1 2 . .", "1 2 . ."},
      {true, "one\ntwo\n", "1 2 3 .", "1 2 . ."},
      {false, "one\ntwo", "1 2 3 .", "1 2 . ."},
      {false, "one\ntwo\n", "1 2 3 .", "1 2 . ."},
      {true, "", "1 . . .", ". . . ."},
  };
  for (const auto& c : cases) {
    if (c.wrap) Wrap(20);
    else ed.SetWordWrap(false);
    Load(c.text);
    EXPECT_EQ(Dump(true), c.logical) << c.text << " wrap " << c.wrap;
    EXPECT_EQ(Dump(false), c.rows) << c.text << " wrap " << c.wrap;
  }
}

// The numbers walk down from one index look-up; they must agree with the
// index for every row at every scroll position.
TEST_F(GutterRowsTest, NumbersAgreeWithTheLineIndexEverywhere) {
  ViewRows(4);
  const std::string text = "a\n" + std::string(45, 'b') + "\n\nc\n" + std::string(30, 'd') + "\ne";
  for (bool wrap : {true, false}) {
    for (const std::string& doc : {text, text + "\n"}) {
      if (wrap) Wrap(20);
      else ed.SetWordWrap(false);
      Load(doc);
      for (int top = 0; top <= ed.RowCount(); ++top) {
        ed.SetTopRow(top);
        int last = 0;
        for (const TGutterEntry& e : GutterEntries(ed, {})) {
          if (e.row > ed.RowCount()) continue;
          const int n = ed.RowsToLines(e.row) + 1;
          EXPECT_EQ(e.number, n != last ? n : 0) << "wrap " << wrap << " top " << top << " row " << e.row;
          last = n;
        }
      }
    }
  }
}

TEST_F(GutterRowsTest, MarkedRowsUpToTheRowAfterTheLast) {
  ViewRows(5);
  Load("one\ntwo\nthree");
  EXPECT_EQ(Dump(true, {1, 3, 4}), "1 2* 3 4* .");
  EXPECT_EQ(Dump(false, {1, 3, 4}), "1 2* 3 .* .");
}

// --- painting a gutter ---------------------------------------------------------------

TEST_F(GutterRowsTest, PaintsBackgroundFlagsAndRedNumbers) {
  ViewRows(2);
  ed.SetColor(clWhite);
  TFontSpec font = ed.Font();
  font.color = clNavy;
  ed.SetFont(font);
  Load("one\ntwo");
  TGutterOptions options;
  options.isMarked = [](int row) { return row == 1; };
  RecordingSurface surface;
  PaintGutter(surface, ed, {0, 0, 56, 200}, options);
  // Lines reduced to their colour: the flag is four black strokes and a
  // red tick of two.
  std::vector<std::string> calls;
  for (const std::string& c : surface.calls)
    calls.push_back(c.starts_with("line") ? "line " + c.substr(c.rfind(' ') + 1) : c);
  const int w = ed.ColWidth(), top = ed.Margin().Top(), y = top + ed.CaretRowHeight();
  auto text = [&](int y, const char* digits, TColor c) {
    return "text " + std::to_string(w + 3) + "," + std::to_string(y) + " w8 \"" + digits + "\" " + std::to_string(c) +
           "/" + std::to_string(clNone) + " s0 [0,0,56,200]";
  };
  const std::string black = "line " + std::to_string(clBlack), red = "line " + std::to_string(clRed);
  EXPECT_EQ(calls, (std::vector<std::string>{"fill [0,0,56,200] " + std::to_string(clWhite), text(top, "    1", clNavy),
                                             black, black, black, black, red, red, text(y, "    2", clRed)}));
}

// --- the draw-line hook ---------------------------------------------------------------

class DecorationsTest : public EditorTest {
 protected:
  DecorationsTest() {
    ed.View().Colors().Select().SetColor(clWhite);
    ed.View().Colors().Select().SetBkColor(clNavy);
    ed.Marks().RetMark().SetColor(clTeal);
  }
  // The hook's calls for row 0 painted as one piece over the whole view.
  std::vector<std::string> Draw(const std::vector<std::string>& topics, int tabMark = tmArrow,
                                int spaceMark = smkBox, bool selected = false) {
    const std::string text = ed.ExpandTabs(ed.RowText(0));
    const TRect piece{ed.Margin().Left(), ed.Margin().Top(), 640, ed.Margin().Top() + ed.CaretRowHeight()};
    RecordingSurface surface;
    DrawLineDecorations(surface, ed, {text, ed.Margin().Left(), piece.top, 0, piece, selected}, topics, tabMark,
                        spaceMark);
    return surface.calls;
  }
  int X(int col) { return ed.Margin().Left() + col * ed.ColWidth(); }
};

TEST_F(DecorationsTest, TopicWordsAreBoldWholeTokensInAnyCase) {
  Load("ABC xabcx Abc abc_ abc");
  const int top = ed.Margin().Top();
  const std::string rest = " " + std::to_string(clNavy) + "/" + std::to_string(clNone) + " s1 " +
                           RecordingSurface::Rect({ed.Margin().Left(), top, 640, top + ed.CaretRowHeight()});
  auto text = [&](int col, const char* word) {
    return "text " + std::to_string(X(col)) + "," + std::to_string(top) + " w8 \"" + word + "\"" + rest;
  };
  EXPECT_EQ(Draw({"abc"}, tmNoTab, smkNoSpace),
            (std::vector<std::string>{text(0, "ABC"), text(10, "Abc"), text(19, "abc")}));
  // No topic, or an empty one, highlights nothing.
  EXPECT_TRUE(Draw({}, tmNoTab, smkNoSpace).empty());
  EXPECT_TRUE(Draw({""}, tmNoTab, smkNoSpace).empty());
}

TEST_F(DecorationsTest, TopicLookUpIgnoresCaseOfWideLetters) {
  EXPECT_TRUE(IsTopicWord({"\x82\x81\x82\x82"}, "\x82\x60\x82\x61"));  // ａｂ / ＡＢ
  EXPECT_TRUE(IsTopicWord({"x", "Topic"}, "TOPIC"));
  EXPECT_FALSE(IsTopicWord({"topic"}, "topics"));
  // The trail byte 0x62 of ッ is no letter b.
  EXPECT_FALSE(IsTopicWord({"\x83\x42"}, "\x83\x62"));  // ッ and ャ differ
}

TEST_F(DecorationsTest, SelectedTopicUsesTheSelectionTextColour) {
  Load("abc");
  const std::vector<std::string> calls = Draw({"abc"}, tmNoTab, smkNoSpace, true);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_NE(calls[0].find("\"abc\" " + std::to_string(clWhite) + "/"), std::string::npos) << calls[0];
}

TEST_F(DecorationsTest, TwoWideSpacesGetTwoBoxes) {
  Load("a\x81\x40\x81\x40" "b");  // a　　b
  const std::vector<std::string> calls = Draw({}, tmArrow, smkBox);
  ASSERT_EQ(calls.size(), 8u);  // four edges each
  const int s = 2 * ed.ColWidth() - 4, y = ed.Margin().Top() + 2;
  for (int i = 0; i < 2; ++i) {
    const int x = X(1 + 2 * i) + 2;
    EXPECT_EQ(calls[static_cast<std::size_t>(4 * i)],
              "line " + std::to_string(x) + "," + std::to_string(y) + "-" + std::to_string(x + s) + "," +
                  std::to_string(y) + " " + std::to_string(clTeal));
  }
  EXPECT_TRUE(Draw({}, tmArrow, smkNoSpace).empty());
  EXPECT_EQ(Draw({}, tmArrow, smkBracket).size(), 6u);  // three lines each
}

TEST_F(DecorationsTest, ALeadingTabShiftsLaterSymbolsByItsWidth) {
  ed.Caret().SetTabSpaceCount(4);
  Load("\t\x81\x40x\tz");  // tab, 　, x, tab, z
  const std::vector<std::string> calls = Draw({}, tmArrow, smkBox);
  ASSERT_EQ(calls.size(), 3u + 4u + 3u);
  const int cw = ed.ColWidth(), e = cw / 4 + 1, f = cw / 2 + 2;
  const int y = ed.Margin().Top() + (ed.CaretRowHeight() - ed.Margin().Line()) / 2;
  auto arrowStart = [&](int col) {
    const int x = X(col) + 1;
    return "line " + std::to_string(x + e) + "," + std::to_string(y - e) + "-" + std::to_string(x + f) + "," +
           std::to_string(y) + " " + std::to_string(clTeal);
  };
  EXPECT_EQ(calls[0], arrowStart(0));
  // The tab fills columns 0 to 3: the wide space stands in column 4, not 1.
  EXPECT_NE(calls[3].find("line " + std::to_string(X(4) + 2) + ","), std::string::npos) << calls[3];
  // 　 and x fill columns 4 to 6; the second tab is at column 7.
  EXPECT_EQ(calls[7], arrowStart(7));
  // Chevrons are two lines; selected pieces draw in the selection colour.
  const std::vector<std::string> chevrons = Draw({}, tmChevron, smkNoSpace, true);
  ASSERT_EQ(chevrons.size(), 4u);
  for (const std::string& c : chevrons) EXPECT_TRUE(c.ends_with(" " + std::to_string(clWhite))) << c;
}

TEST_F(DecorationsTest, SymbolsOutsideThePieceAreLeftToTheirOwnPiece) {
  Load("\x81\x40\x81\x40\x81\x40");  // 　　　
  RecordingSurface surface;
  const std::string text = ed.RowText(0);
  const int top = ed.Margin().Top(), bottom = top + ed.CaretRowHeight();
  // A piece of columns 2 to 3 (the second space) only.
  DrawLineDecorations(surface, ed, {text, ed.Margin().Left(), top, 0, {X(2), top, X(4), bottom}, true}, {}, tmArrow,
                      smkBox);
  ASSERT_EQ(surface.calls.size(), 4u);
  EXPECT_NE(surface.calls[0].find("line " + std::to_string(X(2) + 2) + ","), std::string::npos);
}

// --- in the window ---------------------------------------------------------------------

using GutterFormTest = FormTest;

// Pixels of the colour in a rectangle of the image.
int Count(const QImage& image, QRect r, QColor colour) {
  int n = 0;
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (image.pixelColor(x, y) == colour) ++n;
  return n;
}

QImage Picture(QLabel* label) { return label->grab().toImage(); }

TEST_F(GutterFormTest, WidthFollowsTheLineNumberSetting) {
  TMainForm& f = Make();
  f.SetLineNumber(true);
  f.SetGutterWidth();
  QCoreApplication::processEvents();
  const int width = f.Memo1->Editor().ColWidth() * 6 + 8;
  for (QFrame* panel : {f.Panel3, f.Panel4, f.Panel5}) EXPECT_EQ(panel->width(), width) << panel->objectName().toStdString();
  EXPECT_EQ(f.Image1->geometry(), QRect(2, 2, width - 4, f.Panel3->height() - 4));
  f.SetLineNumber(false);
  f.SetGutterWidth();
  QCoreApplication::processEvents();
  for (QFrame* panel : {f.Panel3, f.Panel4, f.Panel5}) EXPECT_EQ(panel->width(), 0) << panel->objectName().toStdString();
}

TEST_F(GutterFormTest, FlagsAndRedNumbersOnlyBesideTheDocument) {
  TMainForm& f = Make();
  f.SetLineNumber(true);
  f.SetGutterWidth();
  const std::string text = "one\r\ntwo\r\nthree\r\n";
  f.Memo1->Editor().SetLines({"one", "two", "three"});
  f.Memo2->Editor().SetLines({"one", "two", "three"});
  f.Marks = {1};
  f.MarkIndex = 0;
  f.Splitter2->setSizes({200, 200});
  f.SplitPanel->show();
  f.Memo3->Editor().ShareTextWith(f.Memo1->Editor());
  f.DrawAllGutters();
  QCoreApplication::processEvents();
  const QColor red(Qt::red), black(Qt::black);
  for (QLabel* picture : {f.Image1, f.Image3, f.Image2}) {
    const QImage image = Picture(picture);
    TEditor& ed = (picture == f.Image1 ? f.Memo1 : picture == f.Image2 ? f.Memo2 : f.Memo3)->Editor();
    const int h = ed.CaretRowHeight(), top = ed.Margin().Top();
    const int flagRight = ed.ColWidth() + 3;  // the number starts here
    const QRect row0(0, top, image.width(), h), row1(0, top + h, image.width(), h);
    const bool flagged = picture != f.Image2;
    EXPECT_EQ(Count(image, row1, red) > 0, flagged) << picture->objectName().toStdString();
    EXPECT_EQ(Count(image, QRect(0, top + h, flagRight, h), black) > 0, flagged) << picture->objectName().toStdString();
    EXPECT_EQ(Count(image, row0, red), 0) << picture->objectName().toStdString();
    EXPECT_EQ(Count(image, QRect(0, top, flagRight, h), black), 0) << picture->objectName().toStdString();
    // Black digits beside every row.
    EXPECT_GT(Count(image, QRect(flagRight, top, image.width(), h), black), 0) << picture->objectName().toStdString();
    // The background is the editor's own.
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), ToQColor(ed.Color(), f.Memo1->palette()));
  }
}

TEST_F(GutterFormTest, NumberedDownToTheBottomOfATallWindow) {
  TMainForm& f = Make();
  f.SetListPanelVisible(false);
  f.resize(600, 2000);
  f.SetLineNumber(true);
  f.SetGutterWidth();
  std::vector<std::string> lines(300, "text");
  f.Memo1->Editor().SetLines(lines);
  f.Memo1->Editor().SetTopRow(0);
  QCoreApplication::processEvents();
  ASSERT_GT(f.Panel3->height(), 1500);
  const QImage image = Picture(f.Image1);
  EXPECT_EQ(image.height(), f.Panel3->height() - 4);
  TEditor& ed = f.Memo1->Editor();
  const QColor background = ToQColor(ed.Color(), f.Memo1->palette());
  // Digits beside the last row the editor shows, far below 1024 pixels.
  const QRect band(0, ed.Margin().Top() + (ed.VisibleRows() - 1) * ed.CaretRowHeight(), image.width(),
                   ed.CaretRowHeight());
  ASSERT_GT(band.top(), 1024);
  EXPECT_LT(Count(image, band, background), band.width() * band.height());
}

TEST_F(GutterFormTest, TopicDialogSetsAndCancelClears) {
  TMainForm& f = Make();
  prompts.Dialog([](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("トピック入力"));
    static_cast<TTopicDlg&>(d).Edit()->setText(QString::fromUtf8("ＡＢＣ"));
    return QDialog::Accepted;
  });
  ASSERT_TRUE(f.RunCommand("Topic1"));
  EXPECT_EQ(f.TopicWord, "\x82\x60\x82\x61\x82\x62");  // ＡＢＣ
  EXPECT_EQ(f.TopicList, std::vector<std::string>{f.TopicWord});
  // The field keeps its text; cancelling switches the highlighting off.
  prompts.Dialog([](QDialog& d) {
    EXPECT_EQ(static_cast<TTopicDlg&>(d).Edit()->text(), QString::fromUtf8("ＡＢＣ"));
    return QDialog::Rejected;
  });
  ASSERT_TRUE(f.RunCommand("Topic1"));
  EXPECT_EQ(f.TopicWord, "");
  EXPECT_EQ(f.TopicList, std::vector<std::string>{""});
}

TEST_F(GutterFormTest, TheEditorsPaintTheTopicInBold) {
  TMainForm& f = Make();
  f.Memo1->Editor().SetLines({"say abc"});
  f.TopicWord = "abc";
  f.TopicList = {"abc"};
  const QImage before = f.Memo1->viewport()->grab().toImage();
  TEditor& ed = f.Memo1->Editor();
  const QRect word(ed.Margin().Left() + 4 * ed.ColWidth(), ed.Margin().Top(), 3 * ed.ColWidth(), ed.FontHeight());
  const QColor highlight = ToQColor(ed.View().Colors().Select().BkColor(), f.Memo1->palette());
  EXPECT_GT(Count(before, word, highlight), 0);
  f.TopicWord.clear();
  f.RepaintEditors();
  EXPECT_EQ(Count(f.Memo1->viewport()->grab().toImage(), word, highlight), 0);
}

}  // namespace
}  // namespace yk::test

// The edit primitive, whole-list wrapping and carried highlight states.
#include "text/screen_strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "fake_editor.h"

using namespace yk;
using yk::test::Dump;
using yk::test::FakeEditor;

TEST(ScreenStrings, ReplaceRowsKeepsLineEndsRight) {
  struct Case {
    std::string before;
    int first, count;
    std::string text, after, rows;
  } cases[] = {
      {"a\r\nb\r\n", 0, 1, "x\r\n", "x\r\nb\r\n", "x|C b|C"},
      {"a\r\nb\r\n", 2, 0, "c\r\n", "a\r\nb\r\nc\r\n", "a|C b|C c|C"},
      {"a\r\nb\r\n", 2, 0, "c", "a\r\nb\r\nc", "a|C b|C c|E"},
      {"a\r\nb\r\n", 2, 0, "c\r", "a\r\nb\r\nc\r\n", "a|C b|C c|C"},  // a trailing CR ends a line too
      {"a\r\nb\r\n", 0, 1, "", "b\r\n", "b|C"},                      // whole line deleted
      {"a\r\nb", 1, 1, "", "a\r\n", "a|C"},
      {"a\r\nb\r\n", 0, 0, "z", "za\r\nb\r\n", "za|C b|C"},  // joins the line it is put before
      {"a\r\nb\r\n", 0, 2, "one line", "one line", "one line|E"},
      {"", 0, 0, "new", "new", "new|E"},
  };
  for (const Case& c : cases) {
    FakeEditor ed;
    ed.lines.SetTextStr(c.before);
    if (c.before.empty()) ed.Rows().Clear();
    if (c.before == "a\r\nb") {  // a last line without line end
      ed.Rows().Put(1, "b");
      ed.Rows().SetRowAttribute(1, raEof);
    }
    ed.Rows().ReplaceRows(c.first, c.count, c.text);
    EXPECT_EQ(ed.lines.GetTextStr(), c.after) << c.before << " / " << c.text;
    EXPECT_EQ(Dump(ed.Rows()), c.rows) << c.before << " / " << c.text;
  }
}

TEST(ScreenStrings, OutOfRangeReplaceDoesNothing) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\n");
  for (auto [first, count] : {std::pair{-1, 1}, {0, 2}, {2, 0}, {1, 0}}) {
    ed.Rows().ReplaceRows(first, count, first == 1 ? "" : "x");
    EXPECT_EQ(ed.lines.GetTextStr(), "a\r\n");
  }
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
}

TEST(ScreenStrings, HugeCountsDoNotOverflow) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\nb\r\n");
  for (int first : {0, 1, 2}) {
    EXPECT_NO_THROW(ed.Rows().ReplaceRows(first, INT_MAX, "x")) << first;
    EXPECT_EQ(ed.lines.GetTextStr(), "a\r\nb\r\n") << first;
  }
  EXPECT_EQ(ed.Rows().GetRowsText(1, INT_MAX).text, "b\r\n");  // up to the last row
}

TEST(ScreenStrings, EditorsAreToldOnceWithTheChangedRange) {
  FakeEditor a;
  FakeEditor b(a.Shared());
  a.lines.SetTextStr("1\r\n2\r\n3\r\n");
  a.changes = b.changes = 0;
  TChangedRange seen;
  a.Rows().ReplaceRows(1, 1, "two\r\nlines\r\n");
  EXPECT_EQ(a.changes, 1);
  EXPECT_EQ(b.changes, 1);
  EXPECT_TRUE(b.modified);
  EXPECT_EQ(a.Rows().ChangedRange(), TChangedRange{});  // cleared after the notification
}

TEST(ScreenStrings, SharedRowsOutliveTheFirstEditor) {
  auto b = std::make_unique<FakeEditor>();
  {
    FakeEditor a(b->Shared());
    a.lines.SetTextStr("kept");
  }
  EXPECT_EQ(b->lines.GetTextStr(), "kept\r\n");
  EXPECT_EQ(b->Rows().Editors().size(), 1u);
}

TEST(ScreenStrings, WrapOnAndOffGivesBackTheSameRows) {
  FakeEditor ed;
  ed.Rows().WrapOption().SetWrapByte(20);
  const std::string text = std::string(45, 'a') + "\r\n\r\nshort\r\n" + std::string(20, 'b') + "\r\n" +
                           std::string(19, 'c') + "\x88\x9f";  // 19 c then 亜 with no line end
  ed.lines.SetTextStr(text);
  ed.Rows().Put(ed.Rows().GetCount() - 1, std::string(19, 'c') + "\x88\x9f");
  ed.Rows().SetRowAttribute(ed.Rows().GetCount() - 1, raEof);
  const std::string before = Dump(ed.Rows());
  ed.Rows().ReplaceRows(0, 1, std::string(45, 'a') + "\r\n");  // something to undo
  ASSERT_TRUE(ed.Rows().UndoObj().CanUndo());

  ed.Rows().SetWordWrap(true);
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
  const std::string a20(20, 'a'), b20(20, 'b'), c19(19, 'c');
  EXPECT_EQ(Dump(ed.Rows()), a20 + "|W " + a20 + "|W aaaaa|C |C short|C " + b20 + "|W |C " + c19 +
                                 "|W \x88\x9f|E");
  EXPECT_EQ(ed.lines.GetCount(), 5);

  ed.Rows().WrapOption().SetFollowRetMark(true);  // re-wraps at once
  EXPECT_EQ(Dump(ed.Rows()), a20 + "|W " + a20 + "|W aaaaa|C |C short|C " + b20 + "|C " + c19 +
                                 "|W \x88\x9f|E");
  ed.Rows().SetWordWrap(false);
  EXPECT_EQ(Dump(ed.Rows()), before);
}

TEST(ScreenStrings, EditsReWrapOnlyTheirLogicalLine) {
  FakeEditor ed;
  ed.Rows().WrapOption().SetWrapByte(20);
  ed.Rows().SetWordWrap(true);
  ed.lines.SetTextStr(std::string(30, 'x') + "\r\n" + std::string(30, 'y') + "\r\n");
  ASSERT_EQ(ed.Rows().GetCount(), 4);
  // A replaced row takes its line end with it: the new text brings its own.
  ed.Rows().ReplaceRows(1, 1, std::string(9, 'x') + "\r\n");
  EXPECT_EQ(Dump(ed.Rows()), std::string(20, 'x') + "|W " + std::string(9, 'x') + "|C " + std::string(20, 'y') +
                                 "|W " + std::string(10, 'y') + "|C");
  // Text typed into the second row of a line may move up into the first.
  ed.Rows().ReplaceRows(0, 2, "short\r\n");
  EXPECT_EQ(ed.Rows().Row(0), "short");
  EXPECT_EQ(ed.lines.GetTextStr(), "short\r\n" + std::string(30, 'y') + "\r\n");
}

TEST(ScreenStrings, BlockCommentStateIsCarriedAcrossRows) {
  FakeEditor ed;
  ed.rules.brackets = {{"/*", "*/"}};
  ed.lines.SetTextStr("a /* b\r\nc */ d\r\ne\r\n");
  EXPECT_EQ(ed.Rows().GetRowState(0), kStateNone);
  EXPECT_EQ(ed.Rows().GetRowState(1), 0);
  EXPECT_EQ(ed.Rows().GetRowState(2), kStateNone);
  // Closing the comment early changes the rows after it, and they repaint.
  ed.repainted.clear();
  ed.Rows().ReplaceRows(0, 1, "a /* b */\r\n");
  EXPECT_EQ(ed.Rows().GetRowState(1), kStateNone);
  EXPECT_NE(std::find(ed.repainted.begin(), ed.repainted.end(), 1), ed.repainted.end());
}

TEST(ScreenStrings, StatesFollowBracketsAcrossWrapBreaks) {
  FakeEditor ed;
  ed.rules.brackets = {{"/*", "*/"}};
  ed.Rows().WrapOption().SetWrapByte(20);
  ed.Rows().SetWordWrap(true);
  // The wrap cuts "/*" after its '/'; the row is scanned with the head of
  // the next one, so the pair opens there. Wrapped rows inside the pair and
  // after it carry its state.
  ed.lines.SetTextStr(std::string(19, 'a') + "/* open\r\n" + std::string(25, 'b') + "\r\nx */ y\r\n" +
                      std::string(25, 'd') + "\r\n");
  ASSERT_EQ(ed.Rows().GetCount(), 7);
  const int want[] = {kStateNone, 0, 0, 0, 0, kStateNone, kStateNone};
  for (int r = 0; r < 7; ++r) EXPECT_EQ(ed.Rows().GetRowState(r), want[r]) << r;
}

// A descendant parser that makes every byte a token of its own.
class ByteParser : public TEditorParser {
 public:
  ByteParser(const TParserRules* rules, std::string_view text, int state)
      : TEditorParser(rules, text, state, TDeferFirstToken{}) {
    NextToken();
  }
  TEditorTokenKind NextToken() override {
    token_start_ = pos_;
    if (pos_ >= text_.size()) return token_ = toEof;
    ++pos_;
    return token_ = toSymbol;
  }
};

class ByteParserEditor : public FakeEditor {
 public:
  std::unique_ptr<TEditorParser> CreateParser(std::string_view text, int state) const override {
    return std::make_unique<ByteParser>(ParserRules(), text, state);
  }
};

TEST(ScreenStrings, HeadTokenIsCutByTheEditorsParser) {
  FakeEditor plain;
  plain.lines.SetTextStr("abc def\r\n");
  EXPECT_EQ(plain.Rows().HeadToken(0), "abc ");
  ByteParserEditor bytes;
  bytes.lines.SetTextStr("abc def\r\n");
  EXPECT_EQ(bytes.Rows().HeadToken(0), "a");
}

TEST(ScreenStrings, StatesBeyondTheHorizonWaitUntilNeeded) {
  FakeEditor ed;
  ed.displayRows = 2;
  ed.rules.brackets = {{"/*", "*/"}};
  std::string text;
  for (int i = 0; i < 50; ++i) text += "line\r\n";
  ed.lines.SetTextStr(text);
  ed.Rows().ReplaceRows(0, 1, "/* open\r\n");
  // Rows up to two screens past the change are computed, later ones wait.
  EXPECT_EQ(ed.Rows().GetRowState(4), 0);
  EXPECT_EQ(ed.Rows().GetRowState(5), kStateUnknown);
  EXPECT_EQ(ed.Rows().GetRowState(49), kStateUnknown);
  // Asking for a later row walks from the last known state.
  ed.Rows().UpdateStatesFrom(49, false);
  EXPECT_EQ(ed.Rows().GetRowState(30), 0);
  EXPECT_EQ(ed.Rows().GetRowState(49), 0);
}

TEST(ScreenStrings, WithoutBracketPairsEveryStateIsOutside) {
  FakeEditor ed;
  ed.lines.SetTextStr("/* a\r\nb\r\n");
  EXPECT_EQ(ed.Rows().GetRowState(0), kStateNone);
  EXPECT_EQ(ed.Rows().GetRowState(1), kStateNone);
}

TEST(ScreenStrings, RandomEditsKeepTextAndWrapConsistent) {
  // Whatever is replaced, the rows must equal the document re-wrapped from
  // scratch, and undoing everything must give back the start.
  std::mt19937 rng(7);
  const char* pieces[] = {"a", "b ", "\x82\xa0", "\t", "\r\n", "\n", "\x81\x42", "xyz", "\x82"};
  for (bool wrap : {false, true}) {
    FakeEditor ed;
    ed.Rows().WrapOption().SetWrapByte(20);
    ed.Rows().SetWordWrap(wrap);
    ed.lines.SetTextStr("start line\r\nsecond\r\n");
    ed.Rows().UndoObj().SetUndoListMax(1000);
    const std::string start = ed.lines.GetTextStr();
    const std::string startRows = Dump(ed.Rows());
    for (int step = 0; step < 300; ++step) {
      int n = ed.Rows().GetCount();
      int first = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
      int count = first < n ? static_cast<int>(rng() % static_cast<unsigned>(std::min(3, n - first) + 1)) : 0;
      std::string text;
      for (int k = static_cast<int>(rng() % 30); k > 0; --k) text += pieces[rng() % std::size(pieces)];
      ed.Rows().ReplaceRows(first, count, text);
      FakeEditor fresh;
      fresh.Rows().WrapOption().SetWrapByte(20);
      fresh.Rows().SetWordWrap(wrap);
      TEditorStringList expect;
      fresh.Rows().WrapText(ed.lines.GetTextStr(), expect);
      if (ed.Rows().GetCount() > 0) {
        ASSERT_EQ(expect.GetCount(), ed.Rows().GetCount()) << step;
        for (int i = 0; i + 1 < expect.GetCount(); ++i) {
          ASSERT_EQ(expect.Row(i), ed.Rows().Row(i)) << step << " row " << i;
          ASSERT_EQ(expect.GetRowAttribute(i), ed.Rows().GetRowAttribute(i)) << step << " row " << i;
        }
      }
    }
    const std::string end = Dump(ed.Rows());
    while (ed.Rows().UndoObj().CanUndo()) ed.Rows().Undo();
    EXPECT_EQ(ed.lines.GetTextStr(), start);
    EXPECT_EQ(Dump(ed.Rows()), startRows);
    while (ed.Rows().UndoObj().CanRedo()) ed.Rows().Redo();
    EXPECT_EQ(Dump(ed.Rows()), end);
  }
}

TEST(ScreenStrings, TextEndingWithALineEndHasNoEmptyLastRow) {
  // A last line exactly as wide as the wrap gives an empty row to carry its
  // end; text put into that row must not leave an empty row after a line end.
  const std::string w20(20, 'w');
  struct Case {
    bool lineEnd;  // the document ends with a line end
    int count;
    std::string text, rows;
    int lines;
  } cases[] = {
      {false, 0, "x\r\n", w20 + "|W x|C", 1},
      {false, 0, "\r\n", w20 + "|W |C", 1},
      {false, 1, "x\r\n", w20 + "|W x|C", 1},
      {true, 0, "x\r\n", w20 + "|W x|C |C", 2},
      {true, 1, "x", w20 + "|W x|E", 1},
  };
  for (const Case& c : cases) {
    FakeEditor ed;
    ed.Rows().WrapOption().SetWrapByte(20);
    ed.Rows().SetWordWrap(true);
    ed.lines.SetTextStr(w20);
    if (!c.lineEnd) ed.Rows().SetRowAttribute(1, raEof);
    ed.Rows().ReplaceRows(1, c.count, c.text);
    EXPECT_EQ(Dump(ed.Rows()), c.rows) << c.lineEnd << c.count << c.text;
    EXPECT_EQ(ed.lines.GetCount(), c.lines) << c.lineEnd << c.count << c.text;
  }
}

TEST(ScreenStrings, BytesReplacedInARowMatchTheRowReplacedWhole) {
  // ReplaceInRow moves only the bytes it replaces; the document, the states
  // after it and undo and redo must be those of the same ReplaceRows.
  std::mt19937 rng(3);
  const char* const pieces[] = {"", "x", "/*", "*/", "\x82\xa0" /* あ */, "\t", "ab\r\ncd"};
  for (bool wrap : {false, true}) {
    FakeEditor spliced, whole;
    for (FakeEditor* ed : {&spliced, &whole}) {
      ed->rules.brackets = {{"/*", "*/"}};
      ed->Rows().WrapOption().SetWrapByte(20);
      ed->Rows().SetWordWrap(wrap);
      ed->lines.SetTextStr("first row\r\nsecond /* row\r\nthird */ row\r\nlast");
      ed->Rows().SetRowAttribute(ed->Rows().GetCount() - 1, raEof);
    }
    for (int step = 0; step < 300; ++step) {
      TEditorScreenStrings& rows = whole.Rows();
      const int row = static_cast<int>(rng() % static_cast<unsigned>(rows.GetCount()));
      const std::string old(rows.Row(row));
      const std::size_t from = rng() % (old.size() + 1), to = from + rng() % (old.size() - from + 1);
      const std::string text = pieces[rng() % std::size(pieces)];
      spliced.Rows().ReplaceInRow(row, from, to, text);
      std::string composed = old.substr(0, from) + text + old.substr(to);
      if (rows.GetRowAttribute(row) == raCrlf) composed += "\r\n";
      if (from != to || !text.empty()) rows.ReplaceRows(row, 1, composed);
      if (rng() % 4 == 0) {
        spliced.Rows().Undo();
        rows.Undo();
        if (rng() % 2) {
          spliced.Rows().Redo();
          rows.Redo();
        }
      }
      ASSERT_EQ(Dump(spliced.Rows()), Dump(rows)) << "wrap " << wrap << " step " << step;
      for (int r = 0; r < rows.GetCount(); ++r) {
        spliced.Rows().UpdateStatesFrom(r, false);
        rows.UpdateStatesFrom(r, false);
        ASSERT_EQ(spliced.Rows().GetRowState(r), rows.GetRowState(r)) << "step " << step << " row " << r;
      }
      if (rows.GetCount() == 0) break;
    }
  }
}

// Editing commands on an editor: conversions (also of a box), line jumps,
// caret centring, the caret text, bracket jumps and marks.
#include "shell/edit_commands.h"

#include <gtest/gtest.h>

#include "editor/editor_fixture.h"
#include "shell/bracket_jump.h"
#include "shell/marks.h"
#include "shell/shell_test_util.h"

namespace yk::test {
namespace {

using EditCommands = EditorTest;

void SelectTo(TEditor& e, int row, int col) {
  if (!e.Selected()) e.StartSelection();
  e.SetRowCol(row, col);
  e.ExtendSelection();
}

void SelectBox(TEditor& e, int row0, int col0, int row1, int col1) {
  e.CancelSelection();
  e.SetRowCol(row0, col0);
  e.SetSelectionMode(smBox);
  SelectTo(e, row1, col1);
}

TEST_F(EditCommands, ConvertStreamSelection) {
  struct Case {
    const char* text;  // [ ] around the selection
    TSelectionConversion conversion;
    const char* result;
  };
  const Case cases[] = {
      {"x[abc\ndef]y", scUpperCase, "xABC\nDEF|y"},
      {"[\x83\x62\x82\x81\x83\xbf]", scUpperCase, "\x83\x62\x82\x60\x83\x9f|"},  // ッａα → ッＡΑ
      {"[\x82\x60\x84\x4e]", scLowerCase, "\x82\x81\x84\x7e|"},                // ＡН → ａн
      {"[\x82\x60\x82\x50]", scHankaku, "A1|"},                                // Ａ１
      {"[A1]", scZenkaku, "\x82\x60\x82\x50|"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    const std::size_t open = text.find('['), close = text.find(']') - 1;
    text.erase(open, 1);
    text.erase(close, 1);
    Load(text);
    ed.SetSelStart(static_cast<std::int64_t>(Crlf(text.substr(0, open)).size()));
    ed.SetSelLength(static_cast<std::int64_t>(Crlf(text.substr(open, close - open)).size()));
    ConvertSelection(ed, c.conversion);
    EXPECT_EQ(Show(), c.result) << c.text;
  }
}

TEST_F(EditCommands, ConvertNothingWithoutSelectionOrWhenReadOnly) {
  Load("ab|c");
  ConvertSelection(ed, scUpperCase);
  EXPECT_EQ(Show(), "ab|c");
  EXPECT_FALSE(ed.Modified());
  ed.SelectAll();
  ed.SetReadOnly(true);
  ConvertSelection(ed, scUpperCase);
  EXPECT_EQ(Text(), "abc");
}

TEST_F(EditCommands, ConvertBoxSelectionKeepsEachRowInItsRow) {
  Load("abcd\nefgh\nij\nklmn");
  SelectBox(ed, 0, 1, 3, 3);  // columns 1-2 of four rows, the third row short
  ConvertSelection(ed, scUpperCase);
  EXPECT_EQ(Text(), "aBCd\neFGh\niJ\nkLMn");
  ed.Undo();
  EXPECT_EQ(Text(), "abcd\nefgh\nij\nklmn");  // one edit
  // ... that gives the box back, to be converted otherwise.
  EXPECT_EQ(ed.SelectionMode(), smBox);
  EXPECT_EQ(ed.SelectionSpan(), (TSelectionSpan{0, 1, 3, 3, true}));
  ConvertSelection(ed, scZenkaku);
  EXPECT_EQ(Text(), "a\x82\x82\x82\x83" "d\ne\x82\x86\x82\x87h\ni\x82\x8a\nk\x82\x8c\x82\x8dn");

  // Width conversion changes the pieces' widths; rows stay rows.
  Load("xab\nycd\n");
  SelectBox(ed, 0, 1, 1, 3);
  ConvertSelection(ed, scZenkaku);
  EXPECT_EQ(Text(), "x\x82\x81\x82\x82\ny\x82\x83\x82\x84\n");

  // A box reaching the empty row after the last line adds no row of blanks.
  Load("ab\ncd\n");
  SelectBox(ed, 0, 0, 2, 1);
  ConvertSelection(ed, scUpperCase);
  EXPECT_EQ(Text(), "Ab\nCd\n");
}

TEST_F(EditCommands, ParseJumpLine) {
  struct Case {
    std::string_view field;
    std::optional<int> line;
  };
  const Case cases[] = {
      {"12", 12},        {" 7 ", 7},        {"+3", 3},          {"-5", -5},      {"0", 0},
      {"\x82\x50\x82\x51", 12},  // １２
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN},
      {"", std::nullopt}, {"abc", std::nullopt}, {"1.5", std::nullopt}, {"$10", std::nullopt},
      {"1 2", std::nullopt}, {"-", std::nullopt}, {"\x82\x60", std::nullopt},  // Ａ
  };
  for (const Case& c : cases) EXPECT_EQ(ParseJumpLine(c.field), c.line) << c.field;
  EXPECT_EQ(kJumpLineError, Sjis("行番号には整数を入力してください。"));
}

TEST_F(EditCommands, GotoJumpLineClampsAndApplyJumpColumnSelects) {
  host.size = {400, 2 + 5 + 10 * 16};  // ten visible rows
  ed.Resized();
  std::string text;
  for (int i = 1; i <= 100; ++i) text += "line" + std::to_string(i) + "\n";
  Load(text);
  const struct {
    int jump, row;
  } cases[] = {{1, 0}, {50, 49}, {0, 0}, {-7, 0}, {100, 99}, {101, 99}, {INT_MAX, 99}};
  for (const auto& c : cases) {
    ed.SetSelStart(3);
    ed.SetSelLength(2);
    GotoJumpLine(ed, c.jump);
    EXPECT_EQ(ed.Row(), c.row) << c.jump;
    EXPECT_EQ(ed.Col(), 0);
    EXPECT_FALSE(ed.Selected());
    EXPECT_LE(ed.TopRow(), ed.Row());
    EXPECT_GT(ed.TopRow() + ed.VisibleRows(), ed.Row());
  }
  GotoJumpLine(ed, 50);
  int column = 2;
  ApplyJumpColumn(ed, column, 3);
  EXPECT_EQ(ed.SelText(), "ne5");
  EXPECT_EQ(column, -1);
  ApplyJumpColumn(ed, column, 1);  // once only
  EXPECT_EQ(ed.SelText(), "ne5");
}

TEST_F(EditCommands, CenterCaretRowOnlyNearTheEdges) {
  host.size = {400, 2 + 5 + 10 * 16};
  ed.Resized();
  Load(std::string(100 * 2, '\n').replace(0, 200, std::string(100, '\n')));
  const struct {
    int top, row, newTop;
  } cases[] = {{20, 25, 20}, {20, 22, 20}, {20, 21, 21 - 3}, {20, 28, 20}, {20, 29, 29 - 3}, {20, 5, 5 - 3}, {20, 60, 57}};
  for (const auto& c : cases) {
    ed.SetTopRow(c.top);
    ed.SetRow(c.row);
    ed.SetTopRow(c.top);
    CenterCaretRow(ed);
    EXPECT_EQ(ed.TopRow(), c.newTop) << c.row;
  }
}

TEST_F(EditCommands, CaretPositionText) {
  // The first line wraps after 80 bytes; the caret at column 4 of its second row.
  ed.WrapOption().SetWrapByte(80);
  ed.SetWordWrap(true);
  Load(std::string(100, 'x') + "\nabc");
  ed.SetRowCol(1, 4);
  EXPECT_EQ(CaretPositionText(ed), Sjis("    2[1] 行:    5[85] 桁"));
  ed.SetRowCol(2, 1);
  EXPECT_EQ(CaretPositionText(ed), Sjis("    3[2] 行:    2[2] 桁"));
}

TEST_F(EditCommands, BracketJumps) {
  struct Case {
    const char* text;  // | at the caret before the jump
    const char* after;
  };
  const Case cases[] = {
      {"a|(b(c)d)e", "a(b(c)d|)e"},
      {"a(b(c)d|)e", "a|(b(c)d)e"},
      {"a(b|(c)d)e", "a(b(c|)d)e"},
      {"|{a{b}{c}d}", "{a{b}{c}d|}"},
      {"{a{b}{c}d|}", "|{a{b}{c}d}"},
      {"|[\n[x]\n]", "[\n[x]\n|]"},                                 // across lines
      {"|(\"(\" ))", "(\"(\" )|)"},                                // a bracket in a string counts
      {"|\x81\x69\x81\x69\x81\x6a\x81\x6a", "\x81\x69\x81\x69\x81\x6a|\x81\x6a"},  // （（））
      {"|\x81\x75" "a\x81\x76", "\x81\x75" "a|\x81\x76"},               // 「a」
      {"|\xa2" "a\xa3", "\xa2" "a|\xa3"},                             // ｢a｣
      {"a|(b", "a|(b"},                                            // no partner: the caret stays
      {"a)|b", "a)|b"},                                            // not at a bracket
      {"|(()", "|(()"},
  };
  for (const Case& c : cases) {
    Load(c.text);
    JumpToMatchingBracket(ed, sfMatchCase);
    EXPECT_EQ(Show(), c.after) << c.text;
  }
}

TEST_F(EditCommands, BracketJumpIgnoresWholeWordAndLineBreakOptions) {
  Load("|(a\n)");
  EXPECT_TRUE(JumpToMatchingBracket(ed, sfWholeWord | sfIncludeCRLF | sfReplaceAll));
  EXPECT_EQ(Show(), "(a\n|)");
  // With full and half width equal, （ and ) pair up.
  Load("|(a\x81\x6a)");
  EXPECT_TRUE(JumpToMatchingBracket(ed, sfNoMatchZenkaku));
  EXPECT_EQ(Show(), "(a|\x81\x6a)");
  Load("|(a\x81\x6a)");
  EXPECT_TRUE(JumpToMatchingBracket(ed, 0));
  EXPECT_EQ(Show(), "(a\x81\x6a|)");
}

TEST_F(EditCommands, BracketWithoutPartnerDropsTheSelection) {
  Load("x(ab");
  ed.SetSelStart(1);
  ed.StartSelection();
  ed.SetRowCol(0, 3);
  ed.ExtendSelection();
  ed.SetRowCol(0, 1);  // the caret back before "(" with the anchor kept
  ed.ExtendSelection();
  ed.SetRowCol(0, 1);
  EXPECT_FALSE(JumpToMatchingBracket(ed, 0));
  EXPECT_FALSE(ed.Selected());
}

// Marks on rows 2, 5 and 8 (set in that order) after rows 4..6 became
// other rows, some of them the same rows as before.
TEST(Marks, MoveWithTheirRows) {
  struct {
    const char* what;
    int oldCount, newCount, keptAbove, keptBelow;
    std::vector<int> rows;
  } const cases[] = {
      {"a row put in above 5", 1, 2, 0, 1, {9, 6, 2}},
      {"row 5 split", 3, 4, 1, 1, {9, 5, 2}},
      {"rows 4 and 5 taken out", 3, 1, 0, 1, {6, 2}},
      {"rows 4..6 taken out", 3, 0, 0, 0, {5, 2}},
      {"row 5 joined to 4", 2, 1, 0, 0, {7, 4, 2}},
      {"the same count", 3, 3, 0, 0, {8, 5, 2}},
      {"kept counts beyond the rows", 3, 1, 5, 5, {6, 2}},
  };
  for (const auto& c : cases) {
    TMarkList m;
    for (int row : {2, 5, 8}) m.Toggle(row);
    m.RowsReplaced(4, c.oldCount, c.newCount, c.keptAbove, c.keptBelow);
    EXPECT_EQ(m.Rows(), c.rows) << c.what;
  }
  TMarkList m;  // a mark that goes leaves the current index on a mark
  for (int row : {2, 5}) m.Toggle(row);
  m.Next();
  m.RowsReplaced(0, 3, 0, 0, 0);
  EXPECT_EQ(m.Rows(), (std::vector<int>{2}));
  EXPECT_EQ(m.Next(), 2);
}

TEST(Marks, OrderToggleAndNavigation) {
  TMarkList m;
  EXPECT_FALSE(m.IsMarkedRow(3));
  EXPECT_FALSE(m.Next());
  for (int row : {3, 10, 20}) m.Toggle(row);
  EXPECT_EQ(m.Rows(), (std::vector<int>{20, 10, 3}));
  EXPECT_EQ(m.Current(), 0);
  TMarkList back = m;
  EXPECT_EQ(m.Next(), 10);
  EXPECT_EQ(m.Next(), 3);
  EXPECT_EQ(m.Next(), 20);
  EXPECT_EQ(back.Prev(), 3);
  EXPECT_EQ(back.Prev(), 10);
  EXPECT_TRUE(m.IsMarkedRow(10));
  EXPECT_FALSE(m.IsMarkedRow(11));
  m.Toggle(10);
  m.Toggle(10);  // twice on one row: back at the front
  EXPECT_EQ(m.Rows(), (std::vector<int>{10, 20, 3}));
  m.Toggle(10);
  EXPECT_EQ(m.Rows(), (std::vector<int>{20, 3}));
  for (int row = 100; row < 108; ++row) m.Toggle(row);
  EXPECT_EQ(m.Rows().size(), 10u);
  EXPECT_EQ(m.Rows().back(), 3);
  m.Toggle(200);  // the eleventh drops the oldest
  EXPECT_EQ(m.Rows().size(), 10u);
  EXPECT_EQ(m.Rows().front(), 200);
  EXPECT_EQ(m.Rows().back(), 20);
  m.Clear();
  EXPECT_EQ(m.Current(), -1);
  EXPECT_FALSE(m.Prev());
  EXPECT_FALSE(m.IsMarkedRow(200));
}

TEST_F(EditCommands, GotoRowCentres) {
  host.size = {400, 2 + 5 + 10 * 16};
  ed.Resized();
  Load(std::string(100, '\n'));
  GotoRow(ed, 60);
  EXPECT_EQ(ed.Row(), 60);
  EXPECT_EQ(ed.TopRow(), 57);
}

}  // namespace
}  // namespace yk::test

// Long random sequences of editing, selection and clipboard operations on
// texts with double-byte characters, tabs and line ends: after every step
// the caret stands on a character boundary and the selection reads
// consistently; undoing everything gives back the first text.
#include <gtest/gtest.h>

#include <random>

#include "editor_fixture.h"
#include "text/column_map.h"

namespace yk::test {
namespace {

using EditorRandom = EditorTest;

const char* const kPieces[] = {"a", "bc", "\x82\xa0", "\x82\xa2\x82\xa4", "\t", " ", "\xb6\xde", "\r\n", "xyz\r\nq", "\x81\x40"};

std::string RandomText(std::mt19937& rng, int pieces) {
  std::string s;
  for (int i = 0; i < pieces; ++i) s += kPieces[rng() % std::size(kPieces)];
  return s;
}

void RandomStep(TEditor& e, std::mt19937& rng) {
  const int rows = e.RowCount();
  switch (rng() % 16) {
    case 0: e.KeyChar(static_cast<char>('a' + rng() % 26)); break;
    case 1: e.InsertText(RandomText(rng, 1 + static_cast<int>(rng() % 3))); break;
    case 2: e.ReturnKey(); break;
    case 3: e.BackSpaceKey(); break;
    case 4: e.DeleteKey(); break;
    case 5: e.TabKey(); break;
    case 6: e.SetRowCol(static_cast<int>(rng() % (rows + 2)), static_cast<int>(rng() % 40)); break;
    case 7: e.SetRow(static_cast<int>(rng() % (rows + 2))); break;
    case 8: e.SetCol(e.Col() + static_cast<int>(rng() % 5) - 2); break;
    case 9:
      if (!e.Selected()) e.StartSelection();
      e.SetRowCol(static_cast<int>(rng() % (rows + 1)), static_cast<int>(rng() % 30));
      e.ExtendSelection();
      break;
    case 10: e.SetSelectionMode(rng() % 2 ? smBox : smNormal); break;
    case 11: e.CutToClipboard(); break;
    case 12: e.CopyToClipboard(); e.PasteFromClipboard(); break;
    case 13: e.PasteAsBox(RandomText(rng, 3)); break;
    case 14: e.SetOverwrite(!e.Overwrite()); break;
    case 15: e.DeleteRow(static_cast<int>(rng() % (rows + 1))); break;
  }
}

void CheckState(TEditor& e, int step) {
  ASSERT_LE(e.Row(), e.RowCount()) << step;
  const std::string map = e.RowColumnMap(e.Row());
  // The kept map must follow every edit, the overwriting ones included.
  ASSERT_EQ(map, ColumnMap(e.RowText(e.Row()), e.TabSpaceCount(), e.WordWrap() ? e.WrapOption().WrapByte() : 0,
                           e.WordDelimiters()))
      << step;
  if (static_cast<std::size_t>(e.Col()) < map.size()) {
    ASSERT_NE(map[static_cast<std::size_t>(e.Col())], kColTrail) << step;
    ASSERT_NE(map[static_cast<std::size_t>(e.Col())], kColTabFill) << step;
  }
  for (int r = 0; r + 1 < e.RowCount(); ++r) ASSERT_NE(e.RowAttribute(r), raEof) << step;
  ASSERT_EQ(static_cast<std::int64_t>(e.SelText().size()), e.SelLength()) << step;
}

TEST_F(EditorRandom, RandomEditsKeepTheStateSoundAndUndoRestoresTheText) {
  ed.SetUndoListMax(100000);
  for (int wrap = 0; wrap < 2; ++wrap) {
    ed.WrapOption().SetWrapByte(20);
    ed.SetWordWrap(wrap == 1);
    for (unsigned seed = 1; seed <= 12; ++seed) {
      std::mt19937 rng(seed);
      const std::string original = RandomText(rng, 40);
      Load("");
      ed.ScreenStrings().ReplaceRows(0, 0, original);
      ed.ScreenStrings().UndoObj().Clear();
      const std::string start = ed.Lines().GetTextStr();
      for (int step = 0; step < 300; ++step) {
        RandomStep(ed, rng);
        CheckState(ed, step);
        if (HasFatalFailure()) {
          ADD_FAILURE() << "seed " << seed << " wrap " << wrap;
          return;
        }
      }
      ed.SetOverwrite(false);
      ed.SetSelectionMode(smNormal);
      while (ed.CanUndo()) ed.Undo();
      EXPECT_EQ(ed.Lines().GetTextStr(), start) << "seed " << seed << " wrap " << wrap;
    }
  }
}

}  // namespace
}  // namespace yk::test

// Carried highlight states computed lazily (a few screens at a time, the
// rest as painting asks) against a walk that computes every row from the top.
#include <gtest/gtest.h>

#include <random>

#include "fake_editor.h"

namespace yk::test {
namespace {

// The state every row should carry, walked from the first row.
std::vector<int> WalkStates(const TEditorScreenStrings& rows) {
  std::vector<int> states;
  int state = kStateNone;
  for (int r = 0; r < rows.GetCount(); ++r) {
    states.push_back(state);
    state = rows.RowEndState(r, state);
  }
  return states;
}

TEST(States, LazyStatesMatchAWalkFromTheTop) {
  const char* const pieces[] = {"/*", "*/", "{", "}", "x", " ", "\r\n", "\r\n", "abc", "\x82\xa0" /* あ */};
  for (std::size_t blockBytes : {std::size_t{16}, TPointerStringList::kDefaultBlockBytes}) {
    for (bool wrap : {false, true}) {
      auto rows = std::make_shared<TEditorScreenStrings>(blockBytes, 4);
      FakeEditor ed(rows);
      ed.displayRows = 2;
      ed.rules.brackets = {{"/*", "*/"}, {"{", "}"}};
      rows->WrapOption().SetWrapByte(20);
      rows->SetWordWrap(wrap);
      std::string text;
      std::mt19937 rng(static_cast<unsigned>(blockBytes) + wrap);
      for (int k = 0; k < 400; ++k) text += pieces[rng() % std::size(pieces)];
      ed.lines.SetTextStr(text);
      for (int step = 0; step < 400; ++step) {
        const int n = rows->GetCount();
        const int first = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
        std::string piece;
        for (int k = static_cast<int>(rng() % 4); k >= 0; --k) piece += pieces[rng() % std::size(pieces)];
        if (rng() % 5 == 0)
          rows->Undo();
        else
          rows->ReplaceRows(first, first < n ? 1 : 0, piece);
        // Paint a random screen: its rows are computed on demand.
        const std::vector<int> expect = WalkStates(*rows);
        const int top = rows->GetCount() ? static_cast<int>(rng() % static_cast<unsigned>(rows->GetCount())) : 0;
        for (int r = top; r < std::min(top + 3, rows->GetCount()); ++r) {
          if (rows->GetRowState(r) == kStateNotComputed) rows->UpdateStatesFrom(r, false);
          ASSERT_EQ(rows->GetRowState(r), expect[static_cast<std::size_t>(r)])
              << "wrap " << wrap << " step " << step << " row " << r;
        }
        // Every row that reads as computed holds the right state.
        for (int r = 0; r < rows->GetCount(); ++r) {
          if (rows->GetRowState(r) != kStateNotComputed) {
            ASSERT_EQ(rows->GetRowState(r), expect[static_cast<std::size_t>(r)]) << "step " << step << " row " << r;
          }
        }
      }
    }
  }
}

TEST(States, AnEditNearTheTopLeavesFarRowsToLaterWithoutVisitingThem) {
  FakeEditor ed;
  ed.displayRows = 2;
  ed.rules.brackets = {{"/*", "*/"}};
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "line\r\n";
  ed.lines.SetTextStr(text);
  ed.Rows().UpdateStatesFrom(4999, false);  // everything computed
  ASSERT_EQ(ed.Rows().GetRowState(4999), kStateNone);
  ed.Rows().ReplaceRows(0, 1, "/* open\r\n");
  // The rows past two screens read as not computed through one limit.
  EXPECT_EQ(ed.Rows().StatesUnknownFrom(), 5);
  EXPECT_EQ(ed.Rows().GetRowState(4999), kStateUnknown);
  ed.Rows().UpdateStatesFrom(4999, false);
  EXPECT_EQ(ed.Rows().GetRowState(4999), 0);
  EXPECT_EQ(ed.Rows().GetRowState(2500), 0);
}

}  // namespace
}  // namespace yk::test

// Faults found by driving editors with random operation sequences, each
// reduced to the few steps that showed it: mostly an editor whose document
// is changed by another editor sharing it while it is in the middle of
// something.
#include <gtest/gtest.h>

#include <memory>

#include "editor_fixture.h"

namespace yk::test {
namespace {

class SharedEdit : public EditorTest {
 protected:
  SharedEdit() {
    other.SetHost(&otherHost);
    other.SetClipboard(&clip);
    other.ShareTextWith(ed);
  }
  int X(int col) { return ed.Margin().Left() + (col - ed.TopCol()) * ed.ColWidth() + 1; }
  int Y(int row) { return ed.Margin().Top() + (row - ed.TopRow()) * ed.RowHeight() + 4; }

  FakeHost otherHost;
  TEditor other;
};

// A press starts a selection whose anchor is kept until the mouse moves; an
// edit through the other editor in between shortens the row under it.
TEST_F(SharedEdit, SelectionAnchorFollowsAChangeMadeBeforeTheMouseMoves) {
  Load("abc|");
  ed.MouseDown(mbLeft, ssLeft, X(3), Y(0));
  other.SetRowCol(0, 1);
  other.BackSpaceKey();  // bc
  ed.MouseMove(ssLeft, X(0), Y(0));
  ASSERT_TRUE(ed.Selected());
  EXPECT_EQ(ed.SelText(), "bc");
  EXPECT_EQ(ed.SelLength(), 2);
  ed.MouseUp(mbLeft, 0, X(0), Y(0));
}

// The other editor selects nothing after the final line end; the edit
// removes that line end and with it the row the selection stood on.
TEST_F(SharedEdit, SelectionOnARowThatIsRemovedStaysInsideTheText) {
  ed.Lines().SetTextStr("\xff");  // one row with a line end
  other.SetSelStart(52);
  ed.SetSelLength(27);
  other.SetSelLength(52);
  ASSERT_TRUE(other.Selected());
  EXPECT_EQ(other.SelStart(), 3);
  ed.KeyPress('\xb8');  // ｸ replaces the whole text, line end included
  ASSERT_EQ(other.TextLength(), 1);
  EXPECT_EQ(other.Row(), 0);
  EXPECT_LE(other.SelStart() + other.SelLength(), 1);
  EXPECT_EQ(static_cast<std::int64_t>(other.SelText().size()), other.SelLength());
  other.KeyChar('a');
  EXPECT_EQ(other.Lines().GetTextStr().size(), 2u);
}

}  // namespace
}  // namespace yk::test

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

}  // namespace
}  // namespace yk::test

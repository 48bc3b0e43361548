// Editor settings objects: defaults, clamps, copying and how many change
// notifications reach their listeners.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <iterator>
#include <vector>

#include "text/editor_brackets.h"
#include "text/editor_caret.h"
#include "text/editor_colors.h"
#include "text/editor_marks.h"
#include "text/errors.h"
#include "text/view_info.h"

using namespace yk;

namespace {

// Counts the notifications of one object and remembers their senders.
struct Listener {
  explicit Listener(TNotifyPersistent& p) {
    p.OnChange = [this](TPersistent* sender) { senders.push_back(sender); };
  }
  int Count() const { return static_cast<int>(senders.size()); }
  std::vector<TPersistent*> senders;
};

// A collection that holds more pairs than the editor's, as a source of
// over-full assignments.
class TWideBrackets : public TEditorBracketCollection {
 protected:
  int MaxCount() const override { return 20; }
};

void FillBrackets(TEditorBracketCollection& c, int n) {
  for (int i = 0; i < n; ++i) {
    auto& item = c.Add();
    item.SetLeftBracket("L" + std::to_string(i));
    item.SetRightBracket("R" + std::to_string(i));
    item.ItemColor().SetColor(MakeColor(0, 0, static_cast<std::uint8_t>(i)));
  }
}

}  // namespace

TEST(Settings, Defaults) {
  TEditorCaret caret;
  EXPECT_TRUE(caret.AutoCursor() && caret.AutoIndent() && caret.FreeCaret() && caret.RowSelect() && caret.SelMove());
  EXPECT_FALSE(caret.InTab() || caret.KeepCaret() || caret.LockScroll() || caret.NextLine() ||
               caret.PrevSpaceIndent() || caret.SoftTab() || caret.TabIndent());
  EXPECT_EQ(caret.SelDragMode(), dmAutomatic);
  EXPECT_EQ(caret.Style(), csDefault);
  EXPECT_EQ(caret.TabSpaceCount(), 8);
  const auto& cur = caret.Cursors();
  EXPECT_EQ(cur.DefaultCursor(), crIBeam);
  EXPECT_EQ(cur.DragSelCursor(), crDrag);
  EXPECT_EQ(cur.DragSelCopyCursor(), crDragSelCopy);
  EXPECT_EQ(cur.InSelCursor(), crDefault);
  EXPECT_EQ(cur.LeftMarginCursor(), crRightArrow);

  TEditorMargin m;
  EXPECT_EQ((std::vector{m.Character(), m.Left(), m.Line(), m.Top(), m.UnderlineSpace()}),
            (std::vector{0, 19, 0, 2, 0}));
  TEditorMarks marks;
  for (const TEditorMark* mk : {&marks.EofMark(), &marks.RetMark(), &marks.Underline()}) {
    EXPECT_EQ(mk->Color(), clGray);
    EXPECT_FALSE(mk->Visible());
  }

  TEditorViewInfo view;
  const auto& c = view.Colors();
  for (const TEditorColor* e : {&c.Ank(), &c.Comment(), &c.DBCS(), &c.Int(), &c.Mail(), &c.Reserve(), &c.Str(),
                                &c.Symbol(), &c.Url()}) {
    EXPECT_EQ(e->BkColor(), clWindow);
    EXPECT_EQ(e->Color(), clWindowText);
    EXPECT_TRUE(e->Style().Empty());
  }
  EXPECT_EQ(c.Select().BkColor(), clNavy);
  EXPECT_EQ(c.Select().Color(), clWhite);
  EXPECT_EQ(view.Brackets().Count(), 0);
  EXPECT_TRUE(view.Commenter().empty() && view.HexPrefix().empty() && view.Quotation().empty());
  EXPECT_FALSE(view.ControlCode() || view.Mail() || view.Url());
}

TEST(Settings, TabSpaceCountIsTwoFourSixOrEight) {
  const std::pair<int, int> cases[] = {{1, 2}, {2, 2}, {3, 2}, {4, 4}, {5, 4}, {6, 6}, {7, 6},
                                       {8, 8}, {9, 8}, {12, 8}, {0, 2}, {-7, 2}, {INT_MIN, 2}, {INT_MAX, 8}};
  for (auto [given, stored] : cases) {
    TEditorCaret caret;
    caret.SetTabSpaceCount(given);
    EXPECT_EQ(caret.TabSpaceCount(), stored) << given;
  }
}

TEST(Settings, MarginsAreClampedWhereTheyFeedLayout) {
  TEditorMargin m;
  const std::pair<int, int> character[] = {{-5, 0}, {500, 100}, {100, 100}, {37, 37}};
  for (auto [given, stored] : character) {
    m.SetCharacter(given);
    EXPECT_EQ(m.Character(), stored) << given;
  }
  const std::pair<int, int> pixels[] = {{-1, 0}, {INT_MIN, 0}, {7, 7}, {INT_MAX, TEditorMargin::kMaxMargin}};
  for (auto [given, stored] : pixels) {
    m.SetLeft(given);
    m.SetTop(given);
    m.SetLine(given);
    m.SetUnderlineSpace(given);
    EXPECT_EQ((std::vector{m.Left(), m.Top(), m.Line(), m.UnderlineSpace()}), std::vector<int>(4, stored)) << given;
  }
  TEditorMargin copy;
  copy.Assign(m);
  EXPECT_EQ(copy, m);
}

TEST(Settings, NotifyingSettersFireOncePerRealChange) {
  TEditorCaret caret;
  TEditorMargin margin;
  TEditorMark mark;
  TEditorColor color;
  TEditorViewInfo view;
  Listener lc(caret), lm(margin), lk(mark), lo(color), lv(view);
  // Each step is run twice: the first run fires `fires` notifications, the
  // repeat (same value) none.
  const struct {
    Listener* listener;
    std::function<void()> step;
    int fires;
  } steps[] = {
      {&lc, [&] { caret.SetStyle(csBrief); }, 1},
      {&lc, [&] { caret.SetTabSpaceCount(4); }, 1},
      {&lc, [&] { caret.SetTabSpaceCount(5); }, 0},  // clamps to the stored 4
      {&lm, [&] { margin.SetCharacter(3); }, 1},
      {&lm, [&] { margin.SetLeft(4); }, 1},
      {&lm, [&] { margin.SetLine(1); }, 1},
      {&lm, [&] { margin.SetTop(0); }, 1},
      {&lm, [&] { margin.SetUnderlineSpace(1); }, 1},
      {&lm, [&] { margin.SetCharacter(-9); }, 1},
      {&lm, [&] { margin.SetCharacter(0); }, 0},
      {&lk, [&] { mark.SetColor(clTeal); }, 1},
      {&lk, [&] { mark.SetVisible(true); }, 1},
      {&lo, [&] { color.SetBkColor(clWhite); }, 1},
      {&lo, [&] { color.SetColor(clRed); }, 1},
      {&lo, [&] { color.SetStyle({fsUnderline}); }, 1},
      {&lv, [&] { view.SetCommenter(";"); }, 1},
      {&lv, [&] { view.SetControlCode(true); }, 1},
      {&lv, [&] { view.SetHexPrefix("0x"); }, 1},
      {&lv, [&] { view.SetMail(true); }, 1},
      {&lv, [&] { view.SetQuotation("'"); }, 1},
      {&lv, [&] { view.SetQuotation("''"); }, 0},
      {&lv, [&] { view.SetUrl(true); }, 1},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    int before = steps[i].listener->Count();
    steps[i].step();
    steps[i].step();
    EXPECT_EQ(steps[i].listener->Count() - before, steps[i].fires) << "step " << i;
  }
}

TEST(Settings, PlainFieldsNotifyNobody) {
  TEditorCaret caret;
  Listener lc(caret), lcur(caret.Cursors());
  caret.SetAutoCursor(false);
  caret.SetAutoIndent(false);
  caret.SetFreeCaret(false);
  caret.SetInTab(true);
  caret.SetKeepCaret(true);
  caret.SetLockScroll(true);
  caret.SetNextLine(true);
  caret.SetPrevSpaceIndent(true);
  caret.SetRowSelect(false);
  caret.SetSelDragMode(dmManual);
  caret.SetSelMove(false);
  caret.SetSoftTab(true);
  caret.SetTabIndent(true);
  caret.Cursors().SetDefaultCursor(crArrow);
  caret.Cursors().SetLeftMarginCursor(5);
  EXPECT_EQ(lc.Count(), 0);
  EXPECT_EQ(lcur.Count(), 0);
  EXPECT_FALSE(caret.AutoIndent());
  EXPECT_EQ(caret.Cursors().LeftMarginCursor(), 5);

  TEditorBracketItem item;
  Listener li(item.ItemColor());
  item.SetLeftBracket("/*");
  item.SetRightBracket("*/");
  EXPECT_EQ(li.Count(), 0);
}

TEST(Settings, AssigningAWholeCaretCopiesAllAndNotifiesOnce) {
  TEditorCaret src;
  src.SetAutoCursor(false);
  src.SetAutoIndent(false);
  src.Cursors().SetDragSelCopyCursor(5);
  src.Cursors().SetInSelCursor(crHandPoint);
  src.SetFreeCaret(false);
  src.SetInTab(true);
  src.SetKeepCaret(true);
  src.SetLockScroll(true);
  src.SetNextLine(true);
  src.SetPrevSpaceIndent(true);
  src.SetRowSelect(false);
  src.SetSelDragMode(dmManual);
  src.SetSelMove(false);
  src.SetSoftTab(true);
  src.SetStyle(csBrief);
  src.SetTabIndent(true);
  src.SetTabSpaceCount(6);

  TEditorCaret dst;
  Listener l(dst);
  dst.Assign(src);
  EXPECT_EQ(l.Count(), 1);
  EXPECT_EQ(l.senders[0], &dst);
  EXPECT_EQ(dst, src);
  EXPECT_EQ(dst.Cursors().DragSelCopyCursor(), 5);
  // The copy is by value: later changes of the source stay there.
  src.Cursors().SetInSelCursor(crArrow);
  EXPECT_EQ(dst.Cursors().InSelCursor(), crHandPoint);
}

TEST(Settings, MarksReportTheirPartsAsOneObject) {
  TEditorMarks marks;
  Listener l(marks);
  marks.RetMark().SetVisible(true);
  marks.Underline().SetColor(clRed);
  ASSERT_EQ(l.Count(), 2);
  EXPECT_EQ(l.senders[0], &marks);

  TEditorMarks src;
  src.EofMark().SetColor(clTeal);
  src.EofMark().SetVisible(true);
  src.RetMark().SetColor(clTeal);
  src.Underline().SetVisible(true);
  marks.Assign(src);
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(marks, src);

  TEditorMark one;
  one.SetVisible(true);
  marks.SetUnderline(one);
  EXPECT_EQ(l.Count(), 4);
  EXPECT_EQ(marks.Underline().Color(), clGray);
}

TEST(Settings, WholeColorsAssignNotifiesTheViewOnce) {
  TEditorViewInfo view;
  Listener l(view);
  TEditorColors src;
  src.Mail().SetColor(clGreen);
  src.Mail().SetStyle({fsUnderline});
  src.Reserve().SetColor(clRed);
  src.Url().SetBkColor(clWhite);
  src.Select().SetBkColor(clBlue);
  view.SetColors(src);
  ASSERT_EQ(l.Count(), 1);
  EXPECT_EQ(l.senders[0], &view);
  EXPECT_EQ(view.Colors(), src);

  view.Colors().Int().SetColor(clPurple);  // a single entry reaches the view too
  EXPECT_EQ(l.Count(), 2);
}

TEST(Settings, SameOperationsSkipSelectionAndNotifyOnce) {
  TEditorColors colors;
  Listener l(colors);
  colors.SameColor(clRed);
  colors.SameBkColor(clYellow);
  colors.SameStyle({fsBold, fsItalic});
  EXPECT_EQ(l.Count(), 3);
  for (const TEditorColor* e : {&colors.Ank(), &colors.Comment(), &colors.DBCS(), &colors.Int(), &colors.Mail(),
                                &colors.Reserve(), &colors.Str(), &colors.Symbol(), &colors.Url()}) {
    EXPECT_EQ(e->Color(), clRed);
    EXPECT_EQ(e->BkColor(), clYellow);
    EXPECT_EQ(e->Style(), (TFontStyles{fsBold, fsItalic}));
  }
  EXPECT_EQ(colors.Select().Color(), clWhite);
  EXPECT_EQ(colors.Select().BkColor(), clNavy);
  EXPECT_TRUE(colors.Select().Style().Empty());

  TEditorBracketCollection brackets;
  FillBrackets(brackets, 3);
  Listener lb(brackets);
  brackets.SameBkColor(clWhite);
  EXPECT_EQ(lb.Count(), 1);
  for (int i = 0; i < brackets.Count(); ++i) EXPECT_EQ(brackets.Items(i).ItemColor().BkColor(), clWhite);
}

TEST(Settings, BracketCollectionHoldsAtMostFourteenPairs) {
  TEditorBracketCollection c;
  Listener l(c);
  FillBrackets(c, 14);
  EXPECT_EQ(l.Count(), 14);
  EXPECT_EQ(l.senders.back(), &c);
  try {
    c.Add();
    FAIL() << "a fifteenth pair was accepted";
  } catch (const EStringListError&) {
    FAIL() << "wrong error class";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TEditorBracketCollection\r\nYou can not add item over 14");
  }
  EXPECT_EQ(c.Count(), 14);
  EXPECT_EQ(l.Count(), 14);
  EXPECT_EQ(c.Items(13).LeftBracket(), "L13");

  for (int bad : {-1, 14}) {
    EXPECT_THROW(c.Items(bad), EStringListError);
    EXPECT_THROW(c.Delete(bad), EStringListError);
  }
  c.Delete(0);
  EXPECT_EQ(c.Count(), 13);
  EXPECT_EQ(c.Items(0).LeftBracket(), "L1");
  c.Clear();
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(l.Count(), 16);  // the delete and one clear; clearing nothing is no change
}

TEST(Settings, BracketAssignCopiesPairsAndStopsAtTheLimit) {
  TEditorBracketCollection src;
  FillBrackets(src, 3);
  TEditorBracketCollection dst;
  FillBrackets(dst, 5);
  Listener l(dst);
  dst.Assign(src);
  EXPECT_EQ(l.Count(), 1);
  EXPECT_EQ(dst, src);
  src.Items(0).SetLeftBracket("changed");
  src.Items(0).ItemColor().SetBkColor(clAqua);
  EXPECT_EQ(dst.Items(0).LeftBracket(), "L0");
  EXPECT_EQ(dst.Items(0).ItemColor().BkColor(), clWindow);

  dst.Assign(dst);  // copying onto itself keeps the pairs
  EXPECT_EQ(dst.Count(), 3);

  TWideBrackets wide;
  FillBrackets(wide, 15);
  EXPECT_THROW(dst.Assign(wide), Exception);
  EXPECT_EQ(dst.Count(), 14);
  EXPECT_EQ(dst.Items(13).RightBracket(), "R13");
  EXPECT_EQ(l.Count(), 2);  // the failed copy still ends its update
}

TEST(Settings, ViewAssignCopiesEverythingAndNotifiesOnce) {
  int owner = 0;
  TEditorViewInfo src(&owner);
  FillBrackets(src.Brackets(), 2);
  src.Colors().Comment().SetColor(clGreen);
  src.SetCommenter("//");
  src.SetControlCode(true);
  src.SetHexPrefix("$");
  src.SetMail(true);
  src.SetQuotation("\"");
  src.SetUrl(true);

  TEditorViewInfo dst;
  Listener l(dst);
  dst.Assign(src);
  EXPECT_EQ(l.Count(), 1);
  EXPECT_EQ(dst, src);
  EXPECT_EQ(dst.Owner(), nullptr);
  EXPECT_EQ(src.Owner(), &owner);

  dst.Brackets().Add();  // adding a pair reaches the view
  EXPECT_EQ(l.Count(), 2);
  EXPECT_EQ(l.senders.back(), &dst);
}

TEST(Settings, QuotationKeepsOneByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"'", "'"},
      {"'\"", "'"},
      {"\x81\x75", "\x81"},          // 「: its lead byte
      {"\x81\x75\x81\x76", "\x81"},  // 「」
  };
  TEditorViewInfo view;
  for (const auto& [given, stored] : cases) {
    view.SetQuotation(given);
    EXPECT_EQ(view.Quotation(), stored);
  }
}

TEST(Settings, AssignFromAnotherClassIsRefused) {
  TEditorCaret caret;
  TEditorCursors cursors;
  TEditorMargin margin;
  TEditorMark mark;
  TEditorMarks marks;
  TEditorColor color;
  TEditorColors colors;
  TEditorBracketItem item;
  TEditorBracketCollection brackets;
  TEditorViewInfo view;
  std::vector<std::pair<TPersistent*, TPersistent*>> pairs = {
      {&caret, &cursors}, {&cursors, &caret},   {&margin, &mark},     {&mark, &marks},
      {&marks, &mark},    {&color, &colors},    {&colors, &color},    {&item, &color},
      {&brackets, &item}, {&view, &colors},
  };
  for (auto [dst, src] : pairs) {
    EXPECT_THROW(dst->Assign(*src), EAssignError) << dst->ClassName() << " <- " << src->ClassName();
  }
  EXPECT_EQ(caret.TabSpaceCount(), 8);
}

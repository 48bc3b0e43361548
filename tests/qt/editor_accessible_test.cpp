// The editor for assistive technologies, in process: Unicode offsets against
// a plain conversion of every row, the text interface's answers, editing
// through it, and the notices sent while the user types.
#include "qt/editor_accessible.h"

#include <QAccessible>
#include <QInputMethodEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "editor/editor.h"
#include "platform/cp932_codec.h"
#include "platform/mapped_chars.h"
#include "qt/editor_widget.h"

namespace yk {
namespace {

// The document as Unicode, converted row by row the plain way, and where
// each row starts in it.
struct TReference {
  QString text;
  std::vector<std::int64_t> rowStarts;
};

TReference Reference(TEditor& ed) {
  TReference ref;
  for (int r = 0; r < ed.RowCount(); ++r) {
    ref.rowStarts.push_back(ref.text.size());
    ref.text += QString::fromStdU16String(cp932::Decode(ed.RowText(r)));
    if (ed.RowAttribute(r) == raCrlf) ref.text += QLatin1Char('\n');
  }
  ref.rowStarts.push_back(ref.text.size());
  return ref;
}

// Character starts map to the reference offset and back (all of them in
// short rows, a sample in long ones, every third row), and random pieces
// read the same.
void CheckOffsets(TEditorWidget& w, std::mt19937& rng, const std::string& where) {
  TEditor& ed = w.Editor();
  TUnicodeOffsets& offsets = w.Offsets();
  const TReference ref = Reference(ed);
  ASSERT_EQ(offsets.Length(), ref.text.size()) << where;
  for (int r = 0; r < ed.RowCount(); r += 3) {
    const std::string row = ed.RowText(r);
    std::vector<std::pair<std::size_t, std::int64_t>> starts;  // byte, offset
    std::int64_t units = ref.rowStarts[static_cast<std::size_t>(r)];
    for (std::size_t b = 0; b < row.size(); b = cp932::NextChar(row, b)) starts.emplace_back(b, units++);
    starts.emplace_back(row.size(), units);
    if (starts.size() > 64) {
      std::shuffle(starts.begin() + 1, starts.end() - 1, rng);
      starts.erase(starts.begin() + 63, starts.end() - 1);
    }
    for (auto [b, offset] : starts) {
      ASSERT_EQ(offsets.OffsetOf(r, static_cast<int>(b)), offset) << where << " row " << r << " byte " << b;
      // The end of a wrapped row is the start of the next.
      if (b == row.size() && ed.RowAttribute(r) == raWrapped) continue;
      const TUnicodeOffsets::TPlace p = offsets.PlaceOf(offset);
      ASSERT_EQ(p, (TUnicodeOffsets::TPlace{r, static_cast<int>(b)})) << where << " offset " << offset;
    }
  }
  std::uniform_int_distribution<int> any(0, static_cast<int>(ref.text.size()));
  for (int i = 0; i < 20; ++i) {
    int a = any(rng), b = any(rng);
    if (a > b) std::swap(a, b);
    ASSERT_EQ(offsets.Text(a, b), ref.text.mid(a, b - a)) << where << " text " << a << ".." << b;
  }
}

class AccessibleTest : public ::testing::Test {
 protected:
  AccessibleTest() {
    w.resize(480, 320);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    w.setFocus();
    QCoreApplication::processEvents();
    iface = QAccessible::queryAccessibleInterface(&w);
  }
  TEditor& ed() { return w.Editor(); }
  QAccessibleTextInterface* text() { return iface->textInterface(); }
  QAccessibleEditableTextInterface* edit() { return iface->editableTextInterface(); }
  // Committed as an input method commits a conversion.
  void Commit(const char* utf8) {
    QInputMethodEvent e;
    e.setCommitString(QString::fromUtf8(utf8));
    QCoreApplication::sendEvent(&w, &e);
  }

  TEditorWidget w;
  QAccessibleInterface* iface = nullptr;
};

// Rows of every kind: single and double bytes, half-width kana, a lone
// lead byte, tabs, and more rows than one counted run holds.
std::vector<std::string> MixedRows(int count) {
  const std::vector<std::string> kinds = {
      "abc",
      "\x82\xa0\x82\xa2\x82\xa4",          // あいう
      "\xb1\xb2 \x93\xfa\x96\x7b\x8c\xea",  // ｱｲ 日本語
      "\ta\t\x82\xa0",                      // tab a tab あ
      "",
      "x\x82",  // x and a lead byte without its trail
  };
  std::vector<std::string> rows;
  for (int i = 0; i < count; ++i) rows.push_back(kinds[static_cast<std::size_t>(i) % kinds.size()] + std::to_string(i));
  return rows;
}

TEST_F(AccessibleTest, OffsetsFollowEditsWrapAndUnreportedChanges) {
  std::mt19937 rng(7);
  ed().SetLines(MixedRows(1500));
  CheckOffsets(w, rng, "loaded");
  const std::vector<std::string> inserts = {"", "Z", "\x82\xa9\x82\xc8",  // かな
                                            "1\r\n\x82\xa0\r\n2", "\r\n", "\xb6"};
  for (int i = 0; i < 40; ++i) {
    const std::int64_t length = ed().TextLength();
    ed().SetSelStart(std::uniform_int_distribution<std::int64_t>(0, length)(rng));
    ed().SetSelLength(std::uniform_int_distribution<int>(0, 40)(rng));
    ed().SetSelTextBuf(inserts[static_cast<std::size_t>(i) % inserts.size()]);
    // Questions between the edits, as a screen reader asks them.
    (void)w.Offsets().OffsetOf(ed().Row(), 0);
    if (i % 8 == 7) CheckOffsets(w, rng, "edit " + std::to_string(i));
  }
  // Wrapping rebuilds every row without reporting a change.
  ed().SetWordWrap(true);
  CheckOffsets(w, rng, "wrapped");
  ed().SetSelStart(100);
  ed().SetSelTextBuf("\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0\x82\xa0");
  CheckOffsets(w, rng, "typed while wrapped");
  ed().SetWordWrap(false);
  CheckOffsets(w, rng, "unwrapped");
  // The same number of bytes, one character fewer: a change that only a
  // report can show.
  ed().SetSelStart(0);
  ed().SetSelLength(2);
  ed().SetSelTextBuf("\x82\xa0");
  CheckOffsets(w, rng, "two bytes for one character");
}

TEST_F(AccessibleTest, LongRowIsReadFromSamples) {
  std::mt19937 rng(3);
  std::string row;
  for (int i = 0; i < 60000; ++i) row += i % 3 ? "ab" : "\x82\xa0";  // a run of a, b and あ
  ed().SetLines({"head", row, "tail"});
  CheckOffsets(w, rng, "long row");
  ed().SetSelStart(100005);
  ed().SetSelTextBuf("\x93\xfa");  // 日
  CheckOffsets(w, rng, "long row typed in");
}

TEST_F(AccessibleTest, RoleStateAndTextAroundTheCaretAfterTyping) {
  ASSERT_NE(iface, nullptr);
  ASSERT_NE(text(), nullptr);
  ASSERT_NE(edit(), nullptr);
  EXPECT_EQ(iface->role(), QAccessible::EditableText);
  EXPECT_TRUE(iface->state().multiLine);
  EXPECT_TRUE(iface->state().editable);
  ed().SetLines({"first line", ""});
  ed().SetRowCol(1, 0);
  Commit("日本語の");
  QTest::keyClicks(&w, " text.");
  Commit("次の文");
  // "first line\n日本語の text.次の文"
  const int caret = 11 + 4 + 6 + 3;  // before the last line end
  EXPECT_EQ(text()->cursorPosition(), caret);
  EXPECT_EQ(text()->characterCount(), caret + 1);
  int start = 0, end = 0;
  struct Case {
    QAccessible::TextBoundaryType type;
    int offset;
    const char* at;
    int start;
  };
  const Case cases[] = {
      {QAccessible::CharBoundary, 11, "日", 11},
      {QAccessible::CharBoundary, caret - 1, "文", caret - 1},
      {QAccessible::LineBoundary, 12, "日本語の text.次の文\n", 11},
      {QAccessible::LineBoundary, 3, "first line\n", 0},
      {QAccessible::WordBoundary, 2, "first", 0},
      {QAccessible::NoBoundary, 5, "first line\n日本語の text.次の文\n", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text()->textAtOffset(c.offset, c.type, &start, &end), QString::fromUtf8(c.at)) << c.offset;
    EXPECT_EQ(start, c.start) << c.offset;
  }
  EXPECT_EQ(text()->textBeforeOffset(12, QAccessible::LineBoundary, &start, &end), QString::fromUtf8("first line\n"));
  EXPECT_EQ(text()->textAfterOffset(3, QAccessible::LineBoundary, &start, &end),
            QString::fromUtf8("日本語の text.次の文\n"));
  EXPECT_EQ(text()->textBeforeOffset(12, QAccessible::CharBoundary, &start, &end), QString::fromUtf8("日"));
  EXPECT_EQ(text()->textAfterOffset(caret, QAccessible::CharBoundary, &start, &end), QString());
  EXPECT_EQ(start, caret + 1);
  // The character's box is the double cell on the screen, and a point in
  // it answers its offset.
  const QRect cell = text()->characterRect(12);  // 本
  EXPECT_EQ(cell.width(), 2 * ed().ColWidth());
  EXPECT_EQ(cell.topLeft(), w.viewport()->mapToGlobal(QPoint(ed().Margin().Left() + 2 * ed().ColWidth(),
                                                              ed().Margin().Top() + ed().RowHeight())));
  EXPECT_EQ(text()->offsetAtPoint(cell.center()), 12);
}

TEST_F(AccessibleTest, SelectionAndEditingInUnicodeOffsets) {
  ed().SetLines({"\x82\xa0\x82\xa2\x82\xa4 abc", "\x93\xf1"});  // あいう abc / 二
  text()->setSelection(0, 1, 5);
  EXPECT_EQ(ed().SelText(), "\x82\xa2\x82\xa4 a");
  int start = 0, end = 0;
  ASSERT_EQ(text()->selectionCount(), 1);
  text()->selection(0, &start, &end);
  EXPECT_EQ(start, 1);
  EXPECT_EQ(end, 5);
  text()->setCursorPosition(8);  // the start of 二, after the line end
  EXPECT_EQ(ed().Row(), 1);
  EXPECT_EQ(ed().Col(), 0);
  EXPECT_EQ(text()->selectionCount(), 0);

  struct Case {
    const char* what;
    std::function<void()> act;
    const char* expected;
  };
  const Case cases[] = {
      {"insert", [&] { edit()->insertText(3, QString::fromUtf8("え")); }, "あいうえ abc\n二\n"},
      {"delete", [&] { edit()->deleteText(0, 2); }, "うえ abc\n二\n"},
      {"replace across the line end", [&] { edit()->replaceText(5, 7, QString::fromUtf8("Ｘ")); }, "うえ abＸ二\n"},
      {"outside Shift-JIS", [&] { edit()->insertText(0, QString::fromUtf8("😀")); }, "😀うえ abＸ二\n"},
  };
  for (const Case& c : cases) {
    c.act();
    EXPECT_EQ(text()->text(0, -1), QString::fromUtf8(c.expected)) << c.what;
  }
  ed().SetReadOnly(true);
  edit()->deleteText(0, 3);
  edit()->insertText(0, QStringLiteral("x"));
  EXPECT_EQ(text()->text(0, -1), QString::fromUtf8("😀うえ abＸ二\n"));
}

// Codes of the document's table of mapped characters are read as the
// characters they stand for, one beyond the BMP two units long, and every
// offset after it lands where the screen shows it. Counts made with the
// table before go when the document gets another.
TEST_F(AccessibleTest, MappedCharactersAreReadAsThemselves) {
  auto chars = std::make_shared<TMappedChars>(true);
  const auto code = [&](char32_t c) {
    const std::uint16_t k = chars->CodeFor(c);
    return std::string{static_cast<char>(k >> 8), static_cast<char>(k & 0xFF)};
  };
  ed().SetLines({code(U'\U0001F600') + "a" + code(U'\u00E9'), "x"});  // 😀aé / x
  EXPECT_EQ(text()->characterCount(), 6);  // the widget's own table: user-defined glyphs, one unit each
  w.SetChars(chars);
  EXPECT_EQ(text()->text(0, -1), QString::fromUtf8("😀aé\nx\n"));
  EXPECT_EQ(text()->characterCount(), 7);
  int start = 0, end = 0;
  EXPECT_EQ(text()->textAtOffset(2, QAccessible::CharBoundary, &start, &end), QStringLiteral("a"));
  EXPECT_EQ(text()->textAtOffset(3, QAccessible::CharBoundary, &start, &end), QString::fromUtf8("é"));
  EXPECT_EQ(start, 3);
  text()->setCursorPosition(5);  // the start of x
  EXPECT_EQ(ed().Row(), 1);
  EXPECT_EQ(ed().Col(), 0);
  EXPECT_EQ(text()->characterRect(3).width(), 2 * ed().ColWidth());
  // Typed through the interface: a code of the same table.
  edit()->insertText(3, QString::fromUtf8("한😀"));
  EXPECT_EQ(text()->text(0, 7), QString::fromUtf8("😀a한😀é"));
  EXPECT_EQ(ed().Lines().Get(0).substr(5, 2), code(U'\U0001F600'));
}

// What the notices said, as strings.
std::vector<std::string> g_heard;

void Hear(QAccessibleEvent* e) {
  switch (e->type()) {
    case QAccessible::TextCaretMoved:
      g_heard.push_back("caret " + std::to_string(static_cast<QAccessibleTextCursorEvent*>(e)->cursorPosition()));
      break;
    case QAccessible::TextInserted: {
      auto* i = static_cast<QAccessibleTextInsertEvent*>(e);
      g_heard.push_back("insert " + std::to_string(i->changePosition()) + " " + i->textInserted().toStdString());
      break;
    }
    case QAccessible::TextRemoved: {
      auto* r = static_cast<QAccessibleTextRemoveEvent*>(e);
      g_heard.push_back("remove " + std::to_string(r->changePosition()) + " " + r->textRemoved().toStdString());
      break;
    }
    case QAccessible::TextSelectionChanged: {
      auto* s = static_cast<QAccessibleTextSelectionEvent*>(e);
      g_heard.push_back("select " + std::to_string(s->selectionStart()) + ".." + std::to_string(s->selectionEnd()));
      break;
    }
    default: break;
  }
}

TEST_F(AccessibleTest, NoticesWhileTyping) {
  ed().SetLines({"ab", "cd"});
  ed().SetRowCol(1, 1);
  TAccessibleNotices::Listening = [] { return true; };
  TAccessibleNotices::Deliver = &Hear;
  const auto heard = [](auto act) {
    g_heard.clear();
    act();
    std::string s;
    for (const std::string& h : g_heard) s += (s.empty() ? "" : " | ") + h;
    return s;
  };
  EXPECT_EQ(heard([&] { QTest::keyClick(&w, Qt::Key_Right); }), "caret 5");
  EXPECT_EQ(heard([&] { Commit("あい"); }), "insert 5 あい | caret 7");
  EXPECT_EQ(heard([&] { QTest::keyClick(&w, Qt::Key_Backspace); }), "remove 6 い | caret 6");
  EXPECT_EQ(heard([&] { QTest::keyClick(&w, Qt::Key_Home); }), "caret 3");
  // Joining with the line above removes its line end.
  EXPECT_EQ(heard([&] { QTest::keyClick(&w, Qt::Key_Backspace); }), "remove 2 \n | caret 2");
  EXPECT_EQ(heard([&] { QTest::keyClick(&w, Qt::Key_End, Qt::ShiftModifier); }), "caret 5 | select 2..5");
  EXPECT_EQ(heard([&] { QTest::keyClicks(&w, "Z"); }), "select -1..-1 | remove 2 cdあ | insert 2 Z | caret 3");
  // Unchanged place, no notice: scrolling alone moves no caret.
  EXPECT_EQ(heard([&] { ed().SetTopRow(0); }), "");
  TAccessibleNotices::Listening = &QAccessible::isActive;
  // Nothing is heard or worked out while no one listens.
  EXPECT_EQ(heard([&] { QTest::keyClicks(&w, "x"); }), "");
  TAccessibleNotices::Deliver = &QAccessible::updateAccessibility;
}

}  // namespace
}  // namespace yk

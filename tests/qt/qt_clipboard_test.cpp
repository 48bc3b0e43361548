// The system clipboard as the editor sees it: Unicode with other programs,
// exact bytes and the box marker between our editors.
#include "qt/qt_clipboard.h"

#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include "qt/qt_graphics.h"

namespace yk {
namespace {

QClipboard& System() { return *QGuiApplication::clipboard(); }

TEST(QtClipboard, CopyGivesOtherProgramsUnicodeAndKeepsTheBytes) {
  TQtClipboard clipboard;
  const std::string text = "\x82\xa0\x82\xa2\r\n\xed\x40x\r\n";  // あい / 纊x (the NEC-selected code of 纊)
  clipboard.SetText(text, false);
  EXPECT_EQ(System().text(), QString::fromUtf8("あい\n纊x\n"));
  EXPECT_TRUE(clipboard.HasText());
  EXPECT_FALSE(clipboard.HasBoxFormat());
  // Our own paste takes the exact bytes, not the Unicode round trip (which
  // would give the other code of 纊).
  EXPECT_EQ(clipboard.Text(), text);
}

// Only CR LF pairs become LF; lone CR and LF, odd bytes and a lead byte
// at the very end come out as the decoder gives them.
TEST(QtClipboard, OtherProgramsGetTheDecodedTextWithLfLineEnds) {
  TQtClipboard clipboard;
  const std::string cases[] = {"a\rb\nc\r\n", "\r\r\n\n\r", "\x82\xa0\r\n\x82", "\xa0\xff\x80\x00x", ""};
  for (const std::string& text : cases) {
    clipboard.SetText(text, false);
    QString want = ToQString(text);
    want.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(System().text(), want) << text;
    EXPECT_EQ(clipboard.Text(), text);
  }
}

TEST(QtClipboard, BoxMarkerTravelsBesideTheText) {
  TQtClipboard clipboard;
  clipboard.SetText("ab\r\ncd\r\n", true);
  EXPECT_TRUE(clipboard.HasBoxFormat());
  const QByteArray marker = System().mimeData()->data(kBoxMimeType);
  EXPECT_EQ(marker, QByteArray("ab\r\ncd\r\n", 9));  // with its terminating zero
  // A later plain copy drops the marker.
  clipboard.SetText("x", false);
  EXPECT_FALSE(clipboard.HasBoxFormat());
}

TEST(QtClipboard, TextFromOtherProgramsBecomesCp932) {
  struct Case {
    const char* utf8;
    const char* bytes;
    int replaced;
  } cases[] = {
      {"abc\nde", "abc\nde", 0},
      {"\u301C\u2016\u2212\u2014", "\x81\x60\x81\x61\x81\x7c\x81\x5c", 0},  // 〜‖−— as input methods here send them
      {"\u00A2\u00A3\u00AC", "\x81\x91\x81\x92\x81\xca", 0},                  // ¢£¬
      {"\uFF5E\uFF0D", "\x81\x60\x81\x7c", 0},                                // ～－
      {"a\U0001F600b\u00E9", "a?b?", 2},                                      // a😀bé
  };
  for (const Case& c : cases) {
    TQtClipboard clipboard;
    int told = 0;
    clipboard.OnReplaced = [&](int n) { told += n; };
    System().setText(QString::fromUtf8(c.utf8));
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_FALSE(clipboard.HasBoxFormat());
    EXPECT_EQ(clipboard.Text(), c.bytes) << c.utf8;
    EXPECT_EQ(told, c.replaced) << c.utf8;
  }
}

// A text source is read only when a paste asks, as it stands then; a
// withdrawn source leaves the clipboard empty, but never takes away what
// another copy put there since.
TEST(QtClipboard, TextSourceIsReadWhenPasted) {
  TQtClipboard clipboard;
  int reads = 0;
  std::string selection = "\x82\xa0\r\nb";  // あ / b
  clipboard.SetTextSource([&] {
    ++reads;
    return selection;
  });
  EXPECT_EQ(reads, 0);
  EXPECT_TRUE(clipboard.HasText());
  EXPECT_EQ(System().text(), QString::fromUtf8("あ\nb"));
  EXPECT_EQ(clipboard.Text(), selection);  // our own paste: the exact bytes
  selection = "c";
  EXPECT_EQ(System().text(), "c");
  EXPECT_GT(reads, 0);
  clipboard.Withdraw();
  EXPECT_FALSE(clipboard.HasText());
  clipboard.SetTextSource([] { return std::string("d"); });
  System().setText("other");
  clipboard.Withdraw();
  EXPECT_EQ(System().text(), "other");
}

// A copy with mapped characters shows other programs the real characters
// and comes back into its own document as the same bytes; a document with
// another table takes the characters and gives them codes of its own, so
// no code changes meaning on the way.
TEST(QtClipboard, MappedCodesNeverCrossIntoAnotherTable) {
  auto a = std::make_shared<TMappedChars>(true);
  auto b = std::make_shared<TMappedChars>(true);
  EXPECT_EQ(a->CodeFor(U'\U0001F600'), 0xF9FC);
  EXPECT_EQ(b->CodeFor(U'é'), 0xF9FC);
  TQtClipboard from, to, none;
  from.Chars = [&] { return a; };
  to.Chars = [&] { return b; };
  from.SetText("x\xf9\xfc\r\ny", true);
  EXPECT_EQ(System().text(), QString::fromUtf8("x\U0001F600\ny"));
  EXPECT_EQ(from.Text(), "x\xf9\xfc\r\ny");
  EXPECT_EQ(to.Text(), "x\xf9\xfb\ny");
  EXPECT_EQ(b->CharOf(0xF9FB), U'\U0001F600');
  EXPECT_TRUE(to.HasBoxFormat());
  EXPECT_EQ(none.Text(), "x?\ny");
  // Bytes of a document without mapped characters holding its own
  // user-defined character 0xF9FC (private use U+E757): in b that code is
  // é, so the character takes another.
  none.SetText("\xf9\xfcz", false);
  EXPECT_EQ(to.Text(), "\xf9\xfaz");
  EXPECT_EQ(from.Text(), "\xf9\xfbz");  // a: its 0xF9FC is the emoji
  // A selection offered for later is read with the table of that time.
  from.SetTextSource([] { return std::string("\xf9\xfc"); });
  EXPECT_EQ(System().text(), QString::fromUtf8("\U0001F600"));
  EXPECT_EQ(to.Text(), "\xf9\xfb");
  from.Withdraw();
}

TEST(QtClipboard, EmptyOrNonTextClipboard) {
  TQtClipboard clipboard;
  System().clear();
  EXPECT_FALSE(clipboard.HasText());
  EXPECT_EQ(clipboard.Text(), "");
  auto* image = new QMimeData;
  image->setData("image/png", QByteArray("\x89PNG", 4));
  System().setMimeData(image);
  EXPECT_FALSE(clipboard.HasText());
  EXPECT_EQ(clipboard.Text(), "");
}

}  // namespace
}  // namespace yk

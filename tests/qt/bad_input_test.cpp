// Clipboard contents from other programs, which may be anything: forged
// formats of our own, unpaired surrogates, NUL characters, huge texts.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include "qt/qt_clipboard.h"

namespace yk {
namespace {

QClipboard& System() { return *QGuiApplication::clipboard(); }

TEST(BadInputTest, ClipboardTextOfAnyShapeBecomesCp932Safely) {
  struct {
    const char* name;
    QString text;
    std::string bytes;
    int replaced;
  } const cases[] = {
      {"unpaired high surrogate", QString(QChar(0xD800)) + "a", "?a", 1},
      {"unpaired low surrogate", "a" + QString(QChar(0xDC00)), "a?", 1},
      {"NUL character", QString("a") + QChar(0) + "b", std::string("a\0b", 3), 0},
      {"noncharacter", QString(QChar(0xFFFF)), "?", 1},
  };
  for (const auto& c : cases) {
    TQtClipboard clipboard;
    int told = 0;
    clipboard.OnReplaced = [&](int n) { told += n; };
    System().setText(c.text);
    EXPECT_EQ(clipboard.Text(), c.bytes) << c.name;
    EXPECT_EQ(told, c.replaced) << c.name;
  }
  // Four million characters: converted whole, each two bytes.
  TQtClipboard clipboard;
  System().setText(QString(4 << 20, QChar(0x3042)));  // あ
  EXPECT_EQ(clipboard.Text().size(), std::size_t{8} << 20);
}

// Any program can offer our own formats; their bytes are taken as they
// are (a document may hold any byte), and a marker of any shape is a marker.
TEST(BadInputTest, ForgedFormatsOfOurOwnAreTakenAsPlainBytes) {
  for (const QByteArray& bytes : {QByteArray("a\0\xff\x82", 4), QByteArray(), QByteArray(1 << 20, '\x82')}) {
    auto* data = new QMimeData;
    data->setData(kCp932MimeType, bytes);
    data->setData(kBoxMimeType, QByteArray("\xff\xfe", 2));  // no terminating zero
    System().setMimeData(data);
    TQtClipboard clipboard;
    EXPECT_EQ(clipboard.Text(), bytes.toStdString());
    (void)clipboard.HasBoxFormat();
  }
}

}  // namespace
}  // namespace yk

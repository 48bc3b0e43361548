// The history boxes of the search texts, typed into through key events: the
// text stays what was typed (case and length), and Enter reaches the
// dialog's default button at once.
#include "controls/history_box.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace yk {
namespace {

// Types text as a keyboard with that character on a key would.
void Type(QWidget* w, const QString& text) {
  for (const QChar ch : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

std::string Utf8(const QString& s) { return s.toStdString(); }

// A dialog with a history box, an OK button that is the default, and a
// second field to take the focus.
struct TBoxDialog {
  TBoxDialog() {
    auto* layout = new QVBoxLayout(&dialog);
    box = new QComboBox(&dialog);
    MakeHistoryBox(box);
    other = new QLineEdit(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(box);
    layout->addWidget(other);
    layout->addWidget(ok);
    dialog.show();
    dialog.activateWindow();
    box->setFocus();
    QApplication::processEvents();
  }
  QDialog dialog;
  QComboBox* box = nullptr;
  QLineEdit* other = nullptr;
};

TEST(HistoryBox, KeepsWhatWasTyped) {
  struct Case {
    const char* name;
    std::vector<std::string> history;
    QString typed;
    Qt::Key finish;  // Tab: the focus leaves; Return: the dialog's default button
  };
  const Case cases[] = {
      {"other case, focus leaves", {"xyz"}, QStringLiteral("XYZ"), Qt::Key_Tab},
      {"other case, Enter", {"xyz"}, QStringLiteral("XYZ"), Qt::Key_Return},
      {"prefix of an entry, Enter", {"abc"}, QStringLiteral("ab"), Qt::Key_Return},
      {"prefix of an entry, focus leaves", {"abc"}, QStringLiteral("ab"), Qt::Key_Tab},
      {"kana prefix, Enter", {"\x82\xa0\x82\xa0"}, QString::fromUtf8("あ"), Qt::Key_Return},  // ああ
      {"equal entry, Enter", {"xyz", "XYZ"}, QStringLiteral("XYZ"), Qt::Key_Return},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBoxDialog d;
    SetHistoryBoxItems(d.box, c.history);
    Type(d.box->lineEdit(), c.typed);
    EXPECT_EQ(Utf8(d.box->currentText()), Utf8(c.typed));
    QTest::keyClick(QApplication::focusWidget(), c.finish);
    EXPECT_EQ(Utf8(d.box->currentText()), Utf8(c.typed));
    // One Enter is enough: nothing was completed for it to accept.
    if (c.finish == Qt::Key_Return) {
      EXPECT_EQ(d.dialog.result(), QDialog::Accepted);
    }
  }
}

// One Enter is one run, whatever the history lists.
TEST(HistoryBox, EnterRunsTheHandlerOncePerKey) {
  for (const char* listed : {"zzz", "bcd"}) {
    SCOPED_TRACE(listed);
    TBoxDialog d;
    for (QPushButton* b : d.dialog.findChildren<QPushButton*>()) {
      b->setAutoDefault(false);
      b->setDefault(false);
    }
    SetHistoryBoxItems(d.box, {listed});
    int runs = 0;
    OnHistoryBoxEnter(d.box, [&] { ++runs; });
    Type(d.box->lineEdit(), QStringLiteral("b"));
    for (int k = 1; k <= 2; ++k) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QApplication::processEvents();
      EXPECT_EQ(runs, k);
      EXPECT_TRUE(d.dialog.isVisible());
    }
  }
}

TEST(HistoryBox, TextAndItemsAreCp932) {
  QComboBox box;
  MakeHistoryBox(&box);
  SetHistoryBoxItems(&box, {"\x82\xa0", "abc"});  // あ
  ASSERT_EQ(box.count(), 2);
  EXPECT_EQ(box.itemText(0), QString::fromUtf8("あ"));
  SetHistoryBoxText(&box, "\x93\xfa\x96\x7b");  // 日本
  EXPECT_EQ(box.currentText(), QString::fromUtf8("日本"));
  EXPECT_EQ(HistoryBoxText(&box), "\x93\xfa\x96\x7b");
  SetHistoryBoxItems(&box, {"x"});  // new items keep the typed text
  EXPECT_EQ(HistoryBoxText(&box), "\x93\xfa\x96\x7b");
}

}  // namespace
}  // namespace yk

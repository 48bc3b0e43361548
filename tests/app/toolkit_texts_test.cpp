// Qt's standard buttons read Japanese once the toolkit translation is in,
// and English again once it is gone.
#include <QDialogButtonBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/toolkit_texts.h"

namespace yk::test {
namespace {

QString ButtonText(QDialogButtonBox::StandardButton which) {
  QDialogButtonBox box(which);
  return box.button(which)->text();
}

TEST(ToolkitTextsTest, StandardButtonsAreJapaneseWhileTheTranslationIsInstalled) {
  const struct {
    QDialogButtonBox::StandardButton button;
    const char* english;
    const char* japanese;
  } kButtons[] = {
      {QDialogButtonBox::Yes, "&Yes", "はい(&Y)"},
      {QDialogButtonBox::No, "&No", "いいえ(&N)"},
      {QDialogButtonBox::Cancel, "Cancel", "キャンセル"},
      {QDialogButtonBox::Ok, "OK", "OK"},
      {QDialogButtonBox::YesToAll, "Yes to &All", "全てはい(&A)"},
  };
  {
    const std::unique_ptr<QTranslator> translation = InstallToolkitTranslation();
    ASSERT_TRUE(translation) << "no qtbase_ja.qm in " << ToolkitTranslationsFolder().toStdString();
    for (const auto& b : kButtons) EXPECT_EQ(ButtonText(b.button), QString::fromUtf8(b.japanese)) << b.english;
  }
  for (const auto& b : kButtons) EXPECT_EQ(ButtonText(b.button), QString::fromUtf8(b.english));
}

}  // namespace
}  // namespace yk::test

// Hostile drops on the main window: whatever another program puts in a
// drop, only real local paths start new windows.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "form_fixture.h"

namespace yk::test {
namespace {

using BadInputTest = FormTest;

TEST_F(BadInputTest, DroppedUrlsThatNameNoLocalFileStartNothing) {
  const std::string path = File("mine.txt", "mine\r\n");
  Make({path});
  QList<QUrl> urls = {
      QUrl(QStringLiteral("http://example.invalid/x.txt")),  // not a local file
      QUrl(QStringLiteral("file:///tmp/a%00b.txt")),          // a NUL would cut the name to another file's
      QUrl(QStringLiteral("file:")),                           // no path at all
      QUrl(QStringLiteral("file:///tmp/%82%A0%FF%00")),
      QUrl(QStringLiteral("file:///tmp/ok.txt")),
  };
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form->Memo1, &enter);
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form->Memo1, &drop);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched[0], std::vector<std::string>{"/tmp/ok.txt"});
  EXPECT_EQ(form->FileName, path);
  EXPECT_TRUE(prompts.Asked().empty());
}

}  // namespace
}  // namespace yk::test

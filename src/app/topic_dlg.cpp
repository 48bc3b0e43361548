// The topic-word dialog.
#include "app/topic_dlg.h"

#include "platform/cp932_codec.h"

namespace yk {

TTopicDlg::TTopicDlg(QWidget* parent)
    : TFieldDlg(parent, QString::fromUtf8("トピック入力"),
                QString::fromUtf8("以下のキーワードを一時的に強調表示します。")) {
  setObjectName(QStringLiteral("TopicDlg"));
}

std::string TTopicDlg::Topic() const {
  const QString text = Text();
  return cp932::Encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<std::size_t>(text.size())))
      .bytes;
}

void TTopicDlg::SetTopic(const std::string& cp932) {
  const std::u16string text = cp932::Decode(cp932);
  SetText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace yk

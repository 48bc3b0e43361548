// The system clipboard in three formats: Unicode text, the exact CP932
// bytes and the box marker.
#include "qt/qt_clipboard.h"

#include <QGuiApplication>
#include <QMimeData>

#include "platform/cp932_codec.h"
#include "qt/qt_graphics.h"
#include "text/cp932.h"

namespace yk {

namespace {

const QMimeData* Data(QClipboard::Mode mode) { return QGuiApplication::clipboard()->mimeData(mode); }

// Other programs here end lines with LF alone. One pass into a string of
// its final size at most (no CP932 character takes two UTF-16 units), since
// a copy may hold a whole document.
QString ForOtherPrograms(std::string_view text) {
  QString s(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* out = s.data();
  qsizetype n = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out[n++] = QLatin1Char('\n');
      i += 2;
      continue;
    }
    const std::size_t length = cp932::CharLength(text, i);
    out[n++] = QChar(cp932::Glyph(text.substr(i, length)));
    i += length;
  }
  s.truncate(n);
  return s;
}

// A copy: the exact bytes (and the box marker) are stored, and the Unicode
// text for other programs is made from them only when one of them pastes,
// so copying a whole document takes little time and no second text.
class TCopyMimeData : public QMimeData {
 public:
  QStringList formats() const override {
    QStringList f = QMimeData::formats();
    f.prepend(QStringLiteral("text/plain"));
    return f;
  }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (mimeType == QLatin1String("text/plain")) {
      const QByteArray bytes = data(QString::fromLatin1(kCp932MimeType));
      return ForOtherPrograms(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    return QMimeData::retrieveData(mimeType, type);
  }
};

// Text made only when a paste reads it: the Unicode text for other
// programs and the exact bytes for our own editors.
class TSourceMimeData : public QMimeData {
 public:
  explicit TSourceMimeData(std::function<std::string()> source) : source_(std::move(source)) {}
  QStringList formats() const override { return {QStringLiteral("text/plain"), QString::fromLatin1(kCp932MimeType)}; }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (mimeType == QLatin1String(kCp932MimeType)) {
      const std::string bytes = source_();
      return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    if (mimeType == QLatin1String("text/plain")) return ForOtherPrograms(source_());
    return QMimeData::retrieveData(mimeType, type);
  }

 private:
  std::function<std::string()> source_;
};

}  // namespace

bool TQtClipboard::HasText() const {
  const QMimeData* data = Data(mode_);
  return data && (data->hasFormat(kCp932MimeType) || data->hasText());
}

bool TQtClipboard::HasBoxFormat() const {
  const QMimeData* data = Data(mode_);
  return data && data->hasFormat(kBoxMimeType);
}

std::string TQtClipboard::Text() const {
  const QMimeData* data = Data(mode_);
  if (!data) return {};
  if (data->hasFormat(kCp932MimeType)) {
    const QByteArray bytes = data->data(kCp932MimeType);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  if (!data->hasText()) return {};
  cp932::TEncoded encoded = FromQString(data->text());
  if (encoded.replaced > 0 && OnReplaced) OnReplaced(encoded.replaced);
  return std::move(encoded.bytes);
}

void TQtClipboard::SetText(std::string_view text, bool box) {
  auto* data = new TCopyMimeData;
  const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
  data->setData(kCp932MimeType, bytes);
  if (box) data->setData(kBoxMimeType, bytes + QByteArray(1, '\0'));
  QGuiApplication::clipboard()->setMimeData(data, mode_);
}

void TQtClipboard::SetTextSource(std::function<std::string()> source) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (mode_ == QClipboard::Selection && !clipboard->supportsSelection()) return;
  auto* data = new TSourceMimeData(std::move(source));
  offered_ = data;
  clipboard->setMimeData(data, mode_);
}

void TQtClipboard::Withdraw() {
  if (!offered_ || !QGuiApplication::instance()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->mimeData(mode_) == offered_) clipboard->clear(mode_);
  offered_ = nullptr;
}

}  // namespace yk

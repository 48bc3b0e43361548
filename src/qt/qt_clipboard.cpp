// The system clipboard in four formats: Unicode text, the exact CP932
// bytes, the box marker and the table the bytes' mapped codes belong to.
#include "qt/qt_clipboard.h"

#include <QGuiApplication>
#include <QMimeData>

#include "platform/cp932_codec.h"
#include "qt/qt_graphics.h"
#include "text/cp932.h"

namespace yk {

namespace {

const QMimeData* Data(QClipboard::Mode mode) { return QGuiApplication::clipboard()->mimeData(mode); }

QByteArray Bytes(std::string_view text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

// Other programs here end lines with LF alone. One pass into a string of
// its final size at most (no character takes more UTF-16 units than it has
// CP932 bytes), since a copy may hold a whole document.
QString ForOtherPrograms(std::string_view text, const TMappedChars* chars) {
  if (chars && chars->Plain()) chars = nullptr;
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
    const std::string_view ch = text.substr(i, length);
    const char32_t c = chars ? cp932::CharOf(ch, chars) : cp932::Glyph(ch);
    if (c < 0x10000) {
      out[n++] = QChar(static_cast<char16_t>(c));
    } else {
      out[n++] = QChar(QChar::highSurrogate(c));
      out[n++] = QChar(QChar::lowSurrogate(c));
    }
    i += length;
  }
  s.truncate(n);
  return s;
}

// Whether bytes copied from a document without mapped characters would
// mean something else in one with chars: a code of the user-defined area
// (the table must know of it), or one whose form the table keeps.
bool MeansOtherwise(std::string_view bytes, const TMappedChars* chars) {
  if (!chars) return false;
  for (std::size_t i = 0; i < bytes.size(); i += cp932::CharLength(bytes, i)) {
    if (cp932::CharLength(bytes, i) != 2) continue;
    const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]));
    if (TMappedChars::IsAreaCode(code) || chars->CharOf(code) != 0) return true;
  }
  return false;
}

// The id that goes with copied bytes: empty for a table without mapped
// characters, whose bytes mean what the codec says anywhere.
QByteArray IdOf(const TMappedChars* chars) { return chars && !chars->Plain() ? QByteArray::fromStdString(chars->Id()) : QByteArray(); }

// A copy: the exact bytes (and the box marker) are stored, and the Unicode
// text for other programs is made from them only when one of them pastes,
// so copying a whole document takes little time and no second text.
class TCopyMimeData : public QMimeData {
 public:
  explicit TCopyMimeData(std::shared_ptr<TMappedChars> chars) : chars_(std::move(chars)) {}
  QStringList formats() const override {
    QStringList f = QMimeData::formats();
    f.prepend(QStringLiteral("text/plain"));
    return f;
  }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (mimeType == QLatin1String("text/plain")) {
      const QByteArray bytes = data(QString::fromLatin1(kCp932MimeType));
      return ForOtherPrograms(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), chars_.get());
    }
    return QMimeData::retrieveData(mimeType, type);
  }

 private:
  std::shared_ptr<TMappedChars> chars_;  // the copy's codes keep their meaning while it is offered
};

// Text made only when a paste reads it: the Unicode text for other
// programs and the exact bytes for our own editors.
class TSourceMimeData : public QMimeData {
 public:
  TSourceMimeData(std::function<std::string()> source, std::function<std::shared_ptr<TMappedChars>()> chars)
      : source_(std::move(source)), chars_(std::move(chars)) {}
  QStringList formats() const override {
    QStringList f{QStringLiteral("text/plain"), QString::fromLatin1(kCp932MimeType)};
    if (!IdOf(Chars().get()).isEmpty()) f.append(QString::fromLatin1(kCharsMimeType));
    return f;
  }

 protected:
  QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
    if (mimeType == QLatin1String(kCp932MimeType)) return Bytes(source_());
    if (mimeType == QLatin1String(kCharsMimeType)) return IdOf(Chars().get());
    if (mimeType == QLatin1String("text/plain")) return ForOtherPrograms(source_(), Chars().get());
    return QMimeData::retrieveData(mimeType, type);
  }

 private:
  // The selection is read when a paste asks, so the table is too.
  std::shared_ptr<TMappedChars> Chars() const { return chars_ ? chars_() : nullptr; }

  std::function<std::string()> source_;
  std::function<std::shared_ptr<TMappedChars>()> chars_;
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
  const std::shared_ptr<TMappedChars> chars = Chars ? Chars() : nullptr;
  if (data->hasFormat(kCp932MimeType)) {
    const QByteArray bytes = data->data(kCp932MimeType);
    std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const QByteArray source = data->data(kCharsMimeType);
    const bool same = !source.isEmpty() && source == IdOf(chars.get());
    if (same || (source.isEmpty() && !MeansOtherwise(text, chars.get())) || !data->hasText()) {
      // The merged pairs it holds settle their forms here.
      if (!same && chars) chars->NoteUsedIn(text);
      return text;
    }
  }
  if (!data->hasText()) return {};
  cp932::TEncoded encoded = FromQString(data->text(), chars.get());
  if (encoded.replaced > 0 && OnReplaced) OnReplaced(encoded.replaced);
  return std::move(encoded.bytes);
}

void TQtClipboard::SetText(std::string_view text, bool box) {
  std::shared_ptr<TMappedChars> chars = Chars ? Chars() : nullptr;
  const QByteArray id = IdOf(chars.get());
  auto* data = new TCopyMimeData(std::move(chars));
  const QByteArray bytes = Bytes(text);
  data->setData(kCp932MimeType, bytes);
  if (!id.isEmpty()) data->setData(kCharsMimeType, id);
  if (box) data->setData(kBoxMimeType, bytes + QByteArray(1, '\0'));
  QGuiApplication::clipboard()->setMimeData(data, mode_);
}

void TQtClipboard::SetTextSource(std::function<std::string()> source) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (mode_ == QClipboard::Selection && !clipboard->supportsSelection()) return;
  auto* data = new TSourceMimeData(std::move(source), Chars);
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

// CP932 text and native file names shown in and taken from Qt widgets, and
// texts kept in the settings file whatever characters they hold.
#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

#include "platform/cp932_codec.h"

namespace yk {

inline QString FromCp932(std::string_view bytes) { return QString::fromStdU16String(cp932::Decode(bytes)); }
// Characters without a CP932 form become "?".
inline std::string ToCp932(const QString& text) { return cp932::Encode(text.toStdU16String()).bytes; }
// A document's text, through its table of mapped characters (null: none).
inline QString FromCp932(std::string_view bytes, const TMappedChars* chars) {
  return QString::fromStdU16String(cp932::Decode(bytes, chars));
}
inline std::string ToCp932(const QString& text, TMappedChars* chars) {
  return cp932::Encode(text.toStdU16String(), chars).bytes;
}

// Texts the settings file keeps for any document (search histories, the
// last search text): CP932 as ever where that gives the text back exactly;
// otherwise (a character CP932 lacks, or one of two that CP932 writes
// alike) ESC % G and the text in UTF-8, the ISO 2022 escape that switches
// to UTF-8, which no text typed into a box starts with.
inline constexpr std::string_view kUtf8Escape = "\x1B%G";
inline std::string ToStoredText(const QString& text) {
  std::string cp932 = ToCp932(text);
  if (FromCp932(cp932) == text && !cp932.starts_with(kUtf8Escape)) return cp932;
  return std::string(kUtf8Escape) + text.toStdString();
}
inline QString FromStoredText(std::string_view stored) {
  if (!stored.starts_with(kUtf8Escape)) return FromCp932(stored);
  stored.remove_prefix(kUtf8Escape.size());
  return QString::fromUtf8(stored.data(), static_cast<qsizetype>(stored.size()));
}

inline QString FromNative(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
inline std::string ToNative(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace yk

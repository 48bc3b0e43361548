// CP932 text and native file names shown in and taken from Qt widgets.
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

inline QString FromNative(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
inline std::string ToNative(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace yk

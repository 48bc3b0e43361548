// Decoding of file names and CP932 text for the screen.
#include "app/display_text.h"

#include <QFile>

#include "qt/qt_graphics.h"
#include "shell/system_error.h"
#include "text/errors.h"

namespace yk {

namespace {

// Strict UTF-8: no overlong forms, surrogates or values past U+10FFFF.
bool ValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    int extra = 0;
    unsigned min = 0, cp = 0;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { extra = 1; min = 0x80; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { extra = 2; min = 0x800; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { extra = 3; min = 0x10000; cp = c & 0x07; }
    else return false;
    if (s.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

}  // namespace

QString DisplayPath(std::string_view path) {
  if (ValidUtf8(path)) return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
  return ToQString(path);
}

std::string FileNamePart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderPart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FailureReason(const std::exception& e) {
  const auto* file = dynamic_cast<const EFileError*>(&e);
  if (file && file->Error() != 0) return ToQString(SystemErrorText(file->Error()));
  return ToQString(e.what());
}

}  // namespace yk

// Recovery snapshot names and their folder.
#include "shell/recovery.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "shell/file_names.h"
#include "shell/version_history.h"
#include "text/errors.h"

namespace yk {

namespace {

// Room left for the document's name: prefix, hash and dash take 26 bytes,
// file systems allow 255.
constexpr std::size_t kMaxNamePart = 160;

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string Hex16(std::uint64_t value) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(value));
  return buffer;
}

// Cut at most max bytes from the front, never inside a UTF-8 sequence (the
// usual file-name encoding); other bytes are cut where they fall.
std::string_view CutName(std::string_view name, std::size_t max) {
  if (name.size() <= max) return name;
  std::size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

std::string InFolder(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  return path.append(name);
}

}  // namespace

std::string RecoveryFileName(const std::string& folder, const std::string& documentPath) {
  std::string name(kRecoveryPrefix);
  name += Hex16(Fnv1a(documentPath));
  name += '-';
  name += CutName(NameOf(documentPath), kMaxNamePart);
  return InFolder(folder, name);
}

std::string UntitledRecoveryFileName(const std::string& folder, std::uint64_t stampMs, std::int64_t pid) {
  std::string name(kUntitledRecoveryPrefix);
  name += Hex16(stampMs);
  name += '-';
  name += std::to_string(pid);
  return InFolder(folder, name);
}

std::vector<std::string> UntitledRecoveryFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kUntitledRecoveryPrefix, 0) != 0) continue;
    std::error_code type_error;
    if (!it->is_regular_file(type_error) || type_error) continue;
    files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string PrepareRecoveryFolder(const std::string& settingsPath) {
  const std::string folder = VersionFolder(settingsPath);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    const int error = errno;
    throw EFileError("Cannot create " + folder + ": " + std::strerror(error), error);
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    throw EFileError("Cannot create " + folder + ": not a folder", ENOTDIR);
  return folder;
}

}  // namespace yk

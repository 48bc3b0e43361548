// Snapshot names and the version list.
#include "shell/version_history.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "shell/file_names.h"
#include "text/cp932.h"
#include "text/errors.h"
#include "text/safe_file.h"

namespace yk {

bool ShouldDeleteVersionFiles(int mode, bool deleteHistory) {
  return mode == hdmDelete || (mode == hdmFollowSetting && deleteHistory);
}

std::optional<std::string> VersionHeaderError(std::string_view header) {
  if (header.empty()) {
    return std::string("\x83\x77\x83\x62\x83\x5f\x82\xf0\x93\xfc\x97\xcd\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42");  // ヘッダを入力してください。
  }
  bool bad = header == "." || header == "..";
  for (std::size_t i = 0; i < header.size() && !bad; ++i) {
    const unsigned char c = static_cast<unsigned char>(header[i]);
    // A trail byte of 0x5C ("\") is part of a character such as ソ, so
    // bytes are tested as characters.
    if (cp932::CharLength(header, i) == 2) {
      ++i;
      continue;
    }
    bad = c < 0x20 || c == 0x7F || c == '/' || c == '\\';
  }
  if (!bad) return std::nullopt;
  // ヘッダに使用できない文字が含まれています。（/ \ 制御文字、「.」「..」だけのヘッダは使用できません）
  return std::string(
      "\x83\x77\x83\x62\x83\x5f\x82\xc9\x8e\x67\x97\x70\x82\xc5\x82\xab\x82\xc8\x82\xa2\x95\xb6\x8e\x9a\x82\xaa"
      "\x8a\xdc\x82\xdc\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42\x81\x69/ \\ \x90\xa7\x8c\xe4\x95\xb6\x8e\x9a"
      "\x81\x41\x81\x75.\x81\x76\x81\x75..\x81\x76\x82\xbe\x82\xaf\x82\xcc\x83\x77\x83\x62\x83\x5f\x82\xcd\x8e\x67"
      "\x97\x70\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x6a");
}

std::string VersionFolder(const std::string& settingsPath) {
  const std::string dir = DirOfPath(settingsPath);
  return (dir == "/" ? "" : dir) + "/versions";
}

std::string SnapshotFileName(const std::string& folder, std::string_view header, std::string_view fileName) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path.push_back('/');
  path.append(header);
  path.append(NameOf(fileName));
  return path;
}

std::string PrepareSnapshotPath(const std::string& settingsPath, std::string_view header, std::string_view fileName) {
  if (auto error = VersionHeaderError(header)) throw Exception(*error);
  const std::string folder = VersionFolder(settingsPath);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    const int error = errno;
    throw EFileError("Cannot create " + folder + ": " + std::strerror(error), error);
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec))
    throw EFileError("Cannot create " + folder + ": not a folder", ENOTDIR);
  return SnapshotFileName(folder, header, fileName);
}

std::string CreateSnapshotFile(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string name = NameOf(path);
  const std::string ext = ExtensionOf(name);
  const std::string stem = name.substr(0, name.size() - ext.size());
  std::string candidate = path;
  for (int n = 2;; ++n) {
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) {
      ::close(fd);
      return candidate;
    }
    if (errno != EEXIST || n > 10000)
      throw EFileError("Cannot create " + candidate + ": " + std::strerror(errno), errno);
    candidate = folder + stem + "(" + std::to_string(n) + ")" + ext;
  }
}

std::optional<TVersionFileId> VersionFileIdOf(const std::string& path) {
  struct stat st{};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return TVersionFileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

TVersionList::TAddResult TVersionList::Add(const std::string& path, std::optional<TVersionFileId> written) {
  if (Count() >= kMaxVersionFiles) return varFull;
  auto it = std::find(items_.begin(), items_.end(), path);
  if (it != items_.end()) items_.erase(it);
  items_.insert(items_.begin(), path);
  std::erase_if(written_, [&](const auto& w) { return w.first == path; });
  if (written) written_.emplace_back(path, *written);
  return varAdded;
}

bool TVersionList::Wrote(const std::string& path) const {
  const auto it = std::find_if(written_.begin(), written_.end(), [&](const auto& w) { return w.first == path; });
  return it != written_.end() && VersionFileIdOf(path) == it->second;
}

int TVersionList::DeleteFiles() {
  int removed = 0;
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(*it, ec);
    if (ec || std::filesystem::is_directory(status)) continue;
    const bool known = std::any_of(written_.begin(), written_.end(), [&](const auto& w) { return w.first == *it; });
    if (known && !Wrote(*it)) continue;  // not the file this window wrote
    if (std::filesystem::remove(*it, ec) && !ec) ++removed;
  }
  items_.clear();
  written_.clear();
  return removed;
}

}  // namespace yk

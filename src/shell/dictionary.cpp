// Dictionary files: reading them safely and holding their cells compactly.
#include "shell/dictionary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "convert/letter_case.h"
#include "shell/comma_text.h"
#include "shell/system_error.h"
#include "text/line_end.h"

namespace yk {

namespace {

// 辞書ファイルを読み込めません：
constexpr std::string_view kCannotLoad =
    "\x8e\xab\x8f\x91\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x81\x46";

TDictionaryLoad Failed(std::string_view reason) {
  TDictionaryLoad load;
  load.Status = dlsFailed;
  load.Error = std::string(kCannotLoad) + std::string(reason);
  return load;
}

// ファイルが見つかりません / 通常のファイルではありません / 読み取りに失敗しました
// ファイルが大きすぎます（最大64MB） / 長すぎる行があります（最大64KB） / 列が多すぎます（最大1024列）
constexpr std::string_view kMissing = "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
constexpr std::string_view kNotAFile =
    "\x92\xca\x8f\xed\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
constexpr std::string_view kReadError = "\x93\xc7\x82\xdd\x8e\xe6\x82\xe8\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr std::string_view kTooLarge =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81\x69\x8d\xc5\x91\xe5"
    "64MB\x81\x6a";
constexpr std::string_view kLineTooLong =
    "\x92\xb7\x82\xb7\x82\xac\x82\xe9\x8d\x73\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7\x81\x69\x8d\xc5\x91\xe5"
    "64KB\x81\x6a";
constexpr std::string_view kTooManyColumns =
    "\x97\xf1\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81\x69\x8d\xc5\x91\xe5" "1024\x97\xf1\x81\x6a";

// Calls take(line) for each line of text, without its line end; a final
// line end adds no empty line. Stops early when take returns false.
template <typename Take>
void ForEachLine(std::string_view text, Take&& take) {
  for (std::size_t p = 0; p < text.size();) {
    std::size_t e = FindLineEnd(text, p);
    if (e == std::string_view::npos) e = text.size();
    if (!take(text.substr(p, e - p))) return;
    p = e;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
}

int FieldCount(std::string_view line) {
  int n = 0;
  ForEachCommaField(line, [&](std::string_view) { ++n; });
  return n;
}

}  // namespace

std::string_view TDictionaryGrid::Cell(int col, int row) const {
  if (row < 0 || row >= RowCount() || col < 0) return {};
  const auto it = std::lower_bound(rows_.begin(), rows_.end(), row, [](const TRow& r, int n) { return r.row < n; });
  if (it == rows_.end() || it->row != row) return {};  // a row without fields
  const std::uint32_t end = it + 1 == rows_.end() ? static_cast<std::uint32_t>(cells_.size()) : (it + 1)->cell;
  if (static_cast<std::uint32_t>(col) >= end - it->cell) return {};
  const TSpan& s = cells_[it->cell + static_cast<std::uint32_t>(col)];
  return std::string_view(text_).substr(s.offset, s.length);
}

int TDictionaryGrid::FindRow(std::string_view word) const {
  auto it = first_row_.find(UpperCase(word));
  return it == first_row_.end() ? -1 : it->second;
}

std::size_t TDictionaryGrid::MemoryBytes() const {
  std::size_t keys = 0;
  for (const auto& entry : first_row_) keys += sizeof entry + 2 * sizeof(void*) + entry.first.capacity();
  return text_.capacity() + cells_.capacity() * sizeof(TSpan) + rows_.capacity() * sizeof(TRow) + keys +
         first_row_.bucket_count() * sizeof(void*);
}

void TDictionaryGrid::AddRow(std::string_view line) {
  const int row = row_count_++;
  const auto first = static_cast<std::uint32_t>(cells_.size());
  int col = 0;
  ForEachCommaField(line, [&](std::string_view field) {
    if (col++ >= cols_) return;
    cells_.push_back({static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(field.size())});
    text_.append(field);
  });
  if (col == 0) return;
  rows_.push_back({row, first});
  // The first row of a key wins, as a search from the top would find it.
  first_row_.try_emplace(UpperCase(Cell(0, row)), row);
}

std::optional<TDictionaryGrid> TDictionaryGrid::FromText(std::string_view text) {
  int cols = 0;
  ForEachLine(text, [&](std::string_view first) {
    cols = FieldCount(first);
    return false;
  });
  if (cols == 0) return std::nullopt;
  TDictionaryGrid grid;
  grid.cols_ = cols;
  ForEachLine(text, [&](std::string_view line) {
    grid.AddRow(line);
    return true;
  });
  grid.text_.shrink_to_fit();
  grid.cells_.shrink_to_fit();
  grid.rows_.shrink_to_fit();
  return grid;
}

TDictionaryLoad ParseDictionary(std::string_view bytes) {
  if (bytes.size() > kMaxDictionaryFileSize) return Failed(kTooLarge);
  bool tooLong = false;
  int cols = -1;
  ForEachLine(bytes, [&](std::string_view line) {
    if (cols < 0) cols = line.size() > kMaxDictionaryLineLength ? 0 : FieldCount(line);
    tooLong = line.size() > kMaxDictionaryLineLength;
    return !tooLong;
  });
  if (tooLong) return Failed(kLineTooLong);
  if (cols > kMaxDictionaryColumns) return Failed(kTooManyColumns);
  TDictionaryLoad load;
  load.Grid = TDictionaryGrid::FromText(bytes);
  load.Status = load.Grid ? dlsLoaded : dlsEmpty;
  return load;
}

TDictionaryLoad LoadDictionary(const std::string& path) {
  // Opened without waiting, so a FIFO cannot hang the window; its type is
  // checked on the open descriptor.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    return Failed(error == ENOENT || error == ENOTDIR ? std::string(kMissing) : SystemErrorText(error));
  }
  struct TCloser {
    int fd;
    ~TCloser() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Failed(kReadError);
  if (!S_ISREG(st.st_mode)) return Failed(kNotAFile);
  if (static_cast<unsigned long long>(st.st_size) > kMaxDictionaryFileSize) return Failed(kTooLarge);
  std::string bytes;
  // One byte more than the file: the read that finds its end needs no
  // second buffer of the whole size.
  bytes.resize(std::min(static_cast<std::size_t>(st.st_size) + 1, kMaxDictionaryFileSize + 1));
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(std::min(bytes.size() + 65536, kMaxDictionaryFileSize + 1));
    if (got == bytes.size()) return Failed(kTooLarge);  // grew past the limit while read
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(SystemErrorText(errno));
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return ParseDictionary(bytes);
}

}  // namespace yk

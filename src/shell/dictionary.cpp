// Dictionary files: reading them safely and holding their cells compactly.
#include "shell/dictionary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "convert/letter_case.h"
#include "shell/comma_text.h"
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

// The lines of a text, each without its line end; a final line end adds no
// empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t p = 0; p < text.size();) {
    std::size_t e = FindLineEnd(text, p);
    if (e == std::string_view::npos) e = text.size();
    lines.push_back(text.substr(p, e - p));
    p = e;
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
  return lines;
}

}  // namespace

std::string_view TDictionaryGrid::Cell(int col, int row) const {
  if (row < 0 || row >= RowCount() || col < 0) return {};
  const std::uint32_t first = row_start_[static_cast<std::size_t>(row)];
  const std::uint32_t end = row_start_[static_cast<std::size_t>(row) + 1];
  if (static_cast<std::uint32_t>(col) >= end - first) return {};
  const TSpan& s = cells_[first + static_cast<std::uint32_t>(col)];
  return std::string_view(text_).substr(s.offset, s.length);
}

int TDictionaryGrid::FindRow(std::string_view word) const {
  auto it = first_row_.find(UpperCase(word));
  return it == first_row_.end() ? -1 : it->second;
}

void TDictionaryGrid::AddRow(std::string_view line) {
  int col = 0;
  ForEachCommaField(line, [&](std::string_view field) {
    if (col++ >= cols_) return;
    cells_.push_back({static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(field.size())});
    text_.append(field);
  });
  const int row = RowCount();
  row_start_.push_back(static_cast<std::uint32_t>(cells_.size()));
  // The first row of a key wins, as a search from the top would find it.
  first_row_.try_emplace(UpperCase(Cell(0, row)), row);
}

std::optional<TDictionaryGrid> TDictionaryGrid::FromLines(const std::vector<std::string_view>& lines) {
  if (lines.empty()) return std::nullopt;
  int cols = 0;
  ForEachCommaField(lines.front(), [&](std::string_view) { ++cols; });
  if (cols == 0) return std::nullopt;
  TDictionaryGrid grid;
  grid.cols_ = cols;
  std::size_t bytes = 0;
  for (std::string_view line : lines) bytes += line.size();
  grid.text_.reserve(bytes);
  grid.row_start_.reserve(lines.size() + 1);
  grid.first_row_.reserve(lines.size());
  for (std::string_view line : lines) grid.AddRow(line);
  return grid;
}

TDictionaryLoad ParseDictionary(std::string_view bytes) {
  if (bytes.size() > kMaxDictionaryFileSize) return Failed(kTooLarge);
  const std::vector<std::string_view> lines = SplitLines(bytes);
  for (std::string_view line : lines)
    if (line.size() > kMaxDictionaryLineLength) return Failed(kLineTooLong);
  if (!lines.empty()) {
    int cols = 0;
    ForEachCommaField(lines.front(), [&](std::string_view) { ++cols; });
    if (cols > kMaxDictionaryColumns) return Failed(kTooManyColumns);
  }
  TDictionaryLoad load;
  load.Grid = TDictionaryGrid::FromLines(lines);
  load.Status = load.Grid ? dlsLoaded : dlsEmpty;
  return load;
}

TDictionaryLoad LoadDictionary(const std::string& path) {
  // Opened without waiting, so a FIFO cannot hang the window; its type is
  // checked on the open descriptor.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return Failed(errno == ENOENT || errno == ENOTDIR ? kMissing : kReadError);
  struct TCloser {
    int fd;
    ~TCloser() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Failed(kReadError);
  if (!S_ISREG(st.st_mode)) return Failed(kNotAFile);
  if (static_cast<unsigned long long>(st.st_size) > kMaxDictionaryFileSize) return Failed(kTooLarge);
  std::string bytes;
  bytes.resize(static_cast<std::size_t>(st.st_size));
  std::size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(std::min(bytes.size() + 65536, kMaxDictionaryFileSize + 1));
    if (got == bytes.size()) return Failed(kTooLarge);  // grew past the limit while read
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(kReadError);
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return ParseDictionary(bytes);
}

}  // namespace yk

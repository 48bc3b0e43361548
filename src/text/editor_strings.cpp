// Lines of an editor: logical-line operations, loading and saving.
#include "text/editor_strings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "text/errors.h"
#include "text/line_end.h"
#include "text/safe_file.h"
#include "text/text_image.h"

namespace yk {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kReadChunk = 256 << 10;  // stays in the cache while it is split

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenFile(const std::string& path, const char* mode, const char* what) {
  std::FILE* f = std::fopen(path.c_str(), mode);
  if (!f) {
    const int error = errno;
    throw EFileError(std::string("Cannot ") + what + " file \"" + path + "\". " + std::strerror(error), error);
  }
  return FilePtr(f);
}

// Writes the rows: each raCrlf row followed by CR LF, or every row when the
// displayed wrapping is to become real line ends. The old file is replaced
// only once the whole new text is on disk, so a failed save (a full disk, a
// lost connection) never costs the copy the user already had.
void WriteRows(const TPointerStringList& rows, const std::string& path, bool endEveryRow, bool eofMark) {
  TSafeFileWriter out(path, {}, true);
  for (int r = 0, n = rows.GetCount(); r < n; ++r) {
    out.Write(rows.Row(r));
    if (endEveryRow || rows.GetRowAttribute(r) == raCrlf) out.Write("\r\n");
  }
  if (eofMark) out.Write(std::string_view(&kCtrlZ, 1));
  out.Commit();
  rows.ReleaseImagePages();
}

// The end of the line that starts at p (the first CR or LF, or end) and
// whether a tab comes before it: one pass over the bytes, which in prose
// are almost never below CR.
const char* ScanLine(const char* p, const char* end, bool& tab) {
  tab = false;
  for (p = FindControl(p, end); p < end; p = FindControl(p + 1, end)) {
    if (*p == '\n' || *p == '\r') return p;
    if (*p == '\t') tab = true;
  }
  return end;
}

// Appends the lines of a text read in chunks to a list, wrapped as the rows
// wrap. CR LF, CR and LF each end a line (LF CR ends two), also when a chunk
// ends between the CR and the LF; a last line without a line end becomes a
// raEof row. Each line keeps the kind of its line end; the first line end
// gives the list its kind, so a uniform file lists no other.
class ChunkLineSplitter {
 public:
  ChunkLineSplitter(const TEditorScreenStrings& rows, TPointerStringList& list) : rows_(rows), list_(list) {}

  void Feed(std::string_view data) {
    const char* p = data.data();
    const char* const end = p + data.size();
    if (skip_lf_ && p < end && *p == '\n') {
      ++p;
      CrWasCrLf();
    }
    skip_lf_ = false;
    while (p < end) {
      bool tab = false;
      const char* e = ScanLine(p, end, tab);
      if (e == end) {
        carry_.append(p, static_cast<std::size_t>(end - p));  // continued by the next chunk
        return;
      }
      const TLineEnd kind = *e == '\n' ? TLineEnd::Lf : e + 1 < end && e[1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr;
      EndLine(std::string_view(p, static_cast<std::size_t>(e - p)), tab, kind);
      p = e + 1;
      if (*e == '\r') {
        if (p == end) skip_lf_ = true;
        else if (*p == '\n') ++p;
      }
    }
  }

  // A Ctrl+Z as the very last byte is the old end-of-file mark, not text.
  // True when it was there.
  bool Finish() {
    const bool mark = !carry_.empty() && carry_.back() == kCtrlZ;
    if (mark) carry_.pop_back();
    if (!carry_.empty()) Append(carry_, raEof, carry_.find('\t') != std::string::npos, list_.LineEnds());
    return mark;
  }

 private:
  void EndLine(std::string_view tail, bool tab, TLineEnd kind) {
    if (!decided_) {
      decided_ = true;
      list_.SetLineEnds(kind);
    }
    if (carry_.empty()) {
      Append(tail, raCrlf, tab, kind);
      return;
    }
    carry_.append(tail);
    Append(carry_, raCrlf, carry_.find('\t') != std::string::npos, kind);
    carry_.clear();
  }
  void Append(std::string_view line, TRowAttribute attribute, bool tab, TLineEnd kind) {
    rows_.AppendLineTo(list_, line, attribute, tab, kind, row_lengths_);
  }
  // A CR that ended a chunk turned out to be followed by an LF.
  void CrWasCrLf() {
    if (list_.Totals().crlfs == 1)
      list_.SetLineEnds(TLineEnd::CrLf);  // it was the first line end
    else
      list_.SetRowLineEnd(list_.GetCount() - 1, TLineEnd::CrLf);
  }

  const TEditorScreenStrings& rows_;
  TPointerStringList& list_;
  std::string carry_;  // a line cut by the end of a chunk
  bool skip_lf_ = false;
  bool decided_ = false;  // the list has the kind of the first line end
  std::vector<std::size_t> row_lengths_;
};

// The file as far as telling a change goes: a write changes its size or its
// times.
bool SameState(const struct stat& a, const struct stat& b) {
  return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

[[noreturn]] void ThrowReadError(const std::string& path, int error) {
  throw EFileError("Cannot read file \"" + path + "\". " + std::strerror(error), error);
}

// Feeds the file's bytes from offset `from` to offset `to` (or to its end
// for kToEnd) to the splitter; returns errno of a failed read, or 0. Reads
// at offsets, so two ranges of one file can be read at once; a whole file
// is read in sequence instead, as a pipe can only be.
constexpr std::int64_t kToEnd = -1;
int ReadRange(int fd, std::int64_t from, std::int64_t to, ChunkLineSplitter& lines) {
  const bool whole = from == 0 && to == kToEnd;
  std::unique_ptr<char[]> buffer(new char[kReadChunk]);
  while (to == kToEnd || from < to) {
    const std::size_t want =
        to == kToEnd ? kReadChunk : static_cast<std::size_t>(std::min<std::int64_t>(to - from, kReadChunk));
    const ssize_t n = whole ? ::read(fd, buffer.get(), want) : ::pread(fd, buffer.get(), want, from);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) break;
    lines.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
    from += n;
  }
  return 0;
}

// Copies bytes [from, to) of the file into the image a piece at a time and
// feeds the splitter each piece's whole lines from the image, so the rows
// stay there and no line is copied to be joined across pieces; the pages of
// each piece leave the resident set once its rows are made. Returns errno of
// a failed read, or 0 (also when the file ended early: the caller sees the
// change).
int FillAndFeed(int fd, TTextImage& image, std::size_t from, std::size_t to, ChunkLineSplitter& lines) {
  constexpr std::size_t kPiece = 1 << 20;
  const char* data = image.Data();
  std::size_t fed = from;
  for (std::size_t at = from; at < to;) {
    const std::int64_t got = image.Fill(fd, at, std::min(to, at + kPiece));
    if (got < 0) return errno;
    const bool end = got == 0 || at + static_cast<std::size_t>(got) >= to;
    at += static_cast<std::size_t>(got);
    const void* lf = ::memrchr(data + fed, '\n', at - fed);
    const std::size_t cut = end ? at : lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1 : fed;
    if (cut > fed) {
      lines.Feed(std::string_view(data + fed, cut - fed));
      image.Release(fed, cut);
      fed = cut;
    }
    if (end) break;
  }
  return 0;
}

// Where a large regular file of size bytes is cut in two for loading on two
// threads: just after the first LF past its middle, so each half starts a
// line (a byte after an LF always does). 0 when the file is small or no LF
// comes soon enough.
std::int64_t SplitPoint(int fd, std::size_t size) {
  constexpr std::size_t kMinSplitSize = 8 << 20;
  constexpr std::size_t kLookAhead = 1 << 20;
  if (size < kMinSplitSize) return 0;
  const std::int64_t middle = static_cast<std::int64_t>(size / 2);
  std::unique_ptr<char[]> buffer(new char[kLookAhead]);
  const ssize_t n = ::pread(fd, buffer.get(), kLookAhead, middle);
  if (n <= 0) return 0;
  const void* lf = std::memchr(buffer.get(), '\n', static_cast<std::size_t>(n));
  return lf ? middle + (static_cast<const char*>(lf) - buffer.get()) + 1 : 0;
}

}  // namespace

void TEditorStrings::CheckLine(int i) const {
  if (i < 0 || i >= GetCount()) throw EStringListError("List index out of bounds (" + std::to_string(i) + ")");
}

int TEditorStrings::LineToRow(int i) const { return Rows().LineToRow(i); }

std::string TEditorStrings::Get(int i) const {
  CheckLine(i);
  const TEditorScreenStrings& rows = Rows();
  if (!rows.WordWrap()) return rows.Get(i);
  std::string text = rows.GetRowsText(LineToRow(i), -1).text;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
  return text;
}

// Every edit drops the selection first and leaves the caret just after the
// new text, counted from the first affected row.
void TEditorStrings::Edit(int row, int count, const std::string& text, int caretRow) {
  owner_.CleanSelection();
  Rows().ReplaceRows(row, count, text);
  owner_.SetCaretByRowOffset(caretRow, static_cast<long long>(text.size()));
}

void TEditorStrings::Put(int i, std::string_view s) {
  CheckLine(i);
  TEditorScreenStrings& rows = Rows();
  int r = LineToRow(i), e = rows.LastRowOfLine(r);
  std::string text(s);
  if (rows.GetRowAttribute(e) == raCrlf) text += "\r\n";
  Edit(r, e - r + 1, text, r);
}

void TEditorStrings::Insert(int i, std::string_view s) {
  // Checked by line: with wrapping on, every line past the end maps to the
  // row count.
  if (i < 0 || i > GetCount()) throw EStringListError("List index out of bounds (" + std::to_string(i) + ")");
  const int r = LineToRow(i);
  if (r == Rows().GetCount()) {
    Add(s);
    return;
  }
  Edit(r, 0, std::string(s) + "\r\n", r);
}

int TEditorStrings::Add(std::string_view s) {
  int before = GetCount();
  TEditorScreenStrings& rows = Rows();
  const int n = rows.GetCount();
  if (n > 0 && rows.GetRowAttribute(n - 1) != raCrlf) {
    // The last line has no line end: give it one, and the new line none.
    std::string text(rows.Row(n - 1));
    text += "\r\n";
    text += s;
    Edit(n - 1, 1, text, n - 1);
  } else {
    Edit(n, 0, std::string(s) + "\r\n", n);
  }
  return before;
}

void TEditorStrings::Delete(int i) {
  CheckLine(i);
  TEditorScreenStrings& rows = Rows();
  int r = LineToRow(i);
  int first = rows.FirstRowOfLine(r), last = rows.LastRowOfLine(r);
  Edit(first, last - first + 1, std::string(), first);
}

std::string TEditorStrings::GetTextStr() const {
  const TEditorScreenStrings& rows = Rows();
  return rows.GetRowsText(0, rows.GetCount()).text;
}

void TEditorStrings::SetTextStr(std::string_view s) {
  UpdateScope update(*this);
  TEditorScreenStrings& rows = Rows();
  rows.Clear();
  // Every line, the last included, ends with a line end.
  rows.AppendLines(s);
  rows.UpdateAllStates();
}

void TEditorStrings::Assign(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  SetTextStr(text);
  owner_.SetRow(Rows().GetCount());
  owner_.SetCol(0);
}

// Loads every byte: NUL bytes and a Ctrl+Z inside the text are text like
// any other, since dropping what follows them would silently lose data on
// the next save. Only a Ctrl+Z that ends the file is the end-of-file mark.
bool TEditorStrings::LoadFromFile(const std::string& path) {
  UpdateScope update(*this);
  TEditorScreenStrings& rows = Rows();
  rows.Clear();
  FilePtr file = OpenFile(path, "rb", "open");
  const int fd = fileno(file.get());
  constexpr int kAttempts = 3;
  return ReadWhileUnchanged(fd, kAttempts, [&](int attempt, std::size_t size) {
    if (attempt > 1) {
      rows.Clear();
      ::lseek(fd, 0, SEEK_SET);
    }
    LoadRows(fd, path, size);
  });
}

void TEditorStrings::LoadRows(int fd, const std::string& path, std::size_t size) {
  TEditorScreenStrings& rows = Rows();
  // A large file is copied whole into an image of its own, where its rows
  // stay until they change.
  const std::shared_ptr<TTextImage> image = size >= TTextImage::MinimumSize() ? TTextImage::Create(size) : nullptr;
  rows.BeginLoading();
  // A large file's second half is split into rows of a list of its own on
  // another core while this thread does the first half; the halves' blocks
  // are then joined without copying a row.
  std::int64_t split = SplitPoint(fd, size);
  TEditorStringList tail(rows.BlockBytes(), rows.BlockRows());
  rows.AttachImage(image);
  tail.AttachImage(image);
  ChunkLineSplitter tailLines(rows, tail);
  auto read = [&](std::int64_t from, std::int64_t to, ChunkLineSplitter& lines) {
    if (!image) return ReadRange(fd, from, to, lines);
    return FillAndFeed(fd, *image, static_cast<std::size_t>(from), to == kToEnd ? size : static_cast<std::size_t>(to),
                       lines);
  };
  int tailError = 0;
  bool tailMark = false;
  std::exception_ptr tailFailure;
  std::thread tailLoader;
  if (split > 0) {
    try {
      tailLoader = std::thread([&] {
        try {
          tailError = read(split, kToEnd, tailLines);
          if (tailError == 0) tailMark = tailLines.Finish();
        } catch (...) {
          tailFailure = std::current_exception();
        }
      });
    } catch (const std::system_error&) {
      split = 0;  // no thread to be had: this one reads it all
    }
  }
  ChunkLineSplitter lines(rows, rows);
  int error = 0;
  bool mark = false;
  try {
    error = read(0, split > 0 ? split : kToEnd, lines);
    if (error == 0) mark = lines.Finish();
  } catch (...) {
    if (tailLoader.joinable()) tailLoader.join();
    rows.Clear();
    throw;
  }
  if (tailLoader.joinable()) tailLoader.join();
  if (error == 0) error = tailError;
  if (error != 0 || tailFailure) {
    rows.Clear();
    if (tailFailure) std::rethrow_exception(tailFailure);
    ThrowReadError(path, error);
  }
  if (image) image->Seal();
  if (split > 0) {
    rows.MoveRowsToEnd(tail);
    mark = tailMark;
  }
  rows.SetEofMark(mark);
  rows.EndLoading();
  rows.RepaintEditors();
}

void TEditorStrings::SaveToFile(const std::string& path) const { WriteRows(Rows(), path, false, Rows().EofMark()); }

bool ReadWhileUnchanged(int fd, int attempts, const std::function<void(int, std::size_t)>& read) {
  for (int attempt = 1;; ++attempt) {
    struct stat before{}, after{};
    const bool regular = ::fstat(fd, &before) == 0 && S_ISREG(before.st_mode);
    read(attempt, regular ? static_cast<std::size_t>(before.st_size) : 0);
    if (!regular || (::fstat(fd, &after) == 0 && SameState(before, after))) return true;
    if (attempt >= attempts) return false;
  }
}

void SaveRowsToFile(const TEditorScreenStrings& rows, const std::string& path) {
  WriteRows(rows, path, true, rows.EofMark());
}

void TEditorStrings::BeginUpdate() {
  ++update_count_;
  Rows().BeginUpdate();
  owner_.LinesBeginUpdate();
}

void TEditorStrings::EndUpdate() {
  owner_.LinesEndUpdate();
  Rows().EndUpdate();
  --update_count_;
  Rows().RepaintEditors();
}

}  // namespace yk

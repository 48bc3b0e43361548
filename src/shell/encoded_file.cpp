// Document files in other encodings: reading in blocks, loading the rows,
// writing them back.
#include "shell/encoded_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "text/editor_strings.h"
#include "text/errors.h"
#include "text/line_end.h"
#include "text/safe_file.h"
#include "text/screen_strings.h"
#include "text/text_image.h"

namespace yk {

namespace {

constexpr std::size_t kBlock = 1 << 20;
constexpr std::size_t kStop = static_cast<std::size_t>(-1);

// Reads a file a block at a time. take(piece, last) returns how many bytes
// of piece it used (kStop: read no further); the rest starts the next
// piece, which grows when a piece was not used at all. last: piece ends the
// file, and take uses it whole.
template <class Take>
void ReadPieces(const std::string& path, Take take) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    throw EFileError("Cannot open file \"" + path + "\". " + std::strerror(error), error);
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  std::string buffer(kBlock, '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == buffer.size()) buffer.resize(buffer.size() * 2);
    const ssize_t n = ::read(fd, buffer.data() + have, buffer.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      throw EFileError("Cannot read file \"" + path + "\". " + std::strerror(error), error);
    }
    have += static_cast<std::size_t>(n);
    const bool last = n == 0;
    const std::size_t used = take(std::string_view(buffer.data(), have), last);
    if (used == kStop || last) return;
    std::memmove(buffer.data(), buffer.data() + used, have - used);
    have -= used;
  }
}

// Appends the lines of a text that arrives in pieces to the rows: CR LF, CR
// and LF each end a line, also when a piece ends between the CR and the LF;
// a last line without a line end becomes a raEof row. Each line keeps the
// kind of its line end; the first gives the document its kind.
class TRowFeeder {
 public:
  explicit TRowFeeder(TEditorScreenStrings& rows) : rows_(rows) {}

  void Feed(std::string_view data) {
    std::size_t p = 0;
    if (cr_ended_ && !data.empty()) {
      cr_ended_ = false;
      if (data[0] == '\n') {
        p = 1;
        CrWasCrLf();
      }
    }
    while (p < data.size()) {
      const std::size_t e = FindLineEnd(data, p);
      if (e == std::string_view::npos) {
        carry_.append(data.substr(p));
        return;
      }
      // A CR that ends the piece is taken for CR until the next piece
      // shows an LF.
      const bool crlf = data[e] == '\r' && e + 1 < data.size() && data[e + 1] == '\n';
      EndLine(data.substr(p, e - p), data[e] == '\n' ? TLineEnd::Lf : crlf ? TLineEnd::CrLf : TLineEnd::Cr);
      p = e + 1 + crlf;
      cr_ended_ = data[e] == '\r' && p == data.size();
    }
  }

  void Finish() {
    if (!carry_.empty()) rows_.AppendLine(carry_, raEof);
  }

 private:
  void EndLine(std::string_view tail, TLineEnd kind) {
    if (!decided_) {
      decided_ = true;
      rows_.SetLineEnds(kind);
    }
    if (carry_.empty()) {
      rows_.AppendLine(tail, raCrlf, kind);
      return;
    }
    carry_.append(tail);
    rows_.AppendLine(carry_, raCrlf, kind);
    carry_.clear();
  }
  void CrWasCrLf() {
    if (rows_.Totals().crlfs == 1)
      rows_.SetLineEnds(TLineEnd::CrLf);  // it was the first line end
    else
      rows_.SetRowLineEnd(rows_.GetCount() - 1, TLineEnd::CrLf);
  }

  TEditorScreenStrings& rows_;
  std::string carry_;  // a line cut by the end of a piece
  bool cr_ended_ = false;
  bool decided_ = false;  // the rows have the kind of the first line end
};

// Holds the lines' update open for a scope, also when it throws.
struct TLinesUpdate {
  explicit TLinesUpdate(TEditorStrings& lines) : lines_(lines) { lines_.BeginUpdate(); }
  ~TLinesUpdate() { lines_.EndUpdate(); }
  TEditorStrings& lines_;
};

// Reads and converts a file on a thread of its own, a few blocks ahead of
// the rows being built from them, so that the conversion costs hardly more
// time than reading a CP932 file does.
class TConvertingReader {
 public:
  TConvertingReader(const std::string& path, TTextEncoding encoding, bool strict, std::shared_ptr<TMappedChars> chars)
      : decoder_(encoding, strict, std::move(chars)), strict_(strict) {
    thread_ = std::thread([this, path] { Run(path); });
  }
  ~TConvertingReader() {
    {
      std::lock_guard lock(mutex_);
      cancelled_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  TConvertingReader(const TConvertingReader&) = delete;
  TConvertingReader& operator=(const TConvertingReader&) = delete;

  // The next converted piece into piece (its old buffer reused); false at
  // the end of the file. Raises what reading raised.
  bool Next(std::string& piece) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !full_.empty() || done_; });
    if (full_.empty()) {
      if (error_) std::rethrow_exception(error_);
      return false;
    }
    free_.push_back(std::move(piece));  // to be filled again
    piece = std::move(full_.front());
    full_.pop_front();
    changed_.notify_all();
    return true;
  }

  // After the end: whether the file was malformed (strict), and its format.
  bool Malformed() const { return malformed_; }
  TDecodedText Finish() { return decoder_.Finish(); }

 private:
  static constexpr std::size_t kAhead = 3;

  void Run(const std::string& path) {
    try {
      ReadPieces(path, [this](std::string_view piece, bool last) { return Convert(piece, last); });
    } catch (...) {
      std::lock_guard lock(mutex_);
      error_ = std::current_exception();
    }
    std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
  }

  std::size_t Convert(std::string_view piece, bool last) {
    std::string out;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return full_.size() < kAhead || cancelled_; });
      if (cancelled_) return kStop;
      if (!free_.empty()) {
        out = std::move(free_.back());
        free_.pop_back();
      }
    }
    out.clear();
    const std::size_t used = decoder_.Feed(piece, last, out);
    std::lock_guard lock(mutex_);
    if (strict_ && decoder_.Invalid() > 0) {
      malformed_ = true;
      return kStop;
    }
    full_.push_back(std::move(out));
    changed_.notify_all();
    return used;
  }

  TTextDecoder decoder_;
  const bool strict_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> full_;  // converted, not yet taken
  std::vector<std::string> free_;  // buffers to fill again
  bool done_ = false;
  bool cancelled_ = false;
  bool malformed_ = false;
  std::exception_ptr error_;
  std::thread thread_;  // last: started once everything else is there
};

// The text of path in encoding into the rows; nullopt (and no rows) when
// strict and the file turns out malformed in it.
std::optional<TLoadedText> LoadDecoded(TEditorStrings& lines, TEditorScreenStrings& rows, const std::string& path,
                                       TTextEncoding encoding, bool strict) {
  TLinesUpdate update(lines);
  rows.Clear();
  rows.SetEofMark(false);  // a Ctrl+Z of these encodings is text
  rows.BeginLoading();
  TRowFeeder feeder(rows);
  const bool unicode = encoding == teUtf8 || encoding == teUtf16Le || encoding == teUtf16Be;
  TConvertingReader reader(path, encoding, strict, std::make_shared<TMappedChars>(unicode));
  try {
    for (std::string piece; reader.Next(piece);) feeder.Feed(piece);
  } catch (...) {
    rows.Clear();
    rows.EndLoading();
    throw;
  }
  if (reader.Malformed()) {
    rows.Clear();
    rows.EndLoading();
    return std::nullopt;
  }
  feeder.Finish();
  rows.EndLoading();
  rows.RepaintEditors();
  const TDecodedText d = reader.Finish();
  return TLoadedText{d.format, d.chars, d.unmapped, d.chars->Overflow(), d.invalid, d.exact, rows.LineEnds()};
}

TLoadedText LoadCp932(TEditorStrings& lines, TEditorScreenStrings& rows, const std::string& path) {
  TLoadedText loaded;
  loaded.changing = !lines.LoadFromFile(path);
  loaded.chars = std::make_shared<TMappedChars>();
  LearnUsedCodes(*loaded.chars, rows);
  loaded.lineEnd = rows.LineEnds();
  return loaded;
}

// The detector after the file's first block only (or to the end).
TEncodingDetector& Detect(TEncodingDetector& detector, const std::string& path, bool firstBlock) {
  ReadPieces(path, [&](std::string_view piece, bool last) {
    const std::size_t used = detector.Feed(piece, last);
    return detector.Decided() || firstBlock ? kStop : used;
  });
  return detector;
}

}  // namespace

void LearnUsedCodes(TMappedChars& chars, const TPointerStringList& rows) {
  chars.SetUsedCodeSource([&rows](TMappedChars& table) {
    for (int r = 0, n = rows.GetCount(); r < n; ++r) table.NoteUsedIn(rows.Row(r));
  });
}

TTextEncoding DetectFileEncoding(const std::string& path) {
  TEncodingDetector detector;
  return Detect(detector, path, false).Result();
}

TLoadedText LoadEncodedFile(TEditorStrings& lines, TEditorScreenStrings& rows, const std::string& path,
                            std::optional<TTextEncoding> encoding) {
  if (encoding) {
    if (*encoding == teCp932) return LoadCp932(lines, rows, path);
    return *LoadDecoded(lines, rows, path, *encoding, false);
  }
  // Most files are decided by their first characters. One that reads as
  // UTF-8 so far is read as UTF-8 straight away rather than checked to its
  // end first and read after: one pass for a UTF-8 file. Only one that
  // turns out malformed is read to its end to detect what it is.
  TEncodingDetector start;
  Detect(start, path, true);
  std::optional<TLoadedText> loaded;
  if (!start.Decided() && start.Result() == teUtf8) loaded = LoadDecoded(lines, rows, path, teUtf8, true);
  if (loaded) return *loaded;
  const TTextEncoding detected = start.Decided() ? start.Result() : DetectFileEncoding(path);
  if (detected == teCp932) return LoadCp932(lines, rows, path);
  // A detected encoding whose file is malformed after all: the bytes as
  // they are, as every file loaded before other encodings were read.
  loaded = LoadDecoded(lines, rows, path, detected, true);
  return loaded ? *loaded : LoadCp932(lines, rows, path);
}

namespace {

// Where text may be cut so that the first part ends with a line end: after
// the last LF, or the last CR that has a byte after it (an LF may follow a
// last one), looked for from `from` on; 0 when there is no such place.
std::size_t AfterLastLineEnd(std::string_view text, std::size_t from) {
  for (std::size_t i = text.size(); i-- > from;) {
    if (text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size())) return i + 1;
  }
  return 0;
}

}  // namespace

bool SaveEncodedRows(const TPointerStringList& rows, const std::string& path, TLineEnd end, bool end_every_row,
                     const TTextFormat& format, const std::function<bool(int)>& confirm, bool eof_mark,
                     const TMappedChars* chars) {
  const bool cp932 = format.encoding == teCp932;
  if (cp932 && (!chars || chars->Count() == 0)) {
    SaveDocumentRows(rows, path, end, end_every_row, eof_mark);
    return true;
  }
  TSafeFileWriter out(path);
  // The text as the file holds it, a piece at a time; runs of unchanged
  // rows are read out of the loaded file's image, so a save brings none of
  // its pages into memory. Blocks are cut after a line end, where every
  // encoding is back in its first state: encoded one by one they give the
  // bytes of the whole.
  TTextFormat piece = format;
  std::string block;
  int lost = 0;
  const auto encode = [&](std::size_t n) {
    const TEncodedText e = EncodeText(std::string_view(block).substr(0, n), piece, chars);
    out.Write(e.bytes);
    lost += e.unrepresentable;
    block.erase(0, n);
    piece.bom = false;  // written once, at the start
  };
  const auto put = [&](std::string_view bytes, const TTextImage* image) {
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t n = std::min(kBlock, bytes.size() - at);
      const std::size_t before = block.size();
      if (!image || !image->AppendTo(static_cast<std::size_t>(bytes.data() + at - image->Data()), n, block))
        block.append(bytes.substr(at, n));
      at += n;
      if (block.size() < kBlock) continue;
      if (const std::size_t cut = AfterLastLineEnd(block, before > 0 ? before - 1 : 0); cut > 0) encode(cut);
    }
  };
  rows.ForEachSavedPiece(end_every_row ? LineEndBytes(end) : std::string_view(), put);
  encode(block.size());
  if (cp932 && eof_mark) out.Write("\x1a");
  if (lost > 0 && confirm && !confirm(lost)) return false;
  out.Commit();
  return true;
}

int CountUnwritable(const TPointerStringList& rows, TTextEncoding encoding, const TMappedChars& chars) {
  if (chars.Count() == 0 || encoding == teUtf8 || encoding == teUtf16Le || encoding == teUtf16Be) return 0;
  int count = 0;
  for (int r = 0, n = rows.GetCount(); r < n; ++r) count += CountUnwritable(rows.Row(r), encoding, chars);
  return count;
}

std::string EncodingStatusText(const TTextFormat& format, TLineEnd end, bool mixed) {
  std::string text(EncodingName(format.encoding));
  if (format.bom && format.encoding == teUtf8) text += " BOM";
  text += ' ';
  text += end == TLineEnd::Lf ? "LF" : end == TLineEnd::Cr ? "CR" : "CRLF";
  if (mixed) text += " 混在";  // some line ends are of another kind
  return text;
}

}  // namespace yk

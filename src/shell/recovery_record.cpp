// Writing and checking recovery snapshot records; file identities.
#include "shell/recovery_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>

namespace yk {

namespace {

constexpr std::uint32_t Tag(const char (&s)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[3])) << 24;
}
constexpr std::uint32_t kHead = Tag("HEAD");
constexpr std::uint32_t kBase = Tag("BASE");
constexpr std::uint32_t kRuns = Tag("RUNS");
constexpr std::uint32_t kChars = Tag("CHRS");
constexpr std::uint32_t kEnds = Tag("ENDS");
constexpr std::uint32_t kSum = Tag("SUM ");
constexpr std::size_t kSumSection = 4 + 8 + 8;

// Pages hashed for a file's sample, spread from its first to its last.
constexpr std::size_t kSamplePages = 16;
constexpr std::size_t kPage = 4096;

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ULL) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

class Writer {
 public:
  void U8(std::uint8_t v) { out_ += static_cast<char>(v); }
  void U16(std::uint16_t v) { Int(v, 2); }
  void U32(std::uint32_t v) { Int(v, 4); }
  void U64(std::uint64_t v) { Int(v, 8); }
  void I64(std::int64_t v) { Int(static_cast<std::uint64_t>(v), 8); }
  void Text16(std::string_view s) {
    if (s.size() > 0xFFFF) throw ERecoveryRecordError("name too long for a snapshot");
    U16(static_cast<std::uint16_t>(s.size()));
    out_ += s;
  }
  void Bytes(std::string_view s) { out_ += s; }
  // Starts a section; End fills in its length.
  std::size_t Begin(std::uint32_t tag) {
    U32(tag);
    U64(0);
    return out_.size();
  }
  void End(std::size_t start) {
    const std::uint64_t n = out_.size() - start;
    for (int i = 0; i < 8; ++i)
      out_[start - 8 + static_cast<std::size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
  }
  std::string& Out() { return out_; }

 private:
  void Int(std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) out_ += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  std::string out_;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  std::uint8_t U8() { return static_cast<std::uint8_t>(Int(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Int(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Int(4)); }
  std::uint64_t U64() { return Int(8); }
  std::int64_t I64() { return static_cast<std::int64_t>(Int(8)); }
  std::string_view Bytes(std::uint64_t n) {
    if (in_.size() - pos_ < n) throw ERecoveryRecordError("snapshot cut short");
    const std::string_view s = in_.substr(pos_, static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return s;
  }
  std::string Text16() { return std::string(Bytes(U16())); }
  bool AtEnd() const { return pos_ == in_.size(); }
  std::size_t Left() const { return in_.size() - pos_; }
  std::size_t Pos() const { return pos_; }

 private:
  std::uint64_t Int(int size) {
    const std::string_view b = Bytes(static_cast<std::uint64_t>(size));
    std::uint64_t v = 0;
    for (int i = 0; i < size; ++i)
      v |= std::uint64_t{static_cast<unsigned char>(b[static_cast<std::size_t>(i)])} << (8 * i);
    return v;
  }
  std::string_view in_;
  std::size_t pos_ = 0;
};

void WriteHead(Writer& w, const TRecoveryRecord& r) {
  const std::size_t at = w.Begin(kHead);
  w.Text16(r.documentPath);
  w.Text16(r.window);
  w.I64(r.writtenMs);
  w.U8(static_cast<std::uint8_t>(r.format.encoding));
  w.U8(r.format.bom);
  w.U8(r.format.jisOldKanji);
  w.U8(r.format.jisRoman);
  w.U8(static_cast<std::uint8_t>(r.lineEnd));
  w.U8(r.eofMark);
  w.U16(0);  // twins: the table section holds the forms now
  w.End(at);
}

void WriteBase(Writer& w, const TRecoveryRecord& r) {
  const std::size_t at = w.Begin(kBase);
  w.U8(static_cast<std::uint8_t>(r.baseKind));
  w.Text16(r.basePath);
  const TFileIdentity& id = r.baseIdentity;
  w.U64(id.device);
  w.U64(id.inode);
  w.I64(id.size);
  w.I64(id.mtimeSec);
  w.I64(id.mtimeNsec);
  w.U64(id.sample);
  w.I64(r.baseLength);
  w.I64(r.length);
  w.End(at);
}

void WriteChars(Writer& w, const TRecoveryRecord& r) {
  if (r.mappedChars.empty()) return;
  const std::size_t at = w.Begin(kChars);
  w.Bytes(r.mappedChars);
  w.End(at);
}

void WriteRuns(Writer& w, const TRecoveryRecord& r) {
  const std::size_t at = w.Begin(kRuns);
  w.U32(static_cast<std::uint32_t>(r.runs.size()));
  for (const TRecoveryRun& run : r.runs) {
    w.I64(run.baseOffset);
    w.I64(run.baseLength);
    w.U64(run.text.size());
    w.Bytes(run.text);
  }
  w.End(at);
}

void WriteEnds(Writer& w, const TRecoveryRecord& r) {
  if (!r.otherEnds) return;
  const std::size_t at = w.Begin(kEnds);
  w.U32(static_cast<std::uint32_t>(r.otherEnds->size()));
  for (const TOtherLineEnd& e : *r.otherEnds) {
    w.U32(e.index);
    w.U8(static_cast<std::uint8_t>(e.kind));
  }
  w.End(at);
}

bool Flag(std::uint8_t v) {
  if (v > 1) throw ERecoveryRecordError("snapshot with a bad flag");
  return v == 1;
}

void ReadHead(Reader& r, TRecoveryRecord& out) {
  out.documentPath = r.Text16();
  out.window = r.Text16();
  out.writtenMs = r.I64();
  const std::uint8_t encoding = r.U8();
  if (encoding > teUtf16Be) throw ERecoveryRecordError("snapshot of an unknown encoding");
  out.format.encoding = static_cast<TTextEncoding>(encoding);
  out.format.bom = Flag(r.U8());
  out.format.jisOldKanji = Flag(r.U8());
  out.format.jisRoman = Flag(r.U8());
  const std::uint8_t end = r.U8();
  if (end > static_cast<std::uint8_t>(TLineEnd::Cr)) throw ERecoveryRecordError("snapshot of unknown line ends");
  out.lineEnd = static_cast<TLineEnd>(end);
  out.eofMark = Flag(r.U8());
  // Older snapshots of Unicode documents chose the character of a code
  // that several share: the same as a form the table keeps. (A table
  // section, when there is one, replaces this.)
  const std::uint16_t twins = r.U16();
  for (std::uint16_t i = 0; i < twins; ++i) {
    const std::uint16_t code = r.U16();
    const std::uint16_t ch = r.U16();
    if (out.mappedChars.empty()) out.mappedChars = "mapped-chars 1 forms\n";
    char line[16];
    std::snprintf(line, sizeof line, "%04X %X\n", code, ch);
    out.mappedChars += line;
  }
}

void ReadBase(Reader& r, TRecoveryRecord& out) {
  const std::uint8_t kind = r.U8();
  if (kind > static_cast<std::uint8_t>(TRecoveryBase::Copy)) throw ERecoveryRecordError("snapshot of an unknown base");
  out.baseKind = static_cast<TRecoveryBase>(kind);
  out.basePath = r.Text16();
  TFileIdentity& id = out.baseIdentity;
  id.device = r.U64();
  id.inode = r.U64();
  id.size = r.I64();
  id.mtimeSec = r.I64();
  id.mtimeNsec = r.I64();
  id.sample = r.U64();
  out.baseLength = r.I64();
  out.length = r.I64();
}

void ReadRuns(Reader& r, TRecoveryRecord& out) {
  const std::uint32_t count = r.U32();
  for (std::uint32_t i = 0; i < count; ++i) {
    TRecoveryRun run;
    run.baseOffset = r.I64();
    run.baseLength = r.I64();
    run.text = std::string(r.Bytes(r.U64()));
    out.runs.push_back(std::move(run));
  }
}

// In rising order, each of a known kind.
void ReadEnds(Reader& r, TRecoveryRecord& out) {
  const std::uint32_t count = r.U32();
  TOtherLineEnds ends;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t index = r.U32();
    const std::uint8_t kind = r.U8();
    if (kind > static_cast<std::uint8_t>(TLineEnd::Cr)) throw ERecoveryRecordError("snapshot of unknown line ends");
    if (!ends.empty() && index <= ends.back().index) throw ERecoveryRecordError("snapshot with line ends out of order");
    ends.push_back({index, static_cast<TLineEnd>(kind)});
  }
  out.otherEnds = std::move(ends);
}

// Runs in order and inside the base, making a text of the recorded length
// (counted so that no length a damaged file gives can overflow).
void CheckConsistent(const TRecoveryRecord& r) {
  if (r.baseLength < 0 || r.length < 0) throw ERecoveryRecordError("snapshot of a negative length");
  if (r.baseKind == TRecoveryBase::Empty && r.baseLength != 0)
    throw ERecoveryRecordError("snapshot of an empty base with a length");
  std::int64_t at = 0, replaced = 0;
  std::uint64_t added = 0;
  for (const TRecoveryRun& run : r.runs) {
    if (run.baseOffset < at || run.baseLength < 0 || run.baseLength > r.baseLength - run.baseOffset)
      throw ERecoveryRecordError("snapshot with runs out of place");
    at = run.baseOffset + run.baseLength;
    replaced += run.baseLength;  // the runs do not overlap: at most the base
    added += run.text.size();
  }
  const std::int64_t kept = r.baseLength - replaced;
  if (added > static_cast<std::uint64_t>(INT64_MAX - kept) || kept + static_cast<std::int64_t>(added) != r.length)
    throw ERecoveryRecordError("snapshot whose runs do not make its text");
}

}  // namespace

std::string EncodeRecoveryRecord(const TRecoveryRecord& record) {
  CheckConsistent(record);
  Writer w;
  w.Bytes(kRecoveryMagic);
  w.U16(kRecoveryFormat);
  WriteHead(w, record);
  WriteBase(w, record);
  WriteRuns(w, record);
  WriteChars(w, record);
  WriteEnds(w, record);
  const std::uint64_t sum = Fnv1a(w.Out());
  const std::size_t at = w.Begin(kSum);
  w.U64(sum);
  w.End(at);
  return std::move(w.Out());
}

bool LooksLikeRecoveryRecord(std::string_view bytes) {
  return bytes.substr(0, kRecoveryMagic.size()) == kRecoveryMagic;
}

TRecoveryRecord DecodeRecoveryRecord(std::string_view bytes) {
  if (!LooksLikeRecoveryRecord(bytes)) throw ERecoveryRecordError("not a snapshot");
  if (bytes.size() < kRecoveryMagic.size() + 2 + kSumSection) throw ERecoveryRecordError("snapshot cut short");
  const std::string_view body = bytes.substr(0, bytes.size() - kSumSection);
  Reader tail(bytes.substr(body.size()));
  if (tail.U32() != kSum || tail.U64() != 8 || tail.U64() != Fnv1a(body))
    throw ERecoveryRecordError("snapshot damaged or cut short");
  Reader r(body);
  r.Bytes(kRecoveryMagic.size());
  // A later format is refused rather than half understood.
  if (r.U16() != kRecoveryFormat) throw ERecoveryRecordError("snapshot of another format");
  TRecoveryRecord out;
  std::string table;
  bool head = false, base = false, runs = false, ends = false, chars = false;
  while (!r.AtEnd()) {
    const std::uint32_t tag = r.U32();
    Reader section(r.Bytes(r.U64()));
    if (tag == kChars) {
      if (chars) throw ERecoveryRecordError("snapshot with a section twice");
      chars = true;
      table = std::string(section.Bytes(section.Left()));
      continue;
    }
    bool* seen = tag == kHead ? &head : tag == kBase ? &base : tag == kRuns ? &runs : tag == kEnds ? &ends : nullptr;
    if (!seen) continue;  // a section of a later version: not needed to restore
    if (*seen) throw ERecoveryRecordError("snapshot with a section twice");
    *seen = true;
    if (tag == kHead)
      ReadHead(section, out);
    else if (tag == kBase)
      ReadBase(section, out);
    else if (tag == kRuns)
      ReadRuns(section, out);
    else
      ReadEnds(section, out);
    if (!section.AtEnd()) throw ERecoveryRecordError("snapshot section longer than its fields");
  }
  if (!head || !base || !runs) throw ERecoveryRecordError("snapshot without a needed section");
  if (chars) out.mappedChars = std::move(table);
  CheckConsistent(out);
  return out;
}

// --- file identities -----------------------------------------------------------

namespace {

// The offsets of the sampled pages of a file of that size: all of a small
// file, else pages spread evenly, the first and the last among them.
std::vector<std::pair<std::uint64_t, std::size_t>> SamplePages(std::uint64_t size) {
  std::vector<std::pair<std::uint64_t, std::size_t>> pages;
  if (size <= kSamplePages * kPage) {
    if (size > 0) pages.emplace_back(0, static_cast<std::size_t>(size));
    return pages;
  }
  for (std::size_t i = 0; i < kSamplePages; ++i) {
    const std::uint64_t at = (size - kPage) * i / (kSamplePages - 1);
    pages.emplace_back(at, kPage);
  }
  return pages;
}

}  // namespace

std::uint64_t SampleHash(std::string_view bytes) {
  std::uint64_t hash = Fnv1a(std::to_string(bytes.size()));
  for (const auto& [at, n] : SamplePages(bytes.size()))
    hash = Fnv1a(bytes.substr(static_cast<std::size_t>(at), n), hash);
  return hash;
}

std::optional<TFileIdentity> IdentifyFile(const std::string& path, bool withSample) {
  if (!withSample) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return TFileIdentity{static_cast<std::uint64_t>(st.st_dev),
                         static_cast<std::uint64_t>(st.st_ino),
                         st.st_size,
                         st.st_mtim.tv_sec,
                         st.st_mtim.tv_nsec,
                         0};
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat st{};
  std::optional<TFileIdentity> id;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    id = TFileIdentity{static_cast<std::uint64_t>(st.st_dev),
                       static_cast<std::uint64_t>(st.st_ino),
                       st.st_size,
                       st.st_mtim.tv_sec,
                       st.st_mtim.tv_nsec,
                       0};
    {
      const auto size = static_cast<std::uint64_t>(st.st_size);
      std::uint64_t hash = Fnv1a(std::to_string(size));
      std::array<char, kSamplePages * kPage> buffer{};
      for (const auto& [at, n] : SamplePages(size)) {
        const ssize_t got = ::pread(fd, buffer.data(), n, static_cast<off_t>(at));
        if (got != static_cast<ssize_t>(n)) {
          id.reset();  // changed while being read, or unreadable
          break;
        }
        hash = Fnv1a(std::string_view(buffer.data(), n), hash);
      }
      if (id) id->sample = hash;
    }
  }
  ::close(fd);
  return id;
}

}  // namespace yk

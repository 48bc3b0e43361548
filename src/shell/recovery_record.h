// A recovery snapshot as bytes: what the document is (its file, encoding
// and line ends), the base text it was edited from (its file, a private
// copy, or nothing) with that text's identity, and the runs that differ
// from it. Versioned and made of tagged sections, so that a later version
// can add a section that this one skips.
//
// Layout: the magic "YKRECOVR", u16 format, then sections of u32 tag, u64
// length and that many bytes, up to a last section "SUM " holding the
// 64-bit FNV-1a hash of every byte before it. Integers are little-endian.
//   "HEAD": u16 path length, path; u16 window length, window; i64 written
//           (ms since the epoch); u8 encoding, u8 bom, u8 jis kanji, u8 jis
//           roman, u8 line end, u8 end-of-file mark; u16 twin count, each
//           u16 code and u16 character (written as none now; older
//           snapshots' twins are read as kept forms of the table)
//   "BASE": u8 kind, u16 path length, path; u64 device, u64 inode, i64
//           size, i64 mtime seconds, i64 mtime nanoseconds, u64 sample
//           hash; i64 base length; i64 text length
//   "RUNS": u32 count, each i64 base offset, i64 base length, u64 text
//           length and the text
//   "CHRS": the document's table of mapped characters as text
//           (TMappedChars::Save); only when it has one. The runs and a
//           copy base hold the table's codes, which mean nothing without it.
//   "ENDS": u32 count, each u32 line end index and u8 kind: the line ends
//           of the text whose kind is not the head's (optional; a record
//           without it gives every line end the head's kind)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"
#include "shell/document_file.h"
#include "text/errors.h"

namespace yk {

inline constexpr std::string_view kRecoveryMagic = "YKRECOVR";
inline constexpr std::uint16_t kRecoveryFormat = 1;

// A snapshot that cannot be read: cut short, damaged, or not one at all.
class ERecoveryRecordError : public Exception {
 public:
  using Exception::Exception;
};

// A file as it was when a text was taken from it: enough to tell that it
// is still the same bytes. The sample hashes a few pages spread over the
// file, which catches a rewrite that kept the size and the time.
struct TFileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t mtimeSec = 0;
  std::int64_t mtimeNsec = 0;
  std::uint64_t sample = 0;
  bool operator==(const TFileIdentity&) const = default;
  // The same file, unchanged as far as its status tells (the sample left out).
  bool SameStatus(const TFileIdentity& o) const {
    return device == o.device && inode == o.inode && size == o.size && mtimeSec == o.mtimeSec &&
           mtimeNsec == o.mtimeNsec;
  }
};

// The identity of the file at path now (a link followed), the sample read
// from it; nullopt when it cannot be opened as a regular file. Without the
// sample (withSample false) it costs one stat.
std::optional<TFileIdentity> IdentifyFile(const std::string& path, bool withSample = true);
// The sample hash of the bytes a file of that size holds (for a copy the
// program writes itself: the hash of what it wrote, without reading it).
std::uint64_t SampleHash(std::string_view bytes);

enum class TRecoveryBase : std::uint8_t {
  Empty,     // the runs make the whole text
  Document,  // the document's file, read in the recorded encoding
  Copy,      // a copy of the text (CP932, the rows' line ends) in the folder
};

struct TRecoveryRun {
  std::int64_t baseOffset = 0;
  std::int64_t baseLength = 0;
  std::string text;
  bool operator==(const TRecoveryRun&) const = default;
};

struct TRecoveryRecord {
  std::string documentPath;  // empty: untitled
  std::string window;        // the writing window's token
  std::int64_t writtenMs = 0;
  TTextFormat format;
  TLineEnd lineEnd = TLineEnd::CrLf;
  // The line ends of another kind than lineEnd, by index among the text's
  // line ends; nullopt: not recorded (an older writer), all are lineEnd.
  std::optional<TOtherLineEnds> otherEnds;
  bool eofMark = false;
  TRecoveryBase baseKind = TRecoveryBase::Empty;
  std::string basePath;  // Document: the file; Copy: the copy's name in the folder
  TFileIdentity baseIdentity;
  std::int64_t baseLength = 0;
  std::int64_t length = 0;  // of the text the runs make with the base
  std::vector<TRecoveryRun> runs;
  std::string mappedChars;  // the table as text; empty: none
  bool operator==(const TRecoveryRecord&) const = default;
};

std::string EncodeRecoveryRecord(const TRecoveryRecord& record);
// Raises ERecoveryRecordError for anything but a whole, consistent record
// (runs in order, inside the base, adding up to the length).
TRecoveryRecord DecodeRecoveryRecord(std::string_view bytes);
// Whether bytes start as a record does (older snapshots are plain text).
bool LooksLikeRecoveryRecord(std::string_view bytes);

}  // namespace yk

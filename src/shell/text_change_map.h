// Which bytes of a document differ from a base text (the file it was loaded
// from, or a copy): a short list of changed runs, kept up to date from the
// edits the row list reports, so that a recovery snapshot holds only those
// runs and not the whole text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace yk {

// A run of the current text that stands in place of a run of the base text;
// between runs the two texts are the same bytes.
struct TChangedRun {
  std::int64_t baseOffset = 0;
  std::int64_t baseLength = 0;
  std::int64_t offset = 0;  // in the current text
  std::int64_t length = 0;
  bool operator==(const TChangedRun&) const = default;
};

class TTextChangeMap {
 public:
  // Runs closer than this are kept as one: the bytes between them cost less
  // than the bookkeeping of many tiny runs.
  static constexpr std::int64_t kJoinGap = 64;
  // Beyond this many runs the closest neighbours are joined (over a
  // replace-all of a large document), so that an edit costs a bounded
  // walk over the runs.
  static constexpr std::size_t kMaxRuns = 1024;

  explicit TTextChangeMap(std::int64_t baseLength = 0) { Reset(baseLength); }

  // The current text is the base text, of length bytes.
  void Reset(std::int64_t length);
  // Bytes [offset, offset + oldLength) of the current text were replaced
  // by newLength bytes. False when the change does not fit the text as
  // known (the map is then left as it was and must not be trusted).
  bool Replace(std::int64_t offset, std::int64_t oldLength, std::int64_t newLength);

  // Bytes after every run, the same in both texts, came (delta > 0) or
  // went: for a base that is itself still being taken from the text.
  bool ResizeTail(std::int64_t delta);

  std::int64_t Length() const { return length_; }
  std::int64_t BaseLength() const { return base_length_; }
  // The runs in order, with their places in both texts.
  std::vector<TChangedRun> Runs() const;
  std::size_t RunCount() const { return runs_.size(); }
  // Bytes of the current text inside runs: what a snapshot has to copy.
  std::int64_t ChangedBytes() const;

 private:
  struct Run {
    std::int64_t baseOffset;
    std::int64_t baseLength;
    std::int64_t length;
  };
  void JoinClosest();

  std::vector<Run> runs_;  // in order; none empty on both sides
  std::int64_t length_ = 0;
  std::int64_t base_length_ = 0;
};

}  // namespace yk

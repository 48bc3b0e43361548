// What a document's recovery snapshot needs from its rows: the runs that
// changed since the text was last a known base (a file loaded or saved, a
// copy written, nothing), kept from the replacements the rows report, the
// bytes of a run read from the rows, and the runs put back into a base.
// It knows the rows only through their public text, so any way of storing
// them serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/recovery_record.h"
#include "shell/text_change_map.h"
#include "text/screen_strings.h"

namespace yk {

// The document's bytes as the rows hold them: each raCrlf row followed by
// CR LF, nothing after other rows.
std::int64_t TextLength(const TEditorScreenStrings& rows);
std::int64_t TextOffsetOfRow(const TEditorScreenStrings& rows, int row);
// Bytes [offset, offset + length) of the text (fewer past its end), read
// from the rows' own pages: a run in a row of many megabytes copies only
// the run.
std::string TextRange(const TEditorScreenStrings& rows, std::int64_t offset, std::int64_t length);
// Puts runs made against the text the rows hold into them, the last first
// so that the offsets of the others stay; each is one edit of the rows.
// Raises Exception when a run does not fit the text.
void ApplyRecoveryRuns(TEditorScreenStrings& rows, const std::vector<TRecoveryRun>& runs);

// The text a tracker's runs are counted against.
struct TTrackedBase {
  TRecoveryBase kind = TRecoveryBase::Empty;
  std::string path;  // Document: the file; Copy: the copy
  TFileIdentity identity;
  bool operator==(const TTrackedBase&) const = default;
};

class TRecoveryTracker {
 public:
  // Listens to the rows' replacements from now on (the rows must outlive
  // the tracker). Starts without a base: nothing is known yet.
  explicit TRecoveryTracker(TEditorScreenStrings& rows);
  ~TRecoveryTracker();
  TRecoveryTracker(const TRecoveryTracker&) = delete;
  TRecoveryTracker& operator=(const TRecoveryTracker&) = delete;

  // The rows' text is that base now: no run differs.
  void Rebase(TTrackedBase base);
  // The base no longer tells the text (its file changed): until the next
  // Rebase, only the whole text can be kept.
  void Invalidate() { valid_ = false; }
  // Whether Runs() and the base make the text. A Clear of the rows (every
  // load starts with one) ends it until the next Rebase.
  bool Valid() const { return valid_; }
  const TTrackedBase& Base() const { return base_; }
  const TTextChangeMap& Map() const { return map_; }
  // The changed runs with their text read from the rows.
  std::vector<TRecoveryRun> Runs() const;

  // A copy of the whole text is taken from now on, a slice at a time
  // between edits (so that typing never waits for a large one), and then
  // written. The edits meanwhile are kept against the copy as it will be:
  // once on disk (CommitCopy) it becomes the base without a second look at
  // the text. Slices already taken that an edit changes count as runs;
  // the text after the last slice is taken as it is when its turn comes.
  void BeginCopy();
  // The next at most `bytes` bytes of the copy; empty once it is whole.
  std::string CopySlice(std::int64_t bytes);
  bool Copying() const { return copying_; }
  // Every slice taken: from now on the copy is fixed, and every change is
  // a run against it.
  bool CopyWhole() const { return copying_ && copy_whole_; }
  // False when a change could not be kept against the copy (a Clear): it
  // must not become the base.
  bool CopyValid() const { return copying_ && copy_valid_; }
  // What differs from the whole copy, and its length.
  std::vector<TRecoveryRun> CopyRuns() const { return RunsOf(copy_map_); }
  std::int64_t CopyLength() const { return copy_map_.BaseLength(); }
  void CommitCopy(TTrackedBase base);
  void AbandonCopy() { copying_ = false; }

 private:
  void Replaced(const TRowsReplaced& change);
  // Keeps the copy's map in step with a change while slices are still to
  // be taken.
  void FollowCopy(std::int64_t offset, std::int64_t oldLength, std::int64_t newLength);
  std::vector<TRecoveryRun> RunsOf(const TTextChangeMap& map) const;

  TEditorScreenStrings& rows_;
  TTrackedBase base_;
  TTextChangeMap map_;
  bool valid_ = false;
  TTextChangeMap copy_map_;
  std::int64_t frontier_ = 0;  // where the next slice of the copy starts
  bool copying_ = false;
  bool copy_valid_ = false;
  bool copy_whole_ = false;
};

}  // namespace yk

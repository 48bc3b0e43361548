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

  // A copy of the whole text is taken now and will be written: the edits
  // from here on are kept against it as well, so that once it is on disk
  // (CommitCopy) it becomes the base without a second look at the text.
  void BeginCopy();
  void CommitCopy(TTrackedBase base);
  void AbandonCopy() { copying_ = false; }

 private:
  void Replaced(const TRowsReplaced& change);

  TEditorScreenStrings& rows_;
  TTrackedBase base_;
  TTextChangeMap map_;
  bool valid_ = false;
  TTextChangeMap copy_map_;
  bool copying_ = false;
  bool copy_valid_ = false;
};

}  // namespace yk

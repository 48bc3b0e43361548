// The recovery snapshot of one window's document: when to keep only the
// changed runs and when the whole text, the writes done on a thread of
// their own so that typing never waits for the disk, and the files of the
// window's snapshot, which no other window touches while it runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "shell/recovery_record.h"
#include "shell/recovery_tracker.h"

namespace yk {

// What a snapshot says of the document besides its text (its line ends
// come from the rows).
struct TRecoveryDocument {
  std::string path;  // empty: untitled
  TTextFormat format;
  std::string mappedChars;  // its table of mapped characters as text; empty: none
};

class TRecoveryKeeper {
 public:
  // Runs runs that much text of changes into the snapshot itself; beyond
  // it the whole text goes into a copy once and later snapshots count
  // against that copy.
  static constexpr std::int64_t kInlineLimit = 1 << 20;
  // A copy is taken this much at a time, between the window's events.
  static constexpr std::int64_t kCopySlice = 1 << 20;

  // Runs a function on the keeper's own thread (the window's event loop):
  // the end of a background write comes back through it.
  using TPost = std::function<void(std::function<void()>)>;

  // folder: made when the first snapshot is written (PrepareRecoveryFolder
  // of settingsPath); token: RecoveryWindowToken of this window.
  TRecoveryKeeper(TEditorScreenStrings& rows, std::string settingsPath, std::string token, TPost post);
  // Waits for a write under way. The snapshot on disk stays, free for the
  // next start to offer.
  ~TRecoveryKeeper();
  TRecoveryKeeper(const TRecoveryKeeper&) = delete;
  TRecoveryKeeper& operator=(const TRecoveryKeeper&) = delete;

  // The text is the file at path now (just loaded or saved): later
  // snapshots count against it. An unreadable file leaves no base. Drops
  // this window's snapshot, which was of the text before.
  void DocumentIsFile(const std::string& path);
  // The text is empty and has no file (a new document).
  void DocumentIsEmpty();
  // The text is known only as a whole from now on (after a save that does
  // not read back the same, say); drops this window's snapshot.
  void Forget();
  // The text is the copy at path, a snapshot's base that this window takes
  // over under a name of its own; without it only the whole text serves.
  void AdoptCopy(const std::string& path, const TFileIdentity& identity);

  // Writes a snapshot of the text now. In the background unless wait;
  // false when it cannot (the folder cannot be made, a write is still
  // under way and wait is false, the disk refused with wait).
  bool Write(const TRecoveryDocument& document, bool wait);
  // Removes this window's snapshot and its copy, after a write under way.
  void Drop();
  // A copy is being taken, or a write is under way.
  bool Busy() const { return static_cast<bool>(job_) || tracker_.Copying(); }
  // Until the snapshot being made is on disk (a copy is finished first).
  void Wait();
  // The window closed: its snapshot, if one is on disk, is left for the
  // next start to offer (even while this process goes on), and nothing is
  // written any more.
  void Release();

  // This window's snapshot on disk, empty when there is none.
  const std::string& SnapshotPath() const { return snapshot_; }
  // The size of the last snapshot written, and whether a copy of the whole
  // text came with it.
  std::size_t LastBytes() const { return last_bytes_; }
  bool LastWroteCopy() const { return last_copy_; }
  const TRecoveryTracker& Tracker() const { return tracker_; }

 private:
  struct TJob;
  // The writer's part, on its own thread: nothing of the window is touched.
  static void Perform(TJob& job);
  std::string SnapshotNameFor(const TRecoveryDocument& document) const;
  TRecoveryRecord RecordHead(const TRecoveryDocument& document) const;
  void ContinueCopy(bool wait);
  void StopCopy();
  bool BaseStillHolds();
  void Run(std::shared_ptr<TJob> job, bool wait);
  void Finish(const std::shared_ptr<TJob>& job);
  void RemoveFiles();

  TEditorScreenStrings& rows_;
  TRecoveryTracker tracker_;
  std::string settings_path_;
  std::string folder_;
  std::string token_;
  TPost post_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::shared_ptr<TJob> job_;  // the write under way
  std::string snapshot_;       // the window's snapshot on disk
  int lock_fd_ = -1;           // holds it locked while the window runs
  std::string copy_;           // the copy it counts against, if any
  std::string copy_text_;      // the copy being taken
  TRecoveryDocument copy_document_;
  std::uint64_t copy_generation_ = 0;
  std::size_t last_bytes_ = 0;
  bool last_copy_ = false;
  bool released_ = false;
};

}  // namespace yk

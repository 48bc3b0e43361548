// One window's recovery snapshot: what goes into it, and its writes.
#include "shell/recovery_keeper.h"

#include <unistd.h>

#include <chrono>
#include <system_error>

#include "shell/file_names.h"
#include "shell/recovery.h"

namespace yk {

struct TRecoveryKeeper::TJob {
  std::string recordPath;
  TRecoveryRecord record;   // encoded by the writer once its copy's identity is known
  std::string recordBytes;  // encoded already when there is no copy
  std::string copyPath;     // written before the record, when not empty
  std::string copyText;
  std::string oldCopyPath;  // removed once the record no longer names it
  std::thread thread;
  bool finished = false;
  // Results.
  bool ok = false;
  int fd = -1;
  TFileIdentity copyIdentity;
};

namespace {

std::int64_t NowMs() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

}  // namespace

TRecoveryKeeper::TRecoveryKeeper(TEditorScreenStrings& rows, std::string settingsPath, std::string token, TPost post)
    : rows_(rows),
      tracker_(rows),
      settings_path_(std::move(settingsPath)),
      token_(std::move(token)),
      post_(std::move(post)) {}

TRecoveryKeeper::~TRecoveryKeeper() {
  *alive_ = false;
  StopCopy();
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

// --- the base ------------------------------------------------------------------

void TRecoveryKeeper::DocumentIsFile(const std::string& path) {
  Drop();
  if (const std::optional<TFileIdentity> id = IdentifyFile(path))
    tracker_.Rebase({TRecoveryBase::Document, path, *id});
  else
    tracker_.Invalidate();
}

void TRecoveryKeeper::DocumentIsEmpty() {
  Drop();
  if (TextLength(rows_) == 0)
    tracker_.Rebase({});
  else
    tracker_.Invalidate();
}

void TRecoveryKeeper::Forget() {
  Drop();
  tracker_.Invalidate();
}

void TRecoveryKeeper::AdoptCopy(const std::string& path, const TFileIdentity& identity) {
  Drop();
  tracker_.Invalidate();
  try {
    folder_ = PrepareRecoveryFolder(settings_path_);
  } catch (const std::exception&) {
    return;
  }
  const std::string own = RecoveryCopyFileName(folder_, token_, ++copy_generation_);
  if (::rename(path.c_str(), own.c_str()) != 0) return;
  copy_ = own;
  tracker_.Rebase({TRecoveryBase::Copy, own, identity});
}

// The base's file must still be what the text was counted against: a file
// written over by another program has lost the bytes between the runs.
bool TRecoveryKeeper::BaseStillHolds() {
  if (!tracker_.Valid()) return false;
  const TTrackedBase& base = tracker_.Base();
  if (base.kind == TRecoveryBase::Empty) return true;
  const std::optional<TFileIdentity> now = IdentifyFile(base.path, false);
  if (now && now->SameStatus(base.identity)) return true;
  tracker_.Invalidate();
  return false;
}

// --- writing -------------------------------------------------------------------

std::string TRecoveryKeeper::SnapshotNameFor(const TRecoveryDocument& document) const {
  if (document.path.empty()) return folder_ + '/' + std::string(kUntitledRecoveryPrefix) + token_;
  return RecoveryFileName(folder_, document.path, token_);
}

// The parts of a record that say what the document is.
TRecoveryRecord TRecoveryKeeper::RecordHead(const TRecoveryDocument& document) const {
  TRecoveryRecord r;
  r.documentPath = document.path;
  r.window = token_;
  r.writtenMs = NowMs();
  r.format = document.format;
  // Each line keeps its own line end; a uniform document lists none.
  r.lineEnd = rows_.LineEnds();
  r.otherEnds = rows_.OtherLineEnds(0, rows_.GetCount());
  r.mappedChars = document.mappedChars;
  r.eofMark = rows_.EofMark();
  r.length = TextLength(rows_);
  return r;
}

bool TRecoveryKeeper::Write(const TRecoveryDocument& document, bool wait) {
  if (released_) return false;
  if (Busy()) {
    if (!wait) return false;
    Wait();
  }
  auto job = std::make_shared<TJob>();
  try {
    folder_ = PrepareRecoveryFolder(settings_path_);
    job->recordPath = SnapshotNameFor(document);
    job->record = RecordHead(document);
    TRecoveryRecord& r = job->record;
    if (BaseStillHolds() && tracker_.Map().ChangedBytes() <= kInlineLimit) {
      const TTrackedBase& base = tracker_.Base();
      r.baseKind = base.kind;
      r.basePath = base.kind == TRecoveryBase::Copy ? NameOf(base.path) : base.path;
      r.baseIdentity = base.identity;
      r.baseLength = tracker_.Map().BaseLength();
      r.runs = tracker_.Runs();
    } else if (r.length <= kInlineLimit) {
      if (r.length > 0) r.runs.push_back({0, 0, TextRange(rows_, 0, r.length)});
    } else {
      // The whole text goes into a copy, taken a slice at a time between
      // edits; until it is written, the snapshot on disk stays as it was.
      copy_document_ = document;
      tracker_.BeginCopy();
      copy_text_.clear();
      copy_text_.reserve(static_cast<std::size_t>(r.length));
      ContinueCopy(wait);
      return !wait || (last_copy_ && !Busy());
    }
    job->recordBytes = EncodeRecoveryRecord(r);
  } catch (const std::exception&) {
    return false;
  }
  Run(job, wait);
  return !wait || job->ok;
}

// Takes slices of the copy: one per turn of the window's event loop, or
// all at once when the caller waits (the end of the process).
void TRecoveryKeeper::ContinueCopy(bool wait) {
  last_copy_ = false;
  while (tracker_.Copying() && !tracker_.CopyWhole()) {
    copy_text_ += tracker_.CopySlice(kCopySlice);
    if (!wait && post_ && !tracker_.CopyWhole()) {
      post_([this, alive = alive_] {
        if (*alive && tracker_.Copying()) ContinueCopy(false);
      });
      return;
    }
  }
  if (!tracker_.Copying()) {  // given up meanwhile (a new base, a drop)
    std::string().swap(copy_text_);
    return;
  }
  if (!tracker_.CopyValid()) {
    tracker_.AbandonCopy();
    std::string().swap(copy_text_);
    return;
  }
  auto job = std::make_shared<TJob>();
  try {
    job->recordPath = SnapshotNameFor(copy_document_);
    job->record = RecordHead(copy_document_);
    job->copyPath = RecoveryCopyFileName(folder_, token_, ++copy_generation_);
    job->oldCopyPath = copy_;
    TRecoveryRecord& r = job->record;
    r.baseKind = TRecoveryBase::Copy;
    r.basePath = NameOf(job->copyPath);
    r.baseLength = tracker_.CopyLength();
    r.runs = tracker_.CopyRuns();  // the edits made while it was taken
    job->copyText = std::move(copy_text_);
    copy_text_.clear();
  } catch (const std::exception&) {
    tracker_.AbandonCopy();
    return;
  }
  Run(job, wait);
}

void TRecoveryKeeper::Run(std::shared_ptr<TJob> job, bool wait) {
  job_ = job;
  if (!wait && post_) {
    try {
      job->thread = std::thread([job, alive = alive_, post = post_, this] {
        Perform(*job);
        post([job, alive, this] {
          if (*alive) Finish(job);
        });
      });
      return;
    } catch (const std::system_error&) {
      // No thread to be had: written here.
    }
  }
  Perform(*job);
  Finish(job);
}

void TRecoveryKeeper::Finish(const std::shared_ptr<TJob>& job) {
  if (job->finished) return;
  job->finished = true;
  if (job->thread.joinable()) job->thread.join();
  if (job_ == job) job_.reset();
  if (!job->ok) {
    if (!job->copyPath.empty()) tracker_.AbandonCopy();
    return;
  }
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = job->fd;
  // The document got another name since the last snapshot.
  if (!snapshot_.empty() && snapshot_ != job->recordPath) ::unlink(snapshot_.c_str());
  snapshot_ = job->recordPath;
  last_bytes_ = job->recordBytes.size();
  last_copy_ = !job->copyPath.empty();
  if (last_copy_) {
    copy_ = job->copyPath;
    tracker_.CommitCopy({TRecoveryBase::Copy, copy_, job->copyIdentity});
  }
}

void TRecoveryKeeper::Wait() {
  if (tracker_.Copying() && !job_) ContinueCopy(true);
  if (const std::shared_ptr<TJob> job = job_) Finish(job);
}

// A copy still being taken is given up; a write under way is waited for.
void TRecoveryKeeper::StopCopy() {
  if (tracker_.Copying() && !job_) tracker_.AbandonCopy();
  std::string().swap(copy_text_);
  if (const std::shared_ptr<TJob> job = job_) Finish(job);
}

void TRecoveryKeeper::Release() {
  released_ = true;
  StopCopy();
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
  snapshot_.clear();
  copy_.clear();
  tracker_.Invalidate();
}

void TRecoveryKeeper::Drop() {
  StopCopy();
  RemoveFiles();
}

void TRecoveryKeeper::RemoveFiles() {
  if (!snapshot_.empty()) ::unlink(snapshot_.c_str());
  snapshot_.clear();
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
  if (!copy_.empty()) ::unlink(copy_.c_str());
  copy_.clear();
  if (tracker_.Base().kind == TRecoveryBase::Copy) tracker_.Invalidate();
}

void TRecoveryKeeper::Perform(TJob& job) {
  try {
    if (!job.copyPath.empty()) {
      WritePrivateFile(job.copyPath, job.copyText, false);
      const std::optional<TFileIdentity> id = IdentifyFile(job.copyPath, false);
      if (!id) throw EFileError("Cannot read " + job.copyPath);
      job.copyIdentity = *id;
      job.copyIdentity.sample = SampleHash(job.copyText);
      std::string().swap(job.copyText);
      job.record.baseIdentity = job.copyIdentity;
      job.recordBytes = EncodeRecoveryRecord(job.record);
    }
    job.fd = WritePrivateFile(job.recordPath, job.recordBytes, true);
    // The record on disk names the new copy now.
    if (!job.oldCopyPath.empty()) ::unlink(job.oldCopyPath.c_str());
    job.ok = true;
  } catch (const std::exception&) {
    // The snapshot on disk is the last one written, with its own copy.
    if (!job.copyPath.empty()) ::unlink(job.copyPath.c_str());
    job.ok = false;
  }
}

}  // namespace yk

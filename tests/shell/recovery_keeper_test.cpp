// One window's recovery snapshot on disk: written on a thread of its own
// and finished on the window's, locked while the window runs and free for
// others once it has gone (also when it goes in the middle of a write).
#include "shell/recovery_keeper.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "shell/recovery.h"
#include "shell/version_history.h"
#include "temp_dir.h"
#include "text/fake_editor.h"

namespace yk {
namespace {

using test::FakeEditor;

// The window's event loop: what the writer posts waits here until run.
class TEventQueue {
 public:
  TRecoveryKeeper::TPost Post() {
    return [this](std::function<void()> f) {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(f));
    };
  }
  // Waits (a bounded time) for something posted and runs all of it.
  bool RunPosted() {
    for (int i = 0; i < 2000; ++i) {
      std::deque<std::function<void()>> ready;
      {
        std::lock_guard lock(mutex_);
        ready.swap(queue_);
      }
      if (!ready.empty()) {
        for (auto& f : ready) f();
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

class RecoveryKeeperTest : public ::testing::Test {
 protected:
  std::string Settings() const { return dir.File("Yomikaki.ini"); }
  std::unique_ptr<TRecoveryKeeper> MakeKeeper(const std::string& token) {
    auto keeper = std::make_unique<TRecoveryKeeper>(doc.Rows(), Settings(), token, events.Post());
    keeper->DocumentIsEmpty();
    return keeper;
  }
  test::TTempDir dir;
  FakeEditor doc;
  TEventQueue events;
  const TRecoveryDocument untitled{};
};

TEST_F(RecoveryKeeperTest, WritesOnItsOwnThreadAndFinishesOnTheWindows) {
  auto keeper = MakeKeeper("0000000000000001-1");
  doc.Rows().ReplaceRows(0, 0, "typed\r\n");
  ASSERT_TRUE(keeper->Write(untitled, false));
  EXPECT_TRUE(keeper->Busy());
  EXPECT_FALSE(keeper->Write(untitled, false));  // one write at a time
  ASSERT_TRUE(events.RunPosted());
  EXPECT_FALSE(keeper->Busy());
  const std::string snapshot = keeper->SnapshotPath();
  ASSERT_FALSE(snapshot.empty());
  struct stat st{};
  ASSERT_EQ(::stat(snapshot.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  const TRecoveryRecord record = DecodeRecoveryRecord(test::Slurp(snapshot));
  EXPECT_EQ(record.runs, (std::vector<TRecoveryRun>{{0, 0, "typed\r\n"}}));
  // Held by its running window: nobody else claims it.
  EXPECT_FALSE(TClaimedSnapshot::Claim(snapshot));
  keeper->Drop();
  EXPECT_FALSE(std::filesystem::exists(snapshot));
  EXPECT_EQ(keeper->SnapshotPath(), "");
}

TEST_F(RecoveryKeeperTest, AWindowThatEndsDuringAWriteLeavesItsSnapshotForTheNextStart) {
  doc.Rows().ReplaceRows(0, 0, "kept\r\n");
  std::string snapshot;
  {
    auto keeper = MakeKeeper("0000000000000002-1");
    ASSERT_TRUE(keeper->Write(untitled, true));
    snapshot = keeper->SnapshotPath();
    doc.Rows().ReplaceRows(0, 0, "more ");
    ASSERT_TRUE(keeper->Write(untitled, false));
  }  // gone with the write under way: it is waited for
  events.RunPosted();  // the write's end arrives after the keeper: ignored
  std::optional<TClaimedSnapshot> claim = TClaimedSnapshot::Claim(snapshot);
  ASSERT_TRUE(claim);
  EXPECT_EQ(DecodeRecoveryRecord(claim->Read()).runs[0].text, "more kept\r\n");
  EXPECT_FALSE(TClaimedSnapshot::Claim(snapshot));  // one claim at a time
  claim->Remove();
  EXPECT_FALSE(std::filesystem::exists(snapshot));
}

TEST_F(RecoveryKeeperTest, TwoWindowsWriteTwoSnapshotsAndAClosedOneWritesNoMore) {
  FakeEditor other;  // the same document in a second window
  auto a = MakeKeeper("0000000000000003-1");
  auto b = std::make_unique<TRecoveryKeeper>(other.Rows(), Settings(), "0000000000000004-2", events.Post());
  b->DocumentIsEmpty();
  const TRecoveryDocument named{dir.File("doc.txt"), {}, {}};
  test::Spit(named.path, "");
  doc.Rows().ReplaceRows(0, 0, "x");
  other.Rows().ReplaceRows(0, 0, "y");
  ASSERT_TRUE(a->Write(named, true));
  ASSERT_TRUE(b->Write(named, true));
  EXPECT_NE(a->SnapshotPath(), b->SnapshotPath());
  EXPECT_EQ(RecoveryFilesOf(VersionFolder(Settings()), named.path),
            (std::vector<std::string>{b->SnapshotPath(), a->SnapshotPath()}));  // newest window first
  const std::string left = a->SnapshotPath();
  a->Release();
  EXPECT_FALSE(a->Write(named, true));
  EXPECT_TRUE(TClaimedSnapshot::Claim(left));
  EXPECT_FALSE(TClaimedSnapshot::Claim(b->SnapshotPath()));
}

}  // namespace
}  // namespace yk

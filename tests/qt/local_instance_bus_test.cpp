// The instance bus over real local sockets: peers in a thread of their own
// (each with its event loop) answer a bus in the test's thread, in a
// scratch folder; stale, hung, garbled and foreign peers are survived.
#include "qt/local_instance_bus.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "qt/bus_peers.h"
#include "temp_dir.h"

using namespace yk;
using yk::test::PeerThread;
using yk::test::RecordingHandler;

namespace {

std::vector<std::string> Ids(const std::vector<TPeerInfo>& peers) {
  std::vector<std::string> ids;
  for (const TPeerInfo& p : peers) ids.push_back(p.id);
  return ids;
}

// A socket file bound at path; listening (never accepting) or, with
// listening off, closed again at once so nothing answers on it.
int BindSocket(const std::string& path, bool listening) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0) << path;
  if (listening) {
    EXPECT_EQ(::listen(fd, 8), 0);
    return fd;
  }
  ::close(fd);
  return -1;
}

struct RawResult {
  std::string bytes;
  bool closed = false;  // the other side closed the connection
};

// Sends bytes over a plain connection and collects what comes back until
// the other side closes it or nothing more comes for wait ms.
RawResult RawExchange(const std::string& path, const std::string& bytes, int waitMs = 3000) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  RawResult result;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return result;
  }
  if (!bytes.empty()) (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  for (pollfd p{fd, POLLIN, 0}; ::poll(&p, 1, waitMs) > 0;) {
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) {
      result.closed = true;
      break;
    }
    result.bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return result;
}

std::string Frame(std::string_view body) {
  std::string frame(4, '\0');
  for (int i = 0; i < 4; ++i) frame[static_cast<std::size_t>(i)] = static_cast<char>((body.size() >> (8 * i)) & 0xFF);
  return frame + std::string(body);
}

class LocalInstanceBusTest : public ::testing::Test {
 protected:
  std::string Folder() const { return dir_.File("bus"); }
  std::string PathOf(const std::string& id) const { return Folder() + "/" + id; }
  static std::string OwnId(int index) { return std::to_string(::getpid()) + "-" + std::to_string(index) + ".sock"; }

  test::TTempDir dir_;
};

}  // namespace

TEST_F(LocalInstanceBusTest, PeersAnswerMostRecentlyActivatedFirstAndCommandsArriveInOrder) {
  PeerThread peers;
  RecordingHandler a("/d/a.txt - Yomikaki", 300), b("/d/\x95\x5c.txt * - Yomikaki", 500), c("/d/c - Yomikaki", 100);  // 表.txt
  const std::string idA = peers.Add(Folder(), a), idB = peers.Add(Folder(), b), idC = peers.Add(Folder(), c);
  ASSERT_FALSE(idA.empty());
  TLocalInstanceBus bus(Folder());
  EXPECT_EQ(bus.Error(), "");
  EXPECT_EQ(Ids(bus.Peers()), (std::vector<std::string>{idB, idA, idC}));  // not listening: itself not listed
  RecordingHandler self("\x96\xb3\x91\xe8 - Yomikaki", 400);  // 無題
  ASSERT_TRUE(bus.Listen(self));
  EXPECT_EQ(std::filesystem::status(PathOf(bus.SelfId())).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  const std::vector<TPeerInfo> listed = bus.Peers();
  ASSERT_EQ(Ids(listed), (std::vector<std::string>{idB, bus.SelfId(), idA, idC}));
  EXPECT_EQ(listed[0], (TPeerInfo{idB, "TMainForm", "/d/\x95\x5c.txt * - Yomikaki", 500, ::getpid()}));
  EXPECT_EQ(listed[1].title, "\x96\xb3\x91\xe8 - Yomikaki");

  // The hand-over: each message answered before the next is sent.
  const std::vector<TBusCommand> handOver = {
      TBusCommand::System(bcRestore),      TBusCommand::System(bcActivate), TBusCommand::User(UM_SETLINE, 120),
      TBusCommand::User(UM_GOTOLINE, 0),   TBusCommand::User(UM_SETSELLENGTH, 6),
      TBusCommand::User(UM_SETCOLUMN, 4),
  };
  for (const TBusCommand& command : handOver) EXPECT_TRUE(bus.Send(idA, command));
  EXPECT_EQ(a.Received(), handOver);
  EXPECT_TRUE(bus.Send(idC, TBusCommand::Geometry({-1280, 0, 0, 512})));
  EXPECT_TRUE(bus.Send(bus.SelfId(), TBusCommand::System(bcMinimize)));  // to itself: no socket involved
  EXPECT_EQ(c.Received(), (std::vector<TBusCommand>{TBusCommand::Geometry({-1280, 0, 0, 512})}));
  EXPECT_EQ(self.Received(), (std::vector<TBusCommand>{TBusCommand::System(bcMinimize)}));
  EXPECT_TRUE(b.Received().empty());

  // A window that closes takes its socket with it.
  peers.Remove(idB);
  EXPECT_FALSE(std::filesystem::exists(PathOf(idB)));
  EXPECT_FALSE(bus.Send(idB, TBusCommand::System(bcRestore)));
  EXPECT_EQ(Ids(bus.Peers()), (std::vector<std::string>{bus.SelfId(), idA, idC}));
  // Names that are not the bus's own are never opened.
  for (std::string id : {"", "../x-1.sock", "a-1.sock", "1-1.socket", "1-.sock"}) EXPECT_FALSE(bus.Send(id, {}));
}

TEST_F(LocalInstanceBusTest, SocketsOfDeadProcessesAreRemovedAndOtherFilesLeftAlone) {
  PeerThread peers;
  RecordingHandler a("a - Yomikaki", 1);
  TLocalInstanceBus bus(Folder());
  const std::string idA = peers.Add(Folder(), a);
  BindSocket(PathOf("999999999-0.sock"), false);  // no such process
  BindSocket(PathOf(OwnId(777)), false);          // a live process whose window is not up yet
  test::Spit(PathOf("notes.txt"), "x");
  test::Spit(PathOf("12-3.sock"), "not a socket");
  EXPECT_EQ(Ids(bus.Peers()), (std::vector<std::string>{idA}));
  EXPECT_FALSE(std::filesystem::exists(PathOf("999999999-0.sock")));
  for (std::string kept : {OwnId(777), std::string("notes.txt"), std::string("12-3.sock")})
    EXPECT_TRUE(std::filesystem::exists(PathOf(kept))) << kept;
  EXPECT_FALSE(bus.Send(OwnId(777), TBusCommand::System(bcRestore)));
  EXPECT_FALSE(bus.Send("12-3.sock", TBusCommand::System(bcRestore)));
}

TEST_F(LocalInstanceBusTest, HungPeersCostOneTimeoutInAll) {
  PeerThread peers;
  RecordingHandler a("a - Yomikaki", 1);
  const std::string idA = peers.Add(Folder(), a);
  TLocalInstanceBus bus(Folder(), 1000);
  // Accept connections (the system does that for them) but never answer.
  std::vector<int> hung;
  for (int i = 0; i < 3; ++i) hung.push_back(BindSocket(PathOf(OwnId(900 + i)), true));
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(Ids(bus.Peers()), (std::vector<std::string>{idA}));
  EXPECT_LT(timer.elapsed(), 2500);  // three hung peers, waited for together
  timer.restart();
  EXPECT_FALSE(bus.Send(OwnId(900), TBusCommand::System(bcRestore)));
  EXPECT_LT(timer.elapsed(), 2500);
  EXPECT_TRUE(bus.Send(idA, TBusCommand::System(bcRestore)));  // the rest still works
  for (int fd : hung) ::close(fd);
}

TEST_F(LocalInstanceBusTest, PeersThatAnswerGarbageAreLeftOut) {
  TLocalInstanceBus bus(Folder(), 1000);
  const int fd = BindSocket(PathOf(OwnId(950)), true);
  std::thread server([fd] {
    for (int i = 0; i < 2; ++i) {  // one Peers, one Send
      const int c = ::accept(fd, nullptr, nullptr);
      char buffer[64];
      (void)!::read(c, buffer, sizeof buffer);
      const std::string garbage = Frame("\x01\x03\x00");  // an info answer without a class name
      (void)!::write(c, garbage.data(), garbage.size());
      ::close(c);
    }
  });
  EXPECT_TRUE(bus.Peers().empty());
  EXPECT_FALSE(bus.Send(OwnId(950), TBusCommand::System(bcRestore)));
  server.join();
  ::close(fd);
}

TEST_F(LocalInstanceBusTest, MalformedOversizedAndSilentRequestsAreDroppedUnanswered) {
  PeerThread peers;
  RecordingHandler a("a - Yomikaki", 1);
  const std::string path = PathOf(peers.Add(Folder(), a, 500));
  const std::string restore = EncodeBusMessage({bmCommand, TBusCommand::System(bcRestore), {}, 0});
  const struct {
    const char* what;
    std::string bytes;
  } dropped[] = {
      {"oversized", std::string("\x00\x00\x10\x00", 4) + std::string(4096, 'x')},
      {"other version", Frame("\x02\x02\x01")},
      {"unknown command", Frame("\x01\x02\x09")},
      {"an answer sent as a request", Frame(std::string("\x01\x04\0\0\0\0", 6))},
      {"garbage after a good request", restore + Frame("\x01\x02")},
      {"silence", ""},
  };
  for (const auto& d : dropped) {
    const RawResult r = RawExchange(path, d.bytes);
    EXPECT_TRUE(r.closed) << d.what;
    if (std::string(d.what) == "garbage after a good request") {
      EXPECT_EQ(r.bytes, EncodeBusMessage({bmCommandReply, {}, {}, 0}));  // the good one was answered
    } else {
      EXPECT_EQ(r.bytes, "") << d.what;
    }
  }
  EXPECT_EQ(a.Received(), (std::vector<TBusCommand>{TBusCommand::System(bcRestore)}));
  // Two requests in one connection are both answered, in order.
  const RawResult two = RawExchange(path, restore + EncodeBusMessage({bmInfoRequest, {}, {}, 0}), 300);
  TBusFrameReader reader;
  reader.Feed(two.bytes);
  EXPECT_EQ(reader.Next()->type, bmCommandReply);
  EXPECT_EQ(reader.Next()->info.title, "a - Yomikaki");
}

TEST_F(LocalInstanceBusTest, UnsafeFoldersAreRefused) {
  EXPECT_EQ(PrepareBusFolder(Folder()), "");  // created when missing, private
  EXPECT_EQ(std::filesystem::status(Folder()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
  EXPECT_EQ(PrepareBusFolder(Folder()), "");  // and reused
  const std::string open = dir_.File("open"), link = dir_.File("link"), file = dir_.File("file");
  ::mkdir(open.c_str(), 0700);
  ::chmod(open.c_str(), 0750);
  std::filesystem::create_directory_symlink(Folder(), link);
  test::Spit(file, "");
  EXPECT_EQ(PrepareBusFolder(open), open + " is open to other users");
  EXPECT_EQ(PrepareBusFolder(link), link + " is a symbolic link");
  EXPECT_EQ(PrepareBusFolder(file), file + " is not a folder");
  EXPECT_NE(PrepareBusFolder(dir_.File("missing/bus")), "");
  if (::geteuid() == 0) {  // only root can give a folder away
    const std::string foreign = dir_.File("foreign");
    ::mkdir(foreign.c_str(), 0700);
    ASSERT_EQ(::chown(foreign.c_str(), 12345, 12345), 0);
    EXPECT_EQ(PrepareBusFolder(foreign), foreign + " belongs to another user");
  }
  // A bus on such a folder works alone: no peers, no listening, no sending.
  TLocalInstanceBus bus(link);
  RecordingHandler self("s - Yomikaki", 1);
  EXPECT_NE(bus.Error(), "");
  EXPECT_FALSE(bus.Listen(self));
  EXPECT_TRUE(bus.Peers().empty());
  EXPECT_FALSE(bus.Send(OwnId(0), TBusCommand::System(bcRestore)));
}

TEST_F(LocalInstanceBusTest, SocketsOfAnotherUserAreNeverUsed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a socket to another user";
  PeerThread peers;
  RecordingHandler a("a - Yomikaki", 1);
  const std::string idA = peers.Add(Folder(), a);
  ASSERT_EQ(::lchown(PathOf(idA).c_str(), 12345, 12345), 0);
  TLocalInstanceBus bus(Folder());
  EXPECT_TRUE(bus.Peers().empty());
  EXPECT_FALSE(bus.Send(idA, TBusCommand::System(bcRestore)));
  EXPECT_TRUE(a.Received().empty());
  EXPECT_TRUE(std::filesystem::exists(PathOf(idA)));  // not ours to remove either
}

TEST(LocalInstanceBusFolder, DefaultFolderFollowsTheRuntimeDirectory) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string savedValue = saved ? saved : "";
  const std::string temp = std::filesystem::temp_directory_path().string();
  const std::string perUser = temp + "/yomikaki-" + std::to_string(::geteuid());
  ::setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
  EXPECT_EQ(DefaultBusFolder(), "/run/user/7/yomikaki");
  ::setenv("XDG_RUNTIME_DIR", "relative/dir", 1);
  EXPECT_EQ(DefaultBusFolder(), perUser);
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(DefaultBusFolder(), perUser);
  if (saved) ::setenv("XDG_RUNTIME_DIR", savedValue.c_str(), 1);
}

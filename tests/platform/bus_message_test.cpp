// The instance bus's frames: what is written reads back the same, and every
// kind of malformed message is refused with a reason.
#include "platform/bus_message.h"

#include <gtest/gtest.h>

#include <vector>

using namespace yk;

namespace {

TBusMessage Command(const TBusCommand& c) { return {bmCommand, c, {}, 0}; }

TBusMessage InfoReply(std::string className, std::string title, std::int64_t activated, std::int64_t pid,
                      std::uint64_t device = 0, std::uint64_t inode = 0) {
  TBusMessage m{bmInfoReply, {}, {}, 0};
  m.info = {"", std::move(className), std::move(title), activated, pid, device, inode};
  return m;
}

std::string Body(const TBusMessage& m) { return EncodeBusMessage(m).substr(4); }

// The reason a body is refused, or "" when it is accepted.
std::string Refusal(std::string_view body) {
  try {
    DecodeBusMessage(body);
    return "";
  } catch (const EBusMessageError& e) {
    return e.what();
  }
}

}  // namespace

TEST(BusMessage, EveryKindOfMessageReadsBackTheSame) {
  const std::vector<TBusMessage> messages = {
      {bmInfoRequest, {}, {}, 0},
      Command(TBusCommand::System(bcRestore)),
      Command(TBusCommand::System(bcMinimize)),
      Command(TBusCommand::System(bcClose)),
      Command(TBusCommand::System(bcActivate)),
      Command(TBusCommand::Activate("kwin-3f2a9c_TIME1733650000")),
      Command(TBusCommand::Activate(std::string(kMaxBusToken, '~'))),
      Command(TBusCommand::User(UM_SETLINE, 120)),
      Command(TBusCommand::User(UM_SETCOLUMN, -1)),
      Command(TBusCommand::User(UM_SETSELLENGTH, 0x7FFFFFFF)),
      Command(TBusCommand::User(UM_GOTOLINE, 0)),
      Command(TBusCommand::Geometry({-1920, 0, 0, 1080})),
      InfoReply("TMainForm", "/home/u/\x95\x5c.txt * - Yomikaki", 1733650000123, 4242),  // 表.txt
      InfoReply("X", "", 0, 1),
      InfoReply("TMainForm", std::string(kMaxBusTitle, '\xff'), INT64_MAX, 0x7FFFFFFF),
      InfoReply("TMainForm", "/d/a.txt - Yomikaki", 1, 2, 0xFD01, 0x1234567890ABCDEFull),
      InfoReply("TMainForm", "/d/a.txt - Yomikaki", 1, 2, 0, 1),  // device 0 is a device
      {bmCommandReply, {}, {}, -5},
  };
  for (const TBusMessage& m : messages) {
    const std::string frame = EncodeBusMessage(m);
    ASSERT_GE(frame.size(), 6u);
    EXPECT_EQ(static_cast<unsigned char>(frame[0]) | static_cast<unsigned char>(frame[1]) << 8, frame.size() - 4);
    EXPECT_EQ(frame[4], kBusVersion);
    EXPECT_EQ(DecodeBusMessage(frame.substr(4)), m) << int{m.type};
  }
  // The layout others may rely on, spelled out once.
  EXPECT_EQ(EncodeBusMessage(Command(TBusCommand::User(UM_SETCOLUMN, -1))),
            std::string("\x09\0\0\0\x01\x02\x06\x65\x04\xff\xff\xff\xff", 13));
  // Activation with a token, and without one as every older build sends it.
  EXPECT_EQ(EncodeBusMessage(Command(TBusCommand::Activate("ab"))), std::string("\x07\0\0\0\x01\x02\x04\x02\0ab", 11));
  EXPECT_EQ(DecodeBusMessage(std::string("\x01\x02\x04", 3)), Command(TBusCommand::Activate("")));
}

TEST(BusMessage, MalformedBodiesAreRefusedWithAReason) {
  const std::string info = Body(InfoReply("TMainForm", "a - Yomikaki", 5, 7));
  std::string badClass = info;
  badClass[3] = '\n';  // a control character in the class name
  std::string nulTitle = info;
  nulTitle[2 + 1 + 9 + 2] = '\0';
  std::string longTitle = Body(InfoReply("C", "", 0, 1));
  longTitle.replace(4, 2, "\xff\xff");
  const std::string setLine = Body(Command(TBusCommand::User(UM_SETLINE, 1)));
  const std::string geometry = Body(Command(TBusCommand::Geometry({0, 0, 10, 10})));
  auto patched = [](std::string s, std::size_t at, std::string_view bytes) { return s.replace(at, bytes.size(), bytes); };
  const std::string activate = Body(Command(TBusCommand::Activate("token-123")));
  std::string longToken = "\x01\x02\x04\x01\x04" + std::string(kMaxBusToken + 1, 'a');  // 1025 bytes

  const struct {
    std::string body;
    std::string reason;
  } cases[] = {
      {"", "message cut short in the version"},
      {"\x01", "message cut short in the type"},
      {std::string("\x02\x01", 2), "unsupported version 2"},
      {std::string("\x01\x09", 2), "unknown message type"},
      {std::string("\x01\x02\x07", 3), "unknown command"},
      {std::string("\x01\x02\x00", 3), "unknown command"},
      {"\x01\x02\xe2\x08\x01", "unknown command"},
      {patched(setLine, 3, "\x63\x04"), "unknown user message"},      // 0x463
      {patched(setLine, 3, "\x68\x04"), "unknown user message"},      // 0x468
      {setLine.substr(0, setLine.size() - 1), "message cut short in the wParam"},
      {setLine + "x", "bytes after the end of the message"},
      {std::string("\x01\x01\x00", 3), "bytes after the end of the message"},
      {patched(geometry, 11, std::string("\0\0\0\0", 4)), "window frame of no or impossible size"},  // right = left
      {patched(geometry, 3, std::string("\0\0\0\x80", 4)), "window frame out of range"},  // left = INT32_MIN
      {info.substr(0, 5), "message cut short in the class name"},
      {patched(info, 2, std::string(1, '\0')), "class name of bad length"},
      {badClass, "class name with a character that is not printable ASCII"},
      {nulTitle, "title with a NUL byte"},
      {longTitle, "message cut short in the title"},
      {patched(info, info.size() - 1, "\x80"), "process id out of range"},
      {patched(info, info.size() - 8, std::string("\0\0\0\0\0\0\0\0", 8)), "process id out of range"},
      {patched(info, info.size() - 9, "\x80"), "negative activation time"},
      {std::string(kMaxBusBody + 1, '\x01'), "message longer than allowed"},
      {info + std::string(8, '\1'), "message cut short in the file inode"},
      {info + std::string(3, '\1'), "message cut short in the file device"},
      {info + std::string(17, '\1'), "bytes after the end of the message"},
      {info + std::string(16, '\0'), "file identity of zeros"},
      {activate.substr(0, activate.size() - 1), "message cut short in the token"},
      {std::string("\x01\x02\x04\x02", 4), "message cut short in the token"},
      {std::string("\x01\x02\x04\0\0", 5), "empty activation token"},
      {patched(activate, 5, "a\nb"), "malformed activation token"},
      {patched(activate, 5, "a b"), "malformed activation token"},
      {patched(activate, 5, "\xe3\x81\x82"), "malformed activation token"},  // あ in UTF-8
      {patched(activate, 3, "\x01\x04"), "message cut short in the token"},  // 1025 bytes announced
      {longToken, "malformed activation token"},
      {std::string("\x01\x02\x01\x02\0ab", 7), "bytes after the end of the message"},  // restore with a token
  };
  for (const auto& c : cases) EXPECT_EQ(Refusal(c.body), c.reason) << testing::PrintToString(c.body);
  EXPECT_EQ(Refusal(info), "");
  // A window without a file writes the reply older versions read.
  EXPECT_EQ(info.size(), 2 + 1 + 9 + 2 + 12 + 16u);
}

TEST(BusMessage, InvalidMessagesAreNeverWritten) {
  EXPECT_THROW(EncodeBusMessage(Command(TBusCommand::User(0x400, 1))), EBusMessageError);
  EXPECT_THROW(EncodeBusMessage(Command(TBusCommand::Geometry({0, 0, 0, 0}))), EBusMessageError);
  EXPECT_THROW(EncodeBusMessage(InfoReply("TMainForm", std::string(kMaxBusTitle + 1, 'a'), 0, 1)), EBusMessageError);
  EXPECT_THROW(EncodeBusMessage(InfoReply("", "t", 0, 1)), EBusMessageError);
  EXPECT_THROW(EncodeBusMessage(Command(TBusCommand::Activate("a\x7f"))), EBusMessageError);
  EXPECT_THROW(EncodeBusMessage(Command(TBusCommand::Activate(std::string(kMaxBusToken + 1, 'a')))), EBusMessageError);
  TBusCommand restoreWithToken = TBusCommand::System(bcRestore);
  restoreWithToken.token = "t";
  EXPECT_THROW(EncodeBusMessage(Command(restoreWithToken)), EBusMessageError);
}

TEST(BusMessage, FrameReaderCutsAStreamIntoMessages) {
  const TBusMessage a = Command(TBusCommand::User(UM_SETLINE, 120));
  const TBusMessage b = InfoReply("TMainForm", "x - Yomikaki", 9, 10);
  const std::string stream = EncodeBusMessage(a) + EncodeBusMessage(b);
  // Byte by byte: nothing until a frame is whole.
  TBusFrameReader reader;
  std::vector<TBusMessage> got;
  for (char c : stream) {
    reader.Feed(std::string_view(&c, 1));
    while (auto m = reader.Next()) got.push_back(*m);
  }
  EXPECT_EQ(got, (std::vector<TBusMessage>{a, b}));
  EXPECT_EQ(reader.Pending(), 0u);
  // All at once.
  TBusFrameReader whole;
  whole.Feed(stream);
  EXPECT_EQ(whole.Next(), a);
  EXPECT_EQ(whole.Next(), b);
  EXPECT_EQ(whole.Next(), std::nullopt);
}

TEST(BusMessage, FrameReaderRefusesBadLengthsBeforeTheBody) {
  for (std::string header : {std::string("\0\0\0\0", 4), std::string("\x01\x20\0\0", 4), std::string("\xff\xff\xff\xff")}) {
    TBusFrameReader reader;
    reader.Feed(header);  // an oversized frame is refused without waiting for its body
    EXPECT_THROW(reader.Next(), EBusMessageError);
  }
  TBusFrameReader reader;
  reader.Feed(std::string("\x03\0\0\0\x01\x01\x00", 7));  // a complete frame with a bad body
  EXPECT_THROW(reader.Next(), EBusMessageError);
}

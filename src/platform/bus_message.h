// The messages main windows exchange over the instance bus, as bytes: a
// length-prefixed, versioned frame per message, every field checked on
// reading so that nothing malformed is ever acted on.
//
// A frame is a 32-bit little-endian body length, then the body:
//   u8 version (kBusVersion), u8 type, then by type
//   bmInfoRequest:  nothing
//   bmCommand:      u8 kind; bcUserMessage: u16 message, i32 wParam;
//                   bcGeometry: i32 left, top, right, bottom;
//                   bcActivate: nothing, or u16 token length, token (a
//                   sender of an older build sends no token)
//   bmInfoReply:    u8 class length, class, u16 title length, title,
//                   i64 activated, i64 pid, then u64 file device and u64
//                   file inode (left out when both are 0, and by windows
//                   of older versions)
//   bmCommandReply: i32 result
// Integers are little-endian; nothing may follow the last field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/instance_bus.h"
#include "text/errors.h"

namespace yk {

inline constexpr std::uint8_t kBusVersion = 1;
// No message comes near this; a longer one is refused before it is read.
inline constexpr std::size_t kMaxBusBody = 8192;
// A path of the longest length the system allows and the title's suffix.
inline constexpr std::size_t kMaxBusTitle = 4096 + 64;
// Window frames beyond these are nonsense from a broken or hostile peer.
inline constexpr int kMaxBusCoordinate = 1'000'000;
inline constexpr int kMaxBusExtent = 100'000;
// Activation tokens are short names the desktop makes up; this leaves room.
inline constexpr std::size_t kMaxBusToken = 1024;

// A token that may be passed on and handed to the desktop: 1 to
// kMaxBusToken bytes of printable ASCII without blanks, as launchers make
// them. Anything else is not a token of the desktop's and is dropped.
bool IsActivationToken(std::string_view token);

// A message that breaks the format; the text says what was wrong.
class EBusMessageError : public Exception {
 public:
  using Exception::Exception;
};

enum TBusMessageType : std::uint8_t {
  bmInfoRequest = 1,
  bmCommand,
  bmInfoReply,
  bmCommandReply,
};

struct TBusMessage {
  TBusMessageType type = bmInfoRequest;
  TBusCommand command;      // bmCommand
  TPeerInfo info;           // bmInfoReply; the id is not carried
  std::int32_t result = 0;  // bmCommandReply
  bool operator==(const TBusMessage&) const = default;
};

// The whole frame, length prefix included. Throws EBusMessageError for a
// message that the reader would refuse, so nothing invalid is ever sent.
std::string EncodeBusMessage(const TBusMessage& message);
// The message of one body (the bytes after the length prefix).
TBusMessage DecodeBusMessage(std::string_view body);

// Cuts a byte stream into messages. After it throws, the stream is not in
// step any more and should be dropped.
class TBusFrameReader {
 public:
  void Feed(std::string_view bytes) { buffer_.append(bytes); }
  // The next whole message, or nullopt while more bytes are needed. A
  // length of 0 or beyond kMaxBusBody is refused as soon as it is seen.
  std::optional<TBusMessage> Next();
  // Bytes received but not yet taken as a message.
  std::size_t Pending() const { return buffer_.size(); }

 private:
  std::string buffer_;
};

}  // namespace yk

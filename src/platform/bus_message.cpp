// Writing and checking the instance bus's frames.
#include "platform/bus_message.h"

#include <algorithm>

namespace yk {

namespace {

class Writer {
 public:
  void U8(std::uint8_t v) { out_ += static_cast<char>(v); }
  void U16(std::uint16_t v) { Int(v, 2); }
  void I32(std::int32_t v) { Int(static_cast<std::uint32_t>(v), 4); }
  void I64(std::int64_t v) { Int(static_cast<std::uint64_t>(v), 8); }
  void U64(std::uint64_t v) { Int(v, 8); }
  void Bytes(std::string_view s) { out_ += s; }
  std::string& Out() { return out_; }

 private:
  void Int(std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i) out_ += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  std::string out_;
};

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}
  std::uint8_t U8(const char* what) { return static_cast<std::uint8_t>(Int(1, what)); }
  std::uint16_t U16(const char* what) { return static_cast<std::uint16_t>(Int(2, what)); }
  std::int32_t I32(const char* what) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(Int(4, what))); }
  std::int64_t I64(const char* what) { return static_cast<std::int64_t>(Int(8, what)); }
  std::uint64_t U64(const char* what) { return Int(8, what); }
  std::string_view Bytes(std::size_t n, const char* what) {
    Need(n, what);
    std::string_view s = in_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  bool AtEnd() const { return pos_ == in_.size(); }
  void End() const {
    if (pos_ != in_.size()) throw EBusMessageError("bytes after the end of the message");
  }

 private:
  void Need(std::size_t n, const char* what) const {
    if (in_.size() - pos_ < n) throw EBusMessageError(std::string("message cut short in the ") + what);
  }
  std::uint64_t Int(int size, const char* what) {
    Need(static_cast<std::size_t>(size), what);
    std::uint64_t v = 0;
    for (int i = 0; i < size; ++i) v |= std::uint64_t{static_cast<unsigned char>(in_[pos_ + i])} << (8 * i);
    pos_ += static_cast<std::size_t>(size);
    return v;
  }
  std::string_view in_;
  std::size_t pos_ = 0;
};

bool IsUserMessage(int message) { return message >= UM_SETLINE && message <= UM_GOTOLINE; }

void CheckBounds(const TRect& r) {
  for (int v : {r.left, r.top, r.right, r.bottom})
    if (v < -kMaxBusCoordinate || v > kMaxBusCoordinate) throw EBusMessageError("window frame out of range");
  if (r.Width() <= 0 || r.Height() <= 0 || r.Width() > kMaxBusExtent || r.Height() > kMaxBusExtent)
    throw EBusMessageError("window frame of no or impossible size");
}

void CheckCommand(const TBusCommand& c) {
  if (c.kind < bcRestore || c.kind > bcUserMessage) throw EBusMessageError("unknown command");
  if (c.kind == bcUserMessage && !IsUserMessage(c.message)) throw EBusMessageError("unknown user message");
  if (c.kind == bcGeometry) CheckBounds(c.bounds);
  if (!c.token.empty() && c.kind != bcActivate) throw EBusMessageError("a token with a command other than activate");
  if (!c.token.empty() && !IsActivationToken(c.token)) throw EBusMessageError("malformed activation token");
}

void CheckClassName(std::string_view name) {
  if (name.empty() || name.size() > 255) throw EBusMessageError("class name of bad length");
  if (!std::all_of(name.begin(), name.end(), [](char c) { return c > 0x20 && c < 0x7F; }))
    throw EBusMessageError("class name with a character that is not printable ASCII");
}

void CheckTitle(std::string_view title) {
  if (title.size() > kMaxBusTitle) throw EBusMessageError("title too long");
  if (title.find('\0') != std::string_view::npos) throw EBusMessageError("title with a NUL byte");
}

void CheckNumbers(const TPeerInfo& info) {
  if (info.activated < 0) throw EBusMessageError("negative activation time");
  if (info.pid <= 0 || info.pid > 0x7FFFFFFF) throw EBusMessageError("process id out of range");
}

void CheckInfo(const TPeerInfo& info) {
  CheckClassName(info.className);
  CheckTitle(info.title);
  CheckNumbers(info);
}

void WriteCommand(Writer& w, const TBusCommand& c) {
  w.U8(static_cast<std::uint8_t>(c.kind));
  if (c.kind == bcUserMessage) {
    w.U16(static_cast<std::uint16_t>(c.message));
    w.I32(c.wParam);
  } else if (c.kind == bcGeometry) {
    for (int v : {c.bounds.left, c.bounds.top, c.bounds.right, c.bounds.bottom}) w.I32(v);
  } else if (c.kind == bcActivate && !c.token.empty()) {
    w.U16(static_cast<std::uint16_t>(c.token.size()));
    w.Bytes(c.token);
  }
}

TBusCommand ReadCommand(Reader& r) {
  TBusCommand c;
  // Checked before it becomes a kind: the enumeration holds no other value.
  const std::uint8_t kind = r.U8("command");
  if (kind < bcRestore || kind > bcUserMessage) throw EBusMessageError("unknown command");
  c.kind = static_cast<TBusCommandKind>(kind);
  if (c.kind == bcUserMessage) {
    c.message = r.U16("message number");
    c.wParam = r.I32("wParam");
  } else if (c.kind == bcGeometry) {
    c.bounds.left = r.I32("window frame");
    c.bounds.top = r.I32("window frame");
    c.bounds.right = r.I32("window frame");
    c.bounds.bottom = r.I32("window frame");
  } else if (c.kind == bcActivate && !r.AtEnd()) {
    // An empty token is never written: a sender without one sends none.
    const std::uint16_t length = r.U16("token");
    if (length == 0) throw EBusMessageError("empty activation token");
    c.token = r.Bytes(length, "token");
  }
  CheckCommand(c);
  return c;
}

TPeerInfo ReadInfo(Reader& r) {
  TPeerInfo info;
  info.className = r.Bytes(r.U8("class name"), "class name");
  CheckClassName(info.className);
  info.title = r.Bytes(r.U16("title"), "title");
  CheckTitle(info.title);
  info.activated = r.I64("activation time");
  info.pid = r.I64("process id");
  CheckNumbers(info);
  if (!r.AtEnd()) {
    info.fileDevice = r.U64("file device");
    info.fileInode = r.U64("file inode");
    // No file is said by leaving the fields out: one message, one form.
    if (info.fileDevice == 0 && info.fileInode == 0) throw EBusMessageError("file identity of zeros");
  }
  return info;
}

std::uint32_t FrameLength(std::string_view header) {
  std::uint32_t n = 0;
  for (int i = 0; i < 4; ++i) n |= std::uint32_t{static_cast<unsigned char>(header[i])} << (8 * i);
  if (n == 0) throw EBusMessageError("empty message");
  if (n > kMaxBusBody) throw EBusMessageError("message of " + std::to_string(n) + " bytes, longer than allowed");
  return n;
}

}  // namespace

bool IsActivationToken(std::string_view token) {
  return !token.empty() && token.size() <= kMaxBusToken &&
         std::all_of(token.begin(), token.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

std::string EncodeBusMessage(const TBusMessage& m) {
  Writer w;
  w.I32(0);  // the length, filled in below
  w.U8(kBusVersion);
  w.U8(m.type);
  switch (m.type) {
    case bmInfoRequest:
      break;
    case bmCommand:
      CheckCommand(m.command);
      WriteCommand(w, m.command);
      break;
    case bmInfoReply:
      CheckInfo(m.info);
      w.U8(static_cast<std::uint8_t>(m.info.className.size()));
      w.Bytes(m.info.className);
      w.U16(static_cast<std::uint16_t>(m.info.title.size()));
      w.Bytes(m.info.title);
      w.I64(m.info.activated);
      w.I64(m.info.pid);
      // Left out when there is no file, so that such a reply reads the
      // same in a window of an older version.
      if (m.info.fileDevice != 0 || m.info.fileInode != 0) {
        w.U64(m.info.fileDevice);
        w.U64(m.info.fileInode);
      }
      break;
    case bmCommandReply:
      w.I32(m.result);
      break;
    default:
      throw EBusMessageError("unknown message type");
  }
  std::string& out = w.Out();
  const std::size_t body = out.size() - 4;
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<char>((body >> (8 * i)) & 0xFF);
  return out;
}

TBusMessage DecodeBusMessage(std::string_view body) {
  if (body.size() > kMaxBusBody) throw EBusMessageError("message longer than allowed");
  Reader r(body);
  const std::uint8_t version = r.U8("version");
  if (version != kBusVersion) throw EBusMessageError("unsupported version " + std::to_string(version));
  TBusMessage m;
  m.type = static_cast<TBusMessageType>(r.U8("type"));
  switch (m.type) {
    case bmInfoRequest:
      break;
    case bmCommand:
      m.command = ReadCommand(r);
      break;
    case bmInfoReply:
      m.info = ReadInfo(r);
      break;
    case bmCommandReply:
      m.result = r.I32("result");
      break;
    default:
      throw EBusMessageError("unknown message type");
  }
  r.End();
  return m;
}

std::optional<TBusMessage> TBusFrameReader::Next() {
  if (buffer_.size() < 4) return std::nullopt;
  const std::uint32_t length = FrameLength(buffer_);
  if (buffer_.size() - 4 < length) return std::nullopt;
  TBusMessage m = DecodeBusMessage(std::string_view(buffer_).substr(4, length));
  buffer_.erase(0, 4 + length);
  return m;
}

}  // namespace yk

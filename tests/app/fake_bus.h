// An instance bus for in-process tests: it lists the peers a test gives it
// and writes every command sent as a line of text, so that tests read what
// a window asked of the others in order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/bus_message.h"
#include "platform/instance_bus.h"

namespace yk::test {

// "restore", "minimize", "close", "activate" (or "activate <token>"), "frame l,t,r,b" or
// "SETLINE 120", "SETCOLUMN -1", "SETSELLENGTH 6", "GOTOLINE 0".
inline std::string Describe(const TBusCommand& c) {
  switch (c.kind) {
    case bcRestore: return "restore";
    case bcMinimize: return "minimize";
    case bcClose: return "close";
    case bcActivate: return c.token.empty() ? "activate" : "activate " + c.token;
    case bcGeometry:
      return "frame " + std::to_string(c.bounds.left) + "," + std::to_string(c.bounds.top) + "," +
             std::to_string(c.bounds.right) + "," + std::to_string(c.bounds.bottom);
    case bcUserMessage: break;
  }
  static const char* const kNames[] = {"SETLINE", "SETCOLUMN", "SETSELLENGTH", "GOTOLINE"};
  return std::string(kNames[c.message - UM_SETLINE]) + " " + std::to_string(c.wParam);
}

// What the fake buses of a test share: the other windows and the log.
struct TFakeBusState {
  std::vector<TPeerInfo> peers;
  std::vector<std::string> sent;  // "<id> <command>"
  int answers = 1 << 30;          // commands answered before the peers fall silent
  bool old_peers = false;         // peers of an older build: an activation with a token is dropped
};

class TFakeBus final : public TInstanceBus {
 public:
  explicit TFakeBus(TFakeBusState& state) : state_(state) {}
  std::vector<TPeerInfo> Peers() override {
    std::vector<TPeerInfo> all;
    if (handler_) {
      all.push_back(handler_->Info());
      all.back().id = self_;
    }
    all.insert(all.end(), state_.peers.begin(), state_.peers.end());
    return all;
  }
  bool Send(const std::string& id, const TBusCommand& command) override {
    if (handler_ && id == self_) return handler_->Handle(command), true;
    if (state_.answers <= 0 || !Writable(command)) return false;
    if (state_.old_peers && !command.token.empty()) return false;
    --state_.answers;
    state_.sent.push_back(id + " " + Describe(command));
    return true;
  }
  bool Listen(TInstanceHandler& handler) override {
    handler_ = &handler;
    return true;
  }
  std::string SelfId() const override { return handler_ ? self_ : std::string(); }

 private:
  // What the real bus would refuse to write is never sent.
  static bool Writable(const TBusCommand& command) {
    try {
      EncodeBusMessage({bmCommand, command, {}, 0});
      return true;
    } catch (const EBusMessageError&) {
      return false;
    }
  }

  TFakeBusState& state_;
  TInstanceHandler* handler_ = nullptr;
  std::string self_ = "self";
};

inline TPeerInfo Peer(std::string id, std::string title, std::int64_t activated = 0) {
  return {std::move(id), std::string(kMainFormClass), std::move(title), activated, 1};
}

}  // namespace yk::test

// TLocalInstanceBus: the instance bus on local sockets. Every listening main
// window has a socket "<pid>-<n>.sock" in a per-user folder that only its
// user may enter; others connect to it, send one framed request and wait
// for its answer, with a time limit so that a hung window cannot hang them.
#pragma once

#include <QLocalServer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/bus_message.h"
#include "platform/instance_bus.h"

namespace yk {

inline constexpr int kBusTimeoutMs = 2000;

class TLocalInstanceBus : public TInstanceBus {
 public:
  // folder: where the sockets live; empty for DefaultBusFolder(). It is
  // created when missing and refused when it is not safe (see
  // PrepareBusFolder); the bus then finds no peers and cannot listen.
  explicit TLocalInstanceBus(std::string folder = {}, int timeoutMs = kBusTimeoutMs);
  ~TLocalInstanceBus() override;
  TLocalInstanceBus(const TLocalInstanceBus&) = delete;
  TLocalInstanceBus& operator=(const TLocalInstanceBus&) = delete;

  std::vector<TPeerInfo> Peers() override;
  bool Send(const std::string& id, const TBusCommand& command) override;
  // Answers from the Qt event loop of the calling thread.
  bool Listen(TInstanceHandler& handler) override;
  std::string SelfId() const override { return self_; }

  const std::string& Folder() const { return folder_; }
  // Why the bus cannot be used; empty when it can.
  const std::string& Error() const { return error_; }

 private:
  std::string PathOf(const std::string& id) const { return folder_ + "/" + id; }
  std::vector<std::string> SocketIds() const;
  void Accept();
  // The answer to a request, or nullopt when it is not one to answer.
  std::optional<TBusMessage> Respond(const TBusMessage& request);

  std::string folder_;
  std::string error_;
  int timeout_ms_;
  std::string self_;
  TInstanceHandler* handler_ = nullptr;
  std::unique_ptr<QLocalServer> server_;
};

// "$XDG_RUNTIME_DIR/yomikaki" when that variable names an absolute path,
// else "yomikaki-<uid>" in the temporary folder.
std::string DefaultBusFolder();

// Creates the folder with mode 0700 when it is missing; then returns why
// it must not be used ("" when it may): a symbolic link, not a folder, owned
// by another user, or open to others.
std::string PrepareBusFolder(const std::string& path);

}  // namespace yk

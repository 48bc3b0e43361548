// Listening instance buses in a thread of their own, standing in for other
// windows' processes in tests and benchmarks.
#pragma once

#include <QThread>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "qt/local_instance_bus.h"

namespace yk::test {

// Answers with a fixed title and activation time and records commands.
class RecordingHandler : public TInstanceHandler {
 public:
  RecordingHandler(std::string title, std::int64_t activated) : title_(std::move(title)), activated_(activated) {}
  TPeerInfo Info() override { return {"", std::string(kMainFormClass), title_, activated_, 0}; }
  int Handle(const TBusCommand& command) override {
    std::lock_guard lock(mutex_);
    received_.push_back(command);
    return 0;
  }
  std::vector<TBusCommand> Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  std::string title_;
  std::int64_t activated_;
  std::mutex mutex_;
  std::vector<TBusCommand> received_;
};

// Listening buses living in a thread with its own event loop, as other
// windows would in their processes.
class PeerThread {
 public:
  PeerThread() {
    thread_.start();
    context_.moveToThread(&thread_);
  }
  ~PeerThread() {
    Run([this] { buses_.clear(); });
    thread_.quit();
    thread_.wait();
  }
  template <class F>
  void Run(F f) {
    QMetaObject::invokeMethod(&context_, f, Qt::BlockingQueuedConnection);
  }
  std::string Add(const std::string& folder, TInstanceHandler& handler, int timeoutMs = kBusTimeoutMs) {
    std::string id;
    Run([&] {
      auto bus = std::make_unique<TLocalInstanceBus>(folder, timeoutMs);
      if (bus->Listen(handler)) id = bus->SelfId();
      buses_.push_back(std::move(bus));
    });
    return id;
  }
  void Remove(const std::string& id) {
    Run([&] { std::erase_if(buses_, [&](const auto& bus) { return bus->SelfId() == id; }); });
  }

 private:
  QThread thread_;
  QObject context_;
  std::vector<std::unique_ptr<TLocalInstanceBus>> buses_;
};

}  // namespace yk::test

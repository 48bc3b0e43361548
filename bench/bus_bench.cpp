// Speed of the instance bus over real local sockets: listing 20 windows (what
// the Window menu and the start-up look-up do) and one command's round trip.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "qt/bus_peers.h"
#include "temp_dir.h"

namespace {

struct Peers {
  explicit Peers(int count) {
    for (int i = 0; i < count; ++i) {
      handlers.push_back(std::make_unique<yk::test::RecordingHandler>("/home/u/doc" + std::to_string(i) + ".txt - Yomikaki", i));
      ids.push_back(thread.Add(dir.File("bus"), *handlers.back()));
    }
  }
  yk::test::TTempDir dir;
  std::vector<std::unique_ptr<yk::test::RecordingHandler>> handlers;
  std::vector<std::string> ids;
  yk::test::PeerThread thread;  // stops before the handlers go
};

void BM_ListPeers(benchmark::State& state) {
  Peers peers(static_cast<int>(state.range(0)));
  yk::TLocalInstanceBus bus(peers.dir.File("bus"));
  for (auto _ : state) {
    const std::vector<yk::TPeerInfo> listed = bus.Peers();
    if (listed.size() != peers.ids.size()) state.SkipWithError("a peer did not answer");
  }
}

void BM_RoundTrip(benchmark::State& state) {
  Peers peers(1);
  yk::TLocalInstanceBus bus(peers.dir.File("bus"));
  for (auto _ : state)
    if (!bus.Send(peers.ids[0], yk::TBusCommand::User(yk::UM_GOTOLINE, 0))) state.SkipWithError("no answer");
}

BENCHMARK(BM_ListPeers)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

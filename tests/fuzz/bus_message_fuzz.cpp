// Fuzz target: arbitrary bytes as a stream of instance bus frames, the way a
// window reads what another process sends it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/bus_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // A body that reads writes back to the very same bytes: nothing is
  // accepted that the writer would not have produced.
  try {
    const yk::TBusMessage m = yk::DecodeBusMessage(input);
    if (yk::EncodeBusMessage(m).substr(4) != input) std::abort();
  } catch (const yk::EBusMessageError&) {
  }
  // The same bytes as a stream fed in two pieces: the messages read are the
  // ones the frames hold, and a refusal leaves nothing half taken.
  yk::TBusFrameReader reader;
  reader.Feed(input.substr(0, size / 2));
  try {
    while (reader.Next()) {
    }
    reader.Feed(input.substr(size / 2));
    while (auto m = reader.Next()) {
      if (yk::DecodeBusMessage(yk::EncodeBusMessage(*m).substr(4)) != *m) std::abort();
    }
    if (reader.Pending() > size) std::abort();
  } catch (const yk::EBusMessageError&) {
  }
  return 0;
}

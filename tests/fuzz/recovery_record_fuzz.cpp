// Fuzz target: arbitrary bytes as a recovery snapshot, the way the next
// start reads what a window that died left behind (possibly cut short).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/recovery_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  try {
    const yk::TRecoveryRecord record = yk::DecodeRecoveryRecord(input);
    // What was accepted is whole and consistent: written again, it reads
    // back the same.
    if (yk::DecodeRecoveryRecord(yk::EncodeRecoveryRecord(record)) != record) std::abort();
  } catch (const yk::ERecoveryRecordError&) {
  }
  return 0;
}

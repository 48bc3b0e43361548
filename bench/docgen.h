// A generator of large, realistic CP932 documents for benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace yk::bench {

// About `bytes` bytes of mixed kanji, kana, ASCII words, punctuation and
// tabs, CR LF line ends, about 65 bytes per line; the same text every time.
std::string MakeDocument(std::size_t bytes);

// Writes MakeDocument(bytes) to a file in the temporary folder once and
// returns its path (reused by later runs).
std::string DocumentFile(std::size_t bytes);

}  // namespace yk::bench

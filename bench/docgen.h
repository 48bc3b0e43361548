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

// MakeDocument(10 MB) where about 100,000 lines begin with の: the
// document the replace-all benchmarks work on.
std::string ReplaceDocument();

// の by ノ in doc, character by character, as a plain loop would do it:
// what a replace-all must produce. count gets the number replaced.
std::string PlainReplacement(const std::string& doc, std::size_t& count);

}  // namespace yk::bench

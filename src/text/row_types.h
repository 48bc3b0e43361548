// The small value types of the row store: how a row ends, the carried
// highlight state's special values, and totals over a run of rows.
#pragma once

#include <cstdint>

namespace yk {

enum TRowAttribute : std::uint8_t { raCrlf = 0, raWrapped = 1, raEof = 2, raInvalid = 3 };

// Highlight state carried into a row: -2 not computed, -1 outside any
// bracket pair, 0..13 inside that pair.
constexpr int kStateUnknown = -2;
constexpr int kStateNone = -1;

// Totals over a run of rows: what the line index answers questions with.
struct TRowSums {
  std::int64_t rows = 0;
  std::int64_t lineEnds = 0;  // rows that end a logical line (not raWrapped)
  std::int64_t crlfs = 0;     // raCrlf rows
  std::int64_t bytes = 0;     // row text, line ends not included
  std::int64_t otherEnds = 0;  // raCrlf rows whose line end is not of the document's kind
  // Document offset units: 2 for each CR LF, 1 for any other line end (the
  // end of the document).
  std::int64_t Offset() const { return bytes + 2 * crlfs + (lineEnds - crlfs); }
  TRowSums& operator+=(const TRowSums& o);
  TRowSums& operator-=(const TRowSums& o);
  bool operator==(const TRowSums&) const = default;
};

// The attribute nibble of a row's data byte says whether a line end follows.
inline bool EndsLine(std::uint8_t d) { return (d & 0x0F) != raWrapped; }
inline bool IsCrlf(std::uint8_t d) { return (d & 0x0F) == raCrlf; }

}  // namespace yk

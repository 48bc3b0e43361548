// The input-support dictionary: a grid of CP932 texts read from a
// comma-separated file, and the look-up of a word in its first column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace yk {

// Limits that keep a wrong file (a disk image, a log) from filling memory
// or the tool tip; a file beyond them is refused whole.
inline constexpr std::size_t kMaxDictionaryFileSize = std::size_t{64} << 20;
inline constexpr std::size_t kMaxDictionaryLineLength = std::size_t{64} << 10;
inline constexpr int kMaxDictionaryColumns = 1024;

// Rows and columns of texts. The first line of the file fixes the column
// count; every line is a row, its missing fields empty and fields beyond
// the column count dropped. Only the fields a line has are stored, so a
// row without any (a blank line) costs nothing: memory follows the entries.
class TDictionaryGrid {
 public:
  int ColCount() const { return cols_; }
  int RowCount() const { return row_count_; }
  // The text of a cell; empty for a missing field or outside the grid.
  std::string_view Cell(int col, int row) const;
  // The first row from the top whose first cell equals word when both are
  // in upper case (ASCII, full-width, Greek and Cyrillic letters); -1 when
  // none does. A hash look-up, not a scan.
  int FindRow(std::string_view word) const;
  // About the bytes the grid holds on the heap (texts, cells, rows and the
  // look-up), to check that it grows with the entries only.
  std::size_t MemoryBytes() const;

  // Builds a grid from the lines of a file (see LoadDictionary); nullopt
  // when there is no line or the first line has no field.
  static std::optional<TDictionaryGrid> FromText(std::string_view text);

 private:
  struct TSpan {
    std::uint32_t offset;
    std::uint32_t length;
  };
  struct TRow {
    std::int32_t row;    // the row's number, counting rows without fields
    std::uint32_t cell;  // its first cell in cells_
  };
  TDictionaryGrid() = default;
  void AddRow(std::string_view line);

  int cols_ = 0;
  int row_count_ = 0;
  std::string text_;          // every cell's bytes
  std::vector<TSpan> cells_;  // the fields of all rows in order
  std::vector<TRow> rows_;    // the rows that have fields, in order
  std::unordered_map<std::string, int> first_row_;
};

enum TDictionaryLoadStatus {
  dlsLoaded,  // Grid holds the new dictionary
  dlsEmpty,   // no line, or a first line without fields: keep the old grid
  dlsFailed,  // Error says why, for the status bar; keep the old grid
};

struct TDictionaryLoad {
  TDictionaryLoadStatus Status = dlsEmpty;
  std::optional<TDictionaryGrid> Grid;
  std::string Error;  // CP932
};

// Reads a dictionary into a fresh grid, which the caller swaps in only when
// the load succeeded, so a bad file never leaves a half-filled grid. Lines
// end with CR LF, CR or LF. Bytes that are not valid CP932 are kept. A
// missing file, a folder, a FIFO or device, an unreadable or oversized
// file, a line longer than kMaxDictionaryLineLength or a first line with
// more than kMaxDictionaryColumns fields fail with a reason.
TDictionaryLoad LoadDictionary(const std::string& path);
// The same on bytes already read.
TDictionaryLoad ParseDictionary(std::string_view bytes);

}  // namespace yk

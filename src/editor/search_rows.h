// The text search over an editor's rows in place: the document is read a
// few lines at a time around the selection instead of being joined.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "editor/search.h"
#include "text/screen_strings.h"

namespace yk {

// A place in the document: Offset bytes (line ends counting 2) from the
// start of row Row. The offset may reach into later rows and lines.
struct TRowOffset {
  int Row = 0;
  std::int64_t Offset = 0;
  friend bool operator==(const TRowOffset&, const TRowOffset&) = default;
};

// A found match: its start, counted from the first row of a logical line,
// and its length in document bytes.
struct TRowMatch {
  TRowOffset Start;
  std::int64_t Length = 0;
  friend bool operator==(const TRowMatch&, const TRowMatch&) = default;
};

// The rows as a search source. Offsets count from the start of the logical
// line that holds the origin row; a cursor on a line start follows the
// pieces asked for, so pieces that move steadily through the document read
// each row a bounded number of times.
class TRowSearchSource final : public TSearchSource {
 public:
  TRowSearchSource(const TEditorScreenStrings& rows, int originRow);
  ~TRowSearchSource();
  TRowSearchSource(const TRowSearchSource&) = delete;
  TRowSearchSource& operator=(const TRowSearchSource&) = delete;

  TSearchPiece Piece(std::int64_t from, std::int64_t to) override;
  // The first row of the last piece and its offset.
  int PieceRow() const { return row_; }
  std::int64_t PieceBase() const { return base_; }

 private:
  // Bytes of the logical line from its first row, line end included; next
  // gets the first row of the following line.
  std::int64_t LineSpan(int first, int& next) const;
  void MoveTo(std::int64_t from);

  const TEditorScreenStrings& rows_;
  int row_ = 0;             // a line's first row
  std::int64_t base_ = 0;   // its offset
  std::string text_;
};

// SearchText over the document the rows hold, from a selection that starts
// at start and covers length bytes: the same match as a search of the
// joined text, without joining it.
std::optional<TRowMatch> SearchRows(const TEditorScreenStrings& rows, TRowOffset start, std::int64_t length,
                                    std::string_view pattern, TSearchOptions options);

}  // namespace yk

// The document as assistive technologies count it: UTF-16 offsets into
// the text read as Unicode, converted from rows and bytes only for the rows
// a question touches. Inside the program positions stay rows and bytes.
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/pointer_string_list.h"

namespace yk {

class TEditor;
class TEditorScreenStrings;
class TMappedChars;

// Appends the Unicode of CP932 bytes: the glyphs painting shows (mapped
// codes as the characters chars gives them; null: the codec's alone), so
// what a screen reader speaks is what the screen shows. Every conversion of
// the document's text for assistive technologies goes through here.
void AppendUnicode(QString& out, std::string_view bytes, const TMappedChars* chars = nullptr);
// The UTF-16 units AppendUnicode would append, without building them.
std::int64_t UnicodeLength(std::string_view bytes, const TMappedChars* chars = nullptr);

// The document's Unicode text is its rows in order, a row that continues
// on the next (word wrap) joined to it without a break, and "\n" after the
// end of every line. Totals are kept per run of rows and checked against
// the row list's own totals when used, so a change that was not reported
// costs a recount of its run, never a wrong answer; a reported change
// (Changed) makes only its run be counted again.
class TUnicodeOffsets {
 public:
  explicit TUnicodeOffsets(TEditor& editor);

  struct TPlace {
    int row = 0;
    int byte = 0;
    bool operator==(const TPlace&) const = default;
  };

  // Rows [first, first + count) were replaced by newCount rows.
  void Changed(int first, int count, int newCount);
  // Forgets every count (the rows belong to another document now).
  void Reset();
  // The document's table of mapped characters (null: none), whose
  // characters beyond the BMP count two units; counts made before go.
  void SetChars(const TMappedChars* chars);

  std::int64_t Length();
  // The offset of a byte of a row (moved to the start of its character);
  // rows past the text give the length.
  std::int64_t OffsetOf(int row, int byte);
  // Where an offset lies: its row and byte; past the end, the end (the row
  // after the last line end, or the end of the last row).
  TPlace PlaceOf(std::int64_t offset);
  // The text between two offsets (clamped to the document).
  QString Text(std::int64_t start, std::int64_t end);
  // One row as Unicode, with its "\n" when it ends a line.
  QString RowText(int row) const;
  // UTF-16 units of a row (without the line end) and of its line end.
  std::int64_t RowUnits(int row) const;
  std::int64_t LineEndUnits(int row) const;

 private:
  static constexpr int kRunRows = 512;
  static constexpr std::size_t kSampleBytes = 4096;
  struct TRun {
    int rows = 0;
    bool counted = false;
    std::int64_t units = 0;  // rows and line ends
    std::int64_t bytes = 0;  // the row list's totals when counted, to check
    std::int64_t lineEnds = 0;
  };
  // A long row's units at every kSampleBytes bytes (at character starts),
  // so a question near its end does not read it from the start.
  struct TSamples {
    int row = -1;
    std::uint64_t edits = 0;
    std::vector<std::pair<std::size_t, std::int64_t>> points;  // byte, units before it
  };

  void SyncRuns();
  template <typename Stop>
  std::size_t Walk(Stop stop, int& firstRow, std::int64_t& units);
  void Count(std::size_t run, int firstRow);
  bool Fresh(const TRun& run, int firstRow) const;
  TRowSums RangeSums(int firstRow, int rows) const;
  std::int64_t UnitsBeforeByte(int row, std::size_t byte);
  std::size_t ByteAtUnits(int row, std::int64_t units);
  TSamples& SamplesFor(int row, std::size_t upTo);

  TEditor& editor_;
  const TMappedChars* chars_ = nullptr;
  const TEditorScreenStrings* list_ = nullptr;  // the rows counted
  std::vector<TRun> runs_;
  int rows_ = -1;  // rows the runs stand for
  // The runs of rows [0, checked_rows_) were checked against the row
  // list's totals when its edit count was checked_edits_.
  std::uint64_t checked_edits_ = ~std::uint64_t{0};
  int checked_rows_ = 0;
  TSamples samples_;
};

}  // namespace yk

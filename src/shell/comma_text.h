// Comma text: the one splitter (and joiner) for lists written as
// comma-separated fields with optional double quotes, used by the style
// extension lists and the input-support dictionaries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yk {

// Splits text into fields:
// - bytes 1 to 32 (controls and blank) before a field are skipped;
// - a field starting with a double quote runs to the matching closing quote,
//   two double quotes inside standing for one; a missing closing quote
//   takes the rest of the text;
// - any other field runs up to the next comma or byte 1 to 32;
// - after a field, bytes 1 to 32 are skipped, and then one comma with the
//   bytes 1 to 32 after it.
// So two commas in a row give an empty field, a comma at the end gives none,
// and blanks separate fields like commas. A NUL byte ends the text.
// Two-byte characters are stepped over whole, so a trail byte is never
// taken for a quote or a separator.
std::vector<std::string> SplitCommaText(std::string_view text);

// Calls add(field) for each field, in order, without building a list; the
// views point into text or, for a quoted field with doubled quotes, into a
// buffer that lives until the next call of add.
template <typename Add>
void ForEachCommaField(std::string_view text, Add&& add);

// The opposite of SplitCommaText: fields joined by commas, a field quoted
// (doubling its quotes) when it is empty or holds a blank, control byte,
// comma or double quote, so that splitting gives the same fields back.
// Bytes are looked at as the splitter steps: a quote or comma taken as the
// trail of a lead byte is neither. (A field other than the last that ends
// in a lead byte without its trail cannot be written to read back: the
// lead byte takes the byte after it.)
std::string JoinCommaText(const std::vector<std::string>& fields);

// --------------------------------------------------------------- details

namespace comma_detail {

// Field boundaries as the splitter finds them; a field is plain bytes, or
// quoted bytes that still need their doubled quotes reduced.
class TCommaScanner {
 public:
  explicit TCommaScanner(std::string_view text);
  // False at the end of the text. On true, the field's raw bytes (without
  // the outer quotes) are in raw and quoted tells whether it was quoted.
  bool Next(std::string_view& raw, bool& quoted);

 private:
  void SkipBlanks();
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The field of a quoted raw text: doubled quotes reduced to one.
std::string_view Unquote(std::string_view raw, std::string& buffer);

}  // namespace comma_detail

template <typename Add>
void ForEachCommaField(std::string_view text, Add&& add) {
  comma_detail::TCommaScanner scanner(text);
  std::string buffer;
  std::string_view raw;
  bool quoted = false;
  while (scanner.Next(raw, quoted)) add(quoted ? comma_detail::Unquote(raw, buffer) : raw);
}

}  // namespace yk

// The text of an INI file held as its lines, so that a change touches one
// line and leaves every other line, comment and blank exactly as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace yk {

// Sections are "[name]" lines, values are "key=value" lines, ';' starts a
// comment line. Section and key names compare without regard to case; the
// first section of a name and the first key of a name in it are the ones
// that count. A value is what follows the first '=', without the blanks
// around it; one pair of quotes around it keeps blanks and quotes inside
// (values that need them are written quoted). Keys before the first
// section belong to no section and are never found.
class TIniText {
 public:
  TIniText() = default;
  explicit TIniText(std::string_view content);

  std::string Text() const;

  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  bool SectionExists(std::string_view section) const;
  // The keys and values of a section in file order (first of each key).
  std::vector<std::pair<std::string, std::string>> SectionValues(std::string_view section) const;
  // The same, keyed by the folded key name (FoldName), for bulk lookups.
  std::unordered_map<std::string, std::string> SectionMap(std::string_view section) const;

  // Each returns whether the text changed. A value is cut at its first line
  // break or NUL, which could not be read back and would otherwise let a
  // value forge other keys or sections. Names that could not be read back
  // (empty, with a line break, '=' in a key, ']' in a section, a key
  // starting with '[' or ';', blanks at either end) raise yk::Exception.
  bool Write(std::string_view section, std::string_view key, std::string_view value);
  // Removes every line of the key in the section.
  bool Delete(std::string_view section, std::string_view key);
  // Write and Delete for many keys of one section at once, in time linear
  // in the size of the text (lists and binary values have many keys).
  bool WriteMany(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values);
  bool DeleteMany(std::string_view section, const std::vector<std::string>& keys);
  bool EraseSection(std::string_view section);

 private:
  struct Line {
    std::string text;
    std::string eol;
  };
  struct Range {
    std::size_t header;  // the "[name]" line
    std::size_t end;     // one past the section's last line
  };

  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& r, std::string_view key) const;
  // The first line of each key of the section, by folded name, and the
  // line after the section's last key.
  std::unordered_map<std::string, std::size_t> KeyLines(const Range& r, std::size_t& after_last_key) const;
  std::string_view Body(std::size_t i) const;
  void EnsureLastLineEnded();

  std::vector<Line> lines_;
  std::string eol_ = "\r\n";  // the file's own line end, used for new lines
};

}  // namespace yk

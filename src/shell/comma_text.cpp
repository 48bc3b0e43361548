// The comma-text scanner and joiner.
#include "shell/comma_text.h"

#include "text/cp932.h"

namespace yk {
namespace comma_detail {

namespace {

// Bytes 1 to 32 separate fields; NUL ends the text.
bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= 32; }

}  // namespace

TCommaScanner::TCommaScanner(std::string_view text) : text_(text.substr(0, text.find('\0'))) { SkipBlanks(); }

void TCommaScanner::SkipBlanks() {
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
}

bool TCommaScanner::Next(std::string_view& raw, bool& quoted) {
  if (pos_ >= text_.size()) return false;
  const std::size_t start = pos_;
  quoted = text_[pos_] == '"';
  if (quoted) {
    // Runs to the quote that is not doubled; the raw view keeps doubled
    // quotes for Unquote.
    std::size_t p = pos_ + 1;
    while (p < text_.size()) {
      if (text_[p] == '"') {
        if (p + 1 < text_.size() && text_[p + 1] == '"') {
          p += 2;
          continue;
        }
        break;
      }
      p += cp932::CharLength(text_, p);
    }
    raw = text_.substr(start + 1, p - start - 1);
    pos_ = p < text_.size() ? p + 1 : text_.size();
  } else {
    std::size_t p = pos_;
    while (p < text_.size() && text_[p] != ',' && !IsBlank(text_[p])) p += cp932::CharLength(text_, p);
    raw = text_.substr(start, p - start);
    pos_ = p;
  }
  SkipBlanks();
  if (pos_ < text_.size() && text_[pos_] == ',') {
    ++pos_;
    SkipBlanks();
  }
  return true;
}

std::string_view Unquote(std::string_view raw, std::string& buffer) {
  if (raw.find('"') == std::string_view::npos) return raw;
  buffer.clear();
  for (std::size_t i = 0; i < raw.size();) {
    const std::size_t n = cp932::CharLength(raw, i);
    buffer.append(raw.substr(i, n));
    // The scanner leaves only doubled quotes inside: keep one of the two.
    i += n == 1 && raw[i] == '"' ? 2 : n;
  }
  return buffer;
}

}  // namespace comma_detail

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> fields;
  ForEachCommaField(text, [&](std::string_view f) { fields.emplace_back(f); });
  return fields;
}

namespace {

// Looks at characters as the splitter steps over them: a byte that the
// splitter takes as the trail of a lead byte is no separator or quote, so
// it needs no quoting and no doubling.
bool NeedsQuotes(std::string_view field) {
  if (field.empty()) return true;
  for (std::size_t i = 0; i < field.size(); i += cp932::CharLength(field, i)) {
    const unsigned char c = static_cast<unsigned char>(field[i]);
    if (c <= 32 || c == ',' || c == '"') return true;
  }
  return false;
}

// True when the last character of field is a lead byte without its trail,
// which would take a closing quote after it as its trail.
bool EndsInLoneLead(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && i + cp932::CharLength(field, i) < field.size()) i += cp932::CharLength(field, i);
  return i + 1 == field.size() && cp932::IsLeadByte(field[i]);
}

}  // namespace

std::string JoinCommaText(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.push_back(',');
    const std::string& f = fields[i];
    if (!NeedsQuotes(f)) {
      out.append(f);
      continue;
    }
    out.push_back('"');
    for (std::size_t c = 0; c < f.size();) {
      const std::size_t n = cp932::CharLength(f, c);
      if (n == 1 && f[c] == '"') out.push_back('"');
      out.append(f, c, n);
      c += n;
    }
    // A missing closing quote takes the rest of the text, which is the only
    // way the last field can end in a lone lead byte.
    if (i + 1 < fields.size() || !EndsInLoneLead(f)) out.push_back('"');
  }
  return out;
}

}  // namespace yk

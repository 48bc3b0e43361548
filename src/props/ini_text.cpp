// Line-preserving INI parsing and editing.
#include "props/ini_text.h"

#include <cstdint>
#include <iterator>

#include "props/names.h"
#include "text/cp932.h"
#include "text/errors.h"
#include "text/line_end.h"

namespace yk {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The name of a "[name]" line. ']' may be the trail byte of a double-byte
// character, so the closing bracket is searched character by character.
std::optional<std::string_view> SectionOf(std::string_view line) {
  std::string_view s = Trim(line);
  if (s.empty() || s.front() != '[') return std::nullopt;
  for (std::size_t i = 1; i < s.size(); i = cp932::NextChar(s, i)) {
    if (s[i] == ']') return Trim(s.substr(1, i - 1));
  }
  return std::nullopt;
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

// '=' is below every trail byte, so a plain byte search finds it.
std::optional<KeyValue> KeyOf(std::string_view line) {
  std::string_view s = Trim(line);
  if (s.empty() || s.front() == ';' || s.front() == '[') return std::nullopt;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  std::string_view key = Trim(line.substr(0, eq));
  if (key.empty()) return std::nullopt;
  return KeyValue{key, line.substr(eq + 1)};
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool Quoted(std::string_view s) { return s.size() >= 2 && IsQuote(s.front()) && s.back() == s.front(); }

// The value a "key=value" line holds: the blanks around it are layout, and
// one pair of quotes around it protects blanks and quotes inside. Neither
// a blank nor a quote is ever a trail byte, so this is safe on CP932 text.
std::string_view ValueOf(std::string_view raw) {
  std::string_view v = Trim(raw);
  if (Quoted(v)) v = v.substr(1, v.size() - 2);
  return v;
}

// How a value is written so that ValueOf gives it back.
std::string StoredForm(std::string_view value) {
  const bool quote = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || Quoted(value));
  return quote ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// True when the last character of s is a lead byte standing alone.
bool EndsInLoneLeadByte(std::string_view s) {
  return !s.empty() && cp932::PrevChar(s, s.size()) == s.size() - 1 && cp932::IsLeadByte(s.back());
}

// A name ending in a lone lead byte is refused too: read back, that byte
// and the closing bracket would form one character.
void CheckSectionName(std::string_view s) {
  bool bad = s.empty() || s != Trim(s) || HasLineBreakOrNul(s) || EndsInLoneLeadByte(s);
  for (std::size_t i = 0; !bad && i < s.size(); i = cp932::NextChar(s, i)) bad = s[i] == ']';
  if (bad) throw Exception("Invalid INI section name: [" + std::string(s) + "]");
}

void CheckKeyName(std::string_view k) {
  bool bad = k.empty() || k != Trim(k) || HasLineBreakOrNul(k) || k.find('=') != std::string_view::npos ||
             k.front() == '[' || k.front() == ';';
  if (bad) throw Exception("Invalid INI key name: " + std::string(k));
}

}  // namespace

TIniText::TIniText(std::string_view content) {
  std::size_t pos = 0;
  bool eol_seen = false;
  while (pos < content.size()) {
    const std::size_t brk = FindLineEnd(content, pos);
    Line line;
    if (brk == std::string_view::npos) {
      line.text = std::string(content.substr(pos));
      pos = content.size();
    } else {
      line.text = std::string(content.substr(pos, brk - pos));
      const std::size_t len = (content[brk] == '\r' && brk + 1 < content.size() && content[brk + 1] == '\n') ? 2 : 1;
      line.eol = std::string(content.substr(brk, len));
      pos = brk + len;
      if (!eol_seen) eol_ = line.eol;
      eol_seen = true;
    }
    lines_.push_back(std::move(line));
  }
}

std::string TIniText::Text() const {
  std::size_t size = 0;
  for (const Line& l : lines_) size += l.text.size() + l.eol.size();
  std::string out;
  out.reserve(size);
  for (const Line& l : lines_) out.append(l.text).append(l.eol);
  return out;
}

// A byte-order mark before the first line is kept but not read as a name.
std::string_view TIniText::Body(std::size_t i) const {
  std::string_view s = lines_[i].text;
  if (i == 0 && s.starts_with(kUtf8Bom)) s.remove_prefix(kUtf8Bom.size());
  return s;
}

std::optional<TIniText::Range> TIniText::FindSection(std::string_view section) const {
  const std::string want = FoldName(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionOf(Body(i));
    if (!name || FoldName(*name) != want) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionOf(Body(end))) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> TIniText::FindKey(const Range& r, std::string_view key) const {
  const std::string want = FoldName(key);
  for (std::size_t i = r.header + 1; i < r.end; ++i) {
    auto kv = KeyOf(Body(i));
    if (kv && kv->key.size() == key.size() && FoldName(kv->key) == want) return i;
  }
  return std::nullopt;
}

std::optional<std::string> TIniText::Read(std::string_view section, std::string_view key) const {
  auto r = FindSection(section);
  if (!r) return std::nullopt;
  auto i = FindKey(*r, key);
  if (!i) return std::nullopt;
  return std::string(ValueOf(KeyOf(Body(*i))->value));
}

bool TIniText::SectionExists(std::string_view section) const { return FindSection(section).has_value(); }

std::vector<std::pair<std::string, std::string>> TIniText::SectionValues(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  auto r = FindSection(section);
  if (!r) return out;
  std::unordered_map<std::string, bool> seen;
  for (std::size_t i = r->header + 1; i < r->end; ++i) {
    auto kv = KeyOf(Body(i));
    if (kv && seen.emplace(FoldName(kv->key), true).second) out.emplace_back(kv->key, ValueOf(kv->value));
  }
  return out;
}

std::unordered_map<std::string, std::string> TIniText::SectionMap(std::string_view section) const {
  std::unordered_map<std::string, std::string> out;
  auto r = FindSection(section);
  if (!r) return out;
  for (std::size_t i = r->header + 1; i < r->end; ++i) {
    if (auto kv = KeyOf(Body(i))) out.emplace(FoldName(kv->key), ValueOf(kv->value));
  }
  return out;
}

void TIniText::EnsureLastLineEnded() {
  if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = eol_;
}

bool TIniText::Write(std::string_view section, std::string_view key, std::string_view value) {
  return WriteMany(section, {{std::string(key), std::string(value)}});
}

bool TIniText::Delete(std::string_view section, std::string_view key) {
  return DeleteMany(section, {std::string(key)});
}

std::unordered_map<std::string, std::size_t> TIniText::KeyLines(const Range& r, std::size_t& after_last_key) const {
  std::unordered_map<std::string, std::size_t> at;
  after_last_key = r.header + 1;
  for (std::size_t i = r.header + 1; i < r.end; ++i) {
    if (auto kv = KeyOf(Body(i))) {
      at.emplace(FoldName(kv->key), i);
      after_last_key = i + 1;
    }
  }
  return at;
}

bool TIniText::WriteMany(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values) {
  if (values.empty()) return false;
  // Every name is checked before the first change, so a refused name leaves
  // the text as it was.
  CheckSectionName(section);
  for (const auto& kv : values) CheckKeyName(kv.first);
  if (!FindSection(section)) {
    EnsureLastLineEnded();
    lines_.push_back({"[" + std::string(section) + "]", eol_});
  }
  std::size_t insert_at = 0;
  auto at = KeyLines(*FindSection(section), insert_at);
  bool changed = false;
  std::vector<Line> added;
  for (const auto& [key, raw] : values) {
    const std::string value = StoredForm(raw.substr(0, raw.find_first_of(std::string_view("\r\n\0", 3))));
    auto [it, is_new] = at.emplace(FoldName(key), SIZE_MAX);
    if (is_new) {
      added.push_back({key + "=" + value, eol_});
    } else if (it->second != SIZE_MAX) {  // SIZE_MAX: added by this call, the first one counts
      std::string& text = lines_[it->second].text;
      const std::size_t eq = text.find('=');
      if (ValueOf(std::string_view(text).substr(eq + 1)) == ValueOf(value)) continue;
      text = text.substr(0, eq + 1) + value;
    } else {
      continue;
    }
    changed = true;
  }
  if (!added.empty()) {
    if (insert_at > 0 && lines_[insert_at - 1].eol.empty()) lines_[insert_at - 1].eol = eol_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at), added.begin(), added.end());
  }
  return changed;
}

bool TIniText::DeleteMany(std::string_view section, const std::vector<std::string>& keys) {
  auto r = FindSection(section);
  if (!r || keys.empty()) return false;
  std::unordered_map<std::string, bool> doomed;
  for (const std::string& k : keys) doomed.emplace(FoldName(k), true);
  std::vector<Line> kept(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(r->header + 1));
  for (std::size_t i = r->header + 1; i < r->end; ++i) {
    auto kv = KeyOf(Body(i));
    if (!kv || !doomed.count(FoldName(kv->key))) kept.push_back(std::move(lines_[i]));
  }
  const bool changed = kept.size() != r->end;
  kept.insert(kept.end(), std::make_move_iterator(lines_.begin() + static_cast<std::ptrdiff_t>(r->end)),
              std::make_move_iterator(lines_.end()));
  lines_ = std::move(kept);
  return changed;
}

bool TIniText::EraseSection(std::string_view section) {
  auto r = FindSection(section);
  if (!r) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(r->header),
               lines_.begin() + static_cast<std::ptrdiff_t>(r->end));
  return true;
}

}  // namespace yk

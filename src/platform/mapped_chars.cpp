// The table of a document's mapped characters: giving codes, looking them
// up both ways, and the table as text.
#include "platform/mapped_chars.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <random>

#include "platform/cp932_codec.h"
#include "text/cp932.h"

namespace yk {

namespace {

using cp932::kNoCode;

std::string NewId() {
  static std::atomic<unsigned> counter{0};
  static const std::uint64_t salt = [] {
    std::random_device device;
    return std::uint64_t{device()} << 32 ^ device() ^
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }();
  return std::to_string(::getpid()) + '-' + std::to_string(salt) + '-' + std::to_string(counter++);
}

// The character CP932 itself shows for an ordinary code.
char32_t CodecChar(std::uint16_t code) {
  const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  return code <= 0xFF ? cp932::Glyph(std::string_view(bytes + 1, 1)) : cp932::Glyph(std::string_view(bytes, 2));
}

void SetBit(std::vector<std::uint64_t>& bits, std::uint16_t code) {
  if (bits.empty()) bits.assign(0x10000 / 64, 0);
  bits[code >> 6] |= std::uint64_t{1} << (code & 63);
}

bool ValidChar(char32_t c) { return c != 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// The ordinary two-byte codes that several characters map to (〜 and ～ to
// 0x8160, and so on), as bits: the codes whose form a document keeps.
bool IsSharedCode(std::uint16_t code) {
  static const std::vector<std::uint64_t> bits = [] {
    const std::uint16_t* table = cp932::CodeTable();
    std::vector<unsigned char> sharers(0x10000, 0);
    for (char32_t u = 0; u < 0x10000; ++u)
      if (table[u] != kNoCode && table[u] > 0xFF && sharers[table[u]] < 2) ++sharers[table[u]];
    std::vector<std::uint64_t> b(0x10000 / 64, 0);
    for (unsigned code = 0; code < 0x10000; ++code)
      if (sharers[code] > 1) b[code >> 6] |= std::uint64_t{1} << (code & 63);
    return b;
  }();
  return bits[code >> 6] >> (code & 63) & 1;
}

}  // namespace

TMappedChars::TMappedChars(bool keepForms) : keep_forms_(keepForms), id_(NewId()) {}

std::uint16_t TMappedChars::CodeAt(int index) {
  const int trail = index % 188;
  return static_cast<std::uint16_t>((0xF0 + index / 188) << 8 | (trail < 0x3F ? trail + 0x40 : trail + 0x41));
}

std::uint16_t TMappedChars::CodeFor(char32_t c) {
  const std::uint16_t natural = c < 0x10000 ? cp932::CodeTable()[c] : kNoCode;
  if (natural != kNoCode) {
    if (IsAreaCode(natural)) {
      // Private use: its own code, unless that went to another character.
      const char32_t taken = by_index_[Index(natural)];
      if (taken == 0 || taken == c) {
        if (taken == 0) NoteUsed(natural);
        return natural;
      }
    } else {
      const char32_t kept = CharOf(natural);
      const char32_t form = kept != 0 ? kept : CodecChar(natural);
      if (!keep_forms_ || form == c) {
        if (keep_forms_) MarkSeen(natural);
        return natural;
      }
      // The first form a code meets keeps it; ASCII keeps its own.
      LearnUsedCodes();
      if (natural >= 0x80 && kept == 0 && !Seen(natural)) {
        KeepForm(natural, c);
        return natural;
      }
    }
  }
  if (const auto it = codes_.find(c); it != codes_.end()) return it->second;
  return Give(c);
}

std::uint16_t TMappedChars::CodeApart(char32_t c) {
  if (const auto it = codes_.find(c); it != codes_.end()) return it->second;
  return Give(c);
}

void TMappedChars::LearnUsedCodes() {
  if (!used_source_) return;
  // Cleared first: the source may give codes through this table itself.
  const auto source = std::move(used_source_);
  used_source_ = nullptr;
  source(*this);
}

std::uint16_t TMappedChars::Give(char32_t c) {
  LearnUsedCodes();
  while (next_ >= 0 && used_[static_cast<std::size_t>(next_)]) --next_;
  if (next_ < 0 || !ValidChar(c)) {
    overflow_.insert(c);
    return kNoCode;
  }
  const int index = next_--;
  Map(index, c);
  return CodeAt(index);
}

void TMappedChars::Map(int index, char32_t c) {
  used_.set(static_cast<std::size_t>(index));
  by_index_[static_cast<std::size_t>(index)] = c;
  codes_.emplace(c, CodeAt(index));
}

void TMappedChars::KeepForm(std::uint16_t code, char32_t c) {
  forms_[code] = c;
  SetBit(form_bits_, code);
  MarkSeen(code);
}

void TMappedChars::MarkSeen(std::uint16_t code) { SetBit(seen_, code); }

std::vector<std::pair<std::uint16_t, char32_t>> TMappedChars::Entries() const {
  std::vector<std::pair<std::uint16_t, char32_t>> entries;
  for (int k = 0; k < kCapacity; ++k)
    if (by_index_[static_cast<std::size_t>(k)] != 0) entries.emplace_back(CodeAt(k), by_index_[static_cast<std::size_t>(k)]);
  return entries;
}

void TMappedChars::NoteUsed(std::uint16_t code) {
  if (IsAreaCode(code)) used_.set(static_cast<std::size_t>(Index(code)));
}

void TMappedChars::NoteUsedIn(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (!cp932::IsLeadByte(b) || i + 1 == s.size()) continue;
    const auto code = static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(s[++i]));
    if (b >= 0xF0 && b <= 0xF9) NoteUsed(code);
    else if (keep_forms_ && IsSharedCode(code)) MarkSeen(code);
  }
}

// One line per entry: "F9FC 1F600" (a mapped code and its character) or
// "8160 301C" (an ordinary code and the form the document keeps), after a
// first line naming the format and the form flag.
std::string TMappedChars::Save() const {
  std::string text = keep_forms_ ? "mapped-chars 1 forms\n" : "mapped-chars 1\n";
  char line[32];
  const auto put = [&](unsigned code, unsigned c) {
    std::snprintf(line, sizeof line, "%04X %X\n", code, c);
    text += line;
  };
  for (const auto& [code, c] : Entries()) put(code, static_cast<unsigned>(c));
  for (const auto& [code, c] : forms_) put(code, static_cast<unsigned>(c));
  return text;
}

std::shared_ptr<TMappedChars> TMappedChars::Load(std::string_view text) {
  std::shared_ptr<TMappedChars> table;
  for (std::size_t pos = 0; pos <= text.size();) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!table) {
      table = std::make_shared<TMappedChars>(line.ends_with(" forms"));
      continue;
    }
    unsigned code = 0, c = 0;
    const char* last = line.data() + line.size();
    const auto a = std::from_chars(line.data(), last, code, 16);
    if (a.ec != std::errc() || a.ptr == last || *a.ptr != ' ') continue;
    const auto b = std::from_chars(a.ptr + 1, last, c, 16);
    if (b.ec != std::errc() || b.ptr != last || code > 0xFFFF || !ValidChar(c)) continue;
    const auto code16 = static_cast<std::uint16_t>(code);
    if (IsAreaCode(code16)) {
      if (table->by_index_[Index(code16)] == 0 && !table->codes_.count(c)) table->Map(Index(code16), c);
    } else if (cp932::IsLeadByte(static_cast<unsigned char>(code16 >> 8)) && c < 0x10000) {
      table->KeepForm(code16, c);
    }
  }
  return table ? table : std::make_shared<TMappedChars>();
}

}  // namespace yk

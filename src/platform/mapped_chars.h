// TMappedChars: the table of one document's characters that CP932 cannot
// hold. Each gets a free code of CP932's user-defined area (lead bytes
// 0xF0-0xF9, 1,880 codes), so the text model sees an ordinary two-byte,
// two-column character; every edge where the text meets Unicode (painting,
// clipboard, input, search boxes, files) converts through the table.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace yk {

class TMappedChars {
 public:
  // Codes of the user-defined area.
  static constexpr int kCapacity = 1880;
  static constexpr std::uint16_t kFirstCode = 0xF040;
  static constexpr std::uint16_t kLastCode = 0xF9FC;
  static constexpr bool IsAreaCode(std::uint16_t code) { return code >= kFirstCode && code <= kLastCode && Index(code) >= 0; }

  // keepForms: the document came from Unicode, where the characters that
  // CP932 writes alike (WAVE DASH and FULLWIDTH TILDE, YEN SIGN and
  // backslash, ...) are different characters. The first of them a code
  // meets keeps that code; any other gets a mapped code of its own, and so
  // does every character CP932 writes as ASCII. Without it (Shift-JIS,
  // EUC-JP, ISO-2022-JP and new documents) they merge as CP932 merges them.
  explicit TMappedChars(bool keepForms = false);
  TMappedChars(const TMappedChars&) = delete;
  TMappedChars& operator=(const TMappedChars&) = delete;

  bool KeepsForms() const { return keep_forms_; }
  // Unique among all tables of all processes: text copied with mapped
  // codes goes between windows of one table only.
  const std::string& Id() const { return id_; }
  // Codes given so far.
  int Count() const { return static_cast<int>(codes_.size()); }
  // CP932 text means what the codec says: no code given, no form kept.
  bool Plain() const { return codes_.empty() && forms_.empty(); }
  // Distinct characters that found no free code.
  int Overflow() const { return static_cast<int>(overflow_.size()); }

  // The code (a byte, or lead << 8 | trail) of character c in this
  // document, given a free one when it needs one; cp932::kNoCode when it
  // needs one and none is free. Codes once given are never given again,
  // so undo and every copy of the text keep their meaning.
  std::uint16_t CodeFor(char32_t c);
  // A mapped code for c although CP932 shows c through another code that
  // would be written back as other bytes; kNoCode when none is free.
  std::uint16_t CodeApart(char32_t c);
  // The character code stands for in this document when that is not the
  // codec's: a mapped character or a kept form; else 0.
  char32_t CharOf(std::uint16_t code) const {
    if (code >= kFirstCode) return code <= kLastCode && Index(code) >= 0 ? by_index_[Index(code)] : 0;
    if (form_bits_.empty() || !(form_bits_[code >> 6] >> (code & 63) & 1)) return 0;
    return forms_.find(code)->second;
  }
  // A code this table gave (not one of the document's own).
  bool IsMapped(std::uint16_t code) const { return IsAreaCode(code) && by_index_[Index(code)] != 0; }
  // The mapped codes with their characters, in code order.
  std::vector<std::pair<std::uint16_t, char32_t>> Entries() const;

  // Codes of the user-defined area the document holds itself: never given
  // away. NoteUsedIn looks at every character of a CP932 text, and notes
  // too (keeping forms) the codes of merged pairs it holds, whose form is
  // then settled.
  void NoteUsed(std::uint16_t code);
  void NoteUsedIn(std::string_view cp932);
  // A document whose own codes are not known yet (read as Shift-JIS, or
  // restored from a snapshot): source notes them, once, before the first
  // code is given or form kept.
  void SetUsedCodeSource(std::function<void(TMappedChars&)> source) { used_source_ = std::move(source); }

  // The table as text and back, for snapshots that keep a document's text
  // in CP932: the form flag, every mapped code and every kept form. Load
  // ignores lines it cannot read (a damaged file gives a smaller table).
  std::string Save() const;
  static std::shared_ptr<TMappedChars> Load(std::string_view text);

 private:
  static constexpr int Index(std::uint16_t code) {
    const int lead = code >> 8, trail = code & 0xFF;
    if (lead < 0xF0 || lead > 0xF9 || trail < 0x40 || trail == 0x7F || trail > 0xFC) return -1;
    return (lead - 0xF0) * 188 + (trail < 0x7F ? trail - 0x40 : trail - 0x41);
  }
  static std::uint16_t CodeAt(int index);
  std::uint16_t Give(char32_t c);
  void LearnUsedCodes();
  void Map(int index, char32_t c);
  void KeepForm(std::uint16_t code, char32_t c);
  bool Seen(std::uint16_t code) const { return !seen_.empty() && (seen_[code >> 6] >> (code & 63) & 1); }
  void MarkSeen(std::uint16_t code);

  bool keep_forms_;
  std::string id_;
  std::vector<char32_t> by_index_ = std::vector<char32_t>(kCapacity, 0);
  std::unordered_map<char32_t, std::uint16_t> codes_;  // mapped character -> code
  std::unordered_map<std::uint16_t, char32_t> forms_;  // ordinary code -> the form kept
  std::vector<std::uint64_t> form_bits_;               // the codes of forms_, as bits
  std::vector<std::uint64_t> seen_;                    // ordinary codes met (keepForms only)
  std::bitset<kCapacity> used_;                        // given, or the document's own
  int next_ = kCapacity - 1;                           // codes are given from the top down
  std::function<void(TMappedChars&)> used_source_;
  std::unordered_set<char32_t> overflow_;
};

}  // namespace yk

// The one place where CP932 bytes and Unicode meet: painting glyphs, the
// clipboard, the input method and window titles. Documents never pass
// through here; they stay CP932 bytes end to end. A document's text meets
// Unicode through its table of mapped characters (the overloads taking a
// TMappedChars), so that characters CP932 cannot hold keep their identity.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace yk {
class TMappedChars;
}

namespace yk::cp932 {

// Shown for bytes that are not valid CP932; the document is never changed.
inline constexpr char16_t kSubstitute = u'\uFFFD';

// The character for one CP932 character (one or two bytes, as the lead-byte
// rules cut it); kSubstitute when the bytes name no character. A fast
// table built once: painting calls it for every visible character.
char16_t Glyph(std::string_view ch) noexcept;

// Unicode for a whole byte string; invalid characters become kSubstitute.
std::u16string Decode(std::string_view bytes);

struct TEncoded {
  std::string bytes;
  int replaced = 0;  // characters with no CP932 form, written as "?"
};
// CP932 for Unicode text. The code points that Japanese input methods and
// programs on Unix produce (WAVE DASH, MINUS SIGN, …) map to the CP932
// characters a Japanese user means; anything without a CP932 form becomes
// "?" and is counted, so the caller can tell the user.
TEncoded Encode(std::u16string_view text);

// The CP932 code of every BMP character, indexed by the character: a byte,
// or lead << 8 | trail; kNoCode when it has none. The mapping Encode uses,
// for converters that walk long texts themselves.
inline constexpr std::uint16_t kNoCode = 0xFFFF;
const std::uint16_t* CodeTable() noexcept;

// --- a document's text -----------------------------------------------------
// The character of one CP932 character (as the lead-byte rules cut it) in
// a document whose table is chars (null: the codec's alone).
char32_t CharOf(std::string_view ch, const TMappedChars* chars) noexcept;
// Unicode for a document's text, characters beyond the BMP as surrogate
// pairs.
std::u16string Decode(std::string_view bytes, const TMappedChars* chars);
// CP932 for Unicode text entering a document (typed, pasted, searched
// for): a character CP932 cannot hold gets a code of chars; only when no
// code is free, or chars is null, it becomes "?" and is counted. Every code
// point keeps a code of its own (combining marks and joiners too).
TEncoded Encode(std::u16string_view text, TMappedChars* chars);

// UTF-8 helpers for file names and messages shown to the user.
std::string DecodeToUtf8(std::string_view bytes);
TEncoded EncodeFromUtf8(std::string_view utf8);

}  // namespace yk::cp932

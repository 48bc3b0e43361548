// Fuzz target: arbitrary bytes as a file of any encoding (read whole and in
// pieces), and as CP932 text written in each encoding.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/cp932_codec.h"
#include "platform/text_encoding.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A text read back as it was promised: exact means the same bytes again.
void CheckRead(std::string_view input, const yk::TDecodedText& d) {
  Check(d.bytes.size() <= input.size());
  Check(d.unmapped >= 0 && d.invalid >= 0);
  if (d.exact) Check(yk::EncodeText(d.bytes, d.format, d.chars.get()).bytes == input);
}

// Read in pieces of size bytes, as a file is read in blocks: the same text
// and counts as read whole.
void CheckPieces(std::string_view input, yk::TTextEncoding e, std::size_t size) {
  const yk::TDecodedText whole = yk::DecodeTextAs(input, e);
  yk::TTextDecoder decoder(e);
  yk::TEncodingDetector detector;
  std::string out, carry, detectCarry;
  for (std::size_t pos = 0;;) {
    const std::size_t take = std::min(size, input.size() - pos);
    carry.append(input.substr(pos, take));
    detectCarry.append(input.substr(pos, take));
    pos += take;
    const bool last = pos == input.size();
    carry.erase(0, decoder.Feed(carry, last, out));
    detectCarry.erase(0, detector.Feed(detectCarry, last));
    if (last) break;
  }
  const yk::TDecodedText d = decoder.Finish();
  Check(out == whole.bytes && d.format == whole.format && d.unmapped == whole.unmapped &&
        d.invalid == whole.invalid && d.exact == whole.exact);
  Check(detector.Result() == yk::DetectEncoding(input));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const yk::TDecodedText detected = yk::DecodeText(input);
  CheckRead(input, detected);
  Check(detected.invalid == 0);  // else the bytes stay CP932 as they were
  Check(detected.format.encoding == yk::DetectEncoding(input) || detected.bytes == input);
  for (yk::TTextEncoding e : yk::kTextEncodings) {
    CheckRead(input, yk::DecodeTextAs(input, e));
    // CP932 text written in e and read back shows the same characters,
    // where every character had a form in e (a vendor duplicate may come
    // back as its twin code, or as a code of its own where e has a second
    // form of it, so the characters are compared through the table read).
    yk::TTextFormat format;
    format.encoding = e;
    const yk::TEncodedText written = yk::EncodeText(input, format);
    if (written.unrepresentable == 0) {
      const yk::TDecodedText back = yk::DecodeTextAs(written.bytes, e);
      Check(back.invalid == 0 && yk::cp932::Decode(back.bytes, back.chars.get()) == yk::cp932::Decode(input));
    }
  }
  if (size > 0) CheckPieces(input.substr(1), static_cast<yk::TTextEncoding>(data[0] % 6), data[0] / 6 % 7 + 1);
  yk::ConvertLineEnds(input, yk::DetectLineEnds(input));
  return 0;
}

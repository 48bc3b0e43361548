// The benchmark document in another encoding, written once to the
// temporary folder like the CP932 original.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "docgen.h"
#include "platform/text_encoding.h"
#include "platform/unicode.h"

namespace yk::bench {

// MakeDocument(bytes) written in encoding; its path.
inline std::string EncodedDocumentFile(std::size_t bytes, TTextEncoding encoding) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("yk_bench_" + std::string(EncodingName(encoding)) + "_" + std::to_string(bytes) + ".txt");
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) < bytes || ec) {
    TTextFormat format;
    format.encoding = encoding;
    const std::string doc = EncodeText(MakeDocument(bytes), format).bytes;
    std::ofstream(path, std::ios::binary).write(doc.data(), static_cast<std::streamsize>(doc.size()));
  }
  return path.string();
}

// The 400 characters outside CP932 the foreign documents use: emoji,
// Hangul, accented Latin letters and kanji beyond the BMP, 100 of each.
inline char32_t ForeignChar(std::size_t i) {
  static constexpr char32_t kFirst[] = {0x1F600, 0xAC00, 0x00C0, 0x20000};
  return kFirst[i % 4] + static_cast<char32_t>(i / 4 % 100);
}

// The UTF-8 form of MakeDocument(bytes) with one character outside CP932
// at the start of every line (one of ForeignChar's), written once; its
// path.
inline std::string ForeignDocumentFile(std::size_t bytes) {
  const auto path = std::filesystem::temp_directory_path() / ("yk_bench_foreign_" + std::to_string(bytes) + ".txt");
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) < bytes || ec) {
    TTextFormat format;
    format.encoding = teUtf8;
    const std::string utf8 = EncodeText(MakeDocument(bytes), format).bytes;
    std::string doc;
    doc.reserve(utf8.size() + utf8.size() / 16);
    std::size_t line = 0;
    for (std::size_t from = 0; from < utf8.size();) {
      const std::size_t end = std::min(utf8.find('\n', from), utf8.size() - 1) + 1;
      unicode::AppendUtf8(doc, ForeignChar(line++));
      doc.append(utf8, from, end - from);
      from = end;
    }
    std::ofstream(path, std::ios::binary).write(doc.data(), static_cast<std::streamsize>(doc.size()));
  }
  return path.string();
}

}  // namespace yk::bench

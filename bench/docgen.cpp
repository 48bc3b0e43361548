// Realistic CP932 benchmark documents from a fixed seed.
#include "docgen.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "text/cp932.h"

namespace yk::bench {

namespace {

void AppendChar(std::string& out, int lead, int trail) {
  out += static_cast<char>(lead);
  out += static_cast<char>(trail);
}

void AppendWord(std::string& out, std::mt19937& rng) {
  static const char* ascii[] = {"the", "int", "value", "return", "Yomikaki", "2026", "x", "buffer", "i++", "==",
                                "(a,", "b)", "{", "}", "/*", "*/", "http://example.jp/", "3.14"};
  switch (rng() % 10) {
    case 0:
    case 1:
    case 2: {  // kanji of the first level
      for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n)
        AppendChar(out, 0x88 + static_cast<int>(rng() % 0x10), 0x9F + static_cast<int>(rng() % 0x5D));
      break;
    }
    case 3:
    case 4:
    case 5:  // hiragana
      for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n) AppendChar(out, 0x82, 0x9F + static_cast<int>(rng() % 0x53));
      break;
    case 6:  // katakana
      for (int n = 2 + static_cast<int>(rng() % 3); n > 0; --n) AppendChar(out, 0x83, 0x40 + static_cast<int>(rng() % 0x3F));
      break;
    case 7:  // punctuation 、。「」
      AppendChar(out, 0x81, "\x41\x42\x75\x76"[rng() % 4] & 0xFF);
      break;
    case 8:  // half-width katakana
      for (int n = 2 + static_cast<int>(rng() % 3); n > 0; --n) out += static_cast<char>(0xB1 + rng() % 0x2D);
      break;
    default:
      out += ascii[rng() % std::size(ascii)];
      out += ' ';
  }
}

}  // namespace

std::string MakeDocument(std::size_t bytes) {
  std::mt19937 rng(20261207);
  std::string out;
  out.reserve(bytes + 256);
  while (out.size() < bytes) {
    std::size_t target = 20 + rng() % 90;  // averages about 65 bytes
    std::size_t start = out.size();
    if (rng() % 8 == 0) out += '\t';
    while (out.size() - start < target) AppendWord(out, rng);
    out += "\r\n";
  }
  return out;
}

std::string DocumentFile(std::size_t bytes) {
  auto path = std::filesystem::temp_directory_path() / ("yk_bench_" + std::to_string(bytes) + ".txt");
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) < bytes || ec) {
    std::string doc = MakeDocument(bytes);
    std::ofstream(path, std::ios::binary).write(doc.data(), static_cast<std::streamsize>(doc.size()));
  }
  return path.string();
}

std::string ReplaceDocument() {
  const std::string doc = MakeDocument(10u << 20);
  std::string out;
  out.reserve(doc.size() + 200000);
  int lines = 0;
  for (std::size_t i = 0; i < doc.size();) {
    const std::size_t end = doc.find("\r\n", i) + 2;
    if (lines++ < 100000) out += "\x82\xcc";  // の
    out.append(doc, i, end - i);
    i = end;
  }
  return out;
}

std::string PlainReplacement(const std::string& doc, std::size_t& count) {
  std::string out;
  out.reserve(doc.size());
  for (std::size_t i = 0; i < doc.size();) {
    const std::size_t n = cp932::CharLength(doc, i);
    if (n == 2 && doc.compare(i, 2, "\x82\xcc") == 0) {
      out += "\x83\x6d";  // ノ
      ++count;
    } else {
      out.append(doc, i, n);
    }
    i += n;
  }
  return out;
}

}  // namespace yk::bench

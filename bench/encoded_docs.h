// The benchmark document in another encoding, written once to the
// temporary folder like the CP932 original.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "docgen.h"
#include "platform/text_encoding.h"

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

}  // namespace yk::bench

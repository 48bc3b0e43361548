// The beginning of a file for the preview pane: read without ever blocking
// on a FIFO or device and never more than a cap, cut so that no line or
// character is shown in part.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"
#include "shell/document_file.h"

namespace yk {

// Files up to this size are previewed whole; of a larger one only this much.
inline constexpr std::size_t kPreviewMaxBytes = std::size_t{16} << 20;

struct TFilePrefix {
  TLoadProblem Problem = TLoadProblem::None;  // why nothing was read
  std::string Bytes;
  bool Truncated = false;  // the file goes on after Bytes
};

// Reads at most max bytes of path. Only a regular file is read; a folder,
// FIFO, socket or device gives its TLoadProblem and no bytes.
TFilePrefix ReadFilePrefix(const std::string& path, std::size_t max = kPreviewMaxBytes);

// The text a preview shows of bytes: up to the first Ctrl+Z (the end of a
// text file, as a load reads it); when truncated (more follows), cut back
// to the end of the last whole line, or to the last whole character when no
// line ends in it.
std::string_view PreviewText(std::string_view bytes, bool truncated);

// The text a preview shows of the beginning of a file in any encoding:
// CP932 as PreviewText gives it; another encoding read (its characters
// outside CP932 given codes of the result's table) and, when truncated,
// cut back to the end of its last whole line.
TDecodedText DecodePreview(std::string_view bytes, bool truncated);

}  // namespace yk

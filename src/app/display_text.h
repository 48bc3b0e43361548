// Native file names turned into Qt text for the screen, and back, and why
// a failure happened in words for the user. File names stay bytes for
// every file operation; only what the user sees is decoded.
#pragma once

#include <QString>

#include <exception>
#include <string>
#include <string_view>

namespace yk {

// A file name as the user should read it: UTF-8 when the bytes are valid
// UTF-8, else CP932 (names from Windows archives), so that no name shows
// as a row of substitutes.
QString DisplayPath(std::string_view path);
// The file-name part of a path (after the last '/').
std::string FileNamePart(std::string_view path);
// The folder part of a path without its trailing '/' ("/" for the root,
// empty for a bare name).
std::string FolderPart(std::string_view path);
// A name chosen in a Qt dialog as native bytes.
std::string NativePath(const QString& path);
// Why e happened, for a message box: a file error with an error number in
// Japanese (the system's English text only for numbers without one), any
// other error with its own message.
QString FailureReason(const std::exception& e);

}  // namespace yk

// The system's error numbers told in Japanese, for messages to the user.
#pragma once

#include <string>

namespace yk {

// What went wrong, as one CP932 sentence ending in "。": a Japanese text
// for the error numbers that files, folders and programs meet; for any
// other number the system's own (English) description with the number, and
// for 0 a sentence saying the cause is unknown.
std::string SystemErrorText(int error);

}  // namespace yk

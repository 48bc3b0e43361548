// Fuzz target: arbitrary bytes as the program's arguments (NUL separates
// them, as in argv), and as a path to be made absolute and cleaned.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"

namespace {

void CheckFailed(const char* what, int line) {
  std::fprintf(stderr, "command_line_fuzz.cpp:%d: check failed: %s\n", line, what);
  std::abort();
}
#define CHECK(cond) ((cond) ? (void)0 : CheckFailed(#cond, __LINE__))

std::vector<std::string> SplitArguments(std::string_view input) {
  std::vector<std::string> args;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= input.size(); ++i) {
    if (i == input.size() || input[i] == '\0') {
      if (i > start || i < input.size()) args.emplace_back(input.substr(start, i - start));
      start = i + 1;
    }
  }
  return args;
}

bool Contains(const std::vector<std::string>& args, const std::string& s) {
  for (const std::string& a : args)
    if (a == s) return true;
  return false;
}

// A clean absolute path: one leading slash, no empty, "." or ".." part,
// no trailing slash except for the root.
void CheckClean(const std::string& p) {
  CHECK(!p.empty() && p[0] == '/');
  if (p == "/") return;
  CHECK(p.back() != '/');
  CHECK(p.find("//") == std::string::npos);
  CHECK(p.find("/./") == std::string::npos && p.find("/../") == std::string::npos);
  CHECK(p.size() < 2 || p.substr(p.size() - 2) != "/.");
  CHECK(p.size() < 3 || p.substr(p.size() - 3) != "/..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args = SplitArguments(input);
  const yk::TCommandLine cl = yk::ParseCommandLine(args);
  using A = yk::TCommandLine::TAction;
  if (cl.action == A::Open) {
    CHECK(Contains(args, cl.file));
  } else {
    CHECK(cl.file.empty());
  }
  CHECK(cl.line >= 0);
  CHECK(cl.column >= -1);
  CHECK(cl.selLength >= 0);
  if (cl.line == 0) CHECK(cl.column == -1);
  if (cl.column == -1) CHECK(cl.selLength == 0);
  if (cl.action == A::Help || cl.action == A::Version) CHECK(cl.line == 0);

  // The first argument as a path, the second as the current folder.
  const std::string path = args.empty() ? std::string() : args[0];
  const std::string folder = args.size() > 1 ? "/" + args[1] : std::string("/");
  const std::string clean = yk::LongPathName(path, folder);
  if (path.empty()) {
    CHECK(clean.empty());
  } else {
    CheckClean(clean);
    CHECK(yk::LongPathName(clean, "/elsewhere") == clean);  // cleaning twice changes nothing
  }
  return 0;
}

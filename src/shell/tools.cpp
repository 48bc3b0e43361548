// Parameters, argument splitting and look-ups for external tools.
#include "shell/tools.h"

#include <unistd.h>

#include <filesystem>

#include "shell/file_names.h"

namespace yk {

std::string DocumentFolder(std::string_view fileName, std::string_view programFolder) {
  std::string folder = fileName == kUntitledName ? std::string(programFolder) : FolderOf(fileName);
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

std::string TracerParameters(std::string_view folder, std::string_view extensions, std::string_view selection) {
  std::string p = "/P " + std::string(folder) + " /E " + std::string(extensions.empty() ? "*.*" : extensions);
  if (!selection.empty()) p += " /K " + std::string(selection);
  return p;
}

std::vector<std::string> SplitCommandArguments(std::string_view command) {
  std::vector<std::string> args;
  std::string arg;
  bool inQuote = false;
  int quotes = 0;  // double quotes seen in a row
  for (char c : command) {
    if (c == '"') {
      if (++quotes == 3) {
        quotes = 0;
        arg.push_back('"');
      }
      continue;
    }
    if (quotes == 1) inQuote = !inQuote;
    quotes = 0;
    const bool blank = c == ' ' || (c >= '\t' && c <= '\r');
    if (!inQuote && blank) {
      if (!arg.empty()) args.push_back(std::move(arg));
      arg.clear();
    } else {
      arg.push_back(c);
    }
  }
  if (!arg.empty()) args.push_back(std::move(arg));
  return args;
}

std::optional<TLaunch> TracerLaunch(const std::string& tracerPath, std::string_view fileName,
                                    std::string_view programFolder, std::string_view extensions,
                                    std::string_view selection) {
  std::error_code ec;
  if (tracerPath.empty() || !std::filesystem::is_regular_file(tracerPath, ec)) return std::nullopt;
  TLaunch launch{tracerPath, {"/P", DocumentFolder(fileName, programFolder), "/E"}};
  std::vector<std::string> patterns = SplitCommandArguments(extensions);
  if (patterns.empty()) patterns.push_back("*.*");
  launch.Arguments.insert(launch.Arguments.end(), patterns.begin(), patterns.end());
  if (!selection.empty()) {
    launch.Arguments.push_back("/K");
    launch.Arguments.emplace_back(selection);
  }
  return launch;
}

std::optional<std::string> SelectedFileInFolder(std::string_view folder, std::string_view selection) {
  if (selection.empty() || selection.front() == '/' || selection.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos)
    return std::nullopt;
  namespace fs = std::filesystem;
  const fs::path name = (fs::path(std::string(folder)) / std::string(selection)).lexically_normal();
  std::error_code ec;
  if (!fs::is_regular_file(name, ec)) return std::nullopt;
  return name.string();
}

TToolMenuItem ToolMenuItem(std::string_view name, std::string_view path) {
  if (name.empty() || path.empty()) return {};
  return {true, std::string(name)};
}

bool CanPrintDocument(bool modified, std::string_view fileName) {
  return !modified && !fileName.empty() && fileName != kUntitledName;
}

std::string FindCalculator(std::string_view searchPath) {
  for (std::string_view name : kCalculatorNames) {
    for (std::size_t p = 0; p <= searchPath.size();) {
      std::size_t e = searchPath.find(':', p);
      if (e == std::string_view::npos) e = searchPath.size();
      const std::string_view dir = searchPath.substr(p, e - p);
      p = e + 1;
      if (dir.empty()) continue;
      const std::string candidate = std::string(dir) + (dir.back() == '/' ? "" : "/") + std::string(name);
      std::error_code ec;
      if (std::filesystem::is_regular_file(candidate, ec) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return {};
}

}  // namespace yk

// Command-line parsing and path normalisation.
#include "shell/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "props/names.h"

namespace yk {

namespace {

struct TArg {
  std::string text;
  bool literal;  // came after "--": never a switch
};

bool IsSwitch(const TArg& arg, char letter) {
  return !arg.literal && arg.text.size() == 2 && arg.text[0] == '/' &&
         (arg.text[1] == letter || arg.text[1] == letter - 'a' + 'A');
}

// The toolkit's standard options: those that take the next argument as
// their value, and those that stand alone.
constexpr std::string_view kToolkitValued[] = {
    "-style", "-stylesheet", "-platform", "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowtitle", "-qwindowicon", "-display", "-geometry", "-title", "-name", "-session"};
constexpr std::string_view kToolkitFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

// The option's name with one dash ("--style=x" is "-style"), "" when the
// argument is none of the toolkit's; value tells whether it has "=value".
std::string_view ToolkitOption(std::string_view a, bool& value) {
  if (a.size() > 2 && a.substr(0, 2) == "--") a.remove_prefix(1);
  const std::size_t equals = a.find('=');
  value = equals != std::string_view::npos;
  const std::string_view name = a.substr(0, equals);
  for (std::string_view o : kToolkitValued)
    if (name == o) return o;
  for (std::string_view o : kToolkitFlags)
    if (name == o && !value) return o;
  return {};
}

// Takes a toolkit option at arguments[i] (and its value) into toolkit;
// the number of arguments taken, 0 for none.
std::size_t TakeToolkitOption(const std::vector<std::string>& arguments, std::size_t i,
                              std::vector<std::string>& toolkit) {
  bool hasValue = false;
  const std::string_view option = ToolkitOption(arguments[i], hasValue);
  if (option.empty()) return 0;
  const bool valued = std::find(std::begin(kToolkitValued), std::end(kToolkitValued), option) !=
                      std::end(kToolkitValued);
  if (!valued || hasValue) {
    toolkit.push_back(arguments[i]);
    return 1;
  }
  if (i + 1 >= arguments.size()) return 0;
  toolkit.push_back(arguments[i]);
  toolkit.push_back(arguments[i + 1]);
  return 2;
}

// The arguments without "--", "--help", "--version" and the toolkit's
// options; a help or version request goes to asked, the toolkit's options
// to toolkit.
std::vector<TArg> Positional(const std::vector<std::string>& arguments, TCommandLine::TAction& asked,
                             std::vector<std::string>& toolkit) {
  std::vector<TArg> args;
  bool literal = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (!literal) {
      if (const std::size_t taken = TakeToolkitOption(arguments, i, toolkit)) {
        i += taken - 1;
        continue;
      }
    }
    if (!literal && a == "--") {
      literal = true;
    } else if (!literal && (a == "--help" || a == "--version")) {
      if (asked == TCommandLine::TAction::Empty) {
        asked = a == "--help" ? TCommandLine::TAction::Help : TCommandLine::TAction::Version;
      }
    } else {
      args.push_back({a, literal});
    }
  }
  return args;
}

void ReadJump(const std::vector<TArg>& args, TCommandLine& cl) {
  const std::size_t n = args.size();
  std::size_t file = 2;
  bool column_ok = false, length_ok = false;
  int line = 0, column = -1, length = 0;
  const bool line_ok = ParseInt32(args[1].text, line);
  if (n >= 5 && IsSwitch(args[2], 'c')) {
    column_ok = ParseInt32(args[3].text, column);
    file = 4;
    if (n >= 7 && IsSwitch(args[4], 's')) {
      length_ok = ParseInt32(args[5].text, length);
      file = 6;
    }
  }
  cl.action = TCommandLine::TAction::Open;
  cl.file = args[file].text;
  if (!line_ok) return;
  cl.line = line < 1 ? 1 : line;
  // A negative column has no meaning (-1 already stands for none).
  if (!column_ok || column < 0) return;
  cl.column = column;
  if (length_ok && length > 0) cl.selLength = length;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TCommandLine cl;
  const std::vector<TArg> args = Positional(arguments, cl.action, cl.toolkit);
  if (cl.action != TCommandLine::TAction::Empty) return cl;
  if (args.empty()) return cl;
  if (args.size() <= 2) {
    cl.action = TCommandLine::TAction::Open;
    cl.file = args[0].text;
    return cl;
  }
  if (!IsSwitch(args[0], 'l') && !IsSwitch(args[0], 'j')) return cl;
  ReadJump(args, cl);
  return cl;
}

std::string UsageText() {
  return "使い方: yomikaki [ファイル]\n"
         "       yomikaki /l 行 [/c 桁 [/s 長さ]] ファイル\n"
         "\n"
         "  /l 行     ファイルを開いて、その行 (1 から数える) の先頭へ移動します (/j も同じ)\n"
         "  /c 桁     さらに、その文字数だけ右へ移動します\n"
         "  /s 長さ   さらに、そこからその文字数を選択します\n"
         "  -style スタイル など、Qt の標準のオプションも使えます\n"
         "  --        これより後の引数はファイル名として扱います\n"
         "  --help    この説明を表示します\n"
         "  --version バージョンを表示します\n";
}

namespace {

std::string Joined(const std::vector<std::string>& parts) {
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  for (std::size_t p = 0; p < path.size();) {
    std::size_t e = path.find('/', p);
    if (e == std::string::npos) e = path.size();
    if (e > p) parts.push_back(path.substr(p, e - p));
    p = e + 1;
  }
  return parts;
}

bool IsLink(const std::string& path) {
  struct stat st{};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The path with every link resolved; itself when that fails (a dangling
// link: the lexical parent is all there is).
std::string RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}

}  // namespace

std::string LongPathName(const std::string& path, const std::string& folder) {
  if (path.empty()) return {};
  const std::string whole = path[0] == '/' ? path : folder + "/" + path;
  std::vector<std::string> parts;
  std::size_t p = 0;
  while (p <= whole.size()) {
    std::size_t e = whole.find('/', p);
    if (e == std::string::npos) e = whole.size();
    const std::string part = whole.substr(p, e - p);
    if (part == "..") {
      // As the kernel does: ".." after a symbolic link to a folder leads to
      // the parent of the link's target, not back to where the link lies.
      if (!parts.empty() && IsLink(Joined(parts))) parts = SplitPath(RealPath(Joined(parts)));
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    p = e + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

std::string LongPathName(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
  return LongPathName(path, cwd ? std::string(cwd.get()) : std::string("/"));
}

}  // namespace yk

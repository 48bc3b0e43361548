// External tools and launches: the grep tool's parameters and their split
// into arguments, the file a selection names, the tool menu items and the
// default calculator. Nothing here starts a program or uses a shell.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The caption of user tool 1 until the user sets another.
inline constexpr std::string_view kDefaultToolName1 = "\x93\x64\x91\xec\x82\xf0\x8b\x4e\x93\xae";  // 電卓を起動
// Calculators looked for, in this order, for user tool 1.
inline constexpr std::string_view kCalculatorNames[] = {"gnome-calculator", "kcalc", "galculator", "qalculate-gtk",
                                                         "xcalc"};

// The folder a command works in: the document's folder with its trailing
// "/", or programFolder (given a trailing "/") for an untitled document.
std::string DocumentFolder(std::string_view fileName, std::string_view programFolder);

// "/P " + folder + " /E " + extensions ("*.*" when empty), then " /K " and
// the selection when there is one. Nothing is quoted.
std::string TracerParameters(std::string_view folder, std::string_view extensions, std::string_view selection);

// Splits a parameter string into program arguments as the toolkit's
// command splitter does: blanks separate, double quotes group (and are
// removed), three double quotes in a row stand for one. No shell ever sees
// the text, so ";", "$(...)" and the like are plain characters.
std::vector<std::string> SplitCommandArguments(std::string_view command);

// A program and its arguments, to be started without a shell.
struct TLaunch {
  std::string Program;
  std::vector<std::string> Arguments;
  friend bool operator==(const TLaunch&, const TLaunch&) = default;
};

// The grep tool's launch; nullopt when no file exists at tracerPath. Its
// arguments are "/P", the folder, "/E", each of the blank-separated
// extensions ("*.*" when there are none), then "/K" and the selection when
// there is one: the folder and the selection are one argument each,
// whatever blanks or quotes they hold.
std::optional<TLaunch> TracerLaunch(const std::string& tracerPath, std::string_view fileName,
                                    std::string_view programFolder, std::string_view extensions,
                                    std::string_view selection);

// The existing file that selection names relative to folder ("../b.txt"
// included), in its lexically normal form; nullopt when there is none, the
// name is an absolute path, or it holds a NUL or line break.
std::optional<std::string> SelectedFileInFolder(std::string_view folder, std::string_view selection);

// A user tool's menu item: shown, with the name as caption, only when both
// the name and the path are set.
struct TToolMenuItem {
  bool Visible = false;
  std::string Caption;
};
TToolMenuItem ToolMenuItem(std::string_view name, std::string_view path);

// Printing prints the saved file, so it needs a saved, unmodified document.
bool CanPrintDocument(bool modified, std::string_view fileName);

// The full path of the first calculator of kCalculatorNames found as an
// executable file in the folders of searchPath (":"-separated, as PATH;
// empty entries, which would mean the current folder, are skipped), or ""
// when there is none.
std::string FindCalculator(std::string_view searchPath);

}  // namespace yk

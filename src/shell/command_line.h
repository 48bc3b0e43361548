// The program's command line: a file, optionally with a line, a column and a
// selection length to jump to, plus the --help and --version that Linux
// users expect; and the normal form of a path named there.
#pragma once

#include <string>
#include <vector>

namespace yk {

struct TCommandLine {
  enum class TAction { Empty, Open, Help, Version };
  TAction action = TAction::Empty;
  std::string file;   // the file to open (TAction::Open), as given
  int line = 0;       // 1-based logical line to jump to; 0: no jump
  int column = -1;    // characters to move on after the line jump; -1: none
  int selLength = 0;  // characters to select from there
  // The toolkit's own options ("-style Fusion", "-reverse"), each with its
  // value, in the order given, for the toolkit to read.
  std::vector<std::string> toolkit;
};

// Reads the arguments (without the program's name):
//   file [anything]                    open file
//   /l line [/c column [/s length]] file   open file and jump (/j = /l)
// Switches compare without regard to case. "/c" counts only as the third of
// at least five arguments and "/s" only as the fifth of at least seven;
// otherwise that position holds the file. With three or more arguments the
// first must be "/l" or "/j", or the command line counts as empty. A
// number that is not a decimal integer drops its part of the jump: a bad
// line drops the whole jump, a bad column the column and the selection, a
// bad length the selection. "--help" or "--version" before a "--" asks for
// the usage text or the version; "--" itself is dropped, and no argument
// after it is taken as a switch. The toolkit's standard options (-style,
// -stylesheet, -platform, -reverse, -geometry and the like, also with "--"
// or "=value") before a "--" go to TCommandLine::toolkit and take no place
// among the others; one that needs a value and has none is a file name.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text printed by --help (UTF-8, for the terminal).
std::string UsageText();

// A path made absolute against folder (the current folder) and cleaned: "."
// components dropped, ".." taking away the component before it (never past
// the root), repeated and trailing separators folded. Symbolic links are
// kept as spelled, except where ".." follows one: the kernel then goes up
// from the link's target, and so does this, so that the file named is the
// file every other program opens under that name. Empty stays empty.
std::string LongPathName(const std::string& path, const std::string& folder);
// The same against the process's current folder.
std::string LongPathName(const std::string& path);

}  // namespace yk

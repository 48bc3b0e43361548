// A TEditor on a fake window and clipboard, with helpers that load a text
// and show it with the caret marked, for scenario tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "editor/editor.h"
#include "platform/fakes.h"

namespace yk::test {

// "\n" in test texts stands for CR LF.
inline std::string Crlf(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

inline std::string Lf(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
  return out;
}

class EditorTest : public ::testing::Test {
 public:
  EditorTest() {
    ed.SetHost(&host);
    ed.SetClipboard(&clip);
  }

  // Loads text ("\n" = CR LF; a text without a final "\n" ends in a row
  // without line end); a "|" marks the caret, otherwise it goes to 0.
  void Load(std::string_view marked) {
    std::string text(marked);
    const std::size_t bar = text.find('|');
    if (bar != std::string::npos) text.erase(bar, 1);
    ed.Lines().Clear();
    ed.ScreenStrings().ReplaceRows(0, 0, Crlf(text));
    ed.ScreenStrings().UndoObj().Clear();
    ed.SetModified(false);
    ed.SetSelStart(bar == std::string::npos ? 0 : static_cast<std::int64_t>(Crlf(text.substr(0, bar)).size()));
  }

  // The text with "|" at the caret (or "[" and "]" around a selection),
  // line ends shown as "\n".
  std::string Show() {
    std::string text = ed.Lines().GetTextStr();
    if (ed.Selected()) {
      const std::int64_t s = ed.SelStart(), n = ed.SelLength();
      text.insert(static_cast<std::size_t>(s + n), "]");
      text.insert(static_cast<std::size_t>(s), "[");
    } else {
      text.insert(static_cast<std::size_t>(std::min<std::int64_t>(ed.SelStart(), text.size())), "|");
    }
    return Lf(text);
  }

  std::string Text() { return Lf(ed.Lines().GetTextStr()); }

  FakeHost host;
  FakeClipboard clip;
  TEditor ed;
};

}  // namespace yk::test

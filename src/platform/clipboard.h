// The system clipboard as the editor uses it: plain CP932 text, optionally
// marked as a rectangle with the "TEditor Box Type" format.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace yk {

// The name under which the rectangle marker is registered; its data are
// the same text bytes followed by a terminating zero.
inline constexpr std::string_view kBoxClipboardFormat = "TEditor Box Type";

class TClipboard {
 public:
  virtual ~TClipboard() = default;

  virtual bool HasText() const = 0;
  // True when the clipboard also holds the rectangle marker.
  virtual bool HasBoxFormat() const = 0;
  // The plain text; empty when there is none.
  virtual std::string Text() const = 0;
  // Replaces the clipboard's contents by text and, when box is set, the
  // rectangle marker, both while the clipboard is held open once.
  virtual void SetText(std::string_view text, bool box) = 0;

  // Plain text made only when a paste asks for it: the X11 selection is
  // offered for every new selection, and most are never pasted. A port
  // without such a clipboard takes the text at once.
  virtual void SetTextSource(std::function<std::string()> source) { SetText(source(), false); }
  // Gives up what this object put on the clipboard, if it is still there.
  virtual void Withdraw() {}
};

}  // namespace yk

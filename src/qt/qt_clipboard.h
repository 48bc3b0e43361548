// TQtClipboard: the editor's clipboard on the system clipboard, Unicode for
// other programs and exact CP932 bytes between our own editors of one
// table of mapped characters.
#pragma once

#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/clipboard.h"
#include "platform/mapped_chars.h"

namespace yk {

// The rectangle marker beside the text ("TEditor Box Type" on the system
// that named it); its data are the text bytes and a terminating zero.
inline constexpr char kBoxMimeType[] = "application/x-teditor-box-type";
// The exact CP932 bytes of a copy, preferred by paste, so that copy and
// paste between our editors never goes through Unicode.
inline constexpr char kCp932MimeType[] = "application/x-yomikaki-cp932";
// Beside them when the copying document has mapped characters: the Id of
// its table. Only a document of that table takes the bytes as they are;
// any other takes the Unicode text, so that no mapped code changes meaning.
inline constexpr char kCharsMimeType[] = "application/x-yomikaki-chars";

class TQtClipboard : public TClipboard {
 public:
  explicit TQtClipboard(QClipboard::Mode mode = QClipboard::Clipboard) : mode_(mode) {}
  ~TQtClipboard() override { Withdraw(); }
  TQtClipboard(const TQtClipboard&) = delete;
  TQtClipboard& operator=(const TQtClipboard&) = delete;

  bool HasText() const override;
  bool HasBoxFormat() const override;
  // The exact bytes of our own copy where they mean the same here (the
  // same table, or no mapped codes on either side), else the Unicode text
  // as CP932 with every line end kept: characters with no CP932 form get
  // codes of this editor's table, or, when it is full, become "?" and are
  // reported through OnReplaced.
  std::string Text() const override;
  // Unicode text (line ends as LF, the convention of other programs here),
  // the exact bytes, and the box marker when box is set, in one change.
  void SetText(std::string_view text, bool box) override;
  // The same two text formats, made from source when a paste reads them.
  void SetTextSource(std::function<std::string()> source) override;
  void Withdraw() override;

  // Told how many characters of a paste had no CP932 form, so the user can
  // be told; only called when that number is above 0.
  std::function<void(int replaced)> OnReplaced;
  // The table of mapped characters of the editor this clipboard serves,
  // asked at every copy and paste; unset: none.
  std::function<std::shared_ptr<TMappedChars>()> Chars;

 private:
  QClipboard::Mode mode_;
  QPointer<QMimeData> offered_;  // what SetTextSource put there; null once replaced
};

}  // namespace yk

// The logical-line view of an editor's rows (its Lines): every operation on
// lines becomes a ReplaceRows on the rows that hold them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "text/editor_link.h"
#include "text/screen_strings.h"

namespace yk {

class TEditorStrings {
 public:
  explicit TEditorStrings(TEditorLink& owner) : owner_(owner) {}
  virtual ~TEditorStrings() = default;
  TEditorStrings(const TEditorStrings&) = delete;
  TEditorStrings& operator=(const TEditorStrings&) = delete;

  int GetCount() const { return Rows().LineCount(); }
  std::string Get(int i) const;
  void Put(int i, std::string_view s);
  void Insert(int i, std::string_view s);
  int Add(std::string_view s);
  void Delete(int i);
  void Clear() { Rows().Clear(); }

  // The document text: each raCrlf row followed by CR LF.
  std::string GetTextStr() const;
  void SetTextStr(std::string_view s);
  // Replaces the document by a file's bytes; open and read errors raise
  // EFileError and leave an empty document. A file that another program
  // changes while it is read is read again; false when it changed every
  // time (the rows may then mix its old and new bytes).
  bool LoadFromFile(const std::string& path);
  // Writes the document text (CR LF line ends) to a new file.
  void SaveToFile(const std::string& path) const;
  // The document from a list of lines, caret after the last row.
  void Assign(const std::vector<std::string>& lines);

  // First row of logical line i; the row count for i == GetCount().
  int LineToRow(int i) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return update_count_; }

 private:
  // Holds an update open for a scope, also when the scope throws.
  struct UpdateScope {
    explicit UpdateScope(TEditorStrings& s) : s_(s) { s_.BeginUpdate(); }
    ~UpdateScope() { s_.EndUpdate(); }
    TEditorStrings& s_;
  };

  TEditorScreenStrings& Rows() const { return owner_.ScreenStrings(); }
  void CheckLine(int i) const;
  void Edit(int row, int count, const std::string& text, int caretRow);
  // Appends the rows of the file open on fd (size bytes when regular, else
  // 0) to the empty rows.
  void LoadRows(int fd, const std::string& path, std::size_t size);

  TEditorLink& owner_;
  int update_count_ = 0;
};

// Runs read(attempt, size) (from attempt 1), which reads the file open on fd
// of size bytes, until the file's size and times are the same after it as
// before it, at most `attempts` times: another program may write the file
// meanwhile. False when it changed every time. A file that is not regular
// (size 0 here) is read once.
bool ReadWhileUnchanged(int fd, int attempts, const std::function<void(int, std::size_t)>& read);

// Writes every row of the list followed by CR LF: the wrapped form, which
// turns the displayed wrapping into real line ends.
void SaveRowsToFile(const TEditorScreenStrings& rows, const std::string& path);

}  // namespace yk

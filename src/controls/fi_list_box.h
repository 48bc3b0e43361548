// TFIListBox: the list box of the version, recent-file and favourite lists;
// each item is a full path, drawn with its file icon and a short name.
#pragma once

#include <QHash>
#include <QIcon>
#include <QListWidget>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace yk {

// The text an item shows for the path (native bytes), still as bytes:
// - show_full_path: the path unchanged;
// - else show_extention: the file-name part (after the last "/");
// - else the file-name part without its extension (from the last dot on; a
//   name whose only dot is its first character is a hidden file's name and
//   is kept whole). A root has no file-name part and shows as a drive:
//   "(D:) ﾄﾞﾗｲﾌﾞ" for a Windows drive root such as "D:\", "(/) ﾄﾞﾗｲﾌﾞ" for
//   "/", the folder for any other path ending in "/".
std::string FIListBoxText(std::string_view path, bool show_full_path, bool show_extention);

// Bytes of a path or name for the screen: UTF-8 when they are valid UTF-8
// (the usual Linux name), else CP932 (names from Windows archives).
QString FileNameForScreen(std::string_view bytes);

class TFIListBox : public QListWidget {
  Q_OBJECT

 public:
  static constexpr int kItemHeight = 17;

  explicit TFIListBox(QWidget* parent = nullptr);

  // The items: full paths as native bytes. Item and DeleteItem throw
  // std::out_of_range for an index outside the list; InsertItem clamps the
  // index to 0..Count().
  int Count() const { return count(); }
  std::string Item(int index) const;
  std::vector<std::string> Items() const;
  void SetItems(const std::vector<std::string>& paths);
  void InsertItem(int index, const std::string& path);
  void AddItem(const std::string& path) { InsertItem(Count(), path); }
  void DeleteItem(int index);
  void ClearItems();
  // The first index holding exactly these bytes, or -1.
  int IndexOf(std::string_view path) const;

  // Display switches: a new value repaints the list, the current value does
  // nothing.
  bool ShowFullPath() const { return show_full_path_; }
  void SetShowFullPath(bool on);
  bool ShowExtention() const { return show_extention_; }
  void SetShowExtention(bool on);
  bool ShowIcon() const { return show_icon_; }
  void SetShowIcon(bool on);
  // Also an icon for a path that does not exist, chosen by its name alone.
  bool ShowUnexistFileIcon() const { return show_unexist_file_icon_; }
  void SetShowUnexistFileIcon(bool on);

  // The text item index shows under the current switches.
  QString DisplayText(int index) const;
  // The icon drawn before item index; null when the file does not exist and
  // ShowUnexistFileIcon is off (no icon is drawn then) or for an index
  // outside the list.
  QIcon ItemIcon(int index) const;

 private:
  void SwitchChanged();
  void RefreshTexts();
  QListWidgetItem* MakeItem(const std::string& path) const;

  bool show_full_path_ = false;
  bool show_extention_ = true;
  bool show_icon_ = true;
  bool show_unexist_file_icon_ = false;
  // Icons by path, so that painting asks the file system and the MIME
  // database once per item and not on every repaint.
  mutable QHash<QByteArray, QIcon> icons_;
};

}  // namespace yk

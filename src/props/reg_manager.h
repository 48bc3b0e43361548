// The settings store: declared items (a logical name bound to a section and
// a key), the manager that finds them, and the filer that lays values out
// under an item's section.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "props/font_value.h"
#include "text/notify_persistent.h"

namespace yk {

class TIniText;
class TStreamableComponent;

enum TRegType { rtReg = 0, rtIni = 1 };

// One declared value: code asks for it by Name and never names the section
// or key itself.
class TRegItem : public TPersistent {
 public:
  TRegItem() = default;
  TRegItem(std::string name, std::string section, std::string ident, std::string default_value = {});

  const std::string& Name() const { return name_; }
  void SetName(std::string v) { name_ = std::move(v); }
  const std::string& Section() const { return section_; }
  void SetSection(std::string v) { section_ = std::move(v); }
  const std::string& Ident() const { return ident_; }
  void SetIdent(std::string v) { ident_ = std::move(v); }
  const std::string& DefaultValue() const { return default_value_; }
  void SetDefaultValue(std::string v) { default_value_ = std::move(v); }

  void Assign(const TPersistent& source) override;
  const char* ClassName() const override { return "TRegItem"; }

 private:
  std::string name_;
  std::string section_;
  std::string ident_;
  std::string default_value_;
};

class TRegItems {
 public:
  TRegItem& Add();
  TRegItem& Add(std::string name, std::string section, std::string ident, std::string default_value = {});
  int Count() const { return static_cast<int>(items_.size()); }
  // Throws EStringListError for an index outside the collection.
  TRegItem& Items(int index);
  const TRegItem& Items(int index) const;
  void Delete(int index);
  void Clear() { items_.clear(); }
  // The first item whose name equals name without regard to case.
  const TRegItem* Find(std::string_view name) const;

 private:
  std::vector<std::unique_ptr<TRegItem>> items_;
};

// Shows the store's error messages; the application shows a message box
// with an OK button.
class TRegMessages {
 public:
  virtual ~TRegMessages() = default;
  virtual void ShowError(const std::string& text) = 0;
};

class TRegManager;

// Reads and writes values under the item it is bound to. With no item
// bound, every read returns its empty result and every write does nothing.
class TRegFiler {
 public:
  explicit TRegFiler(TRegManager& manager) : manager_(manager) {}
  virtual ~TRegFiler() = default;
  TRegFiler(const TRegFiler&) = delete;
  TRegFiler& operator=(const TRegFiler&) = delete;

  TRegManager& Manager() const { return manager_; }
  // Binds to a copy of the item's section, key and default (none: unbound).
  void Bind(const TRegItem* item);
  bool IsBound() const { return bound_.has_value(); }

  virtual std::string ReadString();
  virtual void WriteString(const std::string& text);
  // Decimal text; anything else reads as 0.
  virtual int ReadInteger();
  virtual void WriteInteger(int n);
  // True when the stored integer's lowest byte is not 0, so a stored "TRUE"
  // reads false; an absent key reads the default, where "1", "TRUE" and
  // "YES" in any case count as true.
  virtual bool ReadBool();
  virtual void WriteBool(bool b);
  virtual std::string ReadValue(const std::string& section, const std::string& ident, const std::string& def);
  virtual void WriteValue(const std::string& section, const std::string& ident, const std::string& text);
  // Name, point size and colour under Ident_FontName, _FontSize, _FontColor;
  // an absent or unreadable key keeps the font's current value.
  virtual void ReadFont(TFontValue* font);
  virtual void WriteFont(const TFontValue* font);
  // Ident_ItemCount and Ident_Item0..n-1. A negative count reads as 0; no
  // count reads more lines than the section has keys.
  virtual void ReadStrings(std::vector<std::string>* list);
  // Removes the line keys beyond the new list (and the count of an empty
  // list) in the same change as the new lines.
  virtual void WriteStrings(const std::vector<std::string>* list);
  // Appends the stored bytes: Ident_c lines Ident_d0.. of hexadecimal text.
  virtual void ReadStream(std::string& stream);
  // 32 bytes (64 digits) per line, surplus old lines removed.
  virtual void WriteStream(std::string_view bytes);
  // Replaces the component's values by the stored ones; a stream that is
  // absent or cannot be read changes nothing.
  virtual void ReadComponent(TStreamableComponent* component);
  virtual void WriteComponent(const TStreamableComponent* component);
  virtual void DeleteValue(const std::string& section, const std::string& ident);

 private:
  struct TBinding {
    std::string section;
    std::string ident;
    std::string default_value;
  };

  // False after reporting a store that cannot be opened: the registry, or
  // an INI store without a file name. Checked by every access.
  bool CanOpenStore();
  // The store's current text, or nullopt after reporting that it cannot be
  // opened. A file that cannot be read reads as empty.
  std::optional<TIniText> Load();
  // Applies edits to the store's text in one locked replacement.
  template <typename Edit>
  void Edit(Edit&& edit);
  void WriteLines(const std::string& count_key, const std::string& line_prefix, const std::vector<std::string>& lines);
  std::vector<std::string> ReadLines(const std::string& count_key, const std::string& line_prefix);

  TRegManager& manager_;
  std::optional<TBinding> bound_;
};

class TRegManager {
 public:
  TRegManager();
  virtual ~TRegManager();
  TRegManager(const TRegManager&) = delete;
  TRegManager& operator=(const TRegManager&) = delete;

  const std::string& IniFileName() const { return ini_file_name_; }
  void SetIniFileName(std::string v) { ini_file_name_ = std::move(v); }
  const std::string& RegDir() const { return reg_dir_; }
  void SetRegDir(std::string v) { reg_dir_ = std::move(v); }
  TRegItems& RegItems() { return items_; }
  const TRegItems& RegItems() const { return items_; }
  TRegType RegType() const { return reg_type_; }
  void SetRegType(TRegType v) { reg_type_ = v; }

  // Where error messages go; none set: they are dropped.
  void SetMessages(TRegMessages* messages) { messages_ = messages; }
  void ShowError(const std::string& text);

  // Binds the one filer to the named item (reporting an unknown name and
  // leaving the filer unbound) and returns it.
  TRegFiler& FilerOf(std::string_view name);
  TRegFiler& Filer();

 protected:
  virtual std::unique_ptr<TRegFiler> CreateFiler();

 private:
  std::string ini_file_name_;
  std::string reg_dir_;
  TRegItems items_;
  TRegType reg_type_ = rtIni;
  TRegMessages* messages_ = nullptr;
  std::unique_ptr<TRegFiler> filer_;
};

}  // namespace yk

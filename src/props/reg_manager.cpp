// Items, the manager and the filer's value layouts over an INI file.
#include "props/reg_manager.h"

#include <algorithm>

#include "props/color_names.h"
#include "props/component_stream.h"
#include "props/ini_lists.h"
#include "props/ini_text.h"
#include "props/names.h"
#include "props/settings_file.h"
#include "text/errors.h"

namespace yk {

// -------------------------------------------------------------- TRegItem

TRegItem::TRegItem(std::string name, std::string section, std::string ident, std::string default_value)
    : name_(std::move(name)), section_(std::move(section)), ident_(std::move(ident)),
      default_value_(std::move(default_value)) {}

void TRegItem::Assign(const TPersistent& source) {
  auto* src = dynamic_cast<const TRegItem*>(&source);
  if (!src) return TPersistent::Assign(source);
  name_ = src->name_;
  section_ = src->section_;
  ident_ = src->ident_;
  default_value_ = src->default_value_;
}

// ------------------------------------------------------------- TRegItems

TRegItem& TRegItems::Add() { return *items_.emplace_back(std::make_unique<TRegItem>()); }

TRegItem& TRegItems::Add(std::string name, std::string section, std::string ident, std::string default_value) {
  return *items_.emplace_back(
      std::make_unique<TRegItem>(std::move(name), std::move(section), std::move(ident), std::move(default_value)));
}

TRegItem& TRegItems::Items(int index) {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  return *items_[static_cast<std::size_t>(index)];
}

const TRegItem& TRegItems::Items(int index) const { return const_cast<TRegItems*>(this)->Items(index); }

void TRegItems::Delete(int index) {
  Items(index);
  items_.erase(items_.begin() + index);
}

const TRegItem* TRegItems::Find(std::string_view name) const {
  for (const auto& item : items_) {
    if (SameName(item->Name(), name)) return item.get();
  }
  return nullptr;
}

// ------------------------------------------------------------ TRegManager

TRegManager::TRegManager() = default;
TRegManager::~TRegManager() = default;

void TRegManager::ShowError(const std::string& text) {
  if (messages_) messages_->ShowError(text);
}

std::unique_ptr<TRegFiler> TRegManager::CreateFiler() { return std::make_unique<TRegFiler>(*this); }

TRegFiler& TRegManager::Filer() {
  if (!filer_) filer_ = CreateFiler();
  return *filer_;
}

TRegFiler& TRegManager::FilerOf(std::string_view name) {
  TRegFiler& filer = Filer();
  const TRegItem* item = items_.Find(name);
  if (!item) ShowError("[' " + std::string(name) + " '] is invalid.");
  filer.Bind(item);
  return filer;
}

// -------------------------------------------------------------- TRegFiler

namespace {

int IntOr0(std::string_view text) {
  int n = 0;
  return ParseInt32(text, n) ? n : 0;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendHexLine(std::string& out, std::string_view line) {
  for (std::size_t i = 0; i < line.size(); i += 2) {
    if (i + 1 == line.size()) {
      const int d = HexDigit(line[i]);
      out.push_back(static_cast<char>(d < 0 ? 0 : d));
      break;
    }
    const int hi = HexDigit(line[i]);
    const int lo = HexDigit(line[i + 1]);
    out.push_back(static_cast<char>(hi < 0 || lo < 0 ? 0 : hi * 16 + lo));
  }
}

constexpr std::size_t kBytesPerHexLine = 32;

std::vector<std::string> HexLines(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size(); start += kBytesPerHexLine) {
    std::string line;
    for (unsigned char b : bytes.substr(start, kBytesPerHexLine)) {
      line.push_back(kDigits[b >> 4]);
      line.push_back(kDigits[b & 15]);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

void TRegFiler::Bind(const TRegItem* item) {
  if (item) {
    bound_ = TBinding{item->Section(), item->Ident(), item->DefaultValue()};
  } else {
    bound_.reset();
  }
}

bool TRegFiler::CanOpenStore() {
  if (manager_.RegType() == rtReg) {
    // There is no registry on this system: every registry access fails.
    manager_.ShowError("can not create Registry object.");
    return false;
  }
  if (manager_.IniFileName().empty()) {
    manager_.ShowError("can not create Inifile object.");
    return false;
  }
  return true;
}

std::optional<TIniText> TRegFiler::Load() {
  if (!CanOpenStore()) return std::nullopt;
  try {
    return TIniText(ReadSettingsFile(manager_.IniFileName()).value_or(std::string()));
  } catch (const EFileError&) {
    return TIniText();  // unreadable: every key absent
  }
}

template <typename EditFn>
void TRegFiler::Edit(EditFn&& edit) {
  if (!CanOpenStore()) return;
  EditSettingsFile(manager_.IniFileName(), [&](const std::optional<std::string>& current) -> std::optional<std::string> {
    TIniText text(current.value_or(std::string()));
    if (!edit(text)) return std::nullopt;
    return text.Text();
  });
}

std::string TRegFiler::ReadValue(const std::string& section, const std::string& ident, const std::string& def) {
  if (section.empty() || ident.empty()) return def;
  auto text = Load();
  if (!text) return def;
  return text->Read(section, ident).value_or(def);
}

void TRegFiler::WriteValue(const std::string& section, const std::string& ident, const std::string& value) {
  if (section.empty() || ident.empty()) return;
  Edit([&](TIniText& t) { return t.Write(section, ident, value); });
}

void TRegFiler::DeleteValue(const std::string& section, const std::string& ident) {
  if (section.empty() || ident.empty()) return;
  Edit([&](TIniText& t) { return t.Delete(section, ident); });
}

std::string TRegFiler::ReadString() {
  if (!bound_) return {};
  return ReadValue(bound_->section, bound_->ident, bound_->default_value);
}

void TRegFiler::WriteString(const std::string& text) {
  if (bound_) WriteValue(bound_->section, bound_->ident, text);
}

int TRegFiler::ReadInteger() { return bound_ ? IntOr0(ReadString()) : 0; }

void TRegFiler::WriteInteger(int n) { WriteString(std::to_string(n)); }

bool TRegFiler::ReadBool() {
  if (!bound_) return false;
  const std::string& def = bound_->default_value;
  const bool def_true = def == "1" || SameIdent(def, "TRUE") || SameIdent(def, "YES");
  const int n = IntOr0(ReadValue(bound_->section, bound_->ident, def_true ? "1" : "0"));
  return (n & 0xFF) != 0;
}

void TRegFiler::WriteBool(bool b) { WriteString(b ? "1" : "0"); }

void TRegFiler::ReadFont(TFontValue* font) {
  if (!font || !bound_) return;
  const std::string& s = bound_->section;
  const std::string& id = bound_->ident;
  font->name = ReadValue(s, id + "_FontName", font->name);
  int size = 0;
  if (ParseInt32(ReadValue(s, id + "_FontSize", std::to_string(font->Size())), size)) font->SetSize(size);
  if (auto c = StoredTextToColor(ReadValue(s, id + "_FontColor", ColorToString(font->color)))) font->color = *c;
}

void TRegFiler::WriteFont(const TFontValue* font) {
  if (!font || !bound_) return;
  const std::string& s = bound_->section;
  const std::string& id = bound_->ident;
  Edit([&](TIniText& t) {
    return t.WriteMany(s, {{id + "_FontName", font->name},
                           {id + "_FontSize", std::to_string(font->Size())},
                           {id + "_FontColor", ColorToString(font->color)}});
  });
}

std::vector<std::string> TRegFiler::ReadLines(const std::string& count_key, const std::string& line_prefix) {
  auto text = Load();
  if (!text) return {};
  return ReadIniLines(*text, bound_->section, count_key, line_prefix);
}

void TRegFiler::WriteLines(const std::string& count_key, const std::string& line_prefix,
                           const std::vector<std::string>& lines) {
  const std::string& section = bound_->section;
  Edit([&](TIniText& t) { return WriteIniLines(t, section, count_key, line_prefix, lines); });
}

void TRegFiler::ReadStrings(std::vector<std::string>* list) {
  if (!list) return;
  if (!bound_) {
    list->clear();
    return;
  }
  *list = ReadLines(bound_->ident + "_ItemCount", bound_->ident + "_Item");
}

void TRegFiler::WriteStrings(const std::vector<std::string>* list) {
  if (!list || !bound_) return;
  WriteLines(bound_->ident + "_ItemCount", bound_->ident + "_Item", *list);
}

void TRegFiler::ReadStream(std::string& stream) {
  if (!bound_) return;
  for (const std::string& line : ReadLines(bound_->ident + "_c", bound_->ident + "_d")) AppendHexLine(stream, line);
}

void TRegFiler::WriteStream(std::string_view bytes) {
  if (!bound_) return;
  WriteLines(bound_->ident + "_c", bound_->ident + "_d", HexLines(bytes));
}

void TRegFiler::ReadComponent(TStreamableComponent* component) {
  if (!component || !bound_) return;
  std::string bytes;
  ReadStream(bytes);
  if (bytes.empty()) return;
  LoadComponent(bytes, *component);
}

void TRegFiler::WriteComponent(const TStreamableComponent* component) {
  if (!component || !bound_) return;
  WriteStream(SaveComponent(*component));
}

}  // namespace yk

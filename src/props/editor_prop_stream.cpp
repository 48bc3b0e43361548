// Which properties of a property set are stored, in which order and form,
// and how each stored value is read back through its setter.
#include <functional>

#include "props/color_names.h"
#include "props/editor_prop.h"

namespace yk {

namespace {

using TProps = std::vector<TStreamProperty>;

[[noreturn]] void Refuse(const std::string& what) { throw EPropertyStreamError(what); }

// ------------------------------------------------------- value conversions

bool AsBool(const TStreamValue& v) {
  if (v.kind != TStreamValue::Kind::Boolean) Refuse("Boolean value expected");
  return v.boolean;
}

int AsInt(const TStreamValue& v) {
  if (v.kind != TStreamValue::Kind::Integer) Refuse("Integer value expected");
  return v.integer;
}

const std::string& AsString(const TStreamValue& v) {
  if (v.kind != TStreamValue::Kind::String) Refuse("String value expected");
  return v.text;
}

template <typename T>
T AsIdent(const TStreamValue& v, std::optional<T> (*lookup)(std::string_view)) {
  if (v.kind != TStreamValue::Kind::Ident) Refuse("Identifier expected");
  auto r = lookup(v.text);
  if (!r) Refuse("Unknown identifier " + v.text);
  return *r;
}

TColor AsColor(const TStreamValue& v) {
  if (v.kind == TStreamValue::Kind::Integer) return v.integer;
  return AsIdent<TColor>(v, IdentToAnyColor);
}

TCursor AsCursor(const TStreamValue& v) {
  if (v.kind != TStreamValue::Kind::Integer) return AsIdent<TCursor>(v, IdentToCursor);
  if (v.integer < -32768 || v.integer > 32767) Refuse("Cursor out of range");
  return static_cast<TCursor>(v.integer);
}

TFontCharset AsCharset(const TStreamValue& v) {
  if (v.kind != TStreamValue::Kind::Integer) return AsIdent<TFontCharset>(v, IdentToCharset);
  if (v.integer < 0 || v.integer > 255) Refuse("Character set out of range");
  return static_cast<TFontCharset>(v.integer);
}

TFontStyles AsStyles(const TStreamValue& v) {
  if (v.kind != TStreamValue::Kind::Set) Refuse("Set expected");
  TFontStyles styles;
  for (const std::string& e : v.set) {
    auto s = IdentToFontStyle(e);
    if (!s) Refuse("Unknown font style " + e);
    styles.Include(*s);
  }
  return styles;
}

TStreamValue ColorValue(TColor c) {
  if (auto name = ColorToIdent(c)) return TStreamValue::Ident(std::string(*name));
  return TStreamValue::Int(c);
}

// Only the windowing system's own cursors have names in a stream; the
// editor's cursors are stored by number.
TStreamValue CursorValue(TCursor c) {
  auto name = CursorToIdent(c);
  if (c <= 0 && name) return TStreamValue::Ident(std::string(*name));
  return TStreamValue::Int(c);
}

TStreamValue CharsetValue(TFontCharset c) {
  if (auto name = CharsetToIdent(c)) return TStreamValue::Ident(std::string(*name));
  return TStreamValue::Int(c);
}

TStreamValue StylesValue(TFontStyles styles) {
  std::vector<std::string> names;
  for (TFontStyle s : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    if (styles.Contains(s)) names.emplace_back(FontStyleToIdent(s));
  }
  return TStreamValue::Set(std::move(names));
}

// --------------------------------------------------------- property tables

// One stored property of a class T, or an owned object whose properties
// are stored under its name as a dotted prefix.
template <typename T>
struct TField {
  std::string_view name;
  bool nested = false;
  // Appends the stored value(s) under the full path.
  std::function<void(const T&, const std::string& path, TProps&)> write;
  // Reads one value; rest is the path below a nested field.
  std::function<void(T&, std::string_view rest, const TStreamValue&)> read;
};

template <typename T>
using TTable = std::vector<TField<T>>;

template <typename T>
void WriteTable(const TTable<T>& table, const T& obj, const std::string& prefix, TProps& out) {
  for (const TField<T>& f : table) f.write(obj, prefix + std::string(f.name), out);
}

template <typename T>
void ReadTable(const TTable<T>& table, T& obj, std::string_view path, const TStreamValue& v) {
  for (const TField<T>& f : table) {
    if (!f.nested && SameIdent(path, f.name)) return f.read(obj, {}, v);
    if (f.nested && path.size() > f.name.size() + 1 && path[f.name.size()] == '.' &&
        SameIdent(path.substr(0, f.name.size()), f.name))
      return f.read(obj, path.substr(f.name.size() + 1), v);
  }
  Refuse("Unknown property " + std::string(path));
}

// A scalar stored as to_value(get(obj)) and read as set(obj, from_value(v)).
template <typename T, typename Get, typename Set, typename To, typename From>
TField<T> Scalar(std::string_view name, Get get, Set set, To to_value, From from_value) {
  return {name, false,
          [=](const T& o, const std::string& path, TProps& out) { out.push_back({path, to_value(get(o))}); },
          [=](T& o, std::string_view, const TStreamValue& v) { set(o, from_value(v)); }};
}

template <typename T, typename Get, typename Set>
TField<T> Bool(std::string_view name, Get get, Set set) {
  return Scalar<T>(name, get, set, TStreamValue::Bool, AsBool);
}

template <typename T, typename Get, typename Set>
TField<T> Int(std::string_view name, Get get, Set set) {
  return Scalar<T>(name, get, set, [](int n) { return TStreamValue::Int(n); }, AsInt);
}

template <typename T, typename Get, typename Set>
TField<T> Color(std::string_view name, Get get, Set set) {
  return Scalar<T>(name, get, set, ColorValue, AsColor);
}

template <typename T, typename Get, typename Set>
TField<T> Styles(std::string_view name, Get get, Set set) {
  return Scalar<T>(name, get, set, StylesValue, AsStyles);
}

template <typename T, typename Get, typename Set>
TField<T> Cursor(std::string_view name, Get get, Set set) {
  return Scalar<T>(name, get, set, CursorValue, AsCursor);
}

// An empty string is left out, unless a new object holds a non-empty one:
// reading would then bring that value back instead of the empty string.
template <typename T, typename Get, typename Set>
TField<T> String(std::string_view name, Get get, Set set) {
  return {name, false,
          [=](const T& o, const std::string& path, TProps& out) {
            static const T blank;
            const std::string& s = get(o);
            if (!s.empty() || !get(blank).empty()) out.push_back({path, TStreamValue::Str(s)});
          },
          [=](T& o, std::string_view, const TStreamValue& v) { set(o, AsString(v)); }};
}

// An enumeration stored by its identifier.
template <typename T, typename E, typename Get, typename Set>
TField<T> Enum(std::string_view name, Get get, Set set, std::string_view (*to_ident)(E),
               std::optional<E> (*from_ident)(std::string_view)) {
  return Scalar<T>(
      name, get, set, [=](E e) { return TStreamValue::Ident(std::string(to_ident(e))); },
      [=](const TStreamValue& v) { return AsIdent<E>(v, from_ident); });
}

// An owned object of class S; get is a generic accessor that returns the
// object const or mutable like its argument.
template <typename T, typename S, typename Get>
TField<T> Object(std::string_view name, Get get, const TTable<S>& table) {
  return {name, true,
          [=, &table](const T& o, const std::string& path, TProps& out) { WriteTable(table, get(o), path + ".", out); },
          [=, &table](T& o, std::string_view rest, const TStreamValue& v) { ReadTable(table, get(o), rest, v); }};
}

#define YK_GET(Class, Prop) [](const Class& o) { return o.Prop(); }
#define YK_SET(Class, Prop) [](Class& o, auto v) { o.Set##Prop(v); }
#define YK_BOOL(Class, Prop) Bool<Class>(#Prop, YK_GET(Class, Prop), YK_SET(Class, Prop))
#define YK_INT(Class, Prop) Int<Class>(#Prop, YK_GET(Class, Prop), YK_SET(Class, Prop))
#define YK_COLOR(Class, Prop) Color<Class>(#Prop, YK_GET(Class, Prop), YK_SET(Class, Prop))
#define YK_STYLES(Class, Prop) Styles<Class>(#Prop, YK_GET(Class, Prop), YK_SET(Class, Prop))
#define YK_CURSOR(Class, Prop) Cursor<Class>(#Prop, YK_GET(Class, Prop), YK_SET(Class, Prop))
#define YK_STRING(Class, Prop) \
  String<Class>(#Prop, [](const Class& o) -> const std::string& { return o.Prop(); }, YK_SET(Class, Prop))
#define YK_OBJECT(Class, Prop, Table) Object<Class>(#Prop, [](auto& o) -> auto& { return o.Prop(); }, Table)
#define YK_ENUM(Class, Prop, ToIdent, FromIdent) \
  Enum<Class>(#Prop, YK_GET(Class, Prop), YK_SET(Class, Prop), ToIdent, FromIdent)

const TTable<TEditorCursors>& CursorsTable() {
  static const TTable<TEditorCursors> t{
      YK_CURSOR(TEditorCursors, DefaultCursor),     YK_CURSOR(TEditorCursors, DragSelCursor),
      YK_CURSOR(TEditorCursors, DragSelCopyCursor), YK_CURSOR(TEditorCursors, InSelCursor),
      YK_CURSOR(TEditorCursors, LeftMarginCursor),
  };
  return t;
}

// The owned cursors follow the caret's own values.
const TTable<TEditorCaret>& CaretTable() {
  static const TTable<TEditorCaret> t{
      YK_BOOL(TEditorCaret, AutoCursor),
      YK_BOOL(TEditorCaret, AutoIndent),
      YK_BOOL(TEditorCaret, FreeCaret),
      YK_BOOL(TEditorCaret, InTab),
      YK_BOOL(TEditorCaret, KeepCaret),
      YK_BOOL(TEditorCaret, LockScroll),
      YK_BOOL(TEditorCaret, NextLine),
      YK_BOOL(TEditorCaret, PrevSpaceIndent),
      YK_BOOL(TEditorCaret, RowSelect),
      YK_ENUM(TEditorCaret, SelDragMode, DragModeToIdent, IdentToDragMode),
      YK_BOOL(TEditorCaret, SelMove),
      YK_BOOL(TEditorCaret, SoftTab),
      YK_ENUM(TEditorCaret, Style, CaretStyleToIdent, IdentToCaretStyle),
      YK_BOOL(TEditorCaret, TabIndent),
      YK_INT(TEditorCaret, TabSpaceCount),
      YK_OBJECT(TEditorCaret, Cursors, CursorsTable()),
  };
  return t;
}

// The point size is not stored: the height says the same.
const TTable<TEditorFont>& FontTable() {
  static const TTable<TEditorFont> t{
      Scalar<TEditorFont>("Charset", YK_GET(TEditorFont, Charset), YK_SET(TEditorFont, Charset), CharsetValue,
                          AsCharset),
      YK_COLOR(TEditorFont, Color),
      YK_INT(TEditorFont, Height),
      YK_STRING(TEditorFont, Name),
      YK_STYLES(TEditorFont, Style),
  };
  return t;
}

const TTable<TEditorMargin>& MarginTable() {
  static const TTable<TEditorMargin> t{
      YK_INT(TEditorMargin, Character),
      YK_INT(TEditorMargin, Left),
      YK_INT(TEditorMargin, Line),
      YK_INT(TEditorMargin, Top),
  };
  return t;
}

const TTable<TEditorMark>& MarkTable() {
  static const TTable<TEditorMark> t{YK_COLOR(TEditorMark, Color), YK_BOOL(TEditorMark, Visible)};
  return t;
}

const TTable<TEditorMarks>& MarksTable() {
  static const TTable<TEditorMarks> t{
      YK_OBJECT(TEditorMarks, EofMark, MarkTable()),
      YK_OBJECT(TEditorMarks, RetMark, MarkTable()),
      YK_OBJECT(TEditorMarks, Underline, MarkTable()),
  };
  return t;
}

const TTable<TEditorColor>& ColorTable() {
  static const TTable<TEditorColor> t{
      YK_COLOR(TEditorColor, BkColor),
      YK_COLOR(TEditorColor, Color),
      YK_STYLES(TEditorColor, Style),
  };
  return t;
}

const TTable<TEditorColors>& ColorsTable() {
  static const TTable<TEditorColors> t{
      YK_OBJECT(TEditorColors, Ank, ColorTable()),     YK_OBJECT(TEditorColors, Comment, ColorTable()),
      YK_OBJECT(TEditorColors, DBCS, ColorTable()),    YK_OBJECT(TEditorColors, Int, ColorTable()),
      YK_OBJECT(TEditorColors, Mail, ColorTable()),    YK_OBJECT(TEditorColors, Reserve, ColorTable()),
      YK_OBJECT(TEditorColors, Select, ColorTable()),  YK_OBJECT(TEditorColors, Str, ColorTable()),
      YK_OBJECT(TEditorColors, Symbol, ColorTable()),  YK_OBJECT(TEditorColors, Url, ColorTable()),
  };
  return t;
}

// The brackets of a pair come before its colour.
const TTable<TEditorBracketItem>& BracketItemTable() {
  static const TTable<TEditorBracketItem> t{
      YK_STRING(TEditorBracketItem, LeftBracket),
      YK_STRING(TEditorBracketItem, RightBracket),
      YK_OBJECT(TEditorBracketItem, ItemColor, ColorTable()),
  };
  return t;
}

// The pairs as a collection value; each item holds its own property list.
TField<TEditorViewInfo> BracketsField() {
  return {"Brackets", false,
          [](const TEditorViewInfo& o, const std::string& path, TProps& out) {
            std::vector<TProps> items;
            for (int i = 0; i < o.Brackets().Count(); ++i) {
              TProps props;
              WriteTable(BracketItemTable(), o.Brackets().Items(i), "", props);
              items.push_back(std::move(props));
            }
            out.push_back({path, TStreamValue::Collection(std::move(items))});
          },
          [](TEditorViewInfo& o, std::string_view, const TStreamValue& v) {
            if (v.kind != TStreamValue::Kind::Collection) Refuse("Collection expected");
            TEditorBracketCollection pairs;
            for (const TProps& item : v.items) {
              TEditorBracketItem& pair = pairs.Add();  // refuses a pair beyond the limit
              for (const TStreamProperty& p : item) ReadTable(BracketItemTable(), pair, p.name, p.value);
            }
            o.SetBrackets(pairs);
          }};
}

const TTable<TEditorViewInfo>& ViewTable() {
  static const TTable<TEditorViewInfo> t{
      BracketsField(),
      YK_OBJECT(TEditorViewInfo, Colors, ColorsTable()),
      YK_STRING(TEditorViewInfo, Commenter),
      YK_BOOL(TEditorViewInfo, ControlCode),
      YK_STRING(TEditorViewInfo, HexPrefix),
      YK_BOOL(TEditorViewInfo, Mail),
      YK_STRING(TEditorViewInfo, Quotation),
      YK_BOOL(TEditorViewInfo, Url),
  };
  return t;
}

const TTable<TEditorWrapOption>& WrapOptionTable() {
  static const TTable<TEditorWrapOption> t{
      YK_BOOL(TEditorWrapOption, FollowRetMark),
      YK_BOOL(TEditorWrapOption, FollowPunctuation),
      YK_STRING(TEditorWrapOption, FollowStr),
      YK_BOOL(TEditorWrapOption, Leading),
      YK_STRING(TEditorWrapOption, LeadStr),
      YK_STRING(TEditorWrapOption, PunctuationStr),
      YK_BOOL(TEditorWrapOption, WordBreak),
      YK_INT(TEditorWrapOption, WrapByte),
  };
  return t;
}

// An empty list is not stored.
TField<TEditorProp> ReserveWordsField() {
  return {"ReserveWordList.Strings", false,
          [](const TEditorProp& o, const std::string& path, TProps& out) {
            if (o.ReserveWordList().Count() == 0) return;
            std::vector<TStreamValue> words;
            for (const std::string& w : o.ReserveWordList().Words()) words.push_back(TStreamValue::Str(w));
            out.push_back({path, TStreamValue::List(std::move(words))});
          },
          [](TEditorProp& o, std::string_view, const TStreamValue& v) {
            if (v.kind != TStreamValue::Kind::List) Refuse("List expected");
            std::vector<std::string> words;
            for (const TStreamValue& w : v.list) words.push_back(AsString(w));
            o.SetReserveWordList(TReserveWordList(words));
          }};
}

// A design position that may follow the properties of a stored component;
// a property set has none, so it is read and dropped.
TField<TEditorProp> DesignPositionField(std::string_view name) {
  return {name, false, [](const TEditorProp&, const std::string&, TProps&) {},
          [](TEditorProp&, std::string_view, const TStreamValue& v) { AsInt(v); }};
}

const TTable<TEditorProp>& EditorPropTable() {
  static const TTable<TEditorProp> t{
      YK_COLOR(TEditorProp, Color),
      YK_OBJECT(TEditorProp, Caret, CaretTable()),
      YK_OBJECT(TEditorProp, Font, FontTable()),
      YK_OBJECT(TEditorProp, Margin, MarginTable()),
      YK_OBJECT(TEditorProp, Marks, MarksTable()),
      ReserveWordsField(),
      YK_ENUM(TEditorProp, ScrollBars, ScrollStyleToIdent, IdentToScrollStyle),
      YK_OBJECT(TEditorProp, View, ViewTable()),
      YK_BOOL(TEditorProp, WordWrap),
      YK_OBJECT(TEditorProp, WrapOption, WrapOptionTable()),
      DesignPositionField("Left"),
      DesignPositionField("Top"),
  };
  return t;
}

}  // namespace

std::vector<TStreamProperty> TEditorProp::StoredProperties() const {
  TProps out;
  WriteTable(EditorPropTable(), *this, "", out);
  return out;
}

void TEditorProp::ReadProperty(std::string_view path, const TStreamValue& value) {
  ReadTable(EditorPropTable(), *this, path, value);
}

}  // namespace yk

// The property set: construction, notifications, copying to and from an
// editor, the initial style's stream, and round trips through the stores.
#include "props/editor_prop.h"

#include <gtest/gtest.h>

#include <functional>

#include "props/ini_text.h"
#include "props/reg_manager.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

using V = TStreamValue;

// An editor as far as a property set sees it: its own settings objects, a
// log of the setters called, and a setter that can be made to fail.
class TFakeEditor : public TPersistent, public TEditorPropHost {
 public:
  std::vector<std::string> log;
  std::string fail_at;

  TColor Color() const override { return color_; }
  void SetColor(TColor v) override { Set("Color", [&] { color_ = v; }); }
  const TEditorCaret& Caret() const override { return caret_; }
  void SetCaret(const TEditorCaret& v) override { Set("Caret", [&] { caret_.Assign(v); }); }
  const TEditorFont& Font() const override { return font_; }
  void SetFont(const TEditorFont& v) override { Set("Font", [&] { font_.Assign(v); }); }
  const TEditorMargin& Margin() const override { return margin_; }
  void SetMargin(const TEditorMargin& v) override { Set("Margin", [&] { margin_.Assign(v); }); }
  const TEditorMarks& Marks() const override { return marks_; }
  void SetMarks(const TEditorMarks& v) override { Set("Marks", [&] { marks_.Assign(v); }); }
  const TReserveWordList& ReserveWordList() const override { return words_; }
  void SetReserveWordList(const TReserveWordList& v) override { Set("ReserveWordList", [&] { words_ = v; }); }
  TScrollStyle ScrollBars() const override { return scroll_bars_; }
  void SetScrollBars(TScrollStyle v) override { Set("ScrollBars", [&] { scroll_bars_ = v; }); }
  const TEditorViewInfo& View() const override { return view_; }
  void SetView(const TEditorViewInfo& v) override { Set("View", [&] { view_.Assign(v); }); }
  bool WordWrap() const override { return word_wrap_; }
  void SetWordWrap(bool v) override { Set("WordWrap", [&] { word_wrap_ = v; }); }
  const TEditorWrapOption& WrapOption() const override { return wrap_; }
  void SetWrapOption(const TEditorWrapOption& v) override { Set("WrapOption", [&] { wrap_.Assign(v); }); }
  const char* ClassName() const override { return "TFakeEditor"; }

 private:
  template <typename F>
  void Set(const std::string& name, F&& f) {
    log.push_back(name);
    if (name == fail_at) throw Exception("cannot set " + name);
    f();
  }

  TColor color_ = clBlack;
  TEditorCaret caret_;
  TEditorFont font_;
  TEditorMargin margin_;
  TEditorMarks marks_;
  TReserveWordList words_;
  TScrollStyle scroll_bars_ = ssNone;
  TEditorViewInfo view_;
  bool word_wrap_ = false;
  TEditorWrapOption wrap_;
};

class TNotAHost : public TPersistent {};

// A value other than the construction value and the initial style for
// every stored property.
void SetEveryProperty(TEditorProp& p) {
  p.SetColor(0x00123456);
  TEditorCaret& c = p.Caret();
  for (auto set : {&TEditorCaret::SetAutoCursor, &TEditorCaret::SetFreeCaret, &TEditorCaret::SetRowSelect,
                   &TEditorCaret::SetSelMove})
    (c.*set)(false);
  for (auto set : {&TEditorCaret::SetAutoIndent, &TEditorCaret::SetInTab, &TEditorCaret::SetKeepCaret,
                   &TEditorCaret::SetLockScroll, &TEditorCaret::SetNextLine, &TEditorCaret::SetPrevSpaceIndent,
                   &TEditorCaret::SetSoftTab, &TEditorCaret::SetTabIndent})
    (c.*set)(true);
  c.SetSelDragMode(dmManual);
  c.SetStyle(csBrief);
  c.SetTabSpaceCount(6);
  c.Cursors().SetDefaultCursor(crHandPoint);
  c.Cursors().SetDragSelCursor(crNo);
  c.Cursors().SetDragSelCopyCursor(7);
  c.Cursors().SetInSelCursor(crSizeAll);
  c.Cursors().SetLeftMarginCursor(crDragSelCopy);
  TFontValue f;
  f.charset = OEM_CHARSET;
  f.color = clInfoBk;
  f.height = -24;
  f.name = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック
  f.style = {fsBold, fsItalic, fsStrikeOut};
  p.Font().SetValue(f);
  p.Margin().SetCharacter(3);
  p.Margin().SetLeft(5);
  p.Margin().SetLine(1);
  p.Margin().SetTop(7);
  p.Marks().EofMark().SetColor(clRed);
  p.Marks().RetMark().SetVisible(true);
  p.Marks().Underline().SetColor(0x010203);
  p.Marks().Underline().SetVisible(true);
  p.SetReserveWordList(TReserveWordList({"begin", "end", "\x82\xa0\x82\xa2"}));  // あい
  p.SetScrollBars(ssVertical);
  TEditorViewInfo& v = p.View();
  for (int i = 0; i < 3; ++i) {
    TEditorBracketItem& b = v.Brackets().Add();
    b.SetLeftBracket(std::string(static_cast<std::size_t>(i + 1), '{'));
    b.SetRightBracket(i == 2 ? "" : "}");
    b.ItemColor().SetBkColor(clAqua + i);
    b.ItemColor().SetStyle({fsItalic});
  }
  int n = 0;
  TEditorColors& k = v.Colors();
  for (TEditorColor* e : {&k.Ank(), &k.Comment(), &k.DBCS(), &k.Int(), &k.Mail(), &k.Reserve(), &k.Select(),
                          &k.Str(), &k.Symbol(), &k.Url()}) {
    e->SetBkColor(0x100 + n);
    e->SetColor(clLime - n);
    e->SetStyle(TFontStyles::FromBits(static_cast<std::uint8_t>(n++)));
  }
  v.SetCommenter("//");
  v.SetControlCode(true);
  v.SetHexPrefix("0x");
  v.SetMail(false);
  v.SetQuotation("'");
  v.SetUrl(false);
  p.SetWordWrap(false);
  TEditorWrapOption& w = p.WrapOption();
  w.SetFollowRetMark(false);
  w.SetFollowPunctuation(true);
  w.SetFollowStr("");  // emptied on purpose: must not come back as the default
  w.SetLeading(true);
  w.SetLeadStr("(");
  w.SetPunctuationStr("\x81\x41");  // 、
  w.SetWordBreak(true);
  w.SetWrapByte(120);
}

// Compares two property sets stored property by stored property.
void ExpectSameProperties(const TEditorProp& a, const TEditorProp& b) {
  const auto pa = a.StoredProperties();
  const auto pb = b.StoredProperties();
  ASSERT_EQ(pa.size(), pb.size());
  for (std::size_t i = 0; i < pa.size(); ++i) EXPECT_EQ(pa[i], pb[i]) << pa[i].name;
  EXPECT_TRUE(a == b);
}

TEST(EditorProp, ConstructionValuesAndNotifications) {
  TEditorProp p;
  EXPECT_EQ(p.Color(), clWindow);
  EXPECT_EQ(p.Font().Name(), "FixedSys");
  EXPECT_EQ(p.Font().Color(), clWindowText);
  EXPECT_EQ(p.ScrollBars(), ssNone);
  EXPECT_FALSE(p.WordWrap());
  EXPECT_EQ(p.ReserveWordList().Count(), 0);
  EXPECT_EQ(p.View().Owner(), &p);
  std::vector<std::string> events;
  p.OnColorChange = [&](TPersistent* s) { events.push_back(s == &p ? "color" : "?"); };
  p.OnScrollBarsChange = [&](TPersistent*) { events.push_back("scroll"); };
  p.OnWordWrapChange = [&](TPersistent*) { events.push_back("wrap"); };
  p.SetColor(clWindow);
  p.SetScrollBars(ssNone);
  p.SetWordWrap(false);
  EXPECT_TRUE(events.empty());
  p.SetColor(clRed);
  p.SetScrollBars(ssBoth);
  p.SetWordWrap(true);
  EXPECT_EQ(events, (std::vector<std::string>{"color", "scroll", "wrap"}));
  int font_changes = 0;
  p.Font().OnChange = [&](TPersistent*) { ++font_changes; };
  p.Font().SetSize(10);
  p.Font().SetSize(10);
  EXPECT_EQ(font_changes, 1);
  EXPECT_EQ(p.Font().Height(), -13);
  EXPECT_EQ(p.Font().Size(), 10);
}

TEST(EditorProp, CopiesByValueBetweenSetsAndEditors) {
  TEditorProp source;
  SetEveryProperty(source);
  TFakeEditor first, second;
  source.AssignTo(first);
  EXPECT_EQ(first.log, (std::vector<std::string>{"Color", "Caret", "Font", "Margin", "Marks", "ReserveWordList",
                                                 "ScrollBars", "View", "WordWrap", "WrapOption"}));
  TEditorProp taken;
  taken.Assign(first);
  taken.AssignTo(second);
  ExpectSameProperties(taken, source);
  EXPECT_EQ(second.View(), source.View());
  EXPECT_EQ(second.Font().Value(), source.Font().Value());

  // A copy shares nothing with its source.
  TEditorProp copy;
  copy.Assign(source);
  source.Caret().SetTabSpaceCount(2);
  source.View().Brackets().Items(0).SetLeftBracket("<<");
  source.ReserveWordList().Add("zzz");
  EXPECT_EQ(copy.Caret().TabSpaceCount(), 6);
  EXPECT_EQ(copy.View().Brackets().Items(0).LeftBracket(), "{");
  EXPECT_EQ(copy.ReserveWordList().Count(), 3);

  TNotAHost other;
  EXPECT_THROW(copy.Assign(other), EAssignError);
  EXPECT_THROW(copy.AssignTo(other), EAssignError);
}

TEST(EditorProp, CopyStopsSilentlyAtTheFirstFailure) {
  TEditorProp source;
  SetEveryProperty(source);
  TFakeEditor editor;
  editor.fail_at = "Margin";
  EXPECT_NO_THROW(source.AssignTo(editor));
  EXPECT_EQ(editor.log.back(), "Margin");
  EXPECT_EQ(editor.Color(), source.Color());
  EXPECT_EQ(editor.Font().Value(), source.Font().Value());
  EXPECT_EQ(editor.Margin(), TEditorMargin());
  EXPECT_EQ(editor.ScrollBars(), ssNone);
}

TEST(EditorProp, ReserveWordsAreSortedWithoutDuplicates) {
  TEditorProp p;
  p.SetReserveWordList(TReserveWordList({"while", "If", "if", "begin", "while"}));
  EXPECT_EQ(p.ReserveWordList().Words(), (std::vector<std::string>{"begin", "If", "while"}));
}

std::vector<TStreamProperty> InitialStyleListing() {
  auto id = [](const char* s) { return V::Ident(s); };
  auto entry = [&](const std::string& name, const char* bk, const char* fg, std::vector<std::string> style = {}) {
    const std::string p = "View.Colors." + name + ".";
    return std::vector<TStreamProperty>{{p + "BkColor", id(bk)}, {p + "Color", id(fg)}, {p + "Style", V::Set(style)}};
  };
  std::vector<TStreamProperty> want{
      {"Color", id("clWindow")},
      {"Caret.AutoCursor", V::Bool(true)},
      {"Caret.AutoIndent", V::Bool(false)},
      {"Caret.FreeCaret", V::Bool(false)},
      {"Caret.InTab", V::Bool(false)},
      {"Caret.KeepCaret", V::Bool(false)},
      {"Caret.LockScroll", V::Bool(false)},
      {"Caret.NextLine", V::Bool(false)},
      {"Caret.PrevSpaceIndent", V::Bool(false)},
      {"Caret.RowSelect", V::Bool(true)},
      {"Caret.SelDragMode", id("dmAutomatic")},
      {"Caret.SelMove", V::Bool(true)},
      {"Caret.SoftTab", V::Bool(false)},
      {"Caret.Style", id("csDefault")},
      {"Caret.TabIndent", V::Bool(false)},
      {"Caret.TabSpaceCount", V::Int(4)},
      {"Caret.Cursors.DefaultCursor", id("crIBeam")},
      {"Caret.Cursors.DragSelCursor", id("crDrag")},
      {"Caret.Cursors.DragSelCopyCursor", V::Int(crDragSelCopy)},  // the editor's own cursors go by number
      {"Caret.Cursors.InSelCursor", id("crDefault")},
      {"Caret.Cursors.LeftMarginCursor", V::Int(crRightArrow)},
      {"Font.Charset", id("SHIFTJIS_CHARSET")},
      {"Font.Color", id("clWindowText")},
      {"Font.Height", V::Int(-19)},
      {"Font.Name", V::Str("FixedSys")},
      {"Font.Style", V::Set({})},
      {"Margin.Character", V::Int(0)},
      {"Margin.Left", V::Int(4)},
      {"Margin.Line", V::Int(0)},
      {"Margin.Top", V::Int(2)},
      {"Marks.EofMark.Color", id("clTeal")},
      {"Marks.EofMark.Visible", V::Bool(true)},
      {"Marks.RetMark.Color", id("clTeal")},
      {"Marks.RetMark.Visible", V::Bool(true)},
      {"Marks.Underline.Color", id("clGray")},
      {"Marks.Underline.Visible", V::Bool(false)},
      {"ReserveWordList.Strings", V::List({V::Str("ymkk")})},
      {"ScrollBars", id("ssBoth")},
      {"View.Brackets", V::Collection({{{"LeftBracket", V::Str("/*")},
                                        {"RightBracket", V::Str("*/")},
                                        {"ItemColor.BkColor", id("clWindow")},
                                        {"ItemColor.Color", id("clGray")},
                                        {"ItemColor.Style", V::Set({})}}})},
  };
  for (const char* name : {"Ank", "Comment", "DBCS", "Int"}) {
    auto e = entry(name, "clWindow", "clWindowText");
    want.insert(want.end(), e.begin(), e.end());
  }
  for (const auto& e : {entry("Mail", "clWindow", "clGreen", {"fsUnderline"}), entry("Reserve", "clWindow", "clRed"),
                        entry("Select", "clNavy", "clWhite"), entry("Str", "clWindow", "clWindowText"),
                        entry("Symbol", "clWindow", "clWindowText"),
                        entry("Url", "clWindow", "clNavy", {"fsUnderline"})})
    want.insert(want.end(), e.begin(), e.end());
  const std::vector<TStreamProperty> tail{
      {"View.ControlCode", V::Bool(false)},
      {"View.Mail", V::Bool(true)},
      {"View.Url", V::Bool(true)},
      {"WordWrap", V::Bool(true)},
      {"WrapOption.FollowRetMark", V::Bool(true)},
      {"WrapOption.FollowPunctuation", V::Bool(false)},
      {"WrapOption.FollowStr", V::Str(TEditorWrapOption::kDefaultFollowStr)},
      {"WrapOption.Leading", V::Bool(false)},
      {"WrapOption.LeadStr", V::Str(TEditorWrapOption::kDefaultLeadStr)},
      {"WrapOption.PunctuationStr", V::Str(TEditorWrapOption::kDefaultPunctuationStr)},
      {"WrapOption.WordBreak", V::Bool(false)},
      {"WrapOption.WrapByte", V::Int(80)},
  };
  want.insert(want.end(), tail.begin(), tail.end());
  return want;
}

TEST(EditorProp, InitialStyleStreamsInTheListedOrderAndForm) {
  TEditorProp p;
  p.SetName("EditorProp1");
  SetInitialStyle(p);
  const auto got = p.StoredProperties();
  const auto want = InitialStyleListing();
  for (std::size_t i = 0; i < std::min(got.size(), want.size()); ++i) EXPECT_EQ(got[i], want[i]) << want[i].name;
  EXPECT_EQ(got.size(), want.size());

  const std::string bytes = SaveComponent(p);
  EXPECT_EQ(bytes.substr(0, 40), std::string("TPF0\x0bTEditorProp\x0b" "EditorProp1\x05" "Color\x07\x08" "clWindow", 40));
  EXPECT_TRUE(bytes.ends_with(std::string("\x13WrapOption.WrapByte\x02\x50\x00\x00\x00", 25)));
}

TEST(EditorProp, AnEnumerationOutsideItsValuesIsRefusedWhenStored) {
  const std::function<void(TEditorProp&)> spoil[] = {
      [](TEditorProp& p) { p.SetScrollBars(static_cast<TScrollStyle>(7)); },
      [](TEditorProp& p) { p.Caret().SetStyle(static_cast<TEditorCaretStyle>(7)); },
      [](TEditorProp& p) { p.Caret().SetSelDragMode(static_cast<TDragMode>(7)); },
  };
  for (const auto& f : spoil) {
    TEditorProp p;
    f(p);
    EXPECT_THROW(SaveComponent(p), EPropertyStreamError);
  }
}

TEST(EditorProp, RoundTripsThroughTheSettingsFileAndAStyleFile) {
  test::TTempDir dir;
  TRegManager manager;
  manager.RegItems().Add("EditProp", "EditProp", "prop");
  for (int n = 0; n < 10; ++n) manager.RegItems().Add("EditProp" + std::to_string(n), "EditProp" + std::to_string(n), "prop");
  TEditorProp stored;
  stored.SetName("EditorProp1");
  SetEveryProperty(stored);

  for (const char* item : {"EditProp3", "EditProp"}) {
    const std::string path = dir.File(std::string(item) + ".yks");
    test::Spit(path, "; kept\r\n[Other]\r\nx=1\r\n");
    manager.SetIniFileName(path);
    manager.FilerOf(item).WriteComponent(&stored);
    TEditorProp read;
    SetInitialStyle(read);
    manager.FilerOf(item).ReadComponent(&read);
    ExpectSameProperties(read, stored);
    EXPECT_EQ(read.WrapOption().FollowStr(), "");
    const TIniText ini(test::Slurp(path));
    EXPECT_EQ(ini.Read("Other", "x"), "1");
    EXPECT_TRUE(test::Slurp(path).starts_with("; kept\r\n[Other]\r\nx=1\r\n[" + std::string(item) + "]\r\nprop_c="));
  }

  // Nothing stored: the set keeps its values.
  TEditorProp untouched;
  SetInitialStyle(untouched);
  manager.FilerOf("EditProp7").ReadComponent(&untouched);
  TEditorProp initial;
  SetInitialStyle(initial);
  ExpectSameProperties(untouched, initial);
}


// --------------------------------------------------------------- reading

std::string StreamOf(std::vector<TStreamProperty> props, std::string class_name = "TEditorProp") {
  return EncodeComponent({std::move(class_name), "EditorProp1", std::move(props)});
}

// A set too large for the reader is refused when it is written, with a
// message, and the stored set stays as it was.
TEST(EditorProp, ASetTooLargeToReadBackIsNotWritten) {
  test::TTempDir dir;
  TRegManager manager;
  manager.RegItems().Add("EditProp0", "EditProp0", "prop");
  manager.SetIniFileName(dir.File("Yomikaki.ini"));
  TEditorProp stored;
  stored.SetName("EditorProp1");
  SetInitialStyle(stored);
  manager.FilerOf("EditProp0").WriteComponent(&stored);
  const std::string before = test::Slurp(dir.File("Yomikaki.ini"));

  TEditorProp huge;
  huge.SetName("EditorProp1");
  std::vector<std::string> words;
  for (int i = 0; i < 50000; ++i) words.push_back(std::to_string(i) + std::string(100, 'w'));
  huge.ReserveWordList().Assign(words);
  try {
    manager.FilerOf("EditProp0").WriteComponent(&huge);
    ADD_FAILURE() << "written";
  } catch (const EPropertyStreamError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(test::Slurp(dir.File("Yomikaki.ini")) == before);
}

TEST(EditorPropRead, RefusedStreamsChangeNothing) {
  TEditorProp initial;
  SetInitialStyle(initial);
  const auto good = initial.StoredProperties();
  auto replaced = [&](const std::string& name, TStreamValue v) {
    auto props = good;
    for (auto& p : props) {
      if (p.name == name) p.value = std::move(v);
    }
    return StreamOf(props);
  };
  auto added = [&](const std::string& name, TStreamValue v) {
    auto props = good;
    props.push_back({name, std::move(v)});
    return StreamOf(props);
  };
  std::vector<std::vector<TStreamProperty>> fifteen(15, std::vector<TStreamProperty>{{"LeftBracket", V::Str("(")}});
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"unknown property", added("Caret.Bogus", V::Bool(true))},
      {"unknown object", added("Bogus.Color", V::Int(1))},
      {"object without a property", added("Caret", V::Int(1))},
      {"other class", StreamOf(good, "TEditorPropX")},
      {"a class a file could name", StreamOf(good, "TMainForm")},
      {"boolean as integer", replaced("WordWrap", V::Int(1))},
      {"integer as string", replaced("Margin.Left", V::Str("4"))},
      {"string as identifier", replaced("Font.Name", V::Ident("FixedSys"))},
      {"unknown colour", replaced("Color", V::Ident("clBogus"))},
      {"unknown scroll style", replaced("ScrollBars", V::Ident("ssDiagonal"))},
      {"unknown caret style", replaced("Caret.Style", V::Ident("csBlock"))},
      {"unknown font style", replaced("Font.Style", V::Set({"fsBold", "fsShadow"}))},
      {"cursor out of range", replaced("Caret.Cursors.DefaultCursor", V::Int(40000))},
      {"character set out of range", replaced("Font.Charset", V::Int(300))},
      {"unknown character set", replaced("Font.Charset", V::Ident("KLINGON_CHARSET"))},
      {"fifteen bracket pairs", replaced("View.Brackets", V::Collection(fifteen))},
      {"unknown bracket property", replaced("View.Brackets", V::Collection({{{"Middle", V::Str("|")}}}))},
      {"word that is not a string", replaced("ReserveWordList.Strings", V::List({V::Int(1)}))},
      {"design position as string", added("Left", V::Str("0"))},
  };
  for (const auto& c : cases) {
    TEditorProp target;
    SetEveryProperty(target);
    TEditorProp before;
    before.Assign(target);
    EXPECT_FALSE(LoadComponent(c.bytes, target)) << c.what;
    EXPECT_TRUE(target == before) << c.what;
  }
  const std::string whole = StreamOf(good);
  for (std::size_t n = 0; n < whole.size(); n += 7) {
    TEditorProp target;
    EXPECT_FALSE(LoadComponent(whole.substr(0, n), target)) << n;
    EXPECT_TRUE(target == TEditorProp()) << n;
  }
}

TEST(EditorPropRead, AcceptsKnownIdentifiersAndClampsLikeTheSetters) {
  const struct {
    const char* name;
    TStreamValue value;
    std::function<int(const TEditorProp&)> get;
    int want;
  } cases[] = {
      {"Color", V::Ident("clinfobk"), [](auto& p) { return p.Color(); }, clInfoBk},
      {"Color", V::Ident("clMoneyGreen"), [](auto& p) { return p.Color(); }, 0xC0DCC0},
      {"Color", V::Int(0x123456), [](auto& p) { return p.Color(); }, 0x123456},
      {"Caret.Cursors.DefaultCursor", V::Ident("crHandPoint"), [](auto& p) { return p.Caret().Cursors().DefaultCursor(); }, crHandPoint},
      {"Caret.Cursors.InSelCursor", V::Ident("crSize"), [](auto& p) { return p.Caret().Cursors().InSelCursor(); }, crSizeAll},
      {"caret.cursors.leftmargincursor", V::Ident("CRRIGHTARROW"), [](auto& p) { return p.Caret().Cursors().LeftMarginCursor(); }, crRightArrow},
      {"Caret.Cursors.DragSelCopyCursor", V::Ident("crDragSelCopy"), [](auto& p) { return p.Caret().Cursors().DragSelCopyCursor(); }, crDragSelCopy},
      {"Font.Charset", V::Ident("HANGUL_CHARSET"), [](auto& p) { return p.Font().Charset(); }, HANGEUL_CHARSET},
      {"Font.Charset", V::Ident("OEM_CHARSET"), [](auto& p) { return p.Font().Charset(); }, OEM_CHARSET},
      {"Font.Charset", V::Int(5), [](auto& p) { return p.Font().Charset(); }, 5},
      {"Font.Height", V::Int(-100000), [](auto& p) { return p.Font().Height(); }, -kMaxFontHeight},
      {"Caret.TabSpaceCount", V::Int(7), [](auto& p) { return p.Caret().TabSpaceCount(); }, 6},
      {"Caret.TabSpaceCount", V::Int(100), [](auto& p) { return p.Caret().TabSpaceCount(); }, 8},
      {"WrapOption.WrapByte", V::Int(1000), [](auto& p) { return p.WrapOption().WrapByte(); }, 250},
      {"WrapOption.WrapByte", V::Int(-5), [](auto& p) { return p.WrapOption().WrapByte(); }, 20},
      {"Margin.Character", V::Int(500), [](auto& p) { return p.Margin().Character(); }, 100},
      {"Margin.Left", V::Int(-3), [](auto& p) { return p.Margin().Left(); }, 0},
      {"View.Quotation", V::Str("\"'"), [](auto& p) { return int{p.View().Quotation() == "\""}; }, 1},
      {"Left", V::Int(120), [](auto& p) { return p.Margin().Left(); }, TEditorMargin().Left()},
  };
  for (const auto& c : cases) {
    TEditorProp target;
    ASSERT_TRUE(LoadComponent(StreamOf({{c.name, c.value}}), target)) << c.name;
    EXPECT_EQ(c.get(target), c.want) << c.name;
  }
}

TEST(EditorPropRead, PropertiesNotStoredTakeConstructionValues) {
  TEditorProp target;
  target.SetName("Mine");
  SetEveryProperty(target);
  ASSERT_TRUE(LoadComponent(StreamOf({{"WordWrap", V::Bool(true)}}), target));
  TEditorProp want;
  want.SetWordWrap(true);
  ExpectSameProperties(target, want);
  EXPECT_EQ(target.Name(), "Mine");
}

TEST(EditorPropRead, UnknownPropertyInTheSettingsFileKeepsTheStyle) {
  test::TTempDir dir;
  TRegManager manager;
  manager.SetIniFileName(dir.File("Yomikaki.ini"));
  manager.RegItems().Add("EditProp0", "EditProp0", "prop");
  manager.FilerOf("EditProp0").WriteStream(StreamOf({{"Caret.Blink", V::Bool(true)}}));
  TEditorProp style;
  SetInitialStyle(style);
  manager.FilerOf("EditProp0").ReadComponent(&style);
  TEditorProp initial;
  SetInitialStyle(initial);
  ExpectSameProperties(style, initial);
}

TEST(EditorProp, AStyleFromAFileIsBroughtIntoSensibleBounds) {
  struct Case {
    int left, top, line, height;
    int wantLeft, wantTop, wantLine, wantHeight;
    bool changed;
  };
  const Case cases[] = {
      {4, 2, 0, -19, 4, 2, 0, -19, false},              // the initial style stays as it is
      {0, 0, 0, 0, 0, 0, 0, 0, false},                   // height 0: the font's own size
      {30000, 101, 5000, -4000, 100, 100, 100, -400, true},
      {100, 100, 100, 4000, 100, 100, 100, 400, true},  // a cell height keeps its sign
      {1, 1, 1, -2, 1, 1, 1, -6, true},                  // too small to read
  };
  for (const Case& c : cases) {
    TEditorProp p;
    SetInitialStyle(p);
    p.Margin().SetLeft(c.left);
    p.Margin().SetTop(c.top);
    p.Margin().SetLine(c.line);
    p.Font().SetHeight(c.height);
    EXPECT_EQ(KeepStyleInBounds(p), c.changed) << c.left << " " << c.height;
    EXPECT_EQ(p.Margin().Left(), c.wantLeft);
    EXPECT_EQ(p.Margin().Top(), c.wantTop);
    EXPECT_EQ(p.Margin().Line(), c.wantLine);
    EXPECT_EQ(p.Font().Height(), c.wantHeight) << c.height;
  }
  // Reserved words: a bounded number of words of a bounded length.
  std::vector<std::string> words{std::string(kMaxStyleWordLength + 1, 'x'), std::string(kMaxStyleWordLength, 'y')};
  for (int i = 0; i < kMaxStyleReservedWords + 10; ++i) words.push_back("w" + std::to_string(i));
  TEditorProp p;
  p.SetReserveWordList(TReserveWordList(words));
  EXPECT_TRUE(KeepStyleInBounds(p));
  EXPECT_EQ(p.ReserveWordList().Count(), kMaxStyleReservedWords);
  EXPECT_FALSE(p.ReserveWordList().Contains(words[0]));
  EXPECT_FALSE(KeepStyleInBounds(p));
}

}  // namespace
}  // namespace yk

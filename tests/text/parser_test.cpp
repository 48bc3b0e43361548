// Token parser: byte classification, rule tokens, bracket states across rows,
// colour entries, and robustness on arbitrary bytes.
#include "text/parser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace yk;

namespace {

const char* KindName(TEditorTokenKind k) {
  switch (k) {
    case toEof: return "Eof";
    case toSymbol: return "Sym";
    case toString: return "Str";
    case toInteger: return "Int";
    case toFloat: return "Flt";
    case toBracket: return "Brk";
    case toComment: return "Com";
    case toAnk: return "Ank";
    case toTab: return "Tab";
    case toDBSymbol: return "DSym";
    case toDBInt: return "DInt";
    case toDBAlph: return "DAlph";
    case toDBHira: return "Hira";
    case toDBKana: return "Kana";
    case toDBKanji: return "Kanji";
    case toKanaSymbol: return "KSym";
    case toKana: return "HKana";
    case toUrl: return "Url";
    case toMail: return "Mail";
  }
  return "?";
}

// Control bytes are shown as \xNN so that expectations stay readable.
std::string Show(std::string_view s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// "Kind:text|Kind:text" for every token up to toEof.
std::string Dump(TEditorParser& p) {
  std::string out;
  for (TEditorTokenKind k = p.Token(); k != toEof; k = p.NextToken()) {
    if (!out.empty()) out += '|';
    out += KindName(k);
    out += ':';
    out += Show(p.TokenString());
  }
  return out;
}

std::string Plain(std::string_view text) {
  TEditorParser p(text);
  return Dump(p);
}

std::string WithRules(const TParserRules& rules, std::string_view text, int state = kStateOutside,
                      int* end_state = nullptr) {
  TEditorParser p(&rules, text, state);
  std::string out = Dump(p);
  if (end_state) *end_state = p.BracketState();
  return out;
}

struct Case {
  std::string text;
  std::string expect;
};

TParserRules BlockComment() {
  TParserRules r;
  r.brackets.push_back({"/*", "*/"});
  return r;
}

}  // namespace

TEST(Parser, PlainClassification) {
  const std::vector<Case> cases = {
      {"abc_1 23 _x", "Ank:abc_1|Int:23|Ank:_x"},
      {"a\tb", "Ank:a|Tab:\\x09|Ank:b"},
      {" \r\n a \x01\x1f" "b", "Ank:a|Ank:b"},  // control bytes, CR and LF are blanks
      {std::string("a\0b", 3), "Ank:a|Sym:\\x00|Ank:b"},  // NUL is a symbol, not the end
      {"+-*\x7f\x80\xa0\xfd\xff", "Sym:+|Sym:-|Sym:*|Sym:\x7f|Sym:\x80|Sym:\xa0|Sym:\xfd|Sym:\xff"},
      {"a\x82", "Ank:a|Sym:\x82"},                       // lone lead byte at the end
      {"\x82\xa0\x81\x5b\x82\xa2\x81\x7c", "Hira:\x82\xa0\x81\x5b\x82\xa2\x81\x7c"},  // あーい－
      {"\x81\x5b\x82\xa0", "DSym:\x81\x5b|Hira:\x82\xa0"},  // ーあ: the mark only continues a run
      {"\x83\x4a\x81\x5b\x83\x68\x82\xa0", "Kana:\x83\x4a\x81\x5b\x83\x68|Hira:\x82\xa0"},  // カードあ
      {"\x82\x50\x81\x43\x82\x51\x81\x44", "DInt:\x82\x50\x81\x43\x82\x51\x81\x44"},  // １，２．
      {"\x82\x60\x82\x9a\x82\x50", "DAlph:\x82\x60\x82\x9a|DInt:\x82\x50"},            // Ａｚ１
      {"\x83\x9f\x83\xa0\x83\x40", "DSym:\x83\x9f\x83\xa0|Kana:\x83\x40"},            // ΑΒァ
      {"\x81\x41\x81\x42", "DSym:\x81\x41|DSym:\x81\x42"},                            // 、。
      {"\x82\x40\x83\xf5", "DSym:\x82\x40|DSym:\x83\xf5"},  // other trails after 0x82 / 0x83
      {"\x84\x40\x87\x40\x88\x9f", "DSym:\x84\x40\x87\x40|Kanji:\x88\x9f"},  // АБ①亜
      {"\x8a\xbf\x8e\x9a\xe0\x40\xfc\x40\x82\xa0", "Kanji:\x8a\xbf\x8e\x9a\xe0\x40\xfc\x40|Hira:\x82\xa0"},
      {"\xa1\xa5\xa6\xb1\xdf" "a", "KSym:\xa1|KSym:\xa5|HKana:\xa6\xb1\xdf|Ank:a"},  // ｡･ｦｱﾟa
      {"\x95\x5c" "a", "Kanji:\x95\x5c|Ank:a"},  // 表: the trail byte is no backslash
  };
  for (const Case& c : cases) EXPECT_EQ(Plain(c.text), c.expect) << Show(c.text);
}

TEST(Parser, Numbers) {
  const std::vector<Case> cases = {
      {"12", "Int:12"},
      {"1.5e+3", "Flt:1.5e+3"},
      {"1. x", "Flt:1|Sym:.|Ank:x"},  // a full stop not followed by a digit stays outside
      {"1.5.3", "Flt:1.5|Sym:.|Int:3"},
      {"1.e5", "Flt:1.e5"},
      {"2E", "Flt:2E"},  // the letter and sign stay even without exponent digits
      {"2e-;", "Flt:2e-|Sym:;"},
      {"3x", "Int:3|Ank:x"},
      {"0x1F", "Int:0|Ank:x1F"},  // no hex prefix without rules
      {"7.", "Flt:7|Sym:."},      // at the very end
  };
  for (const Case& c : cases) EXPECT_EQ(Plain(c.text), c.expect) << c.text;
}

TEST(Parser, RuleTokens) {
  TParserRules r;
  r.mail = true;
  r.url = true;
  r.commenter = ";";
  r.quotation = "'";
  r.hexPrefix = "0x";
  r.controlCode = true;
  const std::vector<Case> cases = {
      {"abc@def.ghi, x", "Mail:abc@def.ghi,|Ank:x"},
      {"abc@defghi x", "Ank:abc|Sym:@|Ank:defghi|Ank:x"},  // no full stop after the at sign
      {"a.b@c x", "Ank:a|Sym:.|Ank:b|Sym:@|Ank:c|Ank:x"},   // full stop only before it
      {"@a.b", "Sym:@|Ank:a|Sym:.|Ank:b"},                 // a run never starts at the at sign
      {"https://x.jp/a?b=c d", "Url:https://x.jp/a?b=c|Ank:d"},
      {"http:x ftp:y www.z", "Url:http:x|Url:ftp:y|Url:www.z"},
      {"HTTPS://x", "Ank:HTTPS|Sym::|Sym:/|Sym:/|Ank:x"},  // small letters only
      {"httpx", "Ank:httpx"},
      {"a ; b 'c'", "Ank:a|Com:; b 'c'"},
      {"'a''b' c", "Str:'a''b'|Ank:c"},  // a doubled quote stands for one
      {"'abc", "Str:'abc"},              // unclosed: to the end of the row
      {"'''' x", "Str:''''|Ank:x"},
      {"0x1Fg 0x", "Int:0x1F|Ank:g|Int:0x"},
      {"#12a #$fFz #", "Str:#12|Ank:a|Str:#$fF|Ank:z|Str:#"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithRules(r, c.text), c.expect) << c.text;
}

TEST(Parser, RuleOrderAndLineEnds) {
  TParserRules r = BlockComment();
  r.mail = true;
  r.commenter = "//";
  r.quotation = "\"";
  // Brackets come before mail and comments; comments and strings stop at a
  // line end, and the next line is parsed afresh.
  EXPECT_EQ(WithRules(r, "/*a@b.c*/ // x\r\ny \"s\nz"),
            "Brk:/*a@b.c*/|Com:// x|Ank:y|Str:\"s|Ank:z");
  // A mail run wins over the commenter that it contains.
  EXPECT_EQ(WithRules(r, "a//b@c.d"), "Mail:a//b@c.d");
  // Without rules none of this applies.
  EXPECT_EQ(Plain("/*x"), "Sym:/|Sym:*|Ank:x");
}

TEST(Parser, QuotedStringStepsByCharacter) {
  TParserRules r;
  r.quotation = "|";
  // |－|x : the full-width minus ends in 0x7C, which must not close the string.
  EXPECT_EQ(WithRules(r, "|\x81\x7c|x"), "Str:|\x81\x7c||Ank:x");
}

TEST(Parser, BlockCommentCarriedAcrossRows) {
  TParserRules r = BlockComment();
  int state = 99;
  EXPECT_EQ(WithRules(r, "a /* b", kStateOutside, &state), "Ank:a|Brk:/* b");
  EXPECT_EQ(state, 0);
  EXPECT_EQ(WithRules(r, "c */ d", state, &state), "Brk:c */|Ank:d");
  EXPECT_EQ(state, kStateOutside);
  // A blank row inside the pair keeps the state.
  EXPECT_EQ(WithRules(r, "   ", 0, &state), "");
  EXPECT_EQ(state, 0);
  // The same text read through in one piece.
  EXPECT_EQ(WithRules(r, "a /* b\r\nc */ d"), "Ank:a|Brk:/* b|Brk:c */|Ank:d");
}

TEST(Parser, BracketStatesAndIndices) {
  TParserRules r;
  r.brackets = {{"", "x"}, {"<<", ">>"}, {"<", ">"}, {"[", "]"}};
  TEditorParser p(&r, "<a> <<b>> [c <", kStateOutside);
  EXPECT_EQ(p.Token(), toBracket);
  EXPECT_EQ(p.BracketIndex(), 2);  // "<" closes at the first ">"
  EXPECT_EQ(p.BracketState(), kStateOutside);
  p.NextToken();
  EXPECT_EQ(p.TokenString(), "<<b>>");  // pairs are tried in index order
  EXPECT_EQ(p.BracketIndex(), 1);
  p.NextToken();
  EXPECT_EQ(p.TokenString(), "[c <");  // the open pair hides the others
  EXPECT_EQ(p.BracketState(), 3);
  EXPECT_EQ(p.NextToken(), toEof);
  EXPECT_EQ(p.BracketState(), 3);
  // Right bracket scan steps by character: 表 (0x95 0x5C) holds no "\".
  r.brackets = {{"\\", "\\"}};
  EXPECT_EQ(WithRules(r, "\\\x95\x5c\\x"), "Brk:\\\x95\x5c\\|Ank:x");
}

TEST(Parser, StartStates) {
  TParserRules r = BlockComment();
  int state = 0;
  // Not computed: bracket rules are skipped, the others still apply.
  r.commenter = ";";
  EXPECT_EQ(WithRules(r, "/*a ;b", kStateNotComputed, &state), "Sym:/|Sym:*|Ank:a|Com:;b");
  EXPECT_EQ(state, kStateNotComputed);
  // A state naming no pair (settings changed meanwhile) starts outside.
  for (int bad : {1, 13, 99, -7}) {
    EXPECT_EQ(WithRules(r, "a*/", bad, &state), "Ank:a|Sym:*|Sym:/") << bad;
    EXPECT_EQ(state, kStateOutside) << bad;
  }
  // Pairs beyond the fourteenth are ignored.
  TParserRules many;
  for (int i = 0; i < 16; ++i) many.brackets.push_back({std::string(1, char('A' + i)), "!"});
  EXPECT_EQ(WithRules(many, "N!O!P!"), "Brk:N!|Ank:O|Sym:!|Ank:P|Sym:!");
  // No rules at all: the state is only reported.
  TEditorParser plain(nullptr, "/*", kStateOutside);
  EXPECT_EQ(plain.Token(), toSymbol);
  EXPECT_EQ(plain.BracketState(), kStateOutside);
}

TEST(Parser, EmptyRightBracketRunsToEndOfDocument) {
  TParserRules r;
  r.brackets = {{"{", ""}};
  int state = kStateOutside;
  EXPECT_EQ(WithRules(r, "a { b } c", state, &state), "Ank:a|Brk:{ b } c");
  EXPECT_EQ(state, 0);
  // Row after row it stays open; every token takes at least one byte.
  for (const char* row : {"x", "} y", "", "  z  "}) {
    TEditorParser p(&r, row, state);
    int tokens = 0;
    for (TEditorTokenKind k = p.Token(); k != toEof; k = p.NextToken()) {
      EXPECT_EQ(k, toBracket);
      EXPECT_GT(p.TokenLength(), 0);
      ASSERT_LT(++tokens, 10) << "no progress";
    }
    EXPECT_EQ(p.BracketState(), 0) << row;
    state = p.BracketState();
  }
  EXPECT_EQ(WithRules(r, "a\r\nb", 0), "Brk:a|Brk:b");
}

TEST(Parser, OffsetsAndEof) {
  TEditorParser p("  ab  cd ");
  EXPECT_EQ(p.TokenOffset(), 2);
  EXPECT_EQ(p.TokenLength(), 2);
  EXPECT_EQ(p.Position(), 4);
  p.NextToken();
  EXPECT_EQ(p.TokenOffset(), 6);
  EXPECT_EQ(p.NextToken(), toEof);
  EXPECT_EQ(p.TokenLength(), 0);
  EXPECT_EQ(p.Position(), 9);
  EXPECT_EQ(p.NextToken(), toEof);  // stays at the end
  TEditorParser empty("");
  EXPECT_EQ(empty.Token(), toEof);
  EXPECT_EQ(empty.BracketIndex(), kStateNotComputed);
}

TEST(Parser, ColorEntries) {
  TReserveWordList words({"if", "@", "\x82\xa0" /* あ */, "http://x", "12"});
  struct Row {
    std::string text;
    TColorEntry entry;
  };
  TParserRules r = BlockComment();
  r.url = true;
  r.quotation = "'";
  r.commenter = ";";
  const std::vector<Row> rows = {
      {"IF", ceReserve},      {"iffy", ceAnk},        {"@", ceReserve},    {"+", ceSymbol},
      {"\x82\xa0", ceReserve}, {"\x82\xa2", ceDBCS},   {"\xb1", ceDBCS},    {"http://x", ceReserve},
      {"http://y", ceUrl},    {"'if'", ceStr},        {";if", ceComment},  {"/*if*/", ceBracket},
      {"12", ceInt},          {"1.5", ceInt},         {"\t", ceText},
  };
  for (const Row& row : rows) {
    TEditorParser p(&r, row.text, kStateOutside);
    EXPECT_EQ(TokenColorEntry(p, &words), row.entry) << row.text;
  }
  TEditorParser p(&r, "if", kStateOutside);
  EXPECT_EQ(TokenColorEntry(p, nullptr), ceAnk);
  EXPECT_EQ(TokenColorEntry(toMail, false), ceMail);
  EXPECT_EQ(TokenColorEntry(toEof, true), ceText);
}

// A descendant that treats "-" as a blank gets its own rules from the first token on.
TEST(Parser, DescendantScansItsOwnFirstToken) {
  struct DashBlankParser : TEditorParser {
    DashBlankParser(std::string_view text) : TEditorParser(nullptr, text, kStateOutside, TDeferFirstToken{}) {
      NextToken();
    }
    void SkipBlanks() override {
      TEditorParser::SkipBlanks();
      while (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    }
  };
  DashBlankParser p("--a-b");
  EXPECT_EQ(Dump(p), "Ank:a|Ank:b");
}

// Arbitrary bytes under arbitrary rules: every token lies inside the text,
// follows the previous one and takes at least one byte. Each text sits in an
// exact-size heap block so that a sanitizer build catches any read past it.
TEST(Parser, RandomBytesNeverOverrunOrStall) {
  std::mt19937 rng(12345);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const std::string alphabet = "/*'\";#$0x9.eE+-@:htpfw\r\n\t \x81\x82\x83\x5b\x7c\xa1\xb1\xe0";
  auto piece = [&](int max) {
    std::string s;
    for (int i = pick(max + 1); i > 0; --i) s += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    TParserRules r;
    for (int i = pick(4); i > 0; --i) r.brackets.push_back({piece(2), piece(2)});
    r.commenter = piece(2);
    r.quotation = piece(1);
    r.hexPrefix = piece(2);
    r.mail = pick(2);
    r.url = pick(2);
    r.controlCode = pick(2);
    std::size_t n = static_cast<std::size_t>(pick(40));
    auto buf = std::make_unique<char[]>(n + 1);  // at least one byte for the allocator
    for (std::size_t i = 0; i < n; ++i)
      buf[i] = pick(3) ? alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))]
                       : static_cast<char>(pick(256));
    std::string_view text(buf.get(), n);
    TEditorParser p(pick(4) ? &r : nullptr, text, pick(6) - 2);
    int last_end = 0, tokens = 0;
    for (TEditorTokenKind k = p.Token(); k != toEof; k = p.NextToken()) {
      ASSERT_GE(p.TokenOffset(), last_end);
      ASSERT_GT(p.TokenLength(), 0);
      ASSERT_LE(p.Position(), static_cast<int>(n));
      last_end = p.Position();
      ASSERT_LE(++tokens, static_cast<int>(n));
    }
    ASSERT_GE(p.BracketState(), kStateNotComputed);
    ASSERT_TRUE(p.BracketState() < 0 || p.BracketState() < static_cast<int>(r.brackets.size()));
  }
}

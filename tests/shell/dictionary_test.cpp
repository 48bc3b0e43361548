// Dictionary loading, look-up and the input-support hints.
#include "shell/dictionary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "convert/letter_case.h"
#include "shell/input_support.h"
#include "shell/shell_test_util.h"
#include "temp_dir.h"

namespace yk {
namespace {

TDictionaryGrid Grid(std::string_view bytes) {
  TDictionaryLoad load = ParseDictionary(bytes);
  EXPECT_EQ(load.Status, dlsLoaded) << load.Error;
  return load.Grid ? std::move(*load.Grid) : *ParseDictionary("x").Grid;
}

std::string Dump(const TDictionaryGrid& g) {
  std::string out;
  for (int r = 0; r < g.RowCount(); ++r) {
    for (int c = 0; c < g.ColCount(); ++c) out += std::string(c ? "," : "") + std::string(g.Cell(c, r));
    out += "|";
  }
  return out;
}

TEST(Dictionary, GridShape) {
  // The first line fixes three columns; missing fields are empty, extra ones dropped.
  const TDictionaryGrid g = Grid("a,b,c\r\nd\ne,f,g,h\rij,\"k l\"\r\n");
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(Dump(g), "a,b,c|d,,|e,f,g|ij,k l,|");
  EXPECT_EQ(g.Cell(5, 0), "");
  EXPECT_EQ(g.Cell(0, 9), "");
  EXPECT_EQ(g.Cell(-1, -1), "");
  EXPECT_EQ(Dump(Grid("a\n\nb")), "a||b|");                             // an empty line is an empty row
  EXPECT_EQ(Dump(Grid("\x83\x5c,\x80\xff\xfd\n")), "\x83\x5c,\x80\xff\xfd|");  // ソ; bytes not CP932 kept
}

TEST(Dictionary, BlankLinesKeepTheirRowNumbersButCostNothing) {
  std::string text = "a,1\r\n";
  for (int i = 0; i < 1'000'000; ++i) text += i % 2 ? "\r\n" : " \t\n";
  text += "b,2\r\n";
  const TDictionaryGrid big = Grid(text);
  EXPECT_EQ(big.RowCount(), 1'000'002);
  EXPECT_EQ(big.FindRow("B"), 1'000'001);
  EXPECT_EQ(big.Cell(1, 1'000'001), "2");
  EXPECT_EQ(big.Cell(0, 500'000), "");
  // What the grid holds follows its two entries, not the million lines.
  EXPECT_LT(big.MemoryBytes(), Grid("a,1\r\nb,2\r\n").MemoryBytes() + 256);
}

TEST(Dictionary, NothingToLoadKeepsTheOldGrid) {
  for (std::string_view bytes : {"", "\r\n", "   \nword,text\n"}) {
    const TDictionaryLoad load = ParseDictionary(bytes);
    EXPECT_EQ(load.Status, dlsEmpty) << bytes;
    EXPECT_FALSE(load.Grid);
    EXPECT_TRUE(load.Error.empty());
  }
}

TEST(Dictionary, LookUpIgnoresCaseAndFindsTheFirstRow) {
  const TDictionaryGrid g =
      Grid("Key,1\nkey,2\nABC,3\n\x82\x60\x82\x61,4\n\x82\x81\x82\x82,5\nother,6\n,7\n");  // ＡＢ, ａｂ
  struct Case {
    std::string_view word;
    int row;
  };
  const Case cases[] = {{"KEY", 0}, {"key", 0}, {"abc", 2}, {"aBc", 2}, {"\x82\x81\x82\x82", 3},
                        {"ab", -1}, {"ke", -1}, {"keys", -1}, {"", 6}};
  for (const Case& c : cases) EXPECT_EQ(g.FindRow(c.word), c.row) << c.word;

  // The hash gives what a search from the top gives, for every word in the grid.
  const TDictionaryGrid big = Grid("b\na\nB\nc\nA\nb\nC\nd\n\x83\x62\n\x83\x42\n");  // ッ, ッ's trail "b" is not B
  for (int r = 0; r < big.RowCount(); ++r) {
    int first = -1;
    for (int s = 0; s < big.RowCount() && first < 0; ++s)
      if (UpperCase(big.Cell(0, s)) == UpperCase(big.Cell(0, r))) first = s;
    EXPECT_EQ(big.FindRow(big.Cell(0, r)), first) << r;
  }
}

TEST(Dictionary, BadFilesFailWithAReason) {
  test::TTempDir dir;
  std::string longLine(kMaxDictionaryLineLength + 1, 'x');
  std::string manyColumns;
  for (int i = 0; i < 1'000'000; ++i) manyColumns += ",";
  test::Spit(dir.File("long.csv"), "a,b\n" + longLine + "\n");
  test::Spit(dir.File("huge-line.csv"), std::string(10 << 20, 'y'));
  test::Spit(dir.File("columns.csv"), manyColumns.substr(0, 5000) + "\nx\n");
  test::Spit(dir.File("million.csv"), manyColumns);
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);  // must not hang
  {
    std::ofstream big(dir.File("big.csv"));
  }
  std::filesystem::resize_file(dir.File("big.csv"), kMaxDictionaryFileSize + 1);
  const std::string cannot = test::Sjis("辞書ファイルを読み込めません：");
  const struct {
    const char* name;
    std::string reason;
  } cases[] = {
      {"missing.csv", test::Sjis("ファイルが見つかりません")},
      {"missing/x.csv", test::Sjis("ファイルが見つかりません")},
      {"folder", test::Sjis("通常のファイルではありません")},
      {"fifo", test::Sjis("通常のファイルではありません")},
      {"big.csv", test::Sjis("ファイルが大きすぎます（最大64MB）")},
      {"long.csv", test::Sjis("長すぎる行があります（最大64KB）")},
      {"huge-line.csv", test::Sjis("長すぎる行があります（最大64KB）")},
      {"columns.csv", test::Sjis("列が多すぎます（最大1024列）")},
      {"million.csv", test::Sjis("長すぎる行があります（最大64KB）")},
  };
  for (const auto& c : cases) {
    const TDictionaryLoad load = LoadDictionary(dir.File(c.name));
    EXPECT_EQ(load.Status, dlsFailed) << c.name;
    EXPECT_FALSE(load.Grid) << c.name;
    EXPECT_EQ(load.Error, cannot + c.reason) << c.name;
  }
  test::Spit(dir.File("good.csv"), "ymkk,text\n");
  EXPECT_EQ(LoadDictionary(dir.File("good.csv")).Status, dlsLoaded);
}

TEST(InputSupport, HintOfAReservedWord) {
  // ymkk,"a, ""quoted""",plain
  const TDictionaryGrid g = Grid("ymkk,\"a, \"\"quoted\"\"\",plain\nbare\nskip,,second\n");
  TSupportState state;
  TSupportHint hint = HoverSupport(g, "YMKK", true, state);
  EXPECT_TRUE(hint.Shown);
  EXPECT_EQ(hint.HintText, "YMKK : \r\na, \"quoted\"\r\nplain");
  EXPECT_EQ(hint.StatusText, "YMKK : a, \"quoted\" plain");
  EXPECT_EQ(state.Text, "a, \"quoted\"\r\nplain");
  EXPECT_TRUE(state.Valid);
  EXPECT_EQ(state.Row, 0);
  EXPECT_EQ(SupportListEntries(state), (std::vector<std::string>{"a, \"quoted\"", "plain"}));

  // Not a reserved word, or not in the dictionary: no hint, the texts stay.
  for (auto [word, reserved] : {std::pair{"ymkk", false}, std::pair{"none", true}}) {
    hint = HoverSupport(g, word, reserved, state);
    EXPECT_FALSE(hint.Shown);
    EXPECT_EQ(hint.HintText, "");
    EXPECT_EQ(hint.StatusText, "");
    EXPECT_EQ(state.Text, "a, \"quoted\"\r\nplain");
  }

  // A word without texts shows its name and forgets the last texts.
  hint = HoverSupport(g, "bare", true, state);
  EXPECT_TRUE(hint.Shown);
  EXPECT_EQ(hint.HintText, "bare : \r\n");
  EXPECT_EQ(hint.StatusText, "bare :");
  EXPECT_FALSE(state.Valid);
  EXPECT_TRUE(SupportListEntries(state).empty());

  // A skipped cell leaves no empty line.
  HoverSupport(g, "skip", true, state);
  EXPECT_EQ(state.Text, "second");
  EXPECT_EQ(state.Row, 2);
}

TEST(InputSupport, WordListIsSharedThroughTheSettingsFile) {
  test::TTempDir dir;
  const std::string ini = dir.File("Yomikaki.ini");
  StoreWordList(ini, {"one", "\x82\xa0\x82\xa2"});  // あい
  EXPECT_EQ(LoadWordList(ini), (std::vector<std::string>{"one", "\x82\xa0\x82\xa2"}));
  EXPECT_EQ(test::Slurp(ini), "[DicList]\r\nlist_ItemCount=2\r\nlist_Item0=one\r\nlist_Item1=\x82\xa0\x82\xa2\r\n");
  StoreWordList(ini, {});
  EXPECT_TRUE(LoadWordList(ini).empty());
}

}  // namespace
}  // namespace yk

// The style chosen by a file's extension.
#include "shell/style_select.h"

#include <gtest/gtest.h>

#include "shell/shell_test_util.h"

namespace yk {
namespace {

using Exts = std::array<std::string, kStyleCount>;

Exts With(std::initializer_list<std::pair<int, std::string>> lists) {
  Exts e;
  for (const auto& [n, text] : lists) e[static_cast<std::size_t>(n)] = text;
  return e;
}

TEST(StyleSelect, ByExtension) {
  struct Case {
    Exts exts;
    std::string_view path;
    int style;
  };
  const Case cases[] = {
      {With({{2, "txt doc"}}), "/d/A.TXT", 2},
      {With({{2, "txt doc"}}), "/d/b.doc", 2},
      {With({{1, "txt"}, {2, "txt doc"}}), "/d/A.TXT", 1},  // the lower index wins
      {With({{2, "txt doc"}}), "/d/a.text", -1},
      {With({{3, "c,\"my ext\",h"}}), "/d/x.my ext", 3},      // a quoted entry may hold a blank
      {With({{3, "c,\"my ext\",h"}}), "/d/x.h", 3},
      {With({{4, " \"C\" , \"CPP\" "}}), "/d/x.cpp", 4},
      {With({{5, ".txt"}}), "/d/a.txt", -1},                  // an entry with its own dot never matches
      {With({{5, "txt"}}), "/d/README", -1},                  // no extension
      {With({{5, "txt"}}), "/d.txt/README", -1},              // the folder's dot is no extension
      {With({{6, "gz"}}), "/d/a.tar.gz", 6},
      {With({{6, "tar.gz"}}), "/d/a.tar.gz", -1},
      {With({{7, "\x83\x61"}}), "/d/a.\x83\x41", -1},           // ヂ is no small ア: the trail 0x41 is no "A"
      {With({{7, "\x83\x41"}}), "/d/a.\x83\x41", 7},           // ア
      {With({{9, "TxT"}}), "/d/a.tXt", 9},
      {Exts{}, "/d/a.txt", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(StyleIndexForPath(c.path, c.exts), c.style) << c.path;
}

TEST(StyleSelect, DefaultCaptions) {
  EXPECT_EQ(DefaultStyleCaption(0), test::Sjis("定義1"));
  EXPECT_EQ(DefaultStyleCaption(9), test::Sjis("定義10"));
}

}  // namespace
}  // namespace yk

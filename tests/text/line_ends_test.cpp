// Line ends of every kind in one document: loaded and saved back byte for
// byte, kept by edits of other lines, given by Enter from the line split,
// brought back by undo, kept through wrapping on and off, and converted all
// at once. Files are loaded as a user's are; the bytes a save writes are
// compared.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>

#include "fake_editor.h"
#include "image_threshold.h"
#include "temp_dir.h"
#include "text/line_end.h"

namespace yk::test {
namespace {

using enum TLineEnd;

TEST(ComposeLineEnds, MatchesReplacedLineEndsFromTheLastBack) {
  // Document kind CR LF throughout; old: the other kinds of p + m + s line
  // ends, p before the replaced rows, m in them, s after them.
  struct {
    const char* what;
    TOtherLineEnds old;
    std::uint32_t p, m, s, n;
    TLineEnd inherited;
    TOtherLineEnds expect;
  } const cases[] = {
      {"uniform: nothing to place", {}, 3, 1, 2, 5, CrLf, {}},
      {"Enter in an LF line: both halves LF", {{1, Lf}}, 1, 1, 0, 2, Lf, {{1, Lf}, {2, Lf}}},
      {"typing in a line keeps its kind", {{0, Cr}, {1, Lf}}, 0, 2, 0, 2, CrLf, {{0, Cr}, {1, Lf}}},
      {"joining keeps the end that still ends the line", {{0, Cr}, {1, Lf}}, 0, 2, 0, 1, Cr, {{0, Lf}}},
      {"joining an LF line to the next", {{0, Lf}}, 0, 2, 0, 1, Lf, {}},
      {"rows before and after move by the new count", {{0, Lf}, {2, Cr}, {4, Lf}}, 1, 2, 2, 4, CrLf,
       {{0, Lf}, {4, Cr}, {6, Lf}}},
      {"inserted before a CR line", {{0, Cr}}, 0, 0, 1, 2, Cr, {{0, Cr}, {1, Cr}, {2, Cr}}},
      {"deleted lines take their kinds along", {{1, Lf}, {2, Cr}}, 1, 2, 1, 0, CrLf, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComposeLineEnds(c.old, c.p, c.m, c.s, c.n, c.inherited, CrLf), c.expect) << c.what;
  EXPECT_EQ(CountLineEnds("a\r\nb\nc\rd\n\r"), 5u);
}

class LineEnds : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {
 protected:
  // A document on rows of the parameter's block sizes, loaded from bytes
  // (into an image when image is set).
  std::unique_ptr<FakeEditor> Load(const std::string& bytes, bool wrap = false, bool image = false) {
    const auto [blockBytes, blockRows] = GetParam();
    auto ed = std::make_unique<FakeEditor>(std::make_shared<TEditorScreenStrings>(blockBytes, blockRows));
    ed->Rows().WrapOption().SetWrapByte(20);
    ed->Rows().SetWordWrap(wrap);
    ed->Rows().UndoObj().SetUndoListMax(1000);
    Spit(dir.File("in.txt"), bytes);
    ImageThreshold threshold(image ? 1 : SIZE_MAX);
    ed->lines.LoadFromFile(dir.File("in.txt"));
    return ed;
  }
  // The bytes a document save writes (Lines' own save writes CR LF), the
  // same whether the rows are read one by one or handed over in pieces.
  static std::string Saved(FakeEditor& ed) {
    const TEditorScreenStrings& rows = ed.Rows();
    TRowEndWriter ends(rows);
    std::string out;
    for (int r = 0; r < rows.GetCount(); ++r) {
      out += rows.Row(r);
      out += ends.After(r);
    }
    std::string pieces;
    rows.ForEachSavedPiece({}, [&](std::string_view bytes, const TTextImage*) { pieces += bytes; });
    EXPECT_EQ(pieces, out);
    if (rows.EofMark()) out += '\x1a';
    return out;
  }
  TTempDir dir;
};

TEST_P(LineEnds, AnUneditedFileIsSavedByteForByte) {
  const std::string files[] = {
      "x\r\ny\nz\r\n", "a\rb\nc\n", "a\n\rb", "\r\n\n\r\r\n", "one\rtwo\rthree\n",
      "w" + std::string(30, 'w') + "\n" + std::string(45, 'v') + "\r\nend\r",  // lines of several rows
      "a\nb\r\n\x1a",                                                      // the end-of-file mark
  };
  for (const std::string& bytes : files)
    for (bool wrap : {false, true})
      for (bool image : {false, true}) {
        auto ed = Load(bytes, wrap, image);
        EXPECT_EQ(Saved(*ed), bytes) << testing::PrintToString(bytes) << " wrap " << wrap << " image " << image;
        ed->Rows().SetWordWrap(!wrap);
        EXPECT_EQ(Saved(*ed), bytes) << testing::PrintToString(bytes) << " after switching wrap";
      }
}

TEST_P(LineEnds, EditsKeepTheLineEndsOfTheLinesAndUndoBringsThemBack) {
  const std::string file = "a\rbb\ncc\r\ndd\n";
  struct {
    const char* what;
    int first, count;
    const char* text;
    std::string expect;
  } const cases[] = {
      {"typing in the LF line", 1, 1, "bXb\r\n", "a\rbXb\ncc\r\ndd\n"},
      {"Enter in the LF line: both lines LF", 1, 1, "b\r\nb\r\n", "a\rb\nb\ncc\r\ndd\n"},
      {"Enter at the end of the CR line", 0, 1, "a\r\n\r\n", "a\r\rbb\ncc\r\ndd\n"},
      {"a pasted line in the CR LF line", 2, 1, "c\r\nnew\r\nc\r\n", "a\rbb\nc\r\nnew\r\nc\r\ndd\n"},
      {"joining the CR line with the LF line", 0, 2, "abb\r\n", "abb\ncc\r\ndd\n"},
      {"deleting the LF line", 1, 1, "", "a\rcc\r\ndd\n"},
      {"a line inserted before the CR LF line", 2, 0, "ins\r\n", "a\rbb\nins\r\ncc\r\ndd\n"},
      {"replacing all lines by two", 0, 4, "p\r\nq\r\n", "p\r\nq\n"},
      {"appending after the last line", 4, 0, "e\r\n", "a\rbb\ncc\r\ndd\ne\r"},  // the document's kind: the first
  };
  for (bool wrap : {false, true}) {
    for (const auto& c : cases) {
      auto ed = Load(file, wrap);
      TEditorScreenStrings& rows = ed->Rows();
      rows.ReplaceRows(ed->lines.LineToRow(c.first), ed->lines.LineToRow(c.first + c.count) - ed->lines.LineToRow(c.first),
                       c.text);
      EXPECT_EQ(Saved(*ed), c.expect) << c.what << " wrap " << wrap;
      rows.Undo();
      EXPECT_EQ(Saved(*ed), file) << c.what << " undone";
      rows.Redo();
      EXPECT_EQ(Saved(*ed), c.expect) << c.what << " redone";
    }
  }
}

TEST_P(LineEnds, LinesOperationsAndTypingInARowKeepOtherLinesEnds) {
  auto ed = Load("a\nb\r\nc\rd");
  TEditorScreenStrings& rows = ed->Rows();
  ed->lines.Put(1, "B");
  rows.ReplaceInRow(2, 1, 1, "!");
  ed->lines.Insert(0, "top");
  ed->lines.Add("z");  // the last line gets a line end of the document's kind
  ed->lines.Delete(1);
  EXPECT_EQ(Saved(*ed), "top\nB\r\nc!\rd\nz");
  EXPECT_TRUE(rows.MixedLineEnds());
  ed->lines.Delete(1);  // the only CR LF line
  ed->lines.Delete(1);  // the only CR line
  EXPECT_FALSE(rows.MixedLineEnds());
  rows.Undo();
  EXPECT_TRUE(rows.MixedLineEnds());
}

// Rows left in the file's image keep its bytes: the converted line ends
// must not be taken from there.
TEST_P(LineEnds, ConvertingMakesThemAllOneKind) {
  for (bool image : {false, true}) {
    SCOPED_TRACE(image ? "in the image" : "copied");
    auto ed = Load("a\rb\nc\r\nd", false, image);
    ASSERT_TRUE(ed->Rows().MixedLineEnds());
    EXPECT_EQ(ed->Rows().LineEnds(), Cr);  // the kind of the first line end
    ed->Rows().SetLineEnds(Lf);
    EXPECT_FALSE(ed->Rows().MixedLineEnds());
    EXPECT_EQ(Saved(*ed), "a\nb\nc\nd");
    ed->Rows().SetRowLineEnd(1, CrLf);
    EXPECT_EQ(Saved(*ed), "a\nb\r\nc\nd");
    ed->lines.Insert(1, "new");  // before b: of b's kind
    EXPECT_EQ(Saved(*ed), "a\nnew\r\nb\r\nc\nd");
    auto one = Load("a\nb\nc\n", false, image);
    one->Rows().SetRowLineEnd(1, Cr);
    EXPECT_EQ(Saved(*one), "a\nb\rc\n");
  }
}

// A CR and an LF after it read back as one CR LF: an empty line ending in LF
// after a line ending in CR (which no file can hold, but editing can make)
// is saved with a CR, so reading it back gives every line again.
TEST_P(LineEnds, NoLineIsLostWhereACrWouldMeetAnLf) {
  auto ed = Load("a\rb\nc\nd\n");
  ed->Rows().ReplaceRows(1, 2, "\r\n\r\n");  // b and c emptied
  EXPECT_EQ(ed->lines.GetTextStr(), "a\r\n\r\n\r\nd\r\n");
  const std::string saved = Saved(*ed);
  EXPECT_EQ(saved, "a\r\r\rd\n");
  auto again = Load(saved);
  EXPECT_EQ(again->lines.GetTextStr(), "a\r\n\r\n\r\nd\r\n");
}

// Random edits, undo and redo of mixed documents, on rows copied and on
// rows in a file's image: undoing all of them gives the file back byte for
// byte, redoing all gives the edited bytes again, and both kinds of rows
// give the same bytes throughout.
TEST_P(LineEnds, RandomEditsUndoneGiveTheFileBack) {
  static const char* const ends[] = {"\r\n", "\n", "\r"};
  static const char* const pieces[] = {"a", "bc ", "\x82\xa0" /* あ */, "\r\n", "", "xyz", "\t"};
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 rng(seed);
    std::string file;
    for (int line = 0; line < 40; ++line) {
      file += std::string(rng() % 8 == 0 ? 200 : rng() % 30, static_cast<char>('k' + line % 8));
      file += ends[rng() % (seed == 4 ? 1 : std::size(ends))];  // seed 4: uniform
    }
    auto copied = Load(file, seed % 2 == 0);
    auto inImage = Load(file, seed % 2 == 0, true);
    ASSERT_GT(inImage->Rows().ImageBlockCount(), 0u);
    ASSERT_EQ(copied->Rows().MixedLineEnds(), seed != 4);
    int edits = 0;
    for (int step = 0; step < 150; ++step) {
      const int n = copied->Rows().GetCount();
      const int first = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
      const int count = first < n ? static_cast<int>(rng() % static_cast<unsigned>(std::min(3, n - first) + 1)) : 0;
      std::string text;
      for (int k = static_cast<int>(rng() % 4); k > 0; --k) text += pieces[rng() % std::size(pieces)];
      for (FakeEditor* ed : {copied.get(), inImage.get()}) ed->Rows().ReplaceRows(first, count, text);
      if (copied->Rows().UndoObj().UndoCount() > static_cast<std::size_t>(edits)) ++edits;
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ASSERT_EQ(Saved(*copied), Saved(*inImage)) << where;
    }
    const std::string edited = Saved(*copied);
    for (FakeEditor* ed : {copied.get(), inImage.get()}) {
      while (ed->Rows().UndoObj().CanUndo()) ed->Rows().Undo();
      EXPECT_EQ(Saved(*ed), file) << "seed " << seed;
      while (ed->Rows().UndoObj().CanRedo()) ed->Rows().Redo();
      EXPECT_EQ(Saved(*ed), edited) << "seed " << seed;
    }
    EXPECT_GT(edits, 100);
  }
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, LineEnds,
                         ::testing::Values(std::tuple{std::size_t{8}, std::size_t{2}},
                                           std::tuple{std::size_t{40}, std::size_t{5}},
                                           std::tuple{TPointerStringList::kDefaultBlockBytes,
                                                      TPointerStringList::kDefaultBlockRows}));

}  // namespace
}  // namespace yk::test

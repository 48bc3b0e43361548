// Lines: loading, saving and logical-line edits, byte for byte.
#include "text/editor_strings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "fake_editor.h"
#include "temp_dir.h"
#include "text/errors.h"

using namespace yk;
using yk::test::Dump;
using yk::test::FakeEditor;

namespace {

std::string TempPath(const std::string& name) {
  static const yk::test::TTempDir dir;
  return dir.File(name);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Loads bytes and returns the rows and the bytes saved back.
std::pair<std::string, std::string> LoadSave(const std::string& bytes) {
  FakeEditor ed;
  std::string in = TempPath("in.txt"), out = TempPath("out.txt");
  WriteFile(in, bytes);
  ed.lines.LoadFromFile(in);
  ed.lines.SaveToFile(out);
  return {Dump(ed.Rows()), ReadFile(out)};
}

}  // namespace

TEST(EditorStrings, LoadTurnsEveryLineEndIntoRowsAndSavesCrLf) {
  struct Case {
    std::string bytes, rows, saved;
  } cases[] = {
      {"a\r\nb", "a|C b|E", "a\r\nb"},
      {"a\nb\n", "a|C b|C", "a\r\nb\r\n"},
      {"a\rb", "a|C b|E", "a\r\nb"},
      {"a\n\rb", "a|C |C b|E", "a\r\n\r\nb"},
      {"", "", ""},
      {"\r\n\n\r", "|C |C |C", "\r\n\r\n\r\n"},
      // Ctrl+Z is text, except as the very last byte: the end-of-file mark,
      // dropped from the rows and written back.
      {"ab\x1a" "cd\r\nef", "ab\x1a" "cd|C ef|E", "ab\x1a" "cd\r\nef"},
      {"ab\r\n\x1a", "ab|C", "ab\r\n\x1a"},
      {"ab\x1a\x1a", "ab\x1a|E", "ab\x1a\x1a"},
  };
  for (const Case& c : cases) {
    auto [rows, saved] = LoadSave(c.bytes);
    EXPECT_EQ(rows, c.rows) << c.bytes;
    EXPECT_EQ(saved, c.saved) << c.bytes;
  }
}

TEST(EditorStrings, OddBytesSurviveALoadAndASave) {
  // NUL bytes, half-width kana, a vendor character, a lone lead byte at the
  // end of a line and of the file.
  const std::string bytes =
      std::string("a\0b\r\n", 5) +
      "\xb1\xb2\xb3\r\n"   // ｱｲｳ
      "\x87\x40\xed\x40\r\n"  // ①纊
      "x\x82\r\n"
      "\x81";
  auto [rows, saved] = LoadSave(bytes);
  EXPECT_EQ(saved, bytes);
}

TEST(EditorStrings, LineEndsAcrossReadChunksAndLongLines) {
  // The loader reads 1 MiB at a time: a CR at the end of one chunk and its LF
  // at the start of the next make one line end; a lone LF there is one too.
  const std::size_t chunk = 1 << 20;
  std::string crlf(chunk - 1, 'x');
  crlf += "\r\ny";
  auto [rows1, saved1] = LoadSave(crlf);
  EXPECT_EQ(saved1, crlf);
  std::string lf(chunk, 'x');
  lf += "\ny\r\n";
  auto [rows2, saved2] = LoadSave(lf);
  EXPECT_EQ(saved2, std::string(chunk, 'x') + "\r\ny\r\n");
  std::string longLine(3 * chunk + 7, '\x88');  // one row of 3 MiB of lead bytes
  auto [rows3, saved3] = LoadSave(longLine);
  EXPECT_EQ(saved3, longLine);
}

TEST(EditorStrings, MissingFileLeavesEmptyDocument) {
  FakeEditor ed;
  ed.lines.SetTextStr("keep");
  EXPECT_THROW(ed.lines.LoadFromFile(TempPath("does-not-exist/x.txt")), EFileError);
  EXPECT_EQ(ed.lines.GetCount(), 0);
}

TEST(EditorStrings, AddPutInsertDelete) {
  FakeEditor ed;
  ed.lines.Add("x");
  EXPECT_EQ(ed.lines.GetTextStr(), "x\r\n");
  ed.lines.SetTextStr("a");
  EXPECT_EQ(ed.lines.GetTextStr(), "a\r\n");  // SetTextStr ends every line

  FakeEditor eof;
  WriteFile(TempPath("a.txt"), "a");
  eof.lines.LoadFromFile(TempPath("a.txt"));
  eof.lines.Add("y");
  EXPECT_EQ(Dump(eof.Rows()), "a|C y|E");
  EXPECT_EQ(eof.lines.GetTextStr(), "a\r\ny");

  WriteFile(TempPath("ab.txt"), "a\r\nb");
  eof.lines.LoadFromFile(TempPath("ab.txt"));
  eof.lines.Delete(1);
  EXPECT_EQ(eof.lines.GetTextStr(), "a\r\n");

  ed.lines.SetTextStr("1\r\n2\r\n3");
  ed.lines.Put(1, "two");
  ed.lines.Insert(0, "zero");
  ed.lines.Insert(4, "end");
  EXPECT_EQ(ed.lines.GetTextStr(), "zero\r\n1\r\ntwo\r\n3\r\nend\r\n");
  EXPECT_THROW(ed.lines.Put(9, "x"), EStringListError);
  EXPECT_THROW(ed.lines.Get(-1), EStringListError);
  EXPECT_GT(ed.selectionDrops, 0);
}

TEST(EditorStrings, WrappedLinesAreAddressedAsLogicalLines) {
  FakeEditor ed;
  ed.Rows().WrapOption().SetWrapByte(20);
  ed.Rows().SetWordWrap(true);
  const std::string longLine(45, 'q');
  ed.lines.SetTextStr("short\r\n" + longLine + "\r\nlast");
  EXPECT_EQ(ed.Rows().GetCount(), 5);  // short, 20 + 20 + 5 q, last
  EXPECT_EQ(ed.lines.GetCount(), 3);
  EXPECT_EQ(ed.lines.Get(1), longLine);
  EXPECT_EQ(ed.lines.LineToRow(2), 4);
  ed.lines.Put(1, "mid");
  EXPECT_EQ(ed.lines.GetTextStr(), "short\r\nmid\r\nlast\r\n");
  ed.lines.Delete(0);
  EXPECT_EQ(ed.lines.GetTextStr(), "mid\r\nlast\r\n");
  // An index past the end is refused here too, not taken as an Add.
  EXPECT_THROW(ed.lines.Insert(5, "x"), EStringListError);
  EXPECT_EQ(ed.lines.GetTextStr(), "mid\r\nlast\r\n");
}

TEST(EditorStrings, SetTextDoesNotMarkModified) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\nb");
  EXPECT_FALSE(ed.modified);
  ed.lines.Add("c");
  EXPECT_TRUE(ed.modified);
}

TEST(EditorStrings, RandomBytesLoadAsTheirNormalisedText) {
  // Whatever the bytes, the saved file is the input with every line end
  // (CR LF, CR, LF) written as CR LF; a Ctrl+Z at the very end stays there.
  std::mt19937 rng(11);
  const char alphabet[] = {'a', '\r', '\n', '\0', '\x82', '\xa0', '\x1a', '\t', '\x81'};
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    for (int n = static_cast<int>(rng() % 60); n > 0; --n) bytes += alphabet[rng() % sizeof(alphabet)];
    std::string expect;
    const bool mark = !bytes.empty() && bytes.back() == '\x1a';
    for (std::size_t i = 0; i + (mark ? 1 : 0) < bytes.size(); ++i) {
      if (bytes[i] == '\r' || bytes[i] == '\n') {
        expect += "\r\n";
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      } else {
        expect += bytes[i];
      }
    }
    if (mark) expect += '\x1a';
    EXPECT_EQ(LoadSave(bytes).second, expect) << round;
  }
}

namespace {

// The text with every line end as CR LF (LF CR is two line ends).
std::string WithCrLf(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      out += "\r\n";
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      out += bytes[i];
    }
  }
  return out;
}

}  // namespace

TEST(EditorStrings, LargeFileLoadsAsInOnePiece) {
  // A file of several megabytes is split after a line end near its middle
  // and its halves are read apart: whatever stands at the middle, the rows
  // (wrapped, with tabs and every line-end form) are those of one read.
  std::mt19937 rng(7);
  std::string body;
  const char* ends[] = {"\r\n", "\n", "\r", "\n\r"};
  while (body.size() < (9u << 20)) {
    std::string line(rng() % 70, 'a');
    for (char& c : line) c = "ab \t\x82\xa0"[rng() % 6];  // \x82\xa0: あ
    body += line;
    body += ends[rng() % 4];
  }
  const std::size_t middle = body.size() / 2;
  struct Case {
    std::string_view atMiddle, end;
  } cases[] = {
      {"\r\n", "\r\n"},      // CR before the middle, LF just after it
      {"\n\r", "\r\n\x1a"},  // LF CR at the middle; the end-of-file mark
      {"x\n", "last"},       // an LF right at the middle; no final line end
  };
  for (const Case& c : cases) {
    std::string bytes = body;
    bytes.replace(middle - 1, c.atMiddle.size(), c.atMiddle);
    bytes += c.end;
    FakeEditor loaded;
    loaded.Rows().WrapOption().SetWrapByte(20);
    loaded.Rows().SetWordWrap(true);
    WriteFile(TempPath("big.txt"), bytes);
    loaded.lines.LoadFromFile(TempPath("big.txt"));
    const bool mark = c.end.back() == '\x1a';
    EXPECT_EQ(loaded.Rows().EofMark(), mark);
    EXPECT_EQ(loaded.lines.GetTextStr(), WithCrLf(mark ? bytes.substr(0, bytes.size() - 1) : bytes));

    FakeEditor expected;
    expected.Rows().WrapOption().SetWrapByte(20);
    expected.Rows().SetWordWrap(true);
    expected.lines.SetTextStr(WithCrLf(bytes.substr(0, bytes.size() - c.end.size())));
    const std::string rows = Dump(loaded.Rows()), head = Dump(expected.Rows());
    ASSERT_GT(rows.size(), head.size());
    EXPECT_EQ(rows.substr(0, head.size()), head) << c.atMiddle;
    // The line index over the joined halves agrees with a walk, also on
    // the line ends of another kind than the first.
    const TEditorScreenStrings& r = loaded.Rows();
    TRowSums walked;
    for (int i = 0; i < r.GetCount(); ++i) {
      if (i % 997 == 0) {
        ASSERT_EQ(r.SumsBefore(i), walked) << i;
      }
      const TRowAttribute a = r.GetRowAttribute(i);
      walked += TRowSums{1, a != raWrapped, a == raCrlf, static_cast<std::int64_t>(r.RowLength(i)),
                         a == raCrlf && r.RowLineEnd(i) != r.LineEnds()};
    }
    EXPECT_EQ(r.Totals(), walked);
  }
}

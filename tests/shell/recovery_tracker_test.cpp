// The changed runs of a document against its base: random edits, undo and
// redo with and without wrapping, then the runs put back into the base file
// loaded afresh must give the document's text; the map itself; and the
// record's bytes read back the same or are refused.
#include "shell/recovery_tracker.h"

#include <gtest/gtest.h>

#include <random>

#include "temp_dir.h"
#include "text/fake_editor.h"

namespace yk {
namespace {

using test::FakeEditor;

std::string Text(const TEditorScreenStrings& rows) { return TextRange(rows, 0, TextLength(rows)); }

// Pieces of ASCII, kana and kanji, tabs, line ends and a long run, so that
// rows wrap, split and join.
std::string RandomText(std::mt19937& rng, int pieces) {
  static const char* const kPieces[] = {
      "abc",           "\x82\xa0\x82\xa2", "\r\n",     "\t",       " ",
      "xyz0123456789", "\x8a\xbf\x8e\x9a", "\r\n\r\n", "\xb1\xb2", "\x1a"};  // あい 漢字 ｱｲ
  std::string out;
  for (int i = 0; i < pieces; ++i) {
    const std::size_t k = rng() % 11;
    out += k == 10 ? std::string(40 + rng() % 60, 'L') : kPieces[k];
  }
  return out;
}

void RandomEdit(TEditorScreenStrings& rows, std::mt19937& rng) {
  const int count = rows.GetCount();
  const int row = count == 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(count));
  switch (rng() % 8) {
    case 0:
    case 1: {
      const int n =
          count == 0 ? 0 : static_cast<int>(rng() % std::min(3u, static_cast<unsigned>(count - row)) + (rng() % 2));
      rows.ReplaceRows(row, std::min(n, count - row), RandomText(rng, static_cast<int>(rng() % 4)));
      break;
    }
    case 2:
    case 3: {
      if (count == 0) break;
      const std::size_t len = rows.RowLength(row);
      const std::size_t from = len == 0 ? 0 : rng() % (len + 1);
      const std::size_t to = std::min(len, from + rng() % 4);
      rows.ReplaceInRow(row, from, to, rng() % 3 == 0 ? "\r\n" : RandomText(rng, 1));
      break;
    }
    case 4:
      rows.Undo();
      break;
    case 5:
      rows.Redo();
      break;
    case 6:
      rows.ReplaceRows(count, 0, RandomText(rng, 2));
      break;  // at the end
    default:
      if (rng() % 8 == 0)
        rows.SetWordWrap(!rows.WordWrap());
      else
        rows.Undo();
  }
}

TEST(RecoveryTracker, RunsPutBackIntoTheBaseFileGiveTheDocument) {
  test::TTempDir dir;
  for (const bool wrap : {false, true}) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
      std::mt19937 rng(seed * 7919 + wrap);
      const std::string base = dir.File("base" + std::to_string(seed) + ".txt");
      test::Spit(base, RandomText(rng, 30 + static_cast<int>(rng() % 40)));
      // Tiny blocks, so that edits split and merge them.
      FakeEditor doc(std::make_shared<TEditorScreenStrings>(64, 4));
      doc.Rows().WrapOption().SetWrapByte(20);
      doc.Rows().SetWordWrap(wrap);
      doc.lines.LoadFromFile(base);
      TRecoveryTracker tracker(doc.Rows());
      tracker.Rebase({TRecoveryBase::Document, base, {}});
      const int edits = 1 + static_cast<int>(rng() % 60);
      for (int i = 0; i < edits; ++i) RandomEdit(doc.Rows(), rng);
      ASSERT_TRUE(tracker.Valid()) << seed;
      ASSERT_EQ(tracker.Map().Length(), TextLength(doc.Rows())) << seed;

      FakeEditor restored;
      restored.Rows().SetWordWrap(rng() % 2 == 0);
      restored.lines.LoadFromFile(base);
      ApplyRecoveryRuns(restored.Rows(), tracker.Runs());
      ASSERT_EQ(Text(restored.Rows()), Text(doc.Rows())) << "seed " << seed << " wrap " << wrap;
    }
  }
}

// A text with its runs put back, as a restore does: the base's bytes in a
// fresh row list, then the runs.
std::string Applied(const std::string& base, const std::vector<TRecoveryRun>& runs) {
  FakeEditor ed;
  ed.Rows().ReplaceRows(0, 0, base);
  ApplyRecoveryRuns(ed.Rows(), runs);
  return Text(ed.Rows());
}

TEST(RecoveryTracker, ACopyTakenInSlicesBetweenEditsAndTheRunsMadeMeanwhileGiveTheDocument) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    std::mt19937 rng(seed);
    FakeEditor doc(std::make_shared<TEditorScreenStrings>(64, 4));
    doc.Rows().SetWordWrap(seed % 3 == 0);
    doc.Rows().ReplaceRows(0, 0, RandomText(rng, 40 + static_cast<int>(rng() % 40)));
    TRecoveryTracker tracker(doc.Rows());  // no base known: only a copy serves
    tracker.BeginCopy();
    std::string copy;
    while (!tracker.CopyWhole()) {
      copy += tracker.CopySlice(1 + static_cast<std::int64_t>(rng() % 50));
      for (int i = static_cast<int>(rng() % 3); i > 0; --i) RandomEdit(doc.Rows(), rng);
    }
    ASSERT_TRUE(tracker.CopyValid()) << seed;
    ASSERT_EQ(static_cast<std::int64_t>(copy.size()), tracker.CopyLength()) << seed;
    ASSERT_EQ(Applied(copy, tracker.CopyRuns()), Text(doc.Rows())) << "seed " << seed;
    // Written, it is the base; edits go on against it.
    for (int i = static_cast<int>(rng() % 4); i > 0; --i) RandomEdit(doc.Rows(), rng);
    tracker.CommitCopy({TRecoveryBase::Copy, "copy", {}});
    ASSERT_TRUE(tracker.Valid()) << seed;
    for (int i = static_cast<int>(rng() % 10); i > 0; --i) RandomEdit(doc.Rows(), rng);
    ASSERT_EQ(Applied(copy, tracker.Runs()), Text(doc.Rows())) << "seed " << seed;
  }
}

TEST(RecoveryTracker, KeepsOnlyWhatChangedAndForgetsTheBaseAtAClear) {
  FakeEditor doc;
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\r\n";
  doc.Rows().ReplaceRows(0, 0, text);
  TRecoveryTracker tracker(doc.Rows());
  EXPECT_FALSE(tracker.Valid());  // nothing known yet
  tracker.Rebase({});
  doc.Rows().ReplaceInRow(10, 0, 0, "X");      // a key
  doc.Rows().ReplaceRows(1500, 2, "new\r\n");  // two lines become one
  doc.Rows().ReplaceInRow(10, 1, 1, "Y");
  const std::vector<TRecoveryRun> runs = tracker.Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].text, "XY");
  EXPECT_EQ(runs[0].baseLength, 0);
  EXPECT_LE(tracker.Map().ChangedBytes(), 40);
  // Undone, the edits leave runs that say the text is as it was.
  doc.Rows().Undo();
  doc.Rows().Undo();
  doc.Rows().Undo();
  EXPECT_EQ(TextRange(doc.Rows(), 0, TextLength(doc.Rows())), text);
  for (const TRecoveryRun& run : tracker.Runs()) EXPECT_EQ(run.text, text.substr(run.baseOffset, run.baseLength));
  doc.lines.Clear();
  EXPECT_FALSE(tracker.Valid());
}

TEST(TextChangeMap, JoinsNearRunsAndBoundsTheirNumber) {
  TTextChangeMap map(1'000'000);
  EXPECT_TRUE(map.Replace(100, 0, 5));   // insert
  EXPECT_TRUE(map.Replace(130, 10, 0));  // near: joined
  EXPECT_EQ(map.Runs(), (std::vector<TChangedRun>{{100, 35, 100, 30}}));
  EXPECT_TRUE(map.Replace(500'000, 3, 3));
  EXPECT_EQ(map.RunCount(), 2u);
  EXPECT_FALSE(map.Replace(999'990, 20, 0));  // past the end: refused
  EXPECT_EQ(map.Length(), 999'995);
  // Every other key far apart: the closest runs are joined.
  for (std::int64_t i = 0; i < 3000; ++i) ASSERT_TRUE(map.Replace(i * 300, 1, 1));
  EXPECT_LE(map.RunCount(), TTextChangeMap::kMaxRuns);
  std::int64_t base_end = 0, end = 0, length = map.BaseLength();
  for (const TChangedRun& run : map.Runs()) {
    EXPECT_GE(run.baseOffset, base_end);
    EXPECT_EQ(run.offset - end, run.baseOffset - base_end);  // the same bytes between runs
    base_end = run.baseOffset + run.baseLength;
    end = run.offset + run.length;
    length += run.length - run.baseLength;
  }
  EXPECT_EQ(length, map.Length());
}

TEST(RecoveryRecord, ReadsBackTheSameAndRefusesDamage) {
  TRecoveryRecord r;
  r.documentPath = "/d/\x95\x5c.txt";  // 表.txt
  r.window = "0000018c-42";
  r.writtenMs = 1733650000123;
  r.format.encoding = teUtf8;
  r.mappedChars = "mapped-chars 1 forms\nF9FC 1F600\n8160 301C\n";
  r.lineEnd = TLineEnd::Lf;
  r.otherEnds = TOtherLineEnds{{0, TLineEnd::CrLf}, {7, TLineEnd::Cr}};
  r.eofMark = true;
  r.baseKind = TRecoveryBase::Document;
  r.basePath = "/d/\x95\x5c.txt";
  r.baseIdentity = {1, 2, 300, 4, 5, 6};
  r.baseLength = 300;
  r.runs = {{0, 0, "ab"}, {10, 5, ""}, {300, 0, std::string("\0\r\n", 3)}};
  r.length = 300 + 2 - 5 + 3;
  const std::string bytes = EncodeRecoveryRecord(r);
  EXPECT_TRUE(LooksLikeRecoveryRecord(bytes));
  EXPECT_EQ(DecodeRecoveryRecord(bytes), r);
  TRecoveryRecord uniform = r;  // as an older version wrote it: every line end of one kind
  uniform.otherEnds.reset();
  EXPECT_EQ(DecodeRecoveryRecord(EncodeRecoveryRecord(uniform)), uniform);

  // A section of a later version (the sum made anew) is skipped.
  std::string later = bytes.substr(0, bytes.size() - 20) + std::string("XTRA\3\0\0\0\0\0\0\0abc", 15);
  std::uint64_t sum = 0xcbf29ce484222325ULL;
  for (const char c : later) sum = (sum ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  later += std::string("SUM \x08\0\0\0\0\0\0\0", 12);
  for (int i = 0; i < 8; ++i) later += static_cast<char>((sum >> (8 * i)) & 0xFF);
  EXPECT_EQ(DecodeRecoveryRecord(later), r);

  auto refused = [](const std::string& b) {
    try {
      DecodeRecoveryRecord(b);
      return false;
    } catch (const ERecoveryRecordError&) {
      return true;
    }
  };
  std::string flipped = bytes;
  flipped[40] ^= 1;
  EXPECT_TRUE(refused(flipped));
  later[later.size() - 30] ^= 1;  // inside the unknown section: the sum still guards it
  EXPECT_TRUE(refused(later));
  for (std::size_t n : {std::size_t{0}, std::size_t{8}, bytes.size() / 2, bytes.size() - 1})
    EXPECT_TRUE(refused(bytes.substr(0, n))) << n;
  EXPECT_TRUE(refused("plain text\r\n"));
  TRecoveryRecord wrong = r;
  wrong.length += 1;  // runs that do not make the text
  EXPECT_THROW(EncodeRecoveryRecord(wrong), ERecoveryRecordError);
}

// Records written before the table section chose, in the head, which of
// the characters sharing a code a Unicode document meant: read now as
// forms kept by the table.
TEST(RecoveryRecord, AnOlderRecordsCharacterChoicesBecomeKeptForms) {
  TRecoveryRecord r;
  r.format.encoding = teUtf8;
  r.runs = {{0, 0, "\x81\x60"}};  // 〜 or ～
  r.length = 2;
  std::string bytes = EncodeRecoveryRecord(r);
  // The head is the first section; it ends with the choices' count (none).
  const std::size_t head = 8 + 2 + 4;
  std::uint64_t length = 0;
  for (int i = 0; i < 8; ++i) length |= std::uint64_t{static_cast<unsigned char>(bytes[head + i])} << (8 * i);
  const std::size_t count = head + 8 + length - 2;
  bytes.replace(count, 2, std::string("\x01\x00\x60\x81\x1c\x30", 6));  // 0x8160 is U+301C
  bytes[head] = static_cast<char>(length + 4);
  bytes.resize(bytes.size() - 20);
  std::uint64_t sum = 0xcbf29ce484222325ULL;
  for (const char c : bytes) sum = (sum ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  bytes += std::string("SUM \x08\0\0\0\0\0\0\0", 12);
  for (int i = 0; i < 8; ++i) bytes += static_cast<char>((sum >> (8 * i)) & 0xFF);
  EXPECT_EQ(DecodeRecoveryRecord(bytes).mappedChars, "mapped-chars 1 forms\n8160 301C\n");
}

}  // namespace
}  // namespace yk

// The block row container against a plain vector model, at several block sizes.
#include "text/pointer_string_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/errors.h"

using namespace yk;

namespace {

struct Model {
  std::vector<std::string> text;
  std::vector<std::uint32_t> data;
};

void ExpectSame(const TPointerStringList& list, const Model& m) {
  ASSERT_EQ(list.GetCount(), static_cast<int>(m.text.size()));
  for (int i = 0; i < list.GetCount(); ++i) {
    ASSERT_EQ(list.Row(i), m.text[i]) << i;
    ASSERT_EQ(list.GetData(i), m.data[i]) << i;
  }
}

std::string RandomRow(std::mt19937& rng) {
  int len = static_cast<int>(rng() % 40);
  if (rng() % 50 == 0) len = 300;  // now and then a row longer than a block
  return std::string(static_cast<std::size_t>(len), static_cast<char>('a' + rng() % 26));
}

}  // namespace

TEST(PointerStringList, RandomEditsMatchModelAtEveryBlockSize) {
  for (std::size_t blockBytes : {std::size_t{8}, std::size_t{64}, std::size_t{4096}}) {
    TPointerStringList list(blockBytes, 4);
    Model m;
    std::mt19937 rng(static_cast<unsigned>(blockBytes));
    for (int step = 0; step < 3000; ++step) {
      int n = list.GetCount();
      int i = n ? static_cast<int>(rng() % static_cast<unsigned>(n)) : 0;
      switch (rng() % 7) {
        case 0: {
          std::string s = RandomRow(rng);
          list.Insert(i, s);
          m.text.insert(m.text.begin() + i, s);
          m.data.insert(m.data.begin() + i, 0);
          break;
        }
        case 1:
          if (n) {
            list.Delete(i);
            m.text.erase(m.text.begin() + i);
            m.data.erase(m.data.begin() + i);
          }
          break;
        case 2:
          if (n) {
            std::string s = RandomRow(rng);
            list.Put(i, s);
            m.text[i] = s;
          }
          break;
        case 3:
          if (n) {
            list.SetData(i, rng() % 256);
            m.data[i] = list.GetData(i);
          }
          break;
        case 4: {
          TPointerStringList src(blockBytes, 4);
          int k = static_cast<int>(rng() % 20);
          int at = n ? static_cast<int>(rng() % static_cast<unsigned>(n + 1)) : 0;
          for (int j = 0; j < k; ++j) {
            std::string s = RandomRow(rng);
            src.Append(s, static_cast<std::uint32_t>(j));
            m.text.insert(m.text.begin() + at + j, s);
            m.data.insert(m.data.begin() + at + j, static_cast<std::uint32_t>(j));
          }
          list.InsertRows(at, src);
          break;
        }
        case 5: {
          int k = static_cast<int>(rng() % 12);
          list.DeleteRows(i, k);
          int take = std::min(k, n - i);
          if (n && take > 0) {
            m.text.erase(m.text.begin() + i, m.text.begin() + i + take);
            m.data.erase(m.data.begin() + i, m.data.begin() + i + take);
          }
          break;
        }
        default: {
          TPointerStringList src(blockBytes, 4);
          int add = static_cast<int>(rng() % 6), del = n ? static_cast<int>(rng() % 4) : 0;
          del = std::min(del, n - i);
          std::vector<std::string> rows;
          for (int j = 0; j < add; ++j) {
            rows.push_back(RandomRow(rng));
            src.Append(rows.back(), 1);
          }
          list.AssignRows(i, del, src);
          m.text.erase(m.text.begin() + i, m.text.begin() + i + del);
          m.data.erase(m.data.begin() + i, m.data.begin() + i + del);
          m.text.insert(m.text.begin() + i, rows.begin(), rows.end());
          m.data.insert(m.data.begin() + i, rows.size(), 1);
        }
      }
      ExpectSame(list, m);
    }
  }
}

TEST(PointerStringList, DataWordKeepsAttributeAndStateApart) {
  TPointerStringList list;
  list.Add("x");
  EXPECT_EQ(list.GetRowAttribute(0), raCrlf);
  EXPECT_EQ(list.GetRowState(0), kStateUnknown);  // a new row's word is 0
  list.SetRowState(0, 13);
  list.SetRowAttribute(0, raWrapped);
  EXPECT_EQ(list.GetRowState(0), 13);  // the attribute never wipes the state
  EXPECT_EQ(list.GetRowAttribute(0), raWrapped);
  list.SetRowState(0, kStateNone);
  EXPECT_EQ(list.GetRowAttribute(0), raWrapped);
  EXPECT_EQ(list.GetRowState(0), kStateNone);
}

TEST(PointerStringList, IndexErrorsAndText) {
  TPointerStringList list;
  EXPECT_THROW(list.Get(0), EStringListError);
  list.Add("a");
  list.Add("");
  EXPECT_THROW(list.Put(2, "x"), EStringListError);
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_EQ(list.GetText(), "a\r\n\r\n");
  int notified = 0;
  list.OnChange = [&] { ++notified; };
  list.BeginUpdate();
  list.Add("b");
  list.Put(0, "c");
  EXPECT_EQ(notified, 0);
  list.EndUpdate();
  EXPECT_EQ(notified, 1);
}

TEST(PointerStringList, BulkInsertIntoTheMiddleSplicesBlocks) {
  TPointerStringList list(64, 8);
  for (int i = 0; i < 100; ++i) list.Add(std::to_string(i));
  TPointerStringList src(64, 8);
  for (int i = 0; i < 50; ++i) src.Append("n" + std::to_string(i), 0);
  list.InsertRows(37, src);
  ASSERT_EQ(list.GetCount(), 150);
  EXPECT_EQ(list.Row(36), "36");
  EXPECT_EQ(list.Row(37), "n0");
  EXPECT_EQ(list.Row(86), "n49");
  EXPECT_EQ(list.Row(87), "37");
  list.DeleteRows(10, 130);
  EXPECT_EQ(list.GetCount(), 20);
  EXPECT_EQ(list.Row(10), "90");
}

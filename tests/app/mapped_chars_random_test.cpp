// Random UTF-8 and UTF-16 documents full of characters Shift-JIS lacks
// (emoji with joiners and modifiers, accented letters and combining marks,
// Hangul, kanji outside JIS X 0208, both forms of every merged pair, private
// use), with byte-order marks and every line end, edited at random through
// the window: every save gives the file's bytes with exactly those edits,
// and the clipboard and the search box see the real characters.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>

#include <algorithm>
#include <random>

#include "dialogs/search_session.h"
#include "form_fixture.h"
#include "platform/unicode.h"

namespace yk::test {
namespace {

// The characters of the documents and of the edits.
const std::u32string kPool =
    U"ab z~\\\n\n\n"                          // ASCII, the ASCII twins, line ends
    U"あ漢ｱ"                                   // kana, kanji, half-width kana
    U"\U0001F600\U0001F44D\U0001F3FD\u200D\uFE0F"  // emoji, skin tone, joiner, selector
    U"éü\u0301한글"                           // Latin, a combining mark, Hangul
    U"\U00020BB7丂"                            // kanji beyond the BMP and outside JIS X 0208
    U"〜～−－‖∥¢￠£￡¬￢—―¥‾"               // both forms of every merged pair
    U"\uE000\uE757\uFFFD";                     // private use (the area's first and last code), U+FFFD

struct TFileKind {
  const char* name;
  bool utf16, le, bom;
  const char* eol;
};

constexpr TFileKind kKinds[] = {
    {"utf8_lf.txt", false, false, false, "\n"},      {"utf8_bom_crlf.txt", false, false, true, "\r\n"},
    {"utf8_cr.txt", false, false, false, "\r"},      {"utf16le_cr.txt", true, true, true, "\r"},
    {"utf16be_crlf.txt", true, false, true, "\r\n"}, {"utf16le_lf.txt", true, true, true, "\n"},
};

// The model's text in the file's form, written here, apart from the codec.
std::string FileBytes(const TFileKind& k, const std::u32string& text) {
  std::u32string wide;
  for (char32_t c : text) {
    if (c == '\n') {
      for (const char* e = k.eol; *e; ++e) wide += static_cast<char32_t>(*e);
    } else {
      wide += c;
    }
  }
  std::string out;
  const auto unit = [&](char32_t u) {
    out += static_cast<char>(k.le ? u & 0xFF : u >> 8);
    out += static_cast<char>(k.le ? u >> 8 : u & 0xFF);
  };
  if (k.bom) out += k.utf16 ? (k.le ? "\xff\xfe" : "\xfe\xff") : "\xef\xbb\xbf";
  for (char32_t c : wide) {
    if (!k.utf16) {
      unicode::AppendUtf8(out, c);
    } else if (c < 0x10000) {
      unit(c);
    } else {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

// Bytes a character takes in the editor's text (a line end: CR LF).
std::int64_t Width(char32_t c) {
  if (c == '\n') return 2;
  return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
}

std::int64_t Offset(const std::u32string& text, std::size_t k) {
  std::int64_t n = 0;
  for (std::size_t i = 0; i < k; ++i) n += Width(text[i]);
  return n;
}

QString Q32(std::u32string_view text) { return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size())); }

class RandomDocument {
 public:
  RandomDocument(std::mt19937& random) : random_(random) {}

  std::u32string Text(std::size_t n) {
    std::u32string t;
    for (std::size_t i = 0; i < n; ++i) t += Pick();
    return t;
  }
  char32_t Pick() { return kPool[std::uniform_int_distribution<std::size_t>(0, kPool.size() - 1)(random_)]; }
  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

 private:
  std::mt19937& random_;
};

using MappedCharsRandomTest = FormTest;

TEST_F(MappedCharsRandomTest, EditsSaveExactlyAndEdgesSeeTheRealCharacters) {
  std::mt19937 random(20240624);
  RandomDocument gen(random);
  for (int round = 0; round < 2; ++round) {
    for (const TFileKind& kind : kKinds) {
      SCOPED_TRACE(std::string(kind.name) + " round " + std::to_string(round));
      std::u32string model = gen.Text(150);
      if (gen.Below(2)) model += U'\n';
      const std::string path = File(kind.name, FileBytes(kind, model));
      TMainForm& form = Make({path});
      ASSERT_FALSE(Doc().ReadOnly());
      TEditorWidget* memo = form.Memo1;
      for (int step = 0; step < 40; ++step) {
        // Replace a few characters (maybe none) by a few (maybe none).
        const std::size_t at = gen.Below(model.size() + 1);
        const std::size_t gone = std::min(gen.Below(4), model.size() - at);
        const std::u32string added = gen.Text(gen.Below(4));
        Doc().SetSelStart(Offset(model, at));
        ASSERT_EQ(Doc().SelStart(), Offset(model, at));
        if (gone > 0) Doc().SetSelLength(Offset(model, at + gone) - Offset(model, at));
        if (step % 3 == 0 && !added.empty()) {
          QGuiApplication::clipboard()->setText(Q32(added));  // pasted from another program
          Doc().PasteFromClipboard();
        } else if (!added.empty()) {
          Doc().SetSelTextBuf(memo->FromText(Q32(added)).bytes);  // typed
        } else if (gone > 0) {
          Doc().DeleteSelection();
        }
        model.replace(at, gone, added);
        if (step % 8 == 7) {
          ASSERT_TRUE(form.RunCommand("Save1"));
          ASSERT_TRUE(Slurp(path) == FileBytes(kind, model)) << "after step " << step;
        }
        if (step % 5 == 4 && !model.empty()) {  // copied for another program
          const std::size_t from = gen.Below(model.size()), n = std::min<std::size_t>(1 + gen.Below(6), model.size() - from);
          Doc().SetSelStart(Offset(model, from));
          Doc().SetSelLength(Offset(model, from + n) - Offset(model, from));
          ASSERT_TRUE(form.RunCommand("Copy1"));
          ASSERT_EQ(QGuiApplication::clipboard()->text(), Q32(model.substr(from, n)));
        }
        if (step % 5 == 2) {  // a character the document holds, searched from the start
          const char32_t c = model.empty() ? U'😀' : model[gen.Below(model.size())];
          if (c < 0x80 || c == '\n') continue;  // letters match either case
          form.ComboBox1->setEditText(Q32(std::u32string(1, c)));
          Doc().SetSelStart(0);
          const std::size_t first = model.find(c);
          ASSERT_NE(first, std::u32string::npos);
          ASSERT_TRUE(form.RunCommand("FindNext1"));
          ASSERT_EQ(Doc().SelStart(), Offset(model, first)) << std::hex << unsigned(c);
          ASSERT_EQ(Doc().SelLength(), Width(c));
        }
      }
      ASSERT_TRUE(form.RunCommand("Save1"));
      ASSERT_TRUE(Slurp(path) == FileBytes(kind, model));
    }
  }
}

}  // namespace
}  // namespace yk::test

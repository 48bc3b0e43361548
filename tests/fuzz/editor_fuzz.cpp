// Fuzz target: one or two editors (two share one document for part of the
// inputs) driven by a bounded sequence of operations decoded from the input,
// with the editor's state checked after every step.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/zenhan.h"
#include "editor/editor.h"
#include "editor/search.h"
#include "platform/null_host.h"
#include "text/column_map.h"
#include "text/errors.h"

namespace {

using namespace yk;

constexpr std::size_t kMaxInput = 4096;
constexpr int kMaxSteps = 96;
constexpr std::size_t kMaxText = 512;
// Copy and paste double the text each time, so a longer document starts
// over empty and the clipboard is cut, to keep one run within milliseconds.
constexpr std::int64_t kMaxDocument = 1 << 15;

// Aborts with the failed condition, which libFuzzer reports as a crash.
void CheckFailed(const char* what, int line) {
  std::fprintf(stderr, "editor_fuzz.cpp:%d: check failed: %s\n", line, what);
  std::abort();
}
#define CHECK(cond) ((cond) ? (void)0 : CheckFailed(#cond, __LINE__))

// Reads the input front to back; past its end every value is 0.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  bool Bool() { return Byte() & 1; }
  std::uint32_t U32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return v;
  }
  // Mostly small values near the text, sometimes any int.
  int Int() {
    const std::uint8_t kind = Byte();
    if (kind < 0xF0) return static_cast<int>(kind % 64) - 4;
    if (kind < 0xF8) return static_cast<int>(Byte()) * 16 - 64;
    return static_cast<int>(U32());
  }
  // A client coordinate: mostly inside a small window, sometimes any int.
  int Pixel() {
    const std::uint8_t kind = Byte();
    if (kind < 0xF0) return (static_cast<int>(kind) - 0x20) * 5;
    return static_cast<int>(U32());
  }
  std::int64_t Int64() {
    if (Byte() < 0xF0) return Int();
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(U32()) << 32 | U32());
  }
  // A run of raw input bytes: CP932, lone lead bytes, NUL, CR and LF as
  // they come.
  std::string Text() {
    std::size_t n = Byte();
    if (n >= 0xC0) n = (n - 0xC0) * 8;
    n = std::min({n, kMaxText, size_ - std::min(pos_, size_)});
    std::string s(reinterpret_cast<const char*>(data_) + std::min(pos_, size_), n);
    pos_ += n;
    return s;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Reads every byte it is given, so that a view past the text is reported.
class NullSurface : public TSurface {
 public:
  void FillRect(const TRect&, TColor) override {}
  void TextRun(int, int, int, std::string_view bytes, TColor, TColor, TFontStyles, const TRect&) override {
    for (char c : bytes) sum += static_cast<unsigned char>(c);
  }
  void Line(int, int, int, int, TColor) override {}
  unsigned sum = 0;
};

class FakeClipboard : public TClipboard {
 public:
  bool HasText() const override { return has_text; }
  bool HasBoxFormat() const override { return box; }
  std::string Text() const override { return text; }
  void SetText(std::string_view t, bool b) override {
    text = std::string(t);
    has_text = true;
    box = b;
  }
  std::string text;
  bool has_text = false;
  bool box = false;
};

void CheckEditor(TEditor& e) {
  const int rows = e.RowCount();
  CHECK(e.Row() >= 0 && e.Row() <= rows);
  CHECK(e.Col() >= 0);
  const std::string map = e.RowColumnMap(e.Row());
  if (static_cast<std::size_t>(e.Col()) < map.size()) {
    CHECK(map[static_cast<std::size_t>(e.Col())] != kColTrail);
    CHECK(e.Caret().InTab() || map[static_cast<std::size_t>(e.Col())] != kColTabFill);
  }
  // The selection, or the caret when there is none, lies inside the text.
  const std::int64_t length = e.TextLength(), start = e.SelStart();
  CHECK(start >= 0 && start <= length);
  if (!e.Selected()) return;
  CHECK(static_cast<std::int64_t>(e.SelText().size()) == e.SelLength());
  if (e.SelectionMode() == smNormal) CHECK(start + e.SelLength() <= length);
}

// The rows joined with their line ends are the document's text.
void CheckDocument(TEditor& e) {
  const int rows = e.RowCount();
  std::string joined;
  for (int r = 0; r < rows; ++r) {
    const TRowAttribute a = e.RowAttribute(r);
    CHECK(a != raInvalid);
    CHECK(a != raEof || r == rows - 1);
    joined += e.RowText(r);
    if (a == raCrlf) joined += "\r\n";
  }
  const std::string text = e.Lines().GetTextStr();
  CHECK(joined == text);
  CHECK(e.TextLength() == static_cast<std::int64_t>(text.size()));
}

struct Session {
  Reader& in;
  TEditor& a;
  TEditor& b;
  FakeClipboard& clip;
  NullSurface surface;
};

void Settings(TEditor& e, Reader& in) {
  switch (in.Byte() % 20) {
    case 0: e.SetWordWrap(in.Bool()); break;
    case 1: e.WrapOption().SetWrapByte(in.Int()); break;
    case 2: e.WrapOption().SetWordBreak(in.Bool()); break;
    case 3: e.WrapOption().SetLeading(in.Bool()); break;
    case 4: e.WrapOption().SetFollowPunctuation(in.Bool()); break;
    case 5: e.WrapOption().SetFollowRetMark(in.Bool()); break;
    case 6: e.Caret().SetFreeCaret(in.Bool()); break;
    case 7: e.Caret().SetInTab(in.Bool()); break;
    case 8: e.Caret().SetKeepCaret(in.Bool()); break;
    case 9: e.Caret().SetNextLine(in.Bool()); break;
    case 10: e.Caret().SetTabSpaceCount(in.Int()); break;
    case 11: e.Caret().SetSoftTab(in.Bool()); break;
    case 12: e.Caret().SetAutoIndent(in.Bool()); break;
    case 13: {
      TEditorBracketCollection& br = e.View().Brackets();
      if (in.Bool()) {
        br.Clear();
      } else {
        try {
          TEditorBracketItem& item = br.Add();
          item.SetLeftBracket(in.Text());
          item.SetRightBracket(in.Text());
        } catch (const Exception&) {
        }
      }
      break;
    }
    case 14: e.View().SetQuotation(in.Text()); break;
    case 15: e.View().SetCommenter(in.Text()); break;
    case 16: e.View().SetUrl(in.Bool()); break;
    case 17: e.View().SetMail(in.Bool()); break;
    case 18: e.SetOverwrite(in.Bool()); break;
    case 19: e.SetReadOnly(in.Bool()); break;
  }
}

void Mouse(TEditor& e, Reader& in) {
  const int x = in.Pixel(), y = in.Pixel();
  const TShiftState shift = in.Byte();
  switch (in.Byte() % 6) {
    case 0: e.MouseDown(static_cast<TMouseButton>(in.Byte() % 3), shift, x, y); break;
    case 1: e.MouseMove(shift, x, y); break;
    case 2: e.MouseUp(static_cast<TMouseButton>(in.Byte() % 3), shift, x, y); break;
    case 3: e.DoubleClick(); break;
    case 4: e.MouseWheel(in.Int(), shift); break;
    case 5: e.AutoScrollTick(); break;
  }
}

void Clipboard(TEditor& e, Reader& in, FakeClipboard& clip) {
  switch (in.Byte() % 6) {
    case 0: e.CutToClipboard(); break;
    case 1: e.CopyToClipboard(); break;
    case 2: e.PasteFromClipboard(); break;
    case 3: e.PasteAsBox(in.Text()); break;
    case 4: clip.SetText(in.Text(), in.Bool()); break;
    case 5: e.CancelMouseAction(); break;
  }
}

void Selection(TEditor& e, Reader& in) {
  switch (in.Byte() % 7) {
    case 0: e.SetSelectionMode(in.Bool() ? smBox : smNormal); break;
    case 1: e.SelectAll(); break;
    case 2: e.SetSelStart(in.Int64()); break;
    case 3: e.SetSelLength(in.Int64()); break;
    case 4: e.StartSelection(); break;
    case 5: e.ExtendSelection(); break;
    case 6: e.CancelSelection(); break;
  }
}

void PerformMessage(TEditor& e, Reader& in) {
  const auto msg = static_cast<TEditMessage>(in.Byte() % (emSetText + 1));
  const std::int64_t w = in.Int64(), l = in.Int64();
  std::string buffer = in.Text();
  std::int64_t start = 0, end = 0;
  e.Perform(msg, w, l, &buffer, &start, &end);
}

// Searches the document and, on a match, selects it the way find does.
void Search(TEditor& e, Reader& in) {
  const std::string text = e.Lines().GetTextStr();
  TSearchRange range{in.Int64(), in.Int64()};
  const std::string pattern = in.Text();
  const auto options = static_cast<TSearchOptions>(in.Byte() | in.Byte() << 8);
  if (!SearchText(text, range, pattern, options)) return;
  CHECK(range.Start >= 0 && range.Length >= 0 &&
        range.Start + range.Length <= static_cast<std::int64_t>(text.size()));
  e.SetSelStart(range.Start);
  e.SetSelLength(range.Length);
}

void Convert(TEditor& e, Reader& in) {
  if (!e.Selected()) return;
  const std::string sel = e.SelText();
  e.SetSelTextBuf(in.Bool() ? ZenkakuToHankaku(sel) : HankakuToZenkaku(sel));
}

void Load(TEditor& e, Reader& in) {
  const std::string text = in.Text();
  e.Lines().SetTextStr(text);
  if (in.Bool()) {
    // Loading the loaded text again gives the same text.
    const std::string once = e.Lines().GetTextStr();
    e.Lines().SetTextStr(once);
    CHECK(e.Lines().GetTextStr() == once);
  }
}

void Step(Session& s) {
  TEditor& e = s.in.Bool() ? s.b : s.a;
  Reader& in = s.in;
  switch (in.Byte() % 20) {
    case 0: Load(e, in); break;
    case 1: e.SetRowCol(in.Int(), in.Int()); break;
    case 2: e.SetTopRow(in.Int()); e.SetTopCol(in.Int()); break;
    case 3: e.KeyDown(static_cast<TKey>(in.Byte() % (vkOther + 1)), in.Byte(), in.Bool()); break;
    case 4: e.KeyPress(static_cast<char>(in.Byte()), in.Byte()); break;
    case 5: e.KeyChar(static_cast<char>(in.Byte()), in.Bool()); break;
    case 6: e.InsertText(in.Text()); break;
    case 7: e.ImeComposition(in.Text()); break;
    case 8: Mouse(e, in); break;
    case 9: e.VScroll(static_cast<TScrollCode>(in.Byte() % 9), in.Int()); break;
    case 10: e.HScroll(static_cast<TScrollCode>(in.Byte() % 9), in.Int()); break;
    case 11: Selection(e, in); break;
    case 12: Clipboard(e, in, s.clip); break;
    case 13: in.Bool() ? e.Undo() : e.Redo(); break;
    case 14: Settings(e, in); break;
    case 15: e.Paint(s.surface, TRect{in.Pixel(), in.Pixel(), in.Pixel(), in.Pixel()}); break;
    case 16: PerformMessage(e, in); break;
    case 17: Search(e, in); break;
    case 18: Convert(e, in); break;
    case 19: e.DeleteRow(in.Int()); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  Reader in(data, size);
  bench::NullHost hostA(TSize{in.Byte() * 4, in.Byte() * 4});
  bench::NullHost hostB(TSize{320, 240});
  FakeClipboard clip;
  TEditor a, b;
  a.SetHost(&hostA);
  b.SetHost(&hostB);
  a.SetClipboard(&clip);
  b.SetClipboard(&clip);
  const bool shared = in.Bool();
  if (shared) b.ShareTextWith(a);
  Session s{in, a, b, clip, {}};
  for (int step = 0; step < kMaxSteps && !in.Empty(); ++step) {
    try {
      Step(s);
    } catch (const Exception&) {
      // A refused operation (a bad Perform argument, a full bracket list)
      // leaves the editor as it was; the checks below still apply.
    }
    if (a.TextLength() > kMaxDocument) a.Lines().SetTextStr({});
    if (b.TextLength() > kMaxDocument) b.Lines().SetTextStr({});
    if (clip.text.size() > std::size_t{kMaxDocument}) clip.text.resize(std::size_t{kMaxDocument});
    CheckEditor(a);
    CheckEditor(b);
    CheckDocument(a);
    if (!shared) CheckDocument(b);
  }
  return 0;
}

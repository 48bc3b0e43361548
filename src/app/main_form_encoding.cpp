// Documents in other encodings than CP932: the encoding found at load and
// kept on save, the document's table of mapped characters, the status
// panel that shows the encoding with the line ends, reopening in a chosen
// encoding, Save As in a chosen one, the question before characters are
// written that the encoding cannot hold, and the protection of files that
// hold characters the editor cannot show.
#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include <sys/stat.h>

#include <utility>

#include "app/display_text.h"
#include "platform/mapped_chars.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "shell/encoded_file.h"

namespace yk {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

struct TEncodingCommand {
  const char* reopen;
  const char* saveAs;
  TTextEncoding encoding;
};

constexpr TEncodingCommand kEncodingCommands[] = {
    {"ReopenSjis1", "SaveAsSjis1", teCp932},         {"ReopenUtf81", "SaveAsUtf81", teUtf8},
    {"ReopenEucJp1", "SaveAsEucJp1", teEucJp},       {"ReopenJis1", "SaveAsJis1", teJis},
    {"ReopenUtf16Le1", "SaveAsUtf16Le1", teUtf16Le}, {"ReopenUtf16Be1", "SaveAsUtf16Be1", teUtf16Be},
};

struct TLineEndCommand {
  const char* name;
  TLineEnd kind;
};

constexpr TLineEndCommand kLineEndCommands[] = {
    {"LineEndCrLf1", TLineEnd::CrLf}, {"LineEndLf1", TLineEnd::Lf}, {"LineEndCr1", TLineEnd::Cr}};

// The same file on disk (through links and other spellings of the path).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa{}, sb{};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return a == b;
}

QString EncodingWords(TTextEncoding e) {
  const std::string_view name = EncodingName(e);
  return e == teCp932 ? QStringLiteral("Shift-JIS") : QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

void TMainForm::ConnectEncodingCommands() {
  EncodingPanel = new QLabel(StatusBar);
  EncodingPanel->setObjectName(QStringLiteral("EncodingPanel"));
  EncodingPanel->setAlignment(Qt::AlignCenter);
  EncodingPanel->setMinimumWidth(90);
  StatusBar->addPermanentWidget(EncodingPanel);
  for (const TEncodingCommand& c : kEncodingCommands) {
    Bind(c.reopen, [this, e = c.encoding] { ReopenWithEncoding(e); });
    Bind(c.saveAs, [this, e = c.encoding] { SaveAsWithEncoding(e); });
  }
  // The split pane shows Memo1's document from the start.
  SetDocumentChars(Memo1->Chars());
  for (const TLineEndCommand& c : kLineEndCommands) Bind(c.name, [this, kind = c.kind] { ConvertLineEnds(kind); });
  AddMenuHook(TMenu::File, [this] {
    // Reopening needs a file to read.
    for (const TEncodingCommand& c : kEncodingCommands) Action(c.reopen)->setEnabled(FileName != kUntitled);
    // A mixed document has no one kind to check.
    const TEditorScreenStrings& rows = Memo1->Editor().ScreenStrings();
    for (const TLineEndCommand& c : kLineEndCommands) {
      Action(c.name)->setChecked(rows.LineEnds() == c.kind && !rows.MixedLineEnds());
      Action(c.name)->setEnabled(!Memo1->Editor().ReadOnly());
    }
  });
  FollowDocumentFile();
}

// --- loading ---------------------------------------------------------------------

void TMainForm::LoadEncodedDocument(const std::string& path, std::optional<TTextEncoding> encoding) {
  if (!encoding) encoding = std::exchange(ReopenEncoding, std::nullopt);
  TextFormat = {};
  LostCharacters = 0;
  OverflowCharacters = 0;
  LoadedWhileChanging = false;
  TEditor& ed = Memo1->Editor();
  const TLoadedText loaded = LoadEncodedFile(ed.Lines(), ed.ScreenStrings(), path, encoding);
  TextFormat = loaded.format;
  LostCharacters = loaded.Lost();
  OverflowCharacters = loaded.overflow;
  SetDocumentChars(loaded.chars);
  LoadedWhileChanging = loaded.changing;
  if (EncodingPanel) EncodingPanel->setText(EncodingStatus());
}

std::shared_ptr<TMappedChars> TMainForm::DocumentChars() const { return Memo1->Chars(); }

void TMainForm::SetDocumentChars(std::shared_ptr<TMappedChars> chars) {
  Memo1->SetChars(chars);
  Memo3->SetChars(std::move(chars));
  FollowSearchChars();
}

void TMainForm::EncodingLoaded() {
  TEditor& ed = Memo1->Editor();
  // The protection was for the document before.
  if (EncodingReadOnly) ed.SetReadOnly(false);
  EncodingReadOnly = false;
  if (LostCharacters > 0) {
    ed.SetReadOnly(true);
    EncodingReadOnly = true;
    // Too many different characters for the free codes: say how many.
    const QString overflow =
        OverflowCharacters == 0
            ? QString()
            : Utf8("Shift-JIS にない文字が %1 種類あり、割り当てられる %2 種類を超えています。\r")
                  .arg(DocumentChars()->Count() + OverflowCharacters)
                  .arg(DocumentChars()->Count());
    Prompts().Warning(this, Utf8(kWarningCaption),
                      overflow +
                          Utf8("この文書には元のとおりに表示できない文字が %1 個あり、「?」などで表示しています。\r"
                               "ファイルを保護するため読み取り専用で開きました。上書き保存はできません。\r"
                               "名前を付けて保存すると Shift-JIS の別のファイルに保存できますが、"
                               "これらの文字は失われます。")
                              .arg(LostCharacters));
  }
  FollowDocumentFile();
  // What was read may mix the file's old and new bytes: the user is told
  // at once, as of any change, and may read it again.
  if (LoadedWhileChanging) ShowChangeBar(true);
}

void TMainForm::ReopenWithEncoding(TTextEncoding encoding) {
  if (FileName == kUntitled || !ConfirmSave()) return;
  TEditor& ed = Memo1->Editor();
  const int row = ed.Row(), col = ed.Col();
  ReopenEncoding = encoding;
  const bool loaded = LoadDocument(FileName);
  ReopenEncoding.reset();
  if (!loaded) return;
  ed.SetRow(row);
  ed.SetCol(col);
  ed.ScrollCaret();
}

// --- saving ----------------------------------------------------------------------

TTextFormat TMainForm::SaveFormat() const {
  if (!SaveAsEncoding) {
    // CP932 holds every byte the editor shows; the file's own encoding
    // would only repeat the loss the user agreed to.
    return LostCharacters > 0 ? TTextFormat{} : TextFormat;
  }
  if (*SaveAsEncoding == TextFormat.encoding) return TextFormat;
  TTextFormat format;
  format.encoding = *SaveAsEncoding;
  // Without its mark a UTF-16 file would not be recognised again.
  format.bom = format.encoding == teUtf16Le || format.encoding == teUtf16Be;
  return format;
}

bool TMainForm::WriteEncodedDocument(const std::string& path, bool wrapped) {
  const bool ownFile = FileName != kUntitled && SameFile(path, FileName);
  if (LostCharacters > 0) {
    if (ownFile) {
      Prompts().Error(this, Utf8(kErrorCaption),
                      Utf8("表示できない文字を含むファイルを保護するため、同じファイルには保存できません。\r"
                           "別の名前を指定してください。"));
      return false;
    }
    const QString text = Utf8("元のファイルにあった %1 個の文字は「?」として保存され、失われます。\r保存しますか?")
                             .arg(LostCharacters);
    const unsigned buttons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No);
    if (Prompts().Question(this, Utf8(kConfirmCaption), text, buttons) != TDialogAnswer::Yes) return false;
  }
  TTextFormat format = SaveFormat();
  int agreed = 0;  // mapped characters the user agreed to lose
  if (!ChooseFormatForMapped(format, agreed)) return false;
  // Asked before the file is replaced: a refusal leaves it as it was.
  const auto confirm = [&](int lost) {
    if (lost <= agreed) return true;
    const QString text = Utf8("%1 個の文字は %2 で表せないため、「?」として保存されます。\r保存しますか?")
                             .arg(lost - agreed)
                             .arg(EncodingWords(format.encoding));
    const unsigned buttons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No);
    return Prompts().Question(this, Utf8(kConfirmCaption), text, buttons) == TDialogAnswer::Yes;
  };
  TEditor& ed = Memo1->Editor();
  // The wrapped form always ends its rows with CR LF; otherwise every line
  // keeps its own line end.
  if (!SaveEncodedRows(ed.ScreenStrings(), path, TLineEnd::CrLf, wrapped, format, confirm,
                       ed.ScreenStrings().EofMark(), DocumentChars().get()))
    return false;
  WrittenFormat = format;
  // Our own save is no change by another program.
  if (ownFile) WatchDocumentFile();
  return true;
}

// Mapped characters that format's encoding cannot hold are never written as
// "?" unasked: the user may save in UTF-8 instead (format changes), agree
// to lose them (agreed: how many) or cancel (false). A version snapshot
// takes UTF-8 without asking, so that it keeps every character.
bool TMainForm::ChooseFormatForMapped(TTextFormat& format, int& agreed) {
  const int count = CountUnwritable(Memo1->Editor().ScreenStrings(), format.encoding, *DocumentChars());
  if (count == 0) return true;
  TTextFormat utf8;
  utf8.encoding = teUtf8;
  if (WritingVersion) {
    format = utf8;
    return true;
  }
  const QString text = Utf8("この文書の %1 個の文字は %2 で表せません。\r代わりに UTF-8 で保存しますか?\r\r"
                            "「いいえ」を選ぶと、これらの文字は「?」として保存され、失われます。")
                           .arg(count)
                           .arg(EncodingWords(format.encoding));
  const unsigned buttons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No) | AnswerBit(TDialogAnswer::Cancel);
  switch (Prompts().Question(this, Utf8(kConfirmCaption), text, buttons)) {
    case TDialogAnswer::Yes: format = utf8; return true;
    case TDialogAnswer::No: agreed = count; return true;
    default: return false;
  }
}

void TMainForm::ForgetEncoding() {
  TextFormat = {};
  LostCharacters = 0;
  OverflowCharacters = 0;
  SetDocumentChars(std::make_shared<TMappedChars>());
  Unprotect();
}

void TMainForm::EncodingSaved() {
  // The text is what was written: its table stays with it.
  TextFormat = WrittenFormat;
  LostCharacters = 0;
  OverflowCharacters = 0;
  Unprotect();
}

void TMainForm::Unprotect() {
  if (EncodingReadOnly) Memo1->Editor().SetReadOnly(false);
  EncodingReadOnly = false;
  FollowDocumentFile();
}

void TMainForm::SaveAsWithEncoding(TTextEncoding encoding) {
  SaveAsEncoding = encoding;
  SaveAs1Click();
  SaveAsEncoding.reset();
}

// --- the status panel --------------------------------------------------------------

QString TMainForm::EncodingStatus() const {
  const TEditorScreenStrings& rows = Memo1->Editor().ScreenStrings();
  return QString::fromStdString(EncodingStatusText(TextFormat, rows.LineEnds(), rows.MixedLineEnds()));
}

void TMainForm::ConvertLineEnds(TLineEnd kind) {
  TEditor& ed = Memo1->Editor();
  TEditorScreenStrings& rows = ed.ScreenStrings();
  if (ed.ReadOnly() || (rows.LineEnds() == kind && !rows.MixedLineEnds())) return;
  // Undo records keep line ends by the document's kind, which changes here.
  rows.UndoObj().Clear();
  rows.SetLineEnds(kind);
  ed.SetModified(true);
  SetModifiedMark(true);
  if (EncodingPanel) EncodingPanel->setText(EncodingStatus());
  ScheduleRecovery();  // the text in rows is the same, but a snapshot must keep the new kinds
}

void TMainForm::FollowDocumentFile() {
  if (EncodingPanel) EncodingPanel->setText(EncodingStatus());
  WatchDocumentFile();
}

}  // namespace yk

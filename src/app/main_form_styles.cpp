// The ten styles of the main window: the style tabs, choosing a style by a
// file's extension, and the style settings and style files.
#include <QTabBar>

#include <string>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "dialogs/form_view_editor.h"
#include "props/component_stream.h"
#include "props/editor_prop.h"
#include "props/editor_prop_link.h"
#include "props/reg_manager.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/document_file.h"
#include "shell/style_select.h"

namespace yk {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::string StyleItem(int index) { return "EditProp" + std::to_string(index); }

// Points the store at a style file for one read or write and back at the
// settings file afterwards, also when the read or write throws.
class TStyleFileScope {
 public:
  TStyleFileScope(TRegManager& manager, const std::string& styleFile, std::string settingsFile)
      : manager_(manager), settings_(std::move(settingsFile)) {
    manager_.SetIniFileName(styleFile);
  }
  ~TStyleFileScope() { manager_.SetIniFileName(settings_); }
  TStyleFileScope(const TStyleFileScope&) = delete;
  TStyleFileScope& operator=(const TStyleFileScope&) = delete;

 private:
  TRegManager& manager_;
  std::string settings_;
};

}  // namespace

void TMainForm::ConnectStyleCommands() {
  Bind("GeneralOption1", &TMainForm::GeneralOption1Click);
  Bind("StyleOption1", &TMainForm::StyleOption1Click);
  Bind("ReadStyle1", &TMainForm::ReadStyle1Click);
  Bind("WriteStyle1", &TMainForm::WriteStyle1Click);
  connect(TabSet1, &QTabBar::currentChanged, this, [this](int index) {
    try {
      TabSet1Change(index);
    } catch (const std::exception& e) {
      Prompts().Error(this, Utf8(kErrorCaption), FailureReason(e));
    }
  });
}

void TMainForm::AssignStyleToEditors() {
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) {
    TEditorPropLink link(memo->Editor());
    EditorProp1->AssignTo(link);
  }
}

// --- choosing a style ----------------------------------------------------------

void TMainForm::TabSet1Change(int index) {
  if (index < 0 || index >= kStyleCount) return;
  StyleIndex = index;
  LoadDictionary(Settings.dicFiles[static_cast<std::size_t>(index)]);
  LoadStyle();
  AssignStyleToEditors();
  SetGutterWidth();
  DrawAllGutters();
}

void TMainForm::SelectStyle(int index) {
  if (index < 0 || index >= kStyleCount) return;
  TabSet1->setCurrentIndex(index);
}

void TMainForm::SelectStyleByExt(const std::string& path) { SelectStyle(StyleIndexForPath(path, Settings.styleExts)); }

// --- the stored sets ---------------------------------------------------------------

void TMainForm::LoadStyle() {
  RegManager1->SetIniFileName(SettingsPath);
  // Nothing stored: EditorProp1 keeps its values, so a style never
  // configured looks like the one before it.
  RegManager1->FilerOf(StyleItem(StyleIndex)).ReadComponent(EditorProp1.get());
  KeepStyleInBounds(*EditorProp1);
}

void TMainForm::SaveStyle() {
  RegManager1->SetIniFileName(SettingsPath);
  RegManager1->FilerOf(StyleItem(StyleIndex)).WriteComponent(EditorProp1.get());
}

// --- commands ----------------------------------------------------------------------

// The dialog edits a copy of Memo1's settings, which Memo1 takes only on OK.
// Either way Memo1's settings become the style's stored set, so the style's
// section exists from then on. The split pane takes the style only when it
// changed: after Cancel it keeps its own font beside a temporary one.
void TMainForm::StyleOption1Click() {
  if (TabSet1->currentIndex() < 0 || TabSet1->currentIndex() >= kStyleCount) return;
  TEditorPropLink memo1(Memo1->Editor());
  TEditorProp copy;
  copy.Assign(memo1);
  TFormViewEditor dialog(this, Prompts());
  dialog.Open(copy);
  const bool ok = Prompts().ExecDialog(dialog) == QDialog::Accepted;
  if (ok) {
    copy.AssignTo(memo1);
    Memo1->SetScrollBars(copy.ScrollBars());
  }
  EditorProp1->Assign(memo1);
  for (TEditorWidget* memo : {Memo2, Memo3}) {
    if (memo == Memo3 && !ok) continue;
    TEditorPropLink link(memo->Editor());
    EditorProp1->AssignTo(link);
    memo->SetScrollBars(EditorProp1->ScrollBars());
  }
  SaveStyle();
  SetGutterWidth();
  DrawAllGutters();
}

void TMainForm::WriteStyle1Click() {
  const std::optional<QString> chosen =
      Prompts().SaveFileName(this, Utf8("スタイルの書き込み"), Utf8(kStyleFilter), 0, QString());
  if (!chosen) return;
  const std::string file = WithDefaultExtension(NativePath(*chosen), ".yks");
  try {
    TStyleFileScope scope(*RegManager1, file, SettingsPath);
    RegManager1->FilerOf("EditProp").WriteComponent(EditorProp1.get());
  } catch (const std::exception& e) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("スタイルファイル %1 に書き込めませんでした。\r").arg(DisplayPath(file)) + FailureReason(e));
  }
}

// A file without a readable [EditProp] set changes nothing and says so: the
// style keeps its look and its stored set.
void TMainForm::ReadStyle1Click() {
  const std::optional<QString> chosen =
      Prompts().OpenFileName(this, Utf8("スタイルの読み込み"), Utf8(kStyleFilter), 0, QString());
  if (!chosen) return;
  const std::string file = NativePath(*chosen);
  TEditorProp imported;
  imported.Assign(*EditorProp1);
  bool read = false;
  try {
    TStyleFileScope scope(*RegManager1, file, SettingsPath);
    std::string stream;
    RegManager1->FilerOf("EditProp").ReadStream(stream);
    read = !stream.empty() && LoadComponent(stream, imported);
    KeepStyleInBounds(imported);
  } catch (const std::exception&) {
    // Too large or unreadable: reported below like a file without a set.
  }
  if (!read) {
    Prompts().Error(this, Utf8(kErrorCaption),
                    Utf8("スタイルファイル %1 を読み込めませんでした。\r"
                         "ファイルがないか、スタイルの設定が含まれていません。")
                        .arg(DisplayPath(file)));
    return;
  }
  EditorProp1->Assign(imported);
  AssignStyleToEditors();
  SaveStyle();
  SetGutterWidth();
  DrawAllGutters();
}

}  // namespace yk

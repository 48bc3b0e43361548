// The settings file of the main window: the values read at start in their
// order, the lists and style 0 read through RegManager1, what is written at
// exit and by WriteSettings, and the widgets whose state those values are.
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>
#include <filesystem>

#include "app/display_text.h"
#include "app/main_form.h"
#include "controls/cute_splitter.h"
#include "controls/fi_list_box.h"
#include "dialogs/qt_text.h"
#include "props/editor_prop.h"
#include "props/ini_text.h"
#include "props/reg_manager.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/search_history.h"
#include "shell/settings_values.h"

namespace yk {

namespace {

constexpr int kRecentPad = 21;  // entries of the parallel lists at first start

std::string Index(const char* key, int i) { return key + std::to_string(i); }

void MakeFolderFor(const std::string& path) {
  const std::string folder = FolderPart(path);
  if (folder.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(folder), ec);
}

}  // namespace

// The lists and property sets of the settings file, in their order.
void TMainForm::RegisterRegItems() {
  TRegItems& items = RegManager1->RegItems();
  items.Add("RecentFiles", "RecentFiles", "file");
  items.Add("RecentFilesLine", "RecentFilesLine", "line");
  items.Add("RecentStyle", "RecentStyle", "style");
  items.Add("Hist", "Hist", "list");
  items.Add("Favorites", "Favorites", "list");
  items.Add("DicList", "DicList", "list");
  items.Add("EditProp", "EditProp", "prop");
  for (int n = 0; n < kStyleCount; ++n) items.Add(Index("EditProp", n), Index("EditProp", n), "prop");
  RegManager1->SetRegType(rtIni);
}

// --- reading at start ------------------------------------------------------------

void TMainForm::ReadSettings() {
  MakeFolderFor(SettingsPath);
  const TIniText ini = ReadIniFile(SettingsPath);
  ReadWindowSettings(ini);
  ReadValueSettings(ini);
  ReadListSettings();
}

void TMainForm::ReadWindowSettings(const TIniText& ini) {
  resize(FirstStartSize());
  Settings.sizePosSave = IniBool(ini, "Win", "SizePosSave", true);
  if (Settings.sizePosSave) {
    // Without a stored place (the first start) the window manager places
    // the window; a default here would pin it to the screen's corner.
    std::optional<QPoint> frame;
    if (ini.Read("Pos", "Left") && ini.Read("Pos", "Top"))
      frame = QPoint(IniInt(ini, "Pos", "Left", 0), IniInt(ini, "Pos", "Top", 0));
    RestoreBounds(frame, IniInt(ini, "Pos", "Width", width()), IniInt(ini, "Pos", "Height", height()));
  }
  SetHistPanelHeight(IniInt(ini, "Pos", "HistPanelHeight", HistPanelHeight()));
  SetPageTabWidth(IniInt(ini, "Pos", "PageTabWidth", PageTabWidth()));
}

void TMainForm::ReadValueSettings(const TIniText& ini) {
  TBasicSettings& s = Settings;
  s.customDayTime = IniBool(ini, "Memo", "DayTimeMode", false);
  s.dayTimeFormat = IniString(ini, "Memo", "DayTimeFormat", s.dayTimeFormat);
  s.imeMode = IniBool(ini, "Memo", "IMEmode", false);
  if (s.imeMode) SetImeOpen(true);
  s.deleteHistory = IniBool(ini, "Memo", "DeleteHistory", true);
  s.userHeader = IniBool(ini, "Memo", "UserHeader", false);
  SetStatusBarVisible(IniBool(ini, "Window", "StatusBar", StatusBarVisible()));
  SetStyleTabVisible(IniBool(ini, "Window", "StyleTab", StyleTabVisible()));
  SetToolBarVisible(IniBool(ini, "Window", "ToolBar", ToolBarVisible()));
  SetListPanelVisible(IniBool(ini, "Window", "History", ListPanelVisible()));
  SetLineNumber(IniBool(ini, "Memo", "LineNumber", false));
  s.iconAnime = IniBool(ini, "Window", "IconAnime", true);
  s.logicalLineNumbers = IniBool(ini, "Memo", "LineNumberFlag", true);
  ComboBox1->setEditText(FromStoredText(IniString(ini, "Find", "Value", {})));
  for (int k = 0; k < kToolCount; ++k) {
    const auto i = static_cast<std::size_t>(k);
    s.toolNames[i] = IniString(ini, "Tool", Index("ExeName", k + 1), s.toolNames[i]);
    s.toolPaths[i] = IniString(ini, "Tool", Index("ExePath", k + 1), s.toolPaths[i]);
  }
  s.tracerPath = IniString(ini, "Tool", "TracerPath", {});
  s.tracerExt = IniString(ini, "Tool", "TracerExt", {});
  // A mark outside the three choices is no choice: the default.
  s.tabMark = IniInt(ini, "Char", "Tab", 0);
  if (s.tabMark < 0 || s.tabMark > 2) s.tabMark = 0;
  s.spaceMark = IniInt(ini, "Char", "Space", 0);
  if (s.spaceMark < 0 || s.spaceMark > 2) s.spaceMark = 0;
  for (int n = 0; n < kStyleCount; ++n) {
    const auto i = static_cast<std::size_t>(n);
    SetTabCaption(n, IniString(ini, "TabName", Index("Tab", n), s.tabNames[i]));
    s.dicFiles[i] = IniString(ini, "TabName", Index("Dic", n), {});
    s.styleExts[i] = IniString(ini, "StyleExt", Index("Ext", n), {});
  }
}

void TMainForm::ReadListSettings() {
  RegManager1->SetIniFileName(SettingsPath);
  RegManager1->FilerOf("EditProp0").ReadComponent(EditorProp1.get());
  KeepStyleInBounds(*EditorProp1);
  LoadDictionary(Settings.dicFiles[0]);
  AssignStyleToEditors();

  // Entries keep their characters (stored texts); what is typed stays.
  const QString find_value = ComboBox1->currentText();
  ComboBox1->clear();
  for (const std::string& text : LoadSearchHistory(SettingsPath, kSearchHistoryPlace))
    ComboBox1->addItem(FromStoredText(text));
  ComboBox1->setEditText(find_value);
  std::vector<std::string> list;
  RegManager1->FilerOf("Favorites").ReadStrings(&list);
  FIListBox3->SetItems(list);
  ReadRecentLists();
  if (RecentLines.empty()) {
    RecentLines.assign(kRecentPad, "0");
    RegManager1->FilerOf("RecentFilesLine").WriteStrings(&RecentLines);
  }
  if (RecentStyles.empty()) {
    RecentStyles.assign(kRecentPad, "-1");
    RegManager1->FilerOf("RecentStyle").WriteStrings(&RecentStyles);
  }
}

void TMainForm::ReadRecentLists() {
  std::vector<std::string> files;
  RegManager1->FilerOf("RecentFiles").ReadStrings(&files);
  FIListBox2->SetItems(files);
  RecentLines.clear();
  RegManager1->FilerOf("RecentFilesLine").ReadStrings(&RecentLines);
  RecentStyles.clear();
  RegManager1->FilerOf("RecentStyle").ReadStrings(&RecentStyles);
}

// --- writing ---------------------------------------------------------------------

void TMainForm::WriteSettingsAtExit() {
  const TBasicSettings& s = Settings;
  std::vector<TIniValue> v;
  v.push_back({"Win", "SizePosSave", IniBoolText(s.sizePosSave)});
  if (s.sizePosSave) {
    // The place is the frame's (title bar included), as a window is placed;
    // the size is the window's own.
    const QRect bounds = (isMaximized() || isMinimized()) && !normalGeometry().isEmpty() ? normalGeometry()
                                                                                          : geometry();
    const QPoint frame = bounds.topLeft() - (geometry().topLeft() - pos());
    v.push_back({"Pos", "Top", std::to_string(frame.y())});
    v.push_back({"Pos", "Left", std::to_string(frame.x())});
    v.push_back({"Pos", "Width", std::to_string(bounds.width())});
    v.push_back({"Pos", "Height", std::to_string(bounds.height())});
  }
  v.push_back({"Pos", "HistPanelHeight", std::to_string(HistPanelHeight())});
  v.push_back({"Pos", "PageTabWidth", std::to_string(PageTabWidth())});
  v.push_back({"Memo", "DayTimeMode", IniBoolText(s.customDayTime)});
  v.push_back({"Memo", "DayTimeFormat", s.dayTimeFormat});
  v.push_back({"Memo", "IMEmode", IniBoolText(s.imeMode)});
  v.push_back({"Memo", "DeleteHistory", IniBoolText(s.deleteHistory)});
  v.push_back({"Memo", "UserHeader", IniBoolText(s.userHeader)});
  v.push_back({"Window", "StatusBar", IniBoolText(StatusBarVisible())});
  v.push_back({"Window", "StyleTab", IniBoolText(StyleTabVisible())});
  v.push_back({"Window", "ToolBar", IniBoolText(ToolBarVisible())});
  v.push_back({"Window", "History", IniBoolText(ListPanelVisible())});
  v.push_back({"Memo", "LineNumber", IniBoolText(LineNumber)});
  v.push_back({"Find", "Value", ToStoredText(ComboBox1->currentText())});
  MakeFolderFor(SettingsPath);
  WriteIniValues(SettingsPath, v);
}

// The general settings dialog's values, in the layout that dialog's module
// defines for them.
void TMainForm::WriteSettings() {
  MakeFolderFor(SettingsPath);
  WriteBasicSettings(SettingsPath, Settings);
}

// --- window geometry -----------------------------------------------------------------

QSize TMainForm::FirstStartSize() const {
  TEditor& ed = Memo1->Editor();
  // The wrap width, the return mark and the caret after it, the margin, the
  // line-number gutter, the scroll bar and the frames.
  const int cols = ed.WrapOption().WrapByte() + 2;
  const int gutter = ed.ColWidth() * 6 + 8;
  const int scroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  int width = ed.Margin().Left() + cols * ed.ColWidth() + gutter + scroll + 2 * Memo1->frameWidth() + 8;
  // No less than the whole tool bar, so none of it hides behind the
  // overflow button.
  width = std::max(width, ToolBar1->sizeHint().width());
  int height = 600;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    width = std::min(width, std::max(200, avail.width() - 16));
    height = std::min(height, std::max(150, avail.height() - 48));
  }
  return {width, height};
}

void TMainForm::RestoreBounds(std::optional<QPoint> frame, int width, int height) {
  QRect desk(0, 0, 1 << 14, 1 << 14);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) desk = screen->availableVirtualGeometry();
  width = std::clamp(width, 200, std::max(200, desk.width()));
  height = std::clamp(height, 150, std::max(150, desk.height()));
  resize(width, height);
  if (!frame) return;
  // The place only when the title bar would lie on a screen; elsewhere (a
  // screen since removed, garbage) the window manager places the window.
  const int left = std::clamp(frame->x(), -(1 << 20), 1 << 20);
  const int top = std::clamp(frame->y(), -(1 << 20), 1 << 20);
  const QPoint title(left + std::min(width, 100) / 2, top + 8);
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().contains(title)) {
      move(left, top);  // a window's move places its frame
      return;
    }
  }
}

// --- widgets whose state is a setting ---------------------------------------------------

bool TMainForm::ToolBarVisible() const { return !ToolBar1->isHidden(); }

void TMainForm::SetToolBarVisible(bool on) {
  ToolBar1->setVisible(on);
  Action("Tool1")->setChecked(on);
}

bool TMainForm::StatusBarVisible() const { return !StatusBar->isHidden(); }

void TMainForm::SetStatusBarVisible(bool on) {
  StatusBar->setVisible(on);
  Action("Status1")->setChecked(on);
}

bool TMainForm::StyleTabVisible() const { return !TabSet1->isHidden(); }

void TMainForm::SetStyleTabVisible(bool on) {
  TabSet1->setVisible(on);
  Action("StyleTab1")->setChecked(on);
}

bool TMainForm::ListPanelVisible() const { return !Panel1->isHidden(); }

// Splitter1's bar goes with the panel: a splitter shows no bar beside a
// hidden widget.
void TMainForm::SetListPanelVisible(bool on) {
  if (!on && ListPanelVisible()) hist_panel_height_ = HistPanelHeight();
  Panel1->setVisible(on);
  if (on) SetHistPanelHeight(hist_panel_height_);
  Action("HistView1")->setChecked(on);
}

void TMainForm::SetLineNumber(bool on) {
  LineNumber = on;
  Action("ViewLine1")->setChecked(on);
}

int TMainForm::HistPanelHeight() const {
  return ListPanelVisible() && isVisible() ? Panel1->height() : hist_panel_height_;
}

void TMainForm::SetHistPanelHeight(int height) {
  hist_panel_height_ = std::clamp(height, Panel1->minimumHeight(), 1 << 14);
  const int total = std::max(Splitter1->height(), hist_panel_height_ + 1);
  Splitter1->setSizes({hist_panel_height_, total - hist_panel_height_});
}

int TMainForm::PageTabWidth() const {
  return ListPanelVisible() && isVisible() ? PageControl1->width() : page_tab_width_;
}

void TMainForm::SetPageTabWidth(int width) {
  page_tab_width_ = std::clamp(width, PageControl1->minimumWidth(), 1 << 14);
  const int total = std::max(CuteSplitter1->width(), page_tab_width_ + 1);
  CuteSplitter1->setSizes({page_tab_width_, total - page_tab_width_});
}

// The box shows the search text in the active editor's characters.
std::string TMainForm::FindValue() const {
  return FromQString(ComboBox1->currentText(), ActiveEditor ? ActiveEditor->Chars().get() : nullptr).bytes;
}

void TMainForm::SetFindValue(const std::string& cp932) {
  ComboBox1->setEditText(ToQString(cp932, ActiveEditor ? ActiveEditor->Chars().get() : nullptr));
}

void TMainForm::SetTabCaption(int index, const std::string& cp932) {
  if (index < 0 || index >= kStyleCount) return;
  Settings.tabNames[static_cast<std::size_t>(index)] = cp932;
  TabSet1->setTabText(index, ToQString(cp932));
}

}  // namespace yk

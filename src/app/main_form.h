// TMainForm: the main window, its components, its shared state and the
// commands of every feature. The code is split by concern into the
// main_form_*.cpp files; each concern has its section here.
#pragma once

#include <QMainWindow>
#include <QPoint>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/command_table.h"
#include "app/main_form_env.h"
#include "dialogs/basic_settings.h"
#include "editor/keys.h"
#include "platform/instance_bus.h"
#include "platform/text_encoding.h"
#include "shell/date_format.h"
#include "shell/document_file.h"
#include "shell/file_names.h"
#include "shell/input_support.h"
#include "shell/marks.h"
#include "shell/recovery_keeper.h"
#include "shell/version_history.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QTabBar;
class QTabWidget;
class QTimer;
class QToolBar;

namespace yk {

class TBasicSetupDlg;
class TCuteSplitter;
class TDocumentWatch;
class TEditor;
class TEditorProp;
class TEditorWidget;
class TFIListBox;
class THistHeadDlg;
class TIniText;
class TJumpDlg;
class TListForm;
class TMappedChars;
class TTopicDlg;
class TPrompts;
class TRegManager;
class TRegMessages;
class TSearchSession;
struct TDrawLineInfo;
struct TRecentLists;

// The untitled document's name (CP932): "無題".
inline constexpr const char* kUntitled = kUntitledName.data();
// The filters of the document and style file dialogs.
inline constexpr const char* kDocumentFilter = "テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
inline constexpr const char* kStyleFilter = "スタイルファイル(*.yks)|*.yks|すべてのファイル(*.*)|*.*";

class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window, binds the commands of every concern and runs
  // FormCreate: settings, style 0 and the command line.
  explicit TMainForm(TMainFormEnv env = {}, QWidget* parent = nullptr);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // ===================================================================
  // Components (children named after them, so tests find them by name)
  // ===================================================================
  QToolBar* ToolBar1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QFrame* Panel1 = nullptr;          // the list panel at the top
  QTabWidget* PageControl1 = nullptr;
  TFIListBox* FIListBox1 = nullptr;  // 版管理: version files
  TFIListBox* FIListBox2 = nullptr;  // 履歴: recent files
  TFIListBox* FIListBox3 = nullptr;  // お気に入り: favourites
  TCuteSplitter* CuteSplitter1 = nullptr;  // between the lists and the preview
  QFrame* Panel4 = nullptr;           // the preview's gutter
  QLabel* Image2 = nullptr;
  TEditorWidget* Memo2 = nullptr;     // read-only preview
  TCuteSplitter* Splitter1 = nullptr;     // list panel above, editing area below
  QFrame* SplitPanel = nullptr;       // upper pane of the split view, hidden
  QFrame* Panel5 = nullptr;
  QLabel* Image3 = nullptr;
  TEditorWidget* Memo3 = nullptr;
  TCuteSplitter* Splitter2 = nullptr;     // split pane above, Memo1 below
  QFrame* Panel3 = nullptr;           // Memo1's gutter
  QLabel* Image1 = nullptr;
  TEditorWidget* Memo1 = nullptr;     // the document
  QTabBar* TabSet1 = nullptr;         // the ten style tabs
  QStatusBar* StatusBar = nullptr;
  QMenu* PopupMenu1 = nullptr;        // context menu of the three editors
  QTimer* AnimeTimer1 = nullptr;      // icon animation, 500 ms
  std::unique_ptr<TEditorProp> EditorProp1;  // the current style
  std::unique_ptr<TRegManager> RegManager1;  // lists and property sets
  // The input-support dictionary of the current style: rows of cells.
  std::optional<TDictionaryGrid> jvStringGrid1;

  // ===================================================================
  // State
  // ===================================================================
  std::string SettingsPath;
  std::string FileName;  // full path (native bytes), or kUntitled
  int StyleIndex = 0;
  TEditorWidget* ActiveEditor = nullptr;
  int HistoryDeleteMode = 1;  // 1 follow DeleteHistory, 2 delete, 3 keep
  bool SaveAndExitPending = false;
  bool HandedOver = false;
  int JumpLine = 0;  // 1-based; 0: none
  int JumpColumn = -1;
  int JumpSelLength = 0;
  std::vector<std::string> RecentLines;
  std::vector<std::string> RecentStyles;
  std::vector<std::string> TopicList{std::string()};
  std::string TopicWord;
  // The values the general settings dialog edits (strings CP932, paths
  // native bytes), read at start.
  TBasicSettings Settings = DefaultBasicSettings();
  bool LineNumber = false;  // the line-number gutters are shown

  // ===================================================================
  // Commands: actions made from the command table, handlers bound by name
  // ===================================================================
  QAction* Action(std::string_view name) const;
  QMenu* Menu(TMenu menu) const;
  QMenu* Submenu(std::string_view name) const;
  // Binds a command's handler and enables it (unless it starts disabled).
  // Unbound commands stay disabled.
  void Bind(std::string_view name, std::function<void()> handler);
  void Bind(std::string_view name, void (TMainForm::*handler)());
  bool IsBound(std::string_view name) const;
  // Adds an opening handler to a menu: run when it opens and before a
  // command of it runs from its key.
  void AddMenuHook(TMenu menu, std::function<void()> hook);
  void RunMenuHooks(TMenu menu);
  // Runs a command as its key does: the menu's opening handlers, then the
  // handler if the command is enabled. False when nothing ran.
  bool RunCommand(std::string_view name);

  // Status bar: 0 caret position, 1 insert/overwrite, 2 modified, 3 hints.
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);

  // ===================================================================
  // Start-up, settings and shutdown (main_form.cpp, main_form_settings.cpp)
  // ===================================================================
  void FormCreate();
  void FormShow();
  // The close query: true when the window may close.
  bool FormCloseQuery();
  // Writes the settings and deletes version files; once, at close.
  void FormDestroy();
  void Exit1Click();
  void ReadSettings();
  // RecentFiles, RecentFilesLine and RecentStyle into FIListBox2,
  // RecentLines and RecentStyles.
  void ReadRecentLists();
  void WriteSettingsAtExit();
  // The values the general settings dialog edits, written at once.
  void WriteSettings();
  void GeneralOption1Click();
  // The window's dialogs, each made at its first use and kept, so that its
  // fields hold their last values.
  TBasicSetupDlg& BasicSetupDlg();
  TJumpDlg& JumpDlg();
  THistHeadDlg& HistHeadDlg();
  TTopicDlg& TopicDlg();
  TListForm& ListForm();
  // The widgets whose state the settings file keeps.
  bool ToolBarVisible() const;
  void SetToolBarVisible(bool on);
  bool StatusBarVisible() const;
  void SetStatusBarVisible(bool on);
  bool StyleTabVisible() const;
  void SetStyleTabVisible(bool on);
  bool ListPanelVisible() const;  // Panel1 with Splitter1
  void SetListPanelVisible(bool on);
  void SetLineNumber(bool on);
  int HistPanelHeight() const;
  void SetHistPanelHeight(int height);
  int PageTabWidth() const;
  void SetPageTabWidth(int width);
  std::string FindValue() const;  // ComboBox1's text as CP932
  void SetFindValue(const std::string& cp932);
  void SetTabCaption(int index, const std::string& cp932);
  // The command line (arguments as given to the window).
  void HandleCommandLine();
  // Another main window whose title shows path (modified or not) or whose
  // document is path's file, the last such in the bus's order; never this
  // window. nullopt: none.
  std::optional<TPeerInfo> FindDocumentWindow(const std::string& path);

  // ===================================================================
  // Documents (main_form_documents.cpp)
  // ===================================================================
  void ConnectDocumentCommands();
  // True when the calling command may go on: nothing to save, saved, or
  // the user chose not to save.
  bool ConfirmSave();
  void SetFileName(const std::string& name);
  void SetModifiedMark(bool modified);
  // Loads path into Memo1 with every follow-up step; false (and an empty
  // untitled document) when the file cannot be read.
  bool LoadDocument(const std::string& path);
  // An empty document that will be created as path at its first save (a
  // new file named on the command line): the style of its extension, and
  // its recovery snapshot offered when one was left.
  void NewDocumentNamed(const std::string& path);
  void New1Click();
  void Open1Click();
  bool Save1Click();
  bool SaveAs1Click();
  bool SaveList1Click();
  bool SaveAsList1Click();
  void SaveAndExit1Click();
  void Memo1Change();
  // Each dropped file opens in a new process of the program.
  void FilesDropped(const std::vector<std::string>& paths);
  QString WindowTitleFor(bool modified) const;
  std::string TitleBytes() const;  // what other windows compare, as bytes
  QString ApplicationTitle() const { return application_title_; }
  // Writes Memo1's rows to path (the wrapped form: every row ends with
  // CR LF); false after telling the user why it failed.
  bool WriteDocument(const std::string& path, bool wrapped);
  // A name from the save dialog, ".txt" added where it has no extension,
  // the user asked before an existing file is replaced; nullopt: cancelled.
  std::optional<std::string> AskSaveName(const QString& initial);
  // Not modified any more; closes the window when save-and-exit asked so.
  void DocumentSaved();
  std::string OpenDialogFolder;  // starting folder of the file dialogs
  // The document's file as this window last loaded or saved it; a save in
  // place asks before it writes over a file that differs (another program
  // wrote or replaced it). A deleted file is simply written again.
  TFileStamp DocumentStamp;
  bool ConfirmWriteOverChangedFile();
  // The file's mode forbids writing it: the document opened read-only.
  bool FileReadOnly = false;
  void SetFileReadOnly(bool on);
  // Why Memo1 is read-only (its characters, or its file's mode); empty
  // when it is not.
  QString ReadOnlyReason() const;
  // The read-only sign of the title and the status bar follow Memo1.
  void ShowReadOnlyState();
  // A key or paste refused by a read-only editor: status panel 3 says why.
  void EditRefused();
  // Save on a read-only document: explains why and offers Save As.
  bool SaveReadOnlyDocument();
  // A name the save dialog may not overwrite (the document's own file
  // while it is protected, a read-only file, a link into a missing
  // folder): told, and true.
  bool RefusesSaveName(const std::string& name);
  QLabel* ReadOnlyPanel = nullptr;  // status bar: "読み取り専用"

  // ===================================================================
  // Editing commands (main_form_commands.cpp), the view and the split view
  // (main_form_view.cpp), the wheel and the icon animation
  // (main_form_anime.cpp)
  // ===================================================================
  void ConnectEditCommands();
  void ConnectViewCommands();
  void ConnectAnimation();
  // Commands act on this editor from now on; status panel 0 follows it.
  void SetActiveEditor(TEditorWidget* editor);
  void GotoJumpLine();
  void ApplyJumpColumn();
  void CenterCaretRow();
  // The enabling rule: runs when the Edit, Execute or context menu opens,
  // after caret moves, edits and double clicks, and when the clipboard
  // changes.
  void Edit1Click();
  // An editor's caret moved (it becomes the active editor when it has the
  // focus): status panel 0 and the enabling rule.
  void CaretMoved(TEditorWidget* sender);
  // Status panel 0 for ActiveEditor now ("%5d[%d] 行:%5d[%d] 桁"); caret
  // moves update it once control returns to the event loop (also the event
  // loop of a message box shown meanwhile).
  void UpdateCaretPanel();
  // Once control is back in an event loop, UpdateCaretPanel. Also after
  // every command and message from another window: the caret of an editor
  // without the focus moves unreported.
  void ScheduleCaretPanel();
  void Undo1Click();
  void Redo1Click();
  void Cut1Click();
  void Copy1Click();
  void Paste1Click();
  void Delete1Click();
  void SelectAll1Click();
  void DateTime1Click();
  void OverWrite1Click();
  void Upper1Click();
  void Lower1Click();
  void Han1Click();
  void Zen1Click();
  void Jump1Click();
  void PuncJump1Click();
  void SetMark1Click();
  void ClearMark1Click();
  void NextMark1Click();
  void PrevMark1Click();
  // The marks move with their rows when rows are put in or taken out.
  void MarksFollowEdit();
  // What the window does with the editors' events (all three editors).
  void ConnectEditorEvents(TEditorWidget* memo);
  void Memo1MouseDown(TEditorWidget* memo, TMouseButton button, TShiftState shift);
  void Memo1KeyDown(TEditorWidget* memo, TKey key, TShiftState shift);
  void Memo1DblClick(TEditorWidget* memo);
  // The cursor part of a mouse move over an editor (after the hint part).
  void UpdateMouseCursor(TEditorWidget* memo, int x, int y);
  // Opens a URL with the desktop's handler (or the environment's).
  bool OpenLink(const QString& url);
  // For the gutters: false until a mark is set; then whether row is marked.
  bool IsMarkedRow(int row) const { return Marks.IsMarkedRow(row); }
  TMarkList Marks;  // screen rows, newest first, at most 10
  // The names and formats the date command uses; the system locale's.
  TDateLocale DateLocale;
  // Set by a key-down with Shift in an editor, cleared by every key-up:
  // the wheel then scrolls a page.
  bool ShiftHeld = false;

  void Split1Click();
  void SetSplitView(bool on);
  // The split pane left 20 pixels or less by Splitter2: the split closes.
  void Splitter2Moved();
  bool SplitView() const;
  void HistView1Click();
  void Tool1Click();
  void StyleTab1Click();
  void Status1Click();
  void ViewLine1Click();
  void Wrap1Click();
  void Font1Click();

  // The wheel over any editor scrolls ActiveEditor, a line per notch (120
  // units, smaller steps add up), a page while Shift is held.
  void ConnectWheel(TEditorWidget* memo);
  void MouseWheel(int angleDelta, bool shift);
  void AnimeTimer1Timer();
  void ApplicationActivated(bool active);
  // Starts or stops the animation as Settings.iconAnime says (the still
  // icon when off).
  void ApplyIconAnime();
  int AnimeFrame = 0;
  bool AppActive = true;

  // ===================================================================
  // Search and replace (main_form_search.cpp)
  // ===================================================================
  void ConnectSearchCommands();
  void Find1Click();
  void FindNext1Click();
  void FindPrev1Click();
  void Replace1Click();
  // ComboBox1 was edited: its text is the current search text.
  void ComboBox1Change();
  // The search state (current, dialog and replacement texts, flags).
  std::unique_ptr<TSearchSession> Search;
  // The search texts hold the codes of the active editor's table of mapped
  // characters: when it becomes another editor, or the document gets a new
  // table, they are carried over to the new table by their characters.
  void FollowSearchChars();
  std::shared_ptr<TMappedChars> SearchChars;  // the table the search texts are in

  // ===================================================================
  // Styles (main_form_styles.cpp)
  // ===================================================================
  void ConnectStyleCommands();
  // Copies EditorProp1 to Memo1, Memo2 and Memo3.
  void AssignStyleToEditors();
  // The style change (the tab set calls it when its tab changes): the
  // style's dictionary, its stored set (a style with none stored keeps the
  // current look), the editors and the gutters. -1 does nothing.
  void TabSet1Change(int index);
  // Selects style tab index; the style changes when the tab does.
  void SelectStyle(int index);
  // The first style whose extension list names the path's extension; no
  // change when none does.
  void SelectStyleByExt(const std::string& path);
  // [EditProp<StyleIndex>] of the settings file into / from EditorProp1.
  void LoadStyle();
  void SaveStyle();
  void StyleOption1Click();
  void ReadStyle1Click();
  void WriteStyle1Click();

  // ===================================================================
  // Recent files and favourites (main_form_recent.cpp)
  // ===================================================================
  void ConnectRecentCommands();
  // Moves path to the top of the recent list (read and written under the
  // settings file's lock), then selects its stored style (or the style of
  // its extension) and puts the caret back where it was stored.
  void RegisterRecent(const std::string& path);
  // After a save under path: the entry takes caret and the current style;
  // the document keeps both.
  void RegisterSavedAs(const std::string& path, std::int64_t caret);
  // Records the caret and style of the document in the recent list.
  void StoreRecentPosition();
  void AddFavoriteFile(const std::string& path);
  void AddFavorite1Click();
  void ClearFavorite1Click();
  void ClearHistory1Click();
  // His0 to His9: recent file n in a new window, unless it is this one.
  void His0Click(int n);
  // The File menu opens: the recent lists re-read, His0-His9 captioned.
  void File1Click();
  void PageControl1Change(int index);
  // Click, double click and right button on any of the three file lists.
  void FIListBoxClick(TFIListBox* list);
  void FIListBoxDblClick(TFIListBox* list);
  void FIListBox1MouseDown();
  // Shows a file in Memo2; folders, FIFOs and devices are not read, a file
  // over kPreviewMaxBytes shows its beginning. Status panel 3 tells which.
  void PreviewFile(const std::string& path);
  // Starts a new process of the program on path; false after telling the
  // user it could not be started.
  bool OpenInNewWindow(const std::string& path);
  // The recent lists as read or written last, shown in FIListBox2.
  void ShowRecentLists(const TRecentLists& lists);

  // ===================================================================
  // Version history (main_form_versions.cpp)
  // ===================================================================
  void ConnectVersionCommands();
  void DeleteVersionFiles();
  void AddHistory1Click();
  void AddVersionFile(const std::string& path);
  void InactDelHist1Click();
  void ActDelHist1Click();
  // The snapshots of this window, shown in FIListBox1.
  TVersionList VersionList;
  // The clock of the snapshots' time stamps; null: the local time.
  std::function<TDateTime()> VersionClock;

  // ===================================================================
  // Cooperation between running instances (main_form_instances.cpp)
  // ===================================================================
  void ConnectInstanceCommands();
  // The bus to the other windows, made at first use; null when the window
  // works alone.
  TInstanceBus* Bus();
  // Starts answering the other windows; when the window is first shown.
  void StartListening();
  // HandOverToWindow on the window's bus, unless the program did so already.
  bool HandOver(const std::string& path, int line, int column, int selLength);
  // What this window tells the others about itself, and how it acts on
  // their commands (the result the sender waits for: 0).
  TPeerInfo InstanceInfo();
  int HandleInstanceCommand(const TBusCommand& command);
  // The system commands: minimise and restore the window, close it through
  // its close query.
  void SysCommand(TBusCommandKind kind);
  // The main windows, this one included, most recently activated first;
  // rebuilt by Window1Click.
  std::vector<TPeerInfo> WindowList;
  int ArrangeCounter = 0;  // ArrangeWin1Click: 0 cascade, 1 above each other, 2 side by side
  void Window1Click();
  void Win0Click(int index);  // Win0 .. Win9
  void Cascade1Click();
  void TileHorizontal1Click();
  void TileVertical1Click();
  void ArrangeWin1Click();
  void AllMinimize1Click();
  void CloseAll1Click();
  void NewWin1Click();
  void NewOpen1Click();
  // Sends a command to a window of WindowList (this one handled at once);
  // false when it did not answer.
  bool SendToWindow(const TPeerInfo& window, const TBusCommand& command);
  std::unique_ptr<TInstanceHandler> bus_handler_;
  std::unique_ptr<TInstanceBus> bus_;  // answers through bus_handler_
  bool bus_made_ = false;
  std::int64_t activated_ms_ = 0;  // when this window was last activated

  // ===================================================================
  // External tools (main_form_tools.cpp)
  // ===================================================================
  void ConnectToolCommands();
  void UpdateToolMenu();
  // The grep tool on the document's folder with the selection as keyword.
  void Tracer1Click();
  // The selection as a file name in the document's folder, opened in a new
  // window when that file exists.
  void ExecuteFile1Click();
  // The selection opened as a URL, mail address or document.
  void Execute1Click();
  // Starts user tool k (1..3) when it has a path.
  void RunTool(int k);
  // Prints the saved document, rows as the editor shows them.
  void MemoPrint1Click();
  // The folder of the program's executable, with a trailing "/".
  std::string ProgramFolder() const;
  // ActiveEditor's selection in the locale's encoding, as other programs
  // and file names expect it.
  std::string SelectionForOutside() const;
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments);

  // ===================================================================
  // Gutters and drawn decorations (main_form_gutters.cpp)
  // ===================================================================
  void ConnectGutterCommands();
  // The three gutter panels: ColWidth of Memo1 x 6 + 8 pixels wide with
  // line numbers on, else 0.
  void SetGutterWidth();
  // Repaints the gutter of Memo1, Memo2 or Memo3 from the editor's current
  // view (when line numbers are on); painted over its whole height.
  void DrawGutter(TEditorWidget* editor);
  void DrawAllGutters();
  // Repaints the three editors, then their gutters.
  void RepaintEditors();
  // The draw-line hook of the three editors: the topic word, tab and
  // full-width space symbols over each painted piece of a row.
  void Memo1DrawLine(TEditor& sender, const TDrawLineInfo& info);
  // Asks for the topic word; cancelling switches the highlighting off.
  void Topic1Click();
  // The picture (Image1, Image2, Image3) and the panel of an editor's gutter.
  QLabel* GutterPicture(const TEditorWidget* editor) const;
  QFrame* GutterPanel(const TEditorWidget* editor) const;
  // Paints the gutter pictures and follows their panels' sizes; gone with
  // the window's members, before its widgets, so no event of a widget being
  // destroyed reaches it.
  std::unique_ptr<QObject> GutterEvents;

  // ===================================================================
  // Input support (main_form_input.cpp)
  // ===================================================================
  void ConnectInputCommands();
  // Loads a style's dictionary file into jvStringGrid1 when it exists; a
  // file that cannot be read leaves the grid as it was and is reported in
  // an error box.
  void LoadDictionary(const std::string& path);
  // Opens or closes the input method of Memo1 (IMEmode).
  void SetImeOpen(bool open);
  // The hint part of a mouse move over an editor (client coordinates).
  void Memo1MouseMove(TEditorWidget* memo, int x, int y);
  void SupportInput1Click();
  void SupportCopy1Click();
  void SupportAddList1Click();
  void SupportViewList1Click();
  // Whether an editor shows a dictionary hint, and its text (tool tip).
  bool HintShown(const TEditorWidget* memo) const;
  QString HintText(const TEditorWidget* memo) const;
  // The texts of the last dictionary entry that had any.
  const std::string& SupportText() const { return Support.Text; }
  int SupportRow() const { return Support.Row; }
  bool SupportValid() const { return Support.Valid; }
  TSupportState Support;
  // The file jvStringGrid1 was last read from; hints need it to be the
  // current style's dictionary.
  std::string DictionaryPath;

  // ===================================================================
  // General settings dialog (main_form_options.cpp)
  // ===================================================================
  // The window's values into the dialog, and back with their effects.
  void LoadSettingsToDialog();
  void TakeSettingsFromDialog();
  // Dictionary, repaint and icon animation after the values changed.
  void ApplyGeneralSettings();

  // ===================================================================
  // Session end (main_form_session.cpp) and recovery snapshots
  // (main_form_recovery.cpp)
  // ===================================================================
  void ConnectSessionCommands();
  // The desktop session is ending. When the session manager lets us ask, a
  // modified document is asked about as a close does; otherwise it is kept
  // in a recovery snapshot. False when the user cancelled (the logout is
  // then cancelled).
  bool SessionEnding(bool interaction_allowed);
  // SIGTERM or SIGHUP: closes the window through the normal close, with a
  // modified document kept in a recovery snapshot instead of a question
  // (asked only when the snapshot cannot be written).
  void CloseForTermination();
  // True when the close query must not ask: the current edits are kept in
  // a snapshot, or the user answered for them as the session ended.
  bool CloseNeedsNoQuestion() const;
  bool CloseUnasked = false;

  // Makes the window's snapshot keeper; at the start of FormCreate.
  void ConnectRecovery();
  // An edit: a snapshot follows within two seconds of a pause in typing,
  // and at least every 30 seconds while typing goes on.
  void ScheduleRecovery();
  // The timer's turn: the snapshot of a modified document is written in
  // the background; an unmodified one's snapshot goes.
  void RecoveryTick();
  // Memo1's text into the window's snapshot now, silently; false when it
  // could not be written.
  bool KeepRecoverySnapshot();
  // Removes the snapshot this window wrote, if any.
  void DropRecoverySnapshot();
  // The document was saved: later snapshots count against its file.
  void RecoverySaved();
  // After path was loaded: later snapshots count against it, and the
  // snapshots other windows left of it are offered, newest first; yes
  // loads one as a modified document, no removes it. During start-up the
  // offer waits for OfferRecoveryAtStart.
  void OfferRecovery(const std::string& path);
  // The end of start-up: the document's snapshots, or at a start without
  // a file the oldest untitled snapshot, are offered.
  void OfferRecoveryAtStart();
  // What a snapshot says of the document besides its text.
  TRecoveryDocument RecoveryDocument() const;
  std::unique_ptr<TRecoveryKeeper> Recovery;
  QTimer* RecoveryTimer = nullptr;
  bool StartingUp = true;             // until OfferRecoveryAtStart
  std::string StartRecoveryDocument;  // loaded during start-up: offered at its end

  // ===================================================================
  // Other encodings (main_form_encoding.cpp)
  // ===================================================================
  void ConnectEncodingCommands();
  // Loads path into Memo1 in encoding, or in ReopenEncoding when set (then
  // cleared), else in the encoding detected; sets TextFormat,
  // LostCharacters and LoadedWhileChanging. Raises as loading a file does.
  void LoadEncodedDocument(const std::string& path, std::optional<TTextEncoding> encoding = std::nullopt);
  // After LoadDocument read a file: a document with characters that could
  // not be shown turns read-only with a warning; the status panel, the
  // watcher.
  void EncodingLoaded();
  // Writes Memo1's rows to path in the document's encoding (Save As: in
  // SaveAsEncoding when set; CP932 for a document with lost characters,
  // after the user agreed to the loss, and never over its own file). False
  // when the user declined; raises when the file cannot be written.
  bool WriteEncodedDocument(const std::string& path, bool wrapped);
  // After Save or Save As: the document is what was written.
  void EncodingSaved();
  // The document has no file any more or its encoding changed: the status
  // panel and the watcher follow.
  void FollowDocumentFile();
  // A new document (or none after a failed load): CP932, a new table of
  // mapped characters, nothing lost, no protection.
  void ForgetEncoding();
  // The protection for lost characters ends; the status panel and the
  // watcher follow the document's file.
  void Unprotect();
  // Before a save in format: see main_form_encoding.cpp.
  bool ChooseFormatForMapped(TTextFormat& format, int& agreed);
  void ReopenWithEncoding(TTextEncoding encoding);
  void SaveAsWithEncoding(TTextEncoding encoding);
  // Makes every line end of the document of kind (the line-end menu): a
  // change to save, which empties the undo list as a wrap switch does.
  void ConvertLineEnds(TLineEnd kind);
  // The format a save to a new name writes.
  TTextFormat SaveFormat() const;
  // The document's table of mapped characters: Memo1 holds it and the
  // split pane Memo3 shares it (the preview Memo2 has one of its own, for
  // the file it shows). Set when the document's text is replaced.
  std::shared_ptr<TMappedChars> DocumentChars() const;
  void SetDocumentChars(std::shared_ptr<TMappedChars> chars);
  // A version snapshot is being written: a document whose encoding cannot
  // hold its mapped characters is written in UTF-8, without a question.
  bool WritingVersion = false;
  QString EncodingStatus() const;  // "UTF-8 LF", "SJIS CRLF 混在"
  TTextFormat TextFormat;          // the document's encoding, kept on save
  int LostCharacters = 0;          // shown as "?", held otherwise by the file
  int OverflowCharacters = 0;      // distinct characters beyond the free codes
  bool EncodingReadOnly = false;   // made read-only to protect its file
  std::optional<TTextEncoding> ReopenEncoding;
  std::optional<TTextEncoding> SaveAsEncoding;
  QLabel* EncodingPanel = nullptr;  // status bar, after the four panels
  bool LoadedWhileChanging = false;  // another program wrote the file as it was read
  TTextFormat WrittenFormat;      // of the last save

  // ===================================================================
  // Changes made by other programs (main_form_watch.cpp)
  // ===================================================================
  // The editing area with the bar that tells of a change on disk above it.
  QWidget* WithChangeBar(QWidget* editing);
  // Watches FileName (nothing for an untitled document) as it is now on
  // disk: changes from here on are told.
  void WatchDocumentFile();
  // Looks at the file again (the watcher's signals come here).
  void CheckDocumentFile();
  // The bar that tells that the file was changed (or deleted).
  void ShowChangeBar(bool exists);
  void ReloadDocumentFile();
  void KeepEditorText();
  QFrame* ChangeBar = nullptr;
  QLabel* ChangeBarText = nullptr;
  TDocumentWatch* DocumentWatch = nullptr;  // a child of the window

  // ===================================================================
  // Environment
  // ===================================================================
  TPrompts& Prompts() const { return *prompts_; }
  const TMainFormEnv& Env() const { return env_; }

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  // Composition (main_form_layout.cpp).
  void BuildComponents();
  void BuildListPanel();
  void BuildEditingArea();
  void BuildStatusBar();
  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  void BuildPopupMenu();
  QFrame* BuildGutter(const char* panel, const char* image, QLabel*& picture);
  void ConnectEditors();
  void ConnectAllCommands();
  // Size of the first start: the default style's wrap width visible.
  QSize FirstStartSize() const;
  // The stored size, and the stored frame position when there is one and
  // it lies on a screen (else the window manager places the window).
  void RestoreBounds(std::optional<QPoint> frame, int width, int height);
  void RegisterRegItems();
  void ReadWindowSettings(const TIniText& ini);
  void ReadValueSettings(const TIniText& ini);
  void ReadListSettings();

  TMainFormEnv env_;
  TPrompts* prompts_ = nullptr;
  std::unique_ptr<TRegMessages> reg_messages_;
  std::unordered_map<std::string, QAction*> actions_;
  std::unordered_map<std::string, std::function<void()>> handlers_;
  std::unordered_map<std::string, QMenu*> submenus_;
  std::array<QMenu*, kMenuCount> menus_{};
  std::array<std::vector<std::function<void()>>, kMenuCount> menu_hooks_;
  std::array<QLabel*, 4> status_panels_{};
  bool menu_open_ = false;  // a menu is showing: its hooks have run
  bool shown_once_ = false;
  bool destroyed_ = false;
  bool jumped_at_start_ = false;
  int hist_panel_height_ = 60;
  int page_tab_width_ = 177;
  QString application_title_;
  TBasicSetupDlg* basic_setup_dlg_ = nullptr;
  TJumpDlg* jump_dlg_ = nullptr;
  THistHeadDlg* hist_head_dlg_ = nullptr;
  TTopicDlg* topic_dlg_ = nullptr;
  TListForm* list_form_ = nullptr;
  // Recovery: the offer of one window's snapshot, and when the first edit
  // not yet in a snapshot was made (0: none).
  bool OfferSnapshot(const std::string& file, const std::string& document);
  // Each puts a snapshot into Memo1 as a modified document; on failure the
  // document is as on disk and the reason is returned (null: restored).
  QString RestoreRecord(const TRecoveryRecord& record);
  QString PrepareRecoveryBase(const TRecoveryRecord& record);
  QString RestoreText(const std::string& snapshot);
  std::shared_ptr<TMappedChars> RestoredChars(const std::string& table);
  void ReloadAfterFailedRestore();
  std::int64_t recovery_first_edit_ms_ = 0;
  // Editing commands.
  bool caret_panel_pending_ = false;
  bool clipboard_has_text_ = false;
  bool enabling_paused_ = false;  // a replace loop runs: the rule runs once after it
};

}  // namespace yk

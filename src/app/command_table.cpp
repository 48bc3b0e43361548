// The tables of the main window's menus, commands, tool bar and context menu.
#include "app/command_table.h"

#include <algorithm>
#include <array>

namespace yk {

namespace {

using enum TMenu;

constexpr std::uint16_t kSep = cfSeparator;
constexpr std::uint16_t kHid = cfHidden;
constexpr std::uint16_t kRun = cfRuntime;
constexpr std::uint16_t kSub = cfSubmenu;
constexpr std::uint16_t kCheck = cfCheckable;
constexpr std::uint16_t kOn = cfCheckable | cfChecked;

constexpr std::array<TMenuInfo, kMenuCount> kMenus{{
    {File, "File1", "ファイル(&F)"},
    {Edit, "Edit1", "編集(&E)"},
    {Search, "Search1", "検索(&S)"},
    {View, "View1", "表示(&V)"},
    {Execute, "Run1", "実行(&X)"},
    {Window, "Window1", "ウィンドウ(&W)"},
    {Help, "Help1", "ヘルプ(&H)"},
    {Popup, "PopupMenu1", ""},
}};

// In menu order. Items of a submenu follow the submenu's own entry.
constexpr TCommandInfo kCommands[] = {
    // File menu
    {"New1", "新規作成(&N)", "Ctrl+N", "新しい文書を作成します。", File, "", 0},
    {"Open1", "開く(&O)...", "Ctrl+O", "既存の文書を開きます。", File, "", 0},
    {"Reopen1", "文字コードを指定して開き直す", "", "", File, "", kSub},
    {"ReopenSjis1", "Shift-JIS (CP932)(&S)", "", "文字コードを指定して、現在の文書を読み込み直します。", File, "Reopen1", 0},
    {"ReopenUtf81", "UTF-8(&U)", "", "文字コードを指定して、現在の文書を読み込み直します。", File, "Reopen1", 0},
    {"ReopenEucJp1", "EUC-JP(&E)", "", "文字コードを指定して、現在の文書を読み込み直します。", File, "Reopen1", 0},
    {"ReopenJis1", "JIS (ISO-2022-JP)(&J)", "", "文字コードを指定して、現在の文書を読み込み直します。", File, "Reopen1", 0},
    {"ReopenUtf16Le1", "UTF-16 LE(&L)", "", "文字コードを指定して、現在の文書を読み込み直します。", File, "Reopen1", 0},
    {"ReopenUtf16Be1", "UTF-16 BE(&B)", "", "文字コードを指定して、現在の文書を読み込み直します。", File, "Reopen1", 0},
    {"Save1", "上書き保存(&S)", "Ctrl+S", "現在の文書を保存します。", File, "", 0},
    {"SaveAs1", "名前を付けて保存(&A)...", "Ctrl+Shift+S", "現在の文書を新しい名前で保存します。", File, "", 0},
    {"SaveEncoding1", "文字コード", "", "", File, "", kSub},
    {"SaveAsSjis1", "Shift-JIS (CP932)(&S)...", "", "文字コードを指定して、現在の文書を新しい名前で保存します。", File, "SaveEncoding1", 0},
    {"SaveAsUtf81", "UTF-8(&U)...", "", "文字コードを指定して、現在の文書を新しい名前で保存します。", File, "SaveEncoding1", 0},
    {"SaveAsEucJp1", "EUC-JP(&E)...", "", "文字コードを指定して、現在の文書を新しい名前で保存します。", File, "SaveEncoding1", 0},
    {"SaveAsJis1", "JIS (ISO-2022-JP)(&J)...", "", "文字コードを指定して、現在の文書を新しい名前で保存します。", File, "SaveEncoding1", 0},
    {"SaveAsUtf16Le1", "UTF-16 LE(&L)...", "", "文字コードを指定して、現在の文書を新しい名前で保存します。", File, "SaveEncoding1", 0},
    {"SaveAsUtf16Be1", "UTF-16 BE(&B)...", "", "文字コードを指定して、現在の文書を新しい名前で保存します。", File, "SaveEncoding1", 0},
    {"LineEnds1", "改行コード", "", "", File, "", kSub},
    {"LineEndCrLf1", "CR+LF(&W)", "", "文書のすべての改行を CR+LF にします。", File, "LineEnds1", kCheck},
    {"LineEndLf1", "LF(&U)", "", "文書のすべての改行を LF にします。", File, "LineEnds1", kCheck},
    {"LineEndCr1", "CR(&M)", "", "文書のすべての改行を CR にします。", File, "LineEnds1", kCheck},
    {"SaveList1", "折り返しを有効にして上書き保存(&M)", "Ctrl+M", "折り返しを有効にした形式で保存します。", File, "", kSep},
    {"SaveAsList1", "折り返しを有効にして保存(&L)...", "", "折り返しを有効にした形式で、新しい名前で保存します。", File, "", 0},
    {"NewWin1", "新しいウィンドウ(&W)...", "Ctrl+Shift+N", "新しくウィンドウを開きます。", File, "", kSep},
    {"NewOpen1", "新しいウィンドウで開く(&I)...", "Ctrl+Shift+O", "新しいウィンドウで文書を開きます。", File, "", 0},
    {"H1", "履歴", "", "", File, "", kSep | kSub},
    {"ClearHistory1", "履歴のクリア(&C)", "", "履歴をクリアします。", File, "H1", 0},
    {"His0", "", "", "", File, "H1", kSep | kRun | kCheck},
    {"His1", "", "", "", File, "H1", kRun | kCheck},
    {"His2", "", "", "", File, "H1", kRun | kCheck},
    {"His3", "", "", "", File, "H1", kRun | kCheck},
    {"His4", "", "", "", File, "H1", kRun | kCheck},
    {"His5", "", "", "", File, "H1", kRun | kCheck},
    {"His6", "", "", "", File, "H1", kRun | kCheck},
    {"His7", "", "", "", File, "H1", kRun | kCheck},
    {"His8", "", "", "", File, "H1", kRun | kCheck},
    {"His9", "", "", "", File, "H1", kRun | kCheck},
    {"MemoPrint1", "メモ帳で印刷(&P)", "Ctrl+P", "保存されている文書を、ファイル名とページ番号を付けて印刷します。", File, "", 0},
    {"N30", "お気に入り", "", "", File, "", kSub},
    {"AddFavorite1", "お気に入りに追加(&A)", "", "現在編集中のファイルをお気に入りに追加します。", File, "N30", 0},
    {"ClearFavorite1", "お気に入りをクリア(&C)", "", "お気に入りリストをクリアします。", File, "N30", 0},
    {"AddHistory1", "版管理リストに追加(&H)", "Ctrl+L", "版管理リストに追加します。", File, "", kSep},
    {"InactDelHist1", "版管理ファイルを削除して終了", "",
     "版管理ファイル削除設定にかかわらず、履歴ファイルを削除して終了します。", File, "", 0},
    {"ActDelHist1", "版管理ファイルを削除しないで終了", "",
     "版管理ファイル削除設定にかかわらず、履歴ファイルを削除しないで終了します。", File, "", 0},
    {"SaveAndExit1", "保存して終了(&E)", "Ctrl+E", "文書を保存して終了します。", File, "", kSep},
    {"CloseAll1", "全てのYomikakiを終了", "", "全てのウィンドウを閉じます。", File, "", 0},
    {"Exit1", "終了(&X)", "Ctrl+Q", "文書の保存を確認し、アプリケーションを終了します。", File, "", 0},

    // Edit menu
    {"Undo1", "元に戻す(&U)", "Ctrl+Z", "直前に行った操作を取り消します。", Edit, "", 0},
    {"Redo1", "やり直す(&R)", "Ctrl+Y", "直前に行った操作をやり直します。", Edit, "", 0},
    {"Cut1", "切り取り(&T)", "Ctrl+X", "選択範囲を切り取ってクリップボードに移動します。", Edit, "", kSep},
    {"Copy1", "コピー(&C)", "Ctrl+C", "選択範囲をクリップボードにコピーします。", Edit, "", 0},
    {"Paste1", "貼り付け(&P)", "Ctrl+V", "クリップボードの内容を挿入します。", Edit, "", 0},
    {"Delete1", "削除(&L)", "", "選択範囲を削除します。", Edit, "", 0},
    {"SelectAll1", "すべて選択(&A)", "Ctrl+A", "文書全体を選択します。", Edit, "", kSep},
    {"DateTime1", "日付と時刻(&D)", "", "今日の日付と現在の時刻を挿入します。", Edit, "", 0},
    {"OverWrite1", "上書き(&O)", "Ins", "上書きモードと挿入モードを切り替えます。", Edit, "", kCheck},
    {"Convert1", "変換(&V)", "", "選択されている文字列を変換します。", Edit, "", kSep | kSub},
    {"Upper1", "大文字に変換(&U)", "Ctrl+U", "", Edit, "Convert1", 0},
    {"Lower1", "小文字に変換(&L)", "Ctrl+Shift+U", "", Edit, "Convert1", 0},
    {"Han1", "半角に変換(&H)", "Ctrl+H", "", Edit, "Convert1", 0},
    {"Zen1", "全角に変換(&Z)", "Ctrl+Shift+H", "", Edit, "Convert1", 0},
    {"SupportInput1", "入力支援", "Ctrl+Shift+V", "", Edit, "", kHid},
    {"SupportCopy1", "コピー支援", "Ctrl+Shift+C", "", Edit, "", kHid},
    {"SupportAddList1", "リスト追加", "Ctrl+Shift+A", "", Edit, "", kHid},
    {"SupportViewList1", "リスト表示", "Ctrl+Shift+L", "", Edit, "", kHid},

    // Search menu
    {"Find1", "検索(&F)...", "Ctrl+F", "指定した文字列で検索します。", Search, "", 0},
    {"FindNext1", "次を検索(&N)", "F3", "次を検索します。", Search, "", 0},
    {"FindPrev1", "前を検索(&P)", "Shift+F3", "前を検索します。", Search, "", 0},
    {"Replace1", "置換(&R)...", "Ctrl+R", "指定した文字列を、他の文字列に置き換えます。", Search, "", 0},
    {"SetMark1", "マークをつける(&M)", "", "現在カーソルのある行にマークをつけます。", Search, "", kSep},
    {"ClearMark1", "全マークを解除(&C)", "", "全てのマークを解除します。", Search, "", 0},
    {"NextMark1", "次のマーク(&G)", "", "次のマークへジャンプします。", Search, "", 0},
    {"PrevMark1", "前のマーク(&B)", "", "前のマークへジャンプします。", Search, "", 0},
    {"Jump1", "行ジャンプ(&J)...", "Ctrl+J", "指定行へジャンプします。", Search, "", kSep},
    {"PuncJump1", "対応する括弧へジャンプ(&K)", "Ctrl+K", "対応する括弧へジャンプします。", Search, "", 0},

    // View menu
    {"HistView1", "版管理、履歴リストの表示(&H)", "Ctrl+W", "版管理、履歴リストの表示、非表示を切り替えます。", View, "", kOn},
    {"Tool1", "ツールバーの表示(&T)", "", "ツールバーの表示、非表示を切り替えます。", View, "", kOn},
    {"StyleTab1", "スタイルタブの表示(&Y)", "", "スタイルタブの表示、非表示を切り替えます。", View, "", kOn},
    {"Status1", "ステータスバーの表示(&S)", "", "ステータスバーの表示、非表示を切り替えます。", View, "", kOn},
    {"ViewLine1", "行番号の表示(&L)", "", "行番号の表示、非表示を切り替えます。", View, "", kCheck},
    {"Wrap1", "指定文字数で折り返す(&W)", "", "", View, "", kOn},
    {"Font1", "フォント(&F)...", "", "一時的にフォントを変更します。", View, "", 0},
    {"Topic1", "トピック設定(&K)...", "Ctrl+T", "一時的に指定キーワードを強調表示します。", View, "", kSep},
    {"GeneralOption1", "共通の設定(&G)...", "", "各スタイル共通の設定を行います。", View, "", kSep},
    {"StyleOption1", "現在のスタイルの設定(&C)...", "", "現在のスタイルでの設定を行います。", View, "", 0},
    {"ReadStyle1", "スタイルの読み込み(&R)...", "", "スタイルをファイルから読み込みます。", View, "", kSep},
    {"WriteStyle1", "スタイルの書き込み(&W)...", "", "現在のスタイルをファイルに書き込みます。", View, "", 0},

    // Execute menu
    {"Tracer1", "Tracer起動(&G)", "Ctrl+G", "Tracerを起動します。", Execute, "", 0},
    {"ExecuteFile1", "選択文字列をファイルとして起動(&F)", "F10",
     "現在選択されている文字列をテキストファイルとして起動します。", Execute, "", cfDisabled},
    {"Execute1", "選択文字列で起動(&E)", "", "現在選択されている文字列で関連アプリケーションを起動します。", Execute, "",
     cfDisabled},
    {"ToolFile1", "", "", "", Execute, "", kSep | kRun},
    {"ToolFile2", "", "", "", Execute, "", kRun},
    {"ToolFile3", "", "", "", Execute, "", kRun},

    // Window menu
    {"Split1", "２分割(&S)", "", "エディタ部を２分割します。", Window, "", kCheck},
    {"Cascade1", "重ねて表示(&C)", "", "ウィンドウを重ねて表示します。", Window, "", kSep},
    {"TileHorizontal1", "上下に並べて表示(&H)", "", "ウィンドウを上下に並べて表示します。", Window, "", 0},
    {"TileVertical1", "左右に並べて表示(&V)", "", "ウィンドウを左右に並べて表示します。", Window, "", 0},
    {"ArrangeWin1", "ウィンドウ表示", "F4", "", Window, "", kHid},
    {"AllMinimize1", "全て最小化(&M)", "", "全てのウィンドウを最小化します。", Window, "", 0},
    {"Win0", "", "", "", Window, "", kSep | kRun | kCheck},
    {"Win1", "", "F2", "", Window, "", kRun | kCheck},
    {"Win2", "", "", "", Window, "", kRun | kCheck},
    {"Win3", "", "", "", Window, "", kRun | kCheck},
    {"Win4", "", "", "", Window, "", kRun | kCheck},
    {"Win5", "", "", "", Window, "", kRun | kCheck},
    {"Win6", "", "", "", Window, "", kRun | kCheck},
    {"Win7", "", "", "", Window, "", kRun | kCheck},
    {"Win8", "", "", "", Window, "", kRun | kCheck},
    {"Win9", "", "", "", Window, "", kRun | kCheck},

    // Help menu
    {"About1", "バージョン情報(&A)...", "", "プログラム情報、バージョン、著作権を表示します。", Help, "", 0},
};

constexpr TToolButtonInfo kToolBar[] = {
    {"New1", "", "document-new", false},
    {"Open1", "", "document-open", false},
    {"Save1", "", "document-save", false},
    {"SaveList1", "折り返して上書き保存", "document-save-as", false},
    {"AddHistory1", "版管理リストへ追加", "document-properties", true},
    {"-", "", "", false},
    {"Cut1", "", "edit-cut", false},
    {"Copy1", "", "edit-copy", false},
    {"Paste1", "", "edit-paste", false},
    {"-", "", "", false},
    {"Undo1", "", "edit-undo", false},
    {"Redo1", "", "edit-redo", false},
    {"-", "", "", false},
    {"Find1", "", "edit-find", false},
    {"ComboBox1", "", "", false},
    {"FindPrev1", "", "go-up", false},
    {"FindNext1", "", "go-down", false},
    {"-", "", "", false},
    {"SetMark1", "", "bookmark-new", false},
    {"PrevMark1", "", "go-previous", false},
    {"NextMark1", "", "go-next", false},
    {"-", "", "", false},
    {"StyleOption1", "スタイルの設定", "preferences-desktop-font", false},
};

constexpr TPopupItemInfo kPopup[] = {
    {"Undo1", ""},       {"Redo1", ""},         {"-", ""},       {"Cut1", ""},
    {"Copy1", ""},       {"Paste1", ""},        {"Delete1", ""}, {"-", ""},
    {"SelectAll1", "全て選択(&A)"},              {"-", ""},       {"ExecuteFile1", ""},
    {"Execute1", ""},    {"Tracer1", ""},       {"-", ""},       {"Convert1", ""},
};

}  // namespace

std::span<const TMenuInfo> MenuTable() { return kMenus; }
std::span<const TCommandInfo> CommandTable() { return kCommands; }
std::span<const TToolButtonInfo> ToolBarTable() { return kToolBar; }
std::span<const TPopupItemInfo> PopupMenuTable() { return kPopup; }

const TCommandInfo* FindCommand(std::string_view name) {
  const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                               [name](const TCommandInfo& c) { return name == c.name; });
  return it == std::end(kCommands) ? nullptr : &*it;
}

const TMenuInfo& MenuInfo(TMenu menu) { return kMenus[static_cast<std::size_t>(menu)]; }

std::string_view PlainCaption(std::string_view caption) {
  if (caption.ends_with("...")) caption.remove_suffix(3);
  // An access key written as "(&X)" at the end.
  if (caption.size() >= 4 && caption.ends_with(')') && caption[caption.size() - 4] == '(' &&
      caption[caption.size() - 3] == '&') {
    caption.remove_suffix(4);
  }
  return caption;
}

}  // namespace yk

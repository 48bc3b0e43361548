// The main window's composition: the list panel, the editing area, the style
// tabs, the status bar, and the actions, menus, tool bar and context menu
// made from the command tables.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "app/main_form.h"
#include "controls/cute_splitter.h"
#include "controls/fi_list_box.h"
#include "controls/history_box.h"
#include "qt/editor_widget.h"

namespace yk {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QFrame* NewFrame(QWidget* parent, const char* name) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QString::fromLatin1(name));
  return frame;
}

QHBoxLayout* Row(QWidget* owner) {
  auto* layout = new QHBoxLayout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

TEditorWidget* NewEditor(QWidget* parent, const char* name) {
  auto* editor = new TEditorWidget(parent);
  editor->setObjectName(QString::fromLatin1(name));
  return editor;
}

// The version, recent and favourite lists show file names with their
// extensions and an icon also for files that are gone.
TFIListBox* NewFileList(const char* name) {
  auto* list = new TFIListBox;
  list->setObjectName(QString::fromLatin1(name));
  list->SetShowFullPath(false);
  list->SetShowUnexistFileIcon(true);
  return list;
}

TCuteSplitter* NewSplitter(Qt::Orientation orientation, const char* name, int min_size, TCuteBandType band) {
  auto* splitter = new TCuteSplitter(orientation);
  splitter->setObjectName(QString::fromLatin1(name));
  splitter->setChildrenCollapsible(false);
  splitter->SetMinSize(min_size);
  splitter->SetBandType(band);
  return splitter;
}

// A theme icon, or one of the style's own for the commands it has one for,
// or none (the button then shows its text).
QIcon ToolIcon(const char* theme, QStyle* style) {
  if (*theme == 0) return {};
  QIcon icon = QIcon::fromTheme(QString::fromLatin1(theme));
  if (!icon.isNull()) return icon;
  const std::string_view name(theme);
  if (name == "document-new") return style->standardIcon(QStyle::SP_FileIcon);
  if (name == "document-open") return style->standardIcon(QStyle::SP_DialogOpenButton);
  if (name == "document-save") return style->standardIcon(QStyle::SP_DialogSaveButton);
  return {};
}

}  // namespace

void TMainForm::BuildComponents() {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Yomikaki"));
  setWindowIcon(StillIcon());
  resize(582, 300);
  BuildStatusBar();
  BuildListPanel();
  BuildEditingArea();

  Splitter1 = NewSplitter(Qt::Vertical, "Splitter1", 20, cbtNetscape);
  Splitter1->addWidget(Panel1);
  Splitter1->addWidget(Splitter2);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({hist_panel_height_, 1000});

  TabSet1 = new QTabBar;
  TabSet1->setObjectName(QStringLiteral("TabSet1"));
  TabSet1->setShape(QTabBar::RoundedSouth);
  TabSet1->setExpanding(false);
  TabSet1->setFocusPolicy(Qt::NoFocus);
  for (int i = 0; i < kStyleCount; ++i) TabSet1->addTab(QString());

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientPanel"));
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(Splitter1, 1);
  column->addWidget(TabSet1, 0, Qt::AlignLeft);
  setCentralWidget(client);

  AnimeTimer1 = new QTimer(this);
  AnimeTimer1->setObjectName(QStringLiteral("AnimeTimer1"));
  AnimeTimer1->setInterval(500);

  BuildActions();
  BuildMenus();
  BuildToolBar();
  BuildPopupMenu();
}

QFrame* TMainForm::BuildGutter(const char* panel, const char* image, QLabel*& picture) {
  QFrame* gutter = NewFrame(nullptr, panel);
  gutter->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  gutter->setFixedWidth(0);  // line numbers off
  picture = new QLabel(gutter);
  picture->setObjectName(QString::fromLatin1(image));
  picture->setGeometry(2, 2, 200, 1024);
  return gutter;
}

void TMainForm::BuildListPanel() {
  Panel1 = NewFrame(nullptr, "Panel1");
  Panel1->setMinimumSize(80, 20);
  PageControl1 = new QTabWidget;
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setMinimumWidth(80);
  PageControl1->setDocumentMode(true);
  FIListBox1 = NewFileList("FIListBox1");
  FIListBox2 = NewFileList("FIListBox2");
  FIListBox3 = NewFileList("FIListBox3");
  PageControl1->addTab(FIListBox1, Utf8("版管理"));
  PageControl1->addTab(FIListBox2, Utf8("履歴"));
  PageControl1->addTab(FIListBox3, Utf8("お気に入り"));
  PageControl1->setCurrentIndex(2);
  // The list tabs' first width shows all three tabs, whatever the font.
  page_tab_width_ = std::max(page_tab_width_, PageControl1->tabBar()->sizeHint().width() + 8);

  auto* preview = NewFrame(nullptr, "PreviewPanel");
  QHBoxLayout* row = Row(preview);
  Panel4 = BuildGutter("Panel4", "Image2", Image2);
  Memo2 = NewEditor(preview, "Memo2");
  Memo2->setAccessibleName(Utf8("プレビュー"));
  Memo2->Editor().SetReadOnly(true);
  row->addWidget(Panel4);
  row->addWidget(Memo2, 1);

  CuteSplitter1 = NewSplitter(Qt::Horizontal, "CuteSplitter1", 80, cbtNetscape);
  CuteSplitter1->SetBandWidth(50);
  CuteSplitter1->addWidget(PageControl1);
  CuteSplitter1->addWidget(preview);
  CuteSplitter1->setStretchFactor(0, 0);
  CuteSplitter1->setStretchFactor(1, 1);
  CuteSplitter1->setSizes({page_tab_width_, 1000});
  Row(Panel1)->addWidget(CuteSplitter1);
}

void TMainForm::BuildEditingArea() {
  SplitPanel = NewFrame(nullptr, "SplitPanel");
  Panel5 = BuildGutter("Panel5", "Image3", Image3);
  Memo3 = NewEditor(SplitPanel, "Memo3");
  Memo3->setAccessibleName(Utf8("文書 (上)"));
  QHBoxLayout* upper = Row(SplitPanel);
  upper->addWidget(Panel5);
  upper->addWidget(Memo3, 1);
  SplitPanel->hide();

  auto* lower = NewFrame(nullptr, "EditPanel");
  Panel3 = BuildGutter("Panel3", "Image1", Image1);
  Memo1 = NewEditor(lower, "Memo1");
  Memo1->setAccessibleName(Utf8("文書"));
  QHBoxLayout* row = Row(lower);
  row->addWidget(Panel3);
  row->addWidget(Memo1, 1);

  Splitter2 = NewSplitter(Qt::Vertical, "Splitter2", 20, cbtNormal);
  Splitter2->addWidget(SplitPanel);
  Splitter2->addWidget(WithChangeBar(lower));
  Splitter2->setStretchFactor(0, 0);
  Splitter2->setStretchFactor(1, 1);
  ActiveEditor = Memo1;
}

void TMainForm::BuildStatusBar() {
  StatusBar = new QStatusBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  setStatusBar(StatusBar);
  // The panels' widths must not set the window's smallest width: tiled
  // side by side on a small screen the bar clips its panels instead.
  StatusBar->setMinimumWidth(1);
  struct Panel {
    int width;
    Qt::Alignment align;
  };
  static constexpr Panel kPanels[4] = {
      {150, Qt::AlignRight}, {35, Qt::AlignHCenter}, {35, Qt::AlignHCenter}, {50, Qt::AlignLeft}};
  for (int i = 0; i < 4; ++i) {
    auto* label = new QLabel(StatusBar);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    label->setAlignment(kPanels[i].align | Qt::AlignVCenter);
    if (i < 3) label->setFixedWidth(kPanels[i].width);
    else label->setMinimumWidth(kPanels[i].width);
    StatusBar->addWidget(label, i == 3 ? 1 : 0);
    status_panels_[static_cast<std::size_t>(i)] = label;
  }
  SetStatusText(1, Utf8("挿入"));
}

void TMainForm::BuildActions() {
  for (const TCommandInfo& c : CommandTable()) {
    const QString name = QString::fromLatin1(c.name);
    QAction* action = nullptr;
    if (c.flags & cfSubmenu) {
      auto* menu = new QMenu(Utf8(c.caption), this);
      menu->setObjectName(name);
      submenus_[c.name] = menu;
      action = menu->menuAction();
    } else {
      action = new QAction(Utf8(c.caption), this);
      if (*c.key) action->setShortcut(QKeySequence(QString::fromLatin1(c.key), QKeySequence::PortableText));
      action->setCheckable(c.flags & cfCheckable);
      action->setChecked(c.flags & cfChecked);
      action->setEnabled(false);  // until a handler is bound
      const std::string command = c.name;
      connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
      // On the window itself, so that the keys of hidden items work too.
      addAction(action);
    }
    action->setObjectName(name);
    action->setStatusTip(Utf8(c.hint));
    action->setVisible(!(c.flags & cfRuntime));
    actions_[c.name] = action;
  }
}

void TMainForm::BuildMenus() {
  for (const TMenuInfo& m : MenuTable()) {
    if (m.menu == TMenu::Popup) continue;
    QMenu* menu = menuBar()->addMenu(Utf8(m.caption));
    menu->setObjectName(QString::fromLatin1(m.name));
    menus_[static_cast<std::size_t>(m.menu)] = menu;
    const TMenu id = m.menu;
    connect(menu, &QMenu::aboutToShow, this, [this, id] {
      menu_open_ = true;
      RunMenuHooks(id);
    });
    // A command chosen from the menu runs right after the menu hides.
    connect(menu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, [this] { menu_open_ = false; }); });
  }
  for (const TCommandInfo& c : CommandTable()) {
    if (c.flags & cfHidden) continue;
    QMenu* into = *c.parent ? submenus_.at(c.parent) : Menu(c.menu);
    if (c.flags & cfSeparator) into->addSeparator();
    if (c.flags & cfSubmenu) into->addMenu(submenus_.at(c.name));
    else into->addAction(actions_.at(c.name));
  }
}

void TMainForm::BuildToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->toggleViewAction()->setVisible(false);
  for (const TToolButtonInfo& b : ToolBarTable()) {
    const std::string_view command = b.command;
    if (command == "-") {
      ToolBar1->addSeparator();
    } else if (command == "ComboBox1") {
      ComboBox1 = new QComboBox(ToolBar1);
      ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
      MakeHistoryBox(ComboBox1);
      ComboBox1->setFixedWidth(113);
      ToolBar1->addWidget(ComboBox1);
    } else {
      QAction* action = Action(command);
      const std::string_view plain = PlainCaption(FindCommand(command)->caption);
      const QString text = *b.text ? Utf8(b.text)
                                   : QString::fromUtf8(plain.data(), static_cast<qsizetype>(plain.size()));
      action->setIconText(text);
      action->setToolTip(text);
      action->setIcon(ToolIcon(b.icon, style()));
      if (!b.hidden) ToolBar1->addAction(action);
    }
  }
}

void TMainForm::BuildPopupMenu() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  connect(PopupMenu1, &QMenu::aboutToShow, this, [this] {
    menu_open_ = true;
    RunMenuHooks(TMenu::Popup);
  });
  connect(PopupMenu1, &QMenu::aboutToHide, this,
          [this] { QTimer::singleShot(0, this, [this] { menu_open_ = false; }); });
  for (const TPopupItemInfo& p : PopupMenuTable()) {
    const std::string command = p.command;
    if (command == "-") {
      PopupMenu1->addSeparator();
    } else if (submenus_.count(command)) {
      PopupMenu1->addMenu(submenus_.at(command));
    } else if (!*p.caption) {
      PopupMenu1->addAction(Action(command));
    } else {
      // A twin with a caption of its own: runs the command and follows its
      // enabled state. The key is shown only; the command's action owns it.
      QAction* main = Action(command);
      auto* twin = new QAction(Utf8(p.caption) + QLatin1Char('\t') + main->shortcut().toString(QKeySequence::NativeText),
                               PopupMenu1);
      twin->setObjectName(QString::fromStdString(command.substr(0, command.size() - 1) + "2"));
      twin->setStatusTip(main->statusTip());
      twin->setEnabled(main->isEnabled());
      connect(main, &QAction::changed, twin, [main, twin] { twin->setEnabled(main->isEnabled()); });
      connect(twin, &QAction::triggered, this, [this, command] { RunCommand(command); });
      PopupMenu1->addAction(twin);
    }
  }
}

}  // namespace yk

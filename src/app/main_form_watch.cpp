// Changes made to the document's file by other programs: a watcher on the
// file and its folder, and the bar above the editor that tells of a change
// and offers to reload the file or to keep the editor's text.
#include <QFile>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "shell/document_file.h"

namespace yk {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class TDocumentWatch final : public QObject {
 public:
  explicit TDocumentWatch(QObject* parent) : QObject(parent) {
    // A save writes, renames and touches the folder at once: one look after
    // the burst.
    settle.setSingleShot(true);
    settle.setInterval(50);
  }

  // Watches the file and its folder (where a deleted file comes back). A
  // file replaced by another is watched anew: the watch stays on the old
  // one for as long as anybody (the editor's own mapping of a large file,
  // a viewer) still holds it open. Returns the file as it is now.
  TFileStamp Arm() {
    if (path.empty()) return {};
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const QString folder = QFile::decodeName(QByteArray::fromStdString(FolderPart(path)));
    const TFileStamp now = StampOfFile(path);
    const bool replaced = now.dev != watched.dev || now.ino != watched.ino;
    if (watcher.files().contains(file) && replaced) watcher.removePath(file);
    if (!watcher.files().contains(file) && now.exists && watcher.addPath(file)) watched = now;
    if (!folder.isEmpty() && !watcher.directories().contains(folder)) watcher.addPath(folder);
    return now;
  }

  void Disarm() {
    const QStringList watched = watcher.files() + watcher.directories();
    if (!watched.isEmpty()) watcher.removePaths(watched);
    settle.stop();
  }

  QFileSystemWatcher watcher;
  QTimer settle;
  std::string path;  // the document's file; empty: none
  TFileStamp stamp;  // the file as the editor knows it
  TFileStamp watched;  // the file the watch is on
};

QWidget* TMainForm::WithChangeBar(QWidget* editing) {
  DocumentWatch = new TDocumentWatch(this);
  auto* area = new QWidget;
  area->setObjectName(QStringLiteral("EditArea"));
  auto* column = new QVBoxLayout(area);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  ChangeBar = new QFrame;
  ChangeBar->setObjectName(QStringLiteral("ChangeBar"));
  ChangeBar->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
  ChangeBar->setAutoFillBackground(true);
  QPalette palette = ChangeBar->palette();
  palette.setColor(QPalette::Window, QColor(255, 244, 200));
  palette.setColor(QPalette::WindowText, Qt::black);
  ChangeBar->setPalette(palette);
  auto* row = new QHBoxLayout(ChangeBar);
  row->setContentsMargins(6, 2, 6, 2);
  ChangeBarText = new QLabel;
  ChangeBarText->setObjectName(QStringLiteral("ChangeBarText"));
  auto* reload = new QPushButton(Utf8("再読み込み"));
  reload->setObjectName(QStringLiteral("ReloadButton"));
  auto* keep = new QPushButton(Utf8("このまま編集を続ける"));
  keep->setObjectName(QStringLiteral("KeepButton"));
  for (QPushButton* button : {reload, keep}) button->setFocusPolicy(Qt::TabFocus);  // typing goes on in the editor
  row->addWidget(ChangeBarText, 1);
  row->addWidget(reload);
  row->addWidget(keep);
  ChangeBar->hide();

  column->addWidget(ChangeBar);
  column->addWidget(editing, 1);
  connect(reload, &QPushButton::clicked, this, [this] { ReloadDocumentFile(); });
  connect(keep, &QPushButton::clicked, this, [this] { KeepEditorText(); });
  TDocumentWatch* watch = DocumentWatch;
  connect(&watch->watcher, &QFileSystemWatcher::fileChanged, this, [watch] { watch->settle.start(); });
  connect(&watch->watcher, &QFileSystemWatcher::directoryChanged, this, [watch] { watch->settle.start(); });
  connect(&watch->settle, &QTimer::timeout, this, [this] { CheckDocumentFile(); });
  return area;
}

void TMainForm::WatchDocumentFile() {
  if (!DocumentWatch) return;
  TDocumentWatch& w = *DocumentWatch;
  w.Disarm();
  ChangeBar->hide();
  w.path = FileName.empty() || FileName == kUntitled ? std::string() : FileName;
  w.stamp = w.Arm();
}

void TMainForm::CheckDocumentFile() {
  TDocumentWatch& w = *DocumentWatch;
  if (w.path.empty()) return;
  const TFileStamp now = w.Arm();
  if (now.Untouched(w.stamp)) return;
  ShowChangeBar(now.exists);
}

void TMainForm::ShowChangeBar(bool exists) {
  if (!DocumentWatch || !ChangeBar) return;
  const QString name = DisplayPath(FileNamePart(DocumentWatch->path));
  ChangeBarText->setText(exists ? Utf8("ファイル %1 が他のプログラムによって変更されました。").arg(name)
                                : Utf8("ファイル %1 が他のプログラムによって削除されました。").arg(name));
  ChangeBar->findChild<QPushButton*>(QStringLiteral("ReloadButton"))->setEnabled(exists);
  ChangeBar->show();
}

void TMainForm::ReloadDocumentFile() {
  TEditor& ed = Memo1->Editor();
  const bool modified = ed.Modified();
  if (modified) {
    const QString text = Utf8("ファイル %1 の内容が変更されています。\r変更を破棄して、ファイルを読み込み直しますか?")
                             .arg(DisplayPath(FileNamePart(FileName)));
    const unsigned buttons = AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No);
    if (Prompts().Question(this, Utf8(kConfirmCaption), text, buttons) != TDialogAnswer::Yes) return;
  }
  const int row = ed.Row(), col = ed.Col();
  if (!LoadDocument(FileName) || modified) return;
  ed.SetRow(row);
  ed.SetCol(col);
  ed.ScrollCaret();
}

void TMainForm::KeepEditorText() {
  TDocumentWatch& w = *DocumentWatch;
  w.stamp = StampOfFile(w.path);
  ChangeBar->hide();
  // The file no longer holds the editor's text: closing asks to save it,
  // rather than dropping text that may now exist nowhere else.
  Memo1->Editor().SetModified(true);
  SetModifiedMark(true);
  ScheduleRecovery();  // and it is kept against a crash like any edit
}

}  // namespace yk

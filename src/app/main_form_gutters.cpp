// The line-number gutters and the decorations drawn on the editors.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>

#include <algorithm>

#include "app/gutter_painter.h"
#include "app/line_decorations.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "app/topic_dlg.h"
#include "qt/editor_widget.h"
#include "qt/qt_surface.h"

namespace yk {

namespace {

// Marks are kept by the editing commands; asked through IsMarkedRow where
// the window or the mark list offers it, else from the plain row list.
template <typename TForm>
bool RowMarked(TForm& form, int row) {
  if constexpr (requires { form.IsMarkedRow(row); })
    return form.IsMarkedRow(row);
  else if constexpr (requires { form.Marks.IsMarkedRow(row); })
    return form.Marks.IsMarkedRow(row);
  else
    return form.MarkIndex != -1 && std::find(form.Marks.begin(), form.Marks.end(), row) != form.Marks.end();
}

TGutterOptions GutterOptionsFor(TMainForm& form, const TEditorWidget* memo) {
  TGutterOptions options;
  options.logical = form.Settings.logicalLineNumbers;
  // The preview shows another file: the document's marks are not its own.
  if (memo != form.Memo2) options.isMarked = [&form](int row) { return RowMarked(form, row); };
  return options;
}

// Paints the gutter pictures when Qt asks for them, sizes each picture to
// its panel, and repaints a gutter when its editor changes size. Painting
// on demand coalesces the many requests of an edit or a scroll into one
// paint per frame.
class TGutterEvents final : public QObject {
 public:
  explicit TGutterEvents(TMainForm& form) : form_(form) {}

  bool eventFilter(QObject* watched, QEvent* e) override {
    for (TEditorWidget* memo : {form_.Memo1, form_.Memo2, form_.Memo3}) {
      QLabel* picture = form_.GutterPicture(memo);
      QFrame* panel = form_.GutterPanel(memo);
      if (watched == picture && e->type() == QEvent::Paint) {
        Paint(memo, picture);
        return true;
      }
      if (watched == panel && e->type() == QEvent::Resize) picture->setGeometry(panel->contentsRect());
      if (watched == memo && e->type() == QEvent::Resize) form_.DrawGutter(memo);
    }
    return false;
  }

 private:
  void Paint(TEditorWidget* memo, QLabel* picture) {
    if (!form_.LineNumber || form_.HandedOver) return;
    QPainter painter(picture);
    TQtSurface surface(painter, memo->PaintFont(), memo->palette());
    PaintGutter(surface, memo->Editor(), {0, 0, picture->width(), picture->height()}, GutterOptionsFor(form_, memo));
  }

  TMainForm& form_;
};

}  // namespace

// Binds the handlers of these commands by name and hooks the gutters to
// their editors.
void TMainForm::ConnectGutterCommands() {
  Bind("Topic1", &TMainForm::Topic1Click);
  GutterEvents = std::make_unique<TGutterEvents>(*this);
  QObject* events = GutterEvents.get();
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) {
    QFrame* panel = GutterPanel(memo);
    panel->setLineWidth(2);  // a lowered double bevel
    GutterPicture(memo)->setGeometry(panel->contentsRect());
    GutterPicture(memo)->installEventFilter(events);
    panel->installEventFilter(events);
    memo->installEventFilter(events);
    TEditor& ed = memo->Editor();
    ed.OnDrawLine = [this](TEditor& sender, const TDrawLineInfo& info) { Memo1DrawLine(sender, info); };
    ed.OnTopRowChange = [this, chained = std::move(ed.OnTopRowChange)](TEditor& sender) {
      if (chained) chained(sender);
      DrawAllGutters();
    };
  }
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) DrawAllGutters();
  });
}

QLabel* TMainForm::GutterPicture(const TEditorWidget* editor) const {
  if (editor == Memo1) return Image1;
  if (editor == Memo2) return Image2;
  if (editor == Memo3) return Image3;
  return nullptr;
}

QFrame* TMainForm::GutterPanel(const TEditorWidget* editor) const {
  if (editor == Memo1) return Panel3;
  if (editor == Memo2) return Panel4;
  if (editor == Memo3) return Panel5;
  return nullptr;
}

void TMainForm::SetGutterWidth() {
  const int width = LineNumber ? Memo1->Editor().ColWidth() * 6 + 8 : 0;
  for (QFrame* panel : {Panel3, Panel4, Panel5}) panel->setFixedWidth(width);
}

void TMainForm::DrawGutter(TEditorWidget* editor) {
  if (!LineNumber || HandedOver) return;
  if (QLabel* picture = GutterPicture(editor)) picture->update();
}

void TMainForm::DrawAllGutters() {
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) DrawGutter(memo);
}

void TMainForm::RepaintEditors() {
  for (TEditorWidget* memo : {Memo1, Memo2, Memo3}) memo->viewport()->update();
  DrawAllGutters();
}

void TMainForm::Memo1DrawLine(TEditor& sender, const TDrawLineInfo& info) {
  TSurface* canvas = sender.Canvas();
  if (!canvas) return;
  static const std::vector<std::string> kNoTopics;
  DrawLineDecorations(*canvas, sender, info, TopicWord.empty() ? kNoTopics : TopicList, Settings.tabMark,
                      Settings.spaceMark);
}

void TMainForm::Topic1Click() {
  TTopicDlg& dialog = TopicDlg();
  TopicWord = Prompts().ExecDialog(dialog) == QDialog::Accepted ? dialog.Topic() : std::string();
  TopicList = {TopicWord};
  RepaintEditors();
}

}  // namespace yk

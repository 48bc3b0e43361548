// Printing the saved document: the print dialog, then the editor's rows as
// it shows them, in its font, page after page.
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "shell/tools.h"

namespace yk {

namespace {

// The screen's font at the printer: a pixel size means pixels of a screen
// of 96 dots per inch, which the printer's resolution would shrink.
QFont PrinterFont(QFont font) {
  if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
  return font;
}

// Paints every row of ed onto printer; false when the printer failed.
bool PrintRows(QPrinter& printer, TEditor& ed, const QFont& screenFont, const TMappedChars* chars) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setFont(PrinterFont(screenFont));
  const QFontMetrics metrics = painter.fontMetrics();
  const int pitch = std::max(1, metrics.lineSpacing());
  const int height = painter.viewport().height();
  int y = 0;
  for (int row = 0; row < ed.RowCount(); ++row) {
    if (y > 0 && y + pitch > height) {
      if (!printer.newPage()) return false;
      y = 0;
    }
    painter.drawText(0, y + metrics.ascent(), ToQString(ed.ExpandTabs(ed.RowText(row)), chars));
    y += pitch;
  }
  return painter.end();
}

}  // namespace

void TMainForm::MemoPrint1Click() {
  if (!CanPrintDocument(Memo1->Editor().Modified(), FileName)) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(DisplayPath(FileNamePart(FileName)));
  QPrintDialog dialog(&printer, this);
  if (Prompts().ExecDialog(dialog) != QDialog::Accepted) return;
  if (!PrintRows(printer, Memo1->Editor(), Memo1->PaintFont(), Memo1->Chars().get())) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), QString::fromUtf8("印刷できませんでした。"));
  }
}

}  // namespace yk

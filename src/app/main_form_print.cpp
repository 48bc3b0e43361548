// Printing the saved document: the print dialog, then the editor's rows
// cell by cell as the screen shows them, in its font, with margins and a
// header of the file name and the page number on every page.
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "app/display_text.h"
#include "app/main_form.h"
#include "app/prompts.h"
#include "qt/editor_widget.h"
#include "qt/qt_graphics.h"
#include "qt/qt_surface.h"
#include "shell/print_layout.h"
#include "shell/tools.h"

namespace yk {

namespace {

// Room for the hand at the left, where pages are held or bound.
const QMarginsF kPrintMargins(20, 15, 15, 15);  // millimetres: left, top, right, bottom

// Dots per inch of the screen whose pixels the editor's font and cells are
// measured in: what QFontMetrics uses without a device.
qreal ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? std::round(screen->logicalDotsPerInchY()) : 96.0;
}

// The editor's rows drawn as on the screen: the painter works in screen
// pixels, scaled to the printer's dots, so every character keeps the cell
// (and so the column) it has on the screen.
class TPagePrinter {
 public:
  // chars: the document's mapped characters (null: none), printed as the
  // characters they stand for.
  TPagePrinter(QPrinter& printer, QPainter& painter, TEditor& ed, const QFont& font, QString title,
               const TMappedChars* chars)
      : printer_(printer), painter_(painter), ed_(ed), font_(font), title_(std::move(title)), chars_(chars) {
    const qreal scale = printer.resolution() / ScreenDpi();
    painter_.scale(scale, scale);
    const QRect paper = painter_.viewport();
    width_ = static_cast<int>(paper.width() / scale);
    height_ = static_cast<int>(paper.height() / scale);
    pitch_ = std::max(1, ed.RowHeight());
    header_ = pitch_ * 2;  // the header's line and one empty line
    columns_ = std::max(1, width_ / std::max(1, ed.ColWidth()));
    lines_per_page_ = std::max(1, (height_ - header_) / pitch_);
  }

  // Prints every row; false when the printer failed.
  bool Print() {
    long long lines = 0;
    for (int row = 0; row < ed_.RowCount(); ++row) lines += static_cast<long long>(Starts(row).size());
    pages_ = PrintPageCount(lines, lines_per_page_);
    TQtSurface surface(painter_, font_, QPalette(), chars_);
    const TRect clip{0, header_, width_, header_ + lines_per_page_ * pitch_};
    int page = 1, line = 0;
    Header(page);
    for (int row = 0; row < ed_.RowCount(); ++row) {
      const std::string text = ed_.ExpandTabs(ed_.RowText(row));
      const std::vector<std::size_t> starts = PrintLineStarts(text, columns_);
      for (std::size_t i = 0; i < starts.size(); ++i) {
        if (line == lines_per_page_) {
          if (!printer_.newPage()) return false;
          Header(++page);
          line = 0;
        }
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
        const std::string_view piece = std::string_view(text).substr(starts[i], end - starts[i]);
        surface.TextRun(0, header_ + line * pitch_, ed_.ColWidth(), piece, clBlack, clNone, ed_.Font().style, clip);
        ++line;
      }
    }
    return true;
  }

 private:
  std::vector<std::size_t> Starts(int row) const {
    return PrintLineStarts(ed_.ExpandTabs(ed_.RowText(row)), columns_);
  }

  // The file name at the left and "page / pages" at the right, over a rule.
  void Header(int page) {
    painter_.save();
    QFont font = font_;
    // Sizes in screen pixels, as everything under the painter's scale.
    if (font.pixelSize() <= 0) font.setPixelSize(std::max(1, qRound(font.pointSizeF() * ScreenDpi() / 72)));
    font.setUnderline(false);
    font.setStrikeOut(false);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    const QString label = QString::fromStdString(PageLabel(page, pages_));
    const QFontMetrics metrics(font);
    const int labelWidth = metrics.horizontalAdvance(label);
    const QString title = metrics.elidedText(title_, Qt::ElideMiddle, std::max(0, width_ - labelWidth - pitch_));
    const QRect line(0, 0, width_, pitch_);
    painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter, label);
    painter_.setPen(QPen(Qt::black, 0));
    const int rule = pitch_ + pitch_ / 4;
    painter_.drawLine(0, rule, width_, rule);
    painter_.restore();
  }

  QPrinter& printer_;
  QPainter& painter_;
  TEditor& ed_;
  QFont font_;
  QString title_;
  const TMappedChars* chars_;
  int width_ = 0, height_ = 0;  // the page inside the margins, in screen pixels
  int pitch_ = 1, header_ = 0, columns_ = 1, lines_per_page_ = 1, pages_ = 1;
};

// Paints every row of ed onto printer; false when the printer failed.
bool PrintRows(QPrinter& printer, TEditor& ed, const QFont& screenFont, const QString& title,
               const TMappedChars* chars) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const bool printed = TPagePrinter(printer, painter, ed, screenFont, title, chars).Print();
  return painter.end() && printed;
}

}  // namespace

void TMainForm::MemoPrint1Click() {
  if (!CanPrintDocument(Memo1->Editor().Modified(), FileName)) return;
  QPrinter printer(QPrinter::HighResolution);
  const QString name = DisplayPath(FileNamePart(FileName));
  printer.setDocName(name);
  // Before the dialog, so that margins the user sets there win.
  printer.setPageMargins(kPrintMargins, QPageLayout::Millimeter);
  QPrintDialog dialog(&printer, this);
  if (Prompts().ExecDialog(dialog) != QDialog::Accepted) return;
  if (!PrintRows(printer, Memo1->Editor(), Memo1->PaintFont(), name, Memo1->Chars().get())) {
    Prompts().Error(this, QString::fromUtf8(kErrorCaption), QString::fromUtf8("印刷できませんでした。"));
  }
}

}  // namespace yk

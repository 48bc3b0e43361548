// The printed document read back from its PDF with pdftotext: the margins,
// the header with the file name and "page / pages" on every page, every row
// on paper (a row wider than the page carried on in the next line), and the
// screen's columns kept even in a proportional font.
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

#include "form_fixture.h"

namespace yk::test {
namespace {

constexpr double kPointsPerMm = 72 / 25.4;

struct TWord {
  int page = 0;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  QString text;
};

struct TPdf {
  int pages = 0;
  double width = 0, height = 0;  // of the first page, in points
  std::vector<TWord> words;      // page by page, line by line, left to right
  // The words of a page joined by blanks.
  QString Text(int page) const {
    QStringList list;
    for (const TWord& w : words)
      if (w.page == page) list << w.text;
    return list.join(QLatin1Char(' '));
  }
};

// The words of the PDF with their boxes, as pdftotext -bbox reports them.
TPdf ReadPdf(const std::string& path) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QString::fromStdString(path), QStringLiteral("-")});
  EXPECT_TRUE(p.waitForFinished(30000));
  const QString out = QString::fromUtf8(p.readAllStandardOutput());
  TPdf pdf;
  static const QRegularExpression kItem(QStringLiteral(
      R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
  for (const QRegularExpressionMatch& m : kItem.globalMatch(out)) {
    if (!m.captured(1).isEmpty()) {
      if (++pdf.pages == 1) pdf.width = m.captured(1).toDouble(), pdf.height = m.captured(2).toDouble();
      continue;
    }
    pdf.words.push_back({pdf.pages, m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5).toDouble(),
                         m.captured(6).toDouble(), m.captured(7)});
  }
  // pdftotext reads a right-aligned word as a column of its own.
  std::stable_sort(pdf.words.begin(), pdf.words.end(), [](const TWord& a, const TWord& b) {
    return std::tuple(a.page, qRound(a.y0), a.x0) < std::tuple(b.page, qRound(b.y0), b.x0);
  });
  return pdf;
}

class PrintTest : public FormTest {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  }
  // Prints the open document to a PDF, as the print dialog would; its words.
  TPdf Print() {
    const std::string pdf = dir.File("out.pdf");
    prompts.Dialog([&](QDialog& dialog) {
      QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(QString::fromStdString(pdf));
      return QDialog::Accepted;
    });
    EXPECT_TRUE(form->RunCommand("MemoPrint1"));
    return ReadPdf(pdf);
  }
};

TEST_F(PrintTest, PagesHaveMarginsAndAHeaderAndHoldEveryRow) {
  std::string text = "\x93\xfa\x96\x7b\x8c\xea\r\n";  // 日本語
  for (int i = 1; i <= 150; ++i) text += "row " + std::to_string(i) + "\r\n";
  Make({File("a.txt", text)});
  const TPdf pdf = Print();
  ASSERT_GE(pdf.pages, 2);
  // Every page: the file name, then "page / pages".
  for (int page = 1; page <= pdf.pages; ++page)
    EXPECT_TRUE(pdf.Text(page).startsWith(QStringLiteral("a.txt %1 / %2 ").arg(page).arg(pdf.pages)))
        << pdf.Text(page).left(60).toStdString();
  // 20 mm at the left, 15 mm elsewhere; the text starts at the left margin.
  double left = 1e9, top = 1e9, right = 0, bottom = 0;
  for (const TWord& w : pdf.words) {
    left = std::min(left, w.x0), top = std::min(top, w.y0);
    right = std::max(right, w.x1), bottom = std::max(bottom, w.y1);
  }
  EXPECT_NEAR(left, 20 * kPointsPerMm, 1.5);
  EXPECT_GE(top, 15 * kPointsPerMm - 0.5);
  EXPECT_LE(right, pdf.width - 15 * kPointsPerMm + 0.5);
  EXPECT_LE(bottom, pdf.height - 15 * kPointsPerMm + 0.5);
  // The rows in order, none lost at a page break.
  QString body;
  for (int page = 1; page <= pdf.pages; ++page)
    body += pdf.Text(page).section(QLatin1Char(' '), 4) + QLatin1Char(' ');
  QString expected = QString::fromUtf8("日本語 ");
  for (int i = 1; i <= 150; ++i) expected += QStringLiteral("row %1 ").arg(i);
  EXPECT_EQ(body.toStdString(), expected.toStdString());
}

TEST_F(PrintTest, ColumnsAreTheScreensAndAWideRowIsCarriedOn) {
  std::string digits;
  for (int i = 0; i < 40; ++i) digits += "0123456789";
  Make({File("b.txt", "ii x\r\nWW x\r\n\x82\xa0 x\r\n" + digits + "\r\n")});  // あ x
  // A proportional font: on the screen every character still has its cell.
  TFontSpec font = Doc().Font();
  font.name = "IPAPGothic";
  Doc().SetFont(font);
  const TPdf pdf = Print();
  std::vector<double> xs;
  QString wide;
  for (const TWord& w : pdf.words) {
    if (w.text == QLatin1String("x")) xs.push_back(w.x0);
    if (w.text.front().isDigit() && w.y0 > 20 * kPointsPerMm) wide += w.text;  // not the page label
  }
  ASSERT_EQ(xs.size(), 3u);
  EXPECT_NEAR(xs[0], xs[1], 0.3);  // "ii " and "WW " are three columns each
  EXPECT_NEAR(xs[0], xs[2], 0.3);  // and so is "あ "
  EXPECT_EQ(wide, QString::fromStdString(digits));
}

// Characters a UTF-8 document holds beyond Shift-JIS are printed as
// themselves, not as the user-defined codes that stand for them.
TEST_F(PrintTest, MappedCharactersArePrintedAsThemselves) {
  Make({File("u.txt", "x\xc3\xa9\xc3\xb6x\n")});  // xéöx
  const TPdf pdf = Print();
  ASSERT_EQ(pdf.pages, 1);
  EXPECT_TRUE(pdf.Text(1).remove(QLatin1Char(' ')).contains(QString::fromUtf8("x\u00e9\u00f6x")))
      << pdf.Text(1).toStdString();
}

}  // namespace
}  // namespace yk::test

// Colours, cursors, fonts and text conversions between the core and Qt.
#include "qt/qt_graphics.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace yk {

namespace {

struct TSystemRole {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// Indexed by the system colour index; indexes beyond it use Window.
constexpr std::array<TSystemRole, 25> kSystemRoles{{
    {QPalette::Active, QPalette::Button},             // clScrollBar
    {QPalette::Active, QPalette::Window},             // clBackground
    {QPalette::Active, QPalette::Highlight},          // clActiveCaption
    {QPalette::Inactive, QPalette::Mid},              // clInactiveCaption
    {QPalette::Active, QPalette::Window},             // clMenu
    {QPalette::Active, QPalette::Base},               // clWindow
    {QPalette::Active, QPalette::WindowText},         // clWindowFrame
    {QPalette::Active, QPalette::WindowText},         // clMenuText
    {QPalette::Active, QPalette::Text},               // clWindowText
    {QPalette::Active, QPalette::HighlightedText},    // clCaptionText
    {QPalette::Active, QPalette::Window},             // clActiveBorder
    {QPalette::Inactive, QPalette::Window},           // clInactiveBorder
    {QPalette::Active, QPalette::Dark},               // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},          // clHighlight
    {QPalette::Active, QPalette::HighlightedText},    // clHighlightText
    {QPalette::Active, QPalette::Button},             // clBtnFace
    {QPalette::Active, QPalette::Dark},               // clBtnShadow
    {QPalette::Disabled, QPalette::Text},             // clGrayText
    {QPalette::Active, QPalette::ButtonText},         // clBtnText
    {QPalette::Disabled, QPalette::WindowText},       // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},              // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},             // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},           // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},        // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},        // clInfoBk
}};

// A left-pointing arrow mirrored, for the left margin where whole rows are
// selected: the tip is at the top right.
QCursor RightArrowCursor() {
  constexpr int kSize = 32;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    const int t = kSize - 1;  // x of the tip
    const QPolygon arrow({{t, 0}, {t, 16}, {t - 4, 12}, {t - 7, 19}, {t - 10, 18}, {t - 7, 11}, {t - 12, 11}});
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
  }
  return QCursor(pixmap, kSize - 1, 0);
}

// Japanese monospace families whose full-width glyphs are two half-width
// cells, in order of preference.
constexpr std::array<const char*, 7> kJapaneseMonospace{
    "IPAGothic", "IPAMincho", "Noto Sans Mono CJK JP", "VL Gothic", "TakaoGothic", "Takao Gothic", "Sazanami Gothic"};

bool Installed(const QStringList& families, const QString& name, QString& found) {
  for (const QString& f : families)
    if (f.compare(name, Qt::CaseInsensitive) == 0) {
      found = f;
      return true;
    }
  return false;
}

}  // namespace

QColor ToQColor(TColor color, const QPalette& palette) {
  if (color == clNone) return QColor(Qt::transparent);
  if (color == clDefault) return palette.color(QPalette::Active, QPalette::Base);
  if (IsSystemColor(color)) {
    const auto index = static_cast<std::size_t>(SystemColorIndex(color));
    if (index >= kSystemRoles.size()) return palette.color(QPalette::Active, QPalette::Window);
    return palette.color(kSystemRoles[index].group, kSystemRoles[index].role);
  }
  return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

QColor ToQColor(TColor color) { return ToQColor(color, QGuiApplication::palette()); }

QCursor ToQCursor(TCursor cursor) {
  switch (cursor) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass:
    case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag:
    case crMultiDrag: return QCursor(Qt::DragMoveCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    case crRightArrow: {
      static const QCursor rightArrow = RightArrowCursor();
      return rightArrow;
    }
    case crDragSelCopy: return QCursor(Qt::DragCopyCursor);
    default: return QCursor(Qt::ArrowCursor);
  }
}

QString ResolveFamily(const std::string& name) {
  const QStringList families = QFontDatabase::families();
  QString found;
  if (Installed(families, QString::fromUtf8(cp932::DecodeToUtf8(name)), found)) return found;
  for (const char* candidate : kJapaneseMonospace)
    if (Installed(families, QString::fromLatin1(candidate), found)) return found;
  return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

QFont ResolveFont(const TFontSpec& wanted) {
  QFont font(ResolveFamily(wanted.name));
  font.setStyleHint(QFont::TypeWriter);
  font.setKerning(false);
  // Sizes beyond what a screen can show are bad settings, not requests.
  constexpr int kMaxPixels = 400;
  int pixels = wanted.height == 0 ? 16 : std::min(std::abs(wanted.height), kMaxPixels);
  font.setPixelSize(std::max(1, pixels));
  if (wanted.height > 0) {
    // A positive height is the whole cell; scale the character height to fit.
    const int cell = std::max(1, QFontMetrics(font).height());
    font.setPixelSize(std::max(1, pixels * pixels / cell));
  }
  font.setBold(wanted.style.Contains(fsBold));
  font.setItalic(wanted.style.Contains(fsItalic));
  font.setUnderline(wanted.style.Contains(fsUnderline));
  font.setStrikeOut(wanted.style.Contains(fsStrikeOut));
  return font;
}

TFontMetrics MetricsFor(const QFont& font) {
  const QFontMetrics fm(font);
  return {std::max(1, fm.horizontalAdvance(QLatin1Char('0'))), std::max(1, fm.height()), std::max(0, fm.leading())};
}

QString ToQString(std::string_view cp932Bytes) {
  const std::u16string text = cp932::Decode(cp932Bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

cp932::TEncoded FromQString(const QString& text) {
  return cp932::Encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<std::size_t>(text.size())));
}

QString ToQString(std::string_view cp932Bytes, const TMappedChars* chars) {
  const std::u16string text = cp932::Decode(cp932Bytes, chars);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

cp932::TEncoded FromQString(const QString& text, TMappedChars* chars) {
  return cp932::Encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                           static_cast<std::size_t>(text.size())),
                       chars);
}

}  // namespace yk

// The values of the core (colours, cursors, fonts, CP932 text) turned into
// their Qt counterparts.
#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <string_view>

#include "platform/cp932_codec.h"
#include "platform/font.h"
#include "text/graphics_types.h"

namespace yk {

// A colour of the core as Qt draws it: plain colours are 0x00BBGGRR (the top
// byte is ignored), system colours take their role from palette, clNone is
// transparent and clDefault is the palette's text background.
QColor ToQColor(TColor color, const QPalette& palette);
QColor ToQColor(TColor color);  // with the application's palette

// The Qt cursor for a cursor identifier; unknown identifiers give the arrow.
QCursor ToQCursor(TCursor cursor);

// The installed family drawn for a font name: the name itself when it is
// installed, else a Japanese monospace font whose full-width glyphs are two
// cells wide. The editor's font is never changed, so the stored name survives.
QString ResolveFamily(const std::string& name);
QFont ResolveFont(const TFontSpec& wanted);
// The metrics the core works with; aveCharWidth is the half-width cell.
TFontMetrics MetricsFor(const QFont& font);

// CP932 bytes shown as Qt text (invalid bytes as the substitute glyph).
QString ToQString(std::string_view cp932Bytes);
// Qt text as CP932; replaced counts the characters written as "?".
cp932::TEncoded FromQString(const QString& text);
// A document's text, through its table of mapped characters: shown with
// its real characters, and typed or pasted characters outside CP932 given
// codes of the table ("?" only when it is full, or chars is null).
QString ToQString(std::string_view cp932Bytes, const TMappedChars* chars);
cp932::TEncoded FromQString(const QString& text, TMappedChars* chars);

}  // namespace yk

// Builders shared by the pages of the style settings dialog.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QString>

#include <string>
#include <vector>

#include "qt/editor_widget.h"

namespace yk::style_dialog {

// A sample editor: read-only and left out of the focus chain unless the
// user is meant to try it.
TEditorWidget* MakeSampleEditor(QWidget* parent, const char* name, bool focusable);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption);
// A text field that holds only text with a CP932 form.
QLineEdit* MakeField(QWidget* parent, const char* name);
// Replaces an editor's text by the lines, caret at the start, no undo.
void SetEditorLines(TEditor& editor, const std::vector<std::string>& lines);
// CP932 bytes of a field's text (the validators keep it encodable).
std::string FieldBytes(const QLineEdit* field);

}  // namespace yk::style_dialog

// The questions a dialog asks the user, behind one small interface so that
// tests answer them and the main window can route them through its own
// prompts. The Qt default shows message boxes and file dialogs.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace yk {

enum class TDialogAnswer { Yes, No, Cancel, All, Ok };

class TDialogPrompts {
 public:
  virtual ~TDialogPrompts() = default;
  // An information box with an OK button.
  virtual void Information(QWidget* parent, const QString& caption, const QString& text) = 0;
  // An error box with an OK button.
  virtual void Error(QWidget* parent, const QString& caption, const QString& text) = 0;
  // A question; buttons is a combination of the answers offered (Yes, No,
  // Cancel, All, Ok as bit flags of AnswerBit). at: top-left corner of the
  // box on the screen, or nullopt for the toolkit's placement.
  virtual TDialogAnswer Question(QWidget* parent, const QString& caption, const QString& text, unsigned buttons,
                                 std::optional<QPoint> at = std::nullopt) = 0;
  // A file name to open or save, or nullopt when cancelled. filter uses the
  // "name(*.ext)|*.ext|..." form of the settings; filter_index is the entry
  // preselected (0-based). initial is a file to preselect, or a folder to
  // start in with no name typed.
  virtual std::optional<QString> OpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                              int filter_index = 0, const QString& initial = {}) = 0;
  virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                              int filter_index = 0, const QString& initial = {}) = 0;
};

constexpr unsigned AnswerBit(TDialogAnswer a) { return 1u << static_cast<unsigned>(a); }

// Turns a filter of the "name(*.txt)|*.txt|..." form into Qt name filters
// whose visible text is exactly the name. A "*.*" pattern becomes "*", so
// that files without a dot (common on Linux) are listed under it.
QStringList ToQtNameFilters(const QString& filter);

// The prompts that show real message boxes and file dialogs.
TDialogPrompts& DefaultDialogPrompts();

}  // namespace yk

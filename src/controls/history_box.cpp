// Editable history drop-downs that keep what was typed.
#include "controls/history_box.h"

#include <QLineEdit>
#include <QTimer>

#include <memory>

#include "qt/qt_graphics.h"

namespace yk {

// No completer: the history is in the drop-down list. The combo box's own
// matching of the finished text against its items (without regard to case
// where no completer says otherwise) is cut off too.
void MakeHistoryBox(QComboBox* box) {
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setCompleter(nullptr);
  QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
}

// The key reaches the line edit once or twice, but always within the one
// key press: the handler runs once, after it.
void OnHistoryBoxEnter(QComboBox* box, std::function<void()> handler) {
  auto pending = std::make_shared<bool>(false);
  QObject::connect(box->lineEdit(), &QLineEdit::returnPressed, box, [box, pending, handler = std::move(handler)] {
    if (*pending) return;
    *pending = true;
    QTimer::singleShot(0, box, [pending, handler] {
      *pending = false;
      handler();
    });
  });
}

std::string HistoryBoxText(const QComboBox* box) { return FromQString(box->currentText()).bytes; }

void SetHistoryBoxText(QComboBox* box, std::string_view cp932) { box->setEditText(ToQString(cp932)); }

void SetHistoryBoxItems(QComboBox* box, const std::vector<std::string>& cp932) {
  const QString typed = box->currentText();
  box->clear();
  for (const std::string& item : cp932) box->addItem(ToQString(item));
  box->setEditText(typed);
}

}  // namespace yk

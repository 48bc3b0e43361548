// TListForm: the small word-list window of input support; a word chosen by
// double click or Enter is handed back for insertion.
#pragma once

#include <QDialog>
#include <QPoint>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;

namespace yk {

class TListForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kItemHeight = 12;
  static constexpr int kFrame = 3;  // the sizing frame around the list

  explicit TListForm(QWidget* parent = nullptr);

  // The words, CP932 bytes as the dictionary holds them.
  void SetItems(const std::vector<std::string>& words);
  std::vector<std::string> Items() const;
  QListWidget* ListBox() const { return list_; }

  // Puts the window's top-left corner at a screen point, moved back inside
  // the screen when the window would stick out of it.
  void PlaceAt(QPoint screen_point);
  // Shows the window modally; the chosen word, or nullopt when it was
  // closed (Escape) without a choice.
  std::optional<std::string> Execute();
  const std::optional<std::string>& Chosen() const { return chosen_; }
  // Called with the chosen word just before the window closes.
  std::function<void(const std::string&)> OnChoose;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void Choose(QListWidgetItem* item);
  Qt::Edges EdgesAt(QPoint p) const;
  void ResizeBy(QPoint delta);

  QListWidget* list_;
  std::optional<std::string> chosen_;
  // A resize by the frame where the window system cannot do it itself.
  Qt::Edges sizing_edges_;
  QPoint sizing_start_;
  QRect sizing_geometry_;
};

}  // namespace yk

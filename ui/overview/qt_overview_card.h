// One card of the overview: its title, then a row per figure with the item, a bar as long as its
// share of the card's largest figure and the number written on it. A click on a row that stands for
// computers says which figure it was.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

namespace tavrix::ui {

class OverviewCard : public QWidget {
  Q_OBJECT

 public:
  struct Row {
    QString item;
    std::int64_t value = 0;  // the bar's length, as a share of the largest
    QString shown;           // written on the bar
    int figure = -1;         // what a click opens; -1: nothing
  };
  // bars: rows drawn with bars; without, item and number only (the last batch's card).
  OverviewCard(const QString& title, std::vector<Row> rows, bool bars, QWidget* parent);

  const QString& title() const { return title_; }
  const std::vector<Row>& rows() const { return rows_; }
  // Where a row is drawn, and its bar (empty without bars).
  QRect rowRect(std::size_t row) const;
  QRect barRect(std::size_t row) const;
  // The whole item and its number, shown when the pointer rests on the row (an item too long for
  // its part is elided there).
  QString rowToolTip(std::size_t row) const;
  QSize sizeHint() const override;

 signals:
  void figureClicked(int figure);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int rowHeight() const;
  int titleHeight() const;
  int itemWidth() const;  // the left part, where items are written
  std::optional<std::size_t> rowAt(QPoint point) const;

  QString title_;
  std::vector<Row> rows_;
  bool bars_;
  std::int64_t largest_ = 0;
};

}  // namespace tavrix::ui

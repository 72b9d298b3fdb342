// F_Overview: the fleet at a glance (our own window), a card per question, each figure drawn as a
// bar with its number; a click on one lists its computers.
#pragma once

#include <vector>

#include <QPointer>
#include <QWidget>

#include "batch/run_state.h"
#include "platform/db.h"
#include "queries/fleet_overview.h"

namespace tavrix {

class F_DetailList;

namespace ui {
class OverviewCard;
class ResultList;
}  // namespace ui

class F_Overview : public QWidget {
  Q_OBJECT

 public:
  // Reads every figure from one state of the database at once; throws db::DbError when it cannot
  // be read.
  explicit F_Overview(RunState& s);
  ~F_Overview() override;

  const std::vector<ui::OverviewCard*>& cards() const { return cards_; }
  // The computers of the figure clicked last (none before a click), and the detail window opened
  // from them.
  ui::ResultList* computers() const;
  F_DetailList* detailWindow() const { return detail_.data(); }
  // Lists the computers behind a row of the figures in a window of their own.
  void openFigure(int figure);

 private:
  void addCards();
  void openDetail(const QModelIndex& index);

  RunState& s_;
  const db::Location database_;
  db::Connection connection_;
  queries::ResultTable figures_;
  std::vector<queries::OverviewItem> items_;
  std::vector<ui::OverviewCard*> cards_;
  QPointer<QWidget> listWindow_;
  ui::ResultList* list_ = nullptr;  // in listWindow_
  QPointer<F_DetailList> detail_;
};

}  // namespace tavrix

// Filter field and count label of the computer list.
#include "ui/main/qt_list_filter_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidgetItem>

#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;

ListFilterBar::ListFilterBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FilterBar"));
  setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);  // no wider than its parts: the rest of the strip is free
  auto* caption = new QLabel(qs("絞り込み:"), this);
  TxtFilter = new QLineEdit(this);
  TxtFilter->setObjectName(QStringLiteral("TxtFilter"));
  TxtFilter->setAccessibleName(qs("絞り込み"));
  TxtFilter->setPlaceholderText(qs("名前・ユーザ・ＯＳ・日付・ファイル名 (Ctrl+F)"));
  TxtFilter->setClearButtonEnabled(true);
  TxtFilter->setFixedWidth(ui::twips(4200));
  caption->setBuddy(TxtFilter);
  LblCount = new QLabel(this);
  LblCount->setObjectName(QStringLiteral("LblCount"));
  LblCount->setMinimumWidth(ui::twips(2400));

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(caption);
  layout->addWidget(TxtFilter);
  layout->addSpacing(ui::twips(120));
  layout->addWidget(LblCount);
  connect(TxtFilter, &QLineEdit::textChanged, this, [this] { applyFilter(); });
  applyFilter();
}

void ListFilterBar::setRows(const std::vector<ComputerListRow>& rows, std::vector<QTreeWidgetItem*> items) {
  filter_.setRows(rows);
  items_ = std::move(items);
  shown_.assign(items_.size(), 1);  // new items are shown
  applyFilter();
}

// Only the items whose state changes are touched: narrowing a filter hides few rows per key.
void ListFilterBar::applyFilter() {
  const QString typed = TxtFilter->text();
  const std::size_t count = filter_.apply(ui::utf8(typed), matching_);
  for (std::size_t i = 0; i < items_.size() && i < matching_.size(); ++i) {
    if (matching_[i] == shown_[i]) continue;
    items_[i]->setHidden(!matching_[i]);
    shown_[i] = matching_[i];
  }
  LblCount->setText(qs(listCountText(items_.size(), count, !typed.trimmed().isEmpty())));
}

}  // namespace tavrix

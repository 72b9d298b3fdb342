// Filter field and count label of the computer list.
#include "ui/main/qt_list_filter_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "ui/main/qt_computer_list_model.h"
#include "ui/qt_form_support.h"
#include "views/list_filter.h"

namespace tavrix {

using ui::qs;

ListFilterBar::ListFilterBar(QWidget* parent, ComputerListModel* list) : QWidget(parent), list_(list) {
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
  connect(TxtFilter, &QLineEdit::textChanged, this, [this] { list_->setFilter(ui::utf8(TxtFilter->text())); });
  connect(list_, &ComputerListModel::countChanged, this, [this] { showCount(); });
  showCount();
}

void ListFilterBar::showCount() {
  LblCount->setText(qs(listCountText(list_->totalCount(), list_->shownCount(), !TxtFilter->text().trimmed().isEmpty())));
}

}  // namespace tavrix

// Drawn with QPainter: a framed card, its title in bold, then each row's item (elided to its part),
// its bar and its number.
#include "ui/overview/qt_overview_card.h"

#include <algorithm>

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/qt_form_support.h"

namespace tavrix::ui {

namespace {

constexpr int kMargin = 8;

}  // namespace

OverviewCard::OverviewCard(const QString& title, std::vector<Row> rows, bool bars, QWidget* parent)
    : QWidget(parent), title_(title), rows_(std::move(rows)), bars_(bars) {
  for (const Row& row : rows_) largest_ = std::max(largest_, row.value);
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

int OverviewCard::rowHeight() const { return fontMetrics().height() + 6; }
int OverviewCard::titleHeight() const { return fontMetrics().height() + 2 * kMargin; }
// As wide as the widest item, between a quarter and three fifths of the card (OS names and hotfixes
// run long; the bars need the rest).
int OverviewCard::itemWidth() const {
  const int inner = width() - 2 * kMargin;
  if (!bars_) return inner / 2;
  int widest = 0;
  for (const Row& row : rows_) widest = std::max(widest, fontMetrics().horizontalAdvance(row.item));
  return std::clamp(widest + kMargin, inner / 4, inner * 3 / 5);
}

std::optional<std::size_t> OverviewCard::rowAt(QPoint point) const {
  for (std::size_t r = 0; r < rows_.size(); ++r)
    if (rowRect(r).contains(point)) return r;
  return std::nullopt;
}

QString OverviewCard::rowToolTip(std::size_t row) const {
  return row < rows_.size() ? rows_[row].item + QStringLiteral("\n") + rows_[row].shown : QString();
}

bool OverviewCard::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const std::optional<std::size_t> row = rowAt(help->pos());
  if (row) QToolTip::showText(help->globalPos(), rowToolTip(*row), this, rowRect(*row));
  else QToolTip::hideText();
  return true;
}

QSize OverviewCard::sizeHint() const {
  const int shown = std::max(1, static_cast<int>(rows_.size()));
  return {fontMetrics().averageCharWidth() * 60, titleHeight() + shown * rowHeight() + kMargin};
}

QRect OverviewCard::rowRect(std::size_t row) const {
  return {kMargin, titleHeight() + static_cast<int>(row) * rowHeight(), width() - 2 * kMargin, rowHeight()};
}

QRect OverviewCard::barRect(std::size_t row) const {
  if (!bars_ || row >= rows_.size()) return {};
  const QRect line = rowRect(row);
  const double room = line.width() - itemWidth() - kMargin;
  const double share = largest_ > 0 ? static_cast<double>(rows_[row].value) / static_cast<double>(largest_) : 0;
  const int length = rows_[row].value > 0 ? std::max(2, static_cast<int>(room * share)) : 0;
  return {line.left() + itemWidth() + kMargin, line.top() + 2, length, line.height() - 4};
}

void OverviewCard::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette& colors = palette();
  painter.setPen(colors.color(QPalette::Mid));
  painter.setBrush(colors.color(QPalette::Base));
  painter.drawRoundedRect(rect().adjusted(1, 1, -2, -2), 6, 6);

  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(colors.color(QPalette::Text));
  painter.drawText(QRect(kMargin, 0, width() - 2 * kMargin, titleHeight()), Qt::AlignVCenter | Qt::AlignLeft, title_);
  painter.setFont(font());

  if (rows_.empty()) {
    painter.setPen(colors.color(QPalette::PlaceholderText));
    painter.drawText(rowRect(0), Qt::AlignVCenter | Qt::AlignLeft, qs("なし"));
    return;
  }
  const QColor bar = colors.color(QPalette::Highlight);
  for (std::size_t r = 0; r < rows_.size(); ++r) {
    const Row& row = rows_[r];
    const QRect line = rowRect(r);
    const QRect itemPart(line.left(), line.top(), itemWidth(), line.height());
    painter.setPen(colors.color(QPalette::Text));
    painter.drawText(itemPart, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(row.item, Qt::ElideMiddle, itemPart.width()));
    if (!bars_) {
      painter.drawText(QRect(itemPart.right() + kMargin, line.top(), line.width() - itemPart.width() - kMargin, line.height()),
                       Qt::AlignVCenter | Qt::AlignLeft, row.shown);
      continue;
    }
    const QRect barPart = barRect(r);
    painter.setPen(Qt::NoPen);
    painter.setBrush(row.figure >= 0 ? bar : bar.lighter(150));
    painter.drawRect(barPart);
    // The number on the bar when it fits there, else just after it.
    const int textWidth = fontMetrics().horizontalAdvance(row.shown) + 8;
    const bool inside = barPart.width() >= textWidth;
    const QRect numberPart = inside ? barPart : QRect(barPart.left() + barPart.width() + 4, line.top(), textWidth, line.height());
    painter.setPen(inside ? colors.color(QPalette::HighlightedText) : colors.color(QPalette::Text));
    painter.drawText(numberPart, Qt::AlignVCenter | (inside ? Qt::AlignRight : Qt::AlignLeft), inside ? row.shown + QLatin1Char(' ') : row.shown);
  }
}

void OverviewCard::mouseMoveEvent(QMouseEvent* event) {
  const std::optional<std::size_t> row = rowAt(event->position().toPoint());
  setCursor(row && rows_[*row].figure >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void OverviewCard::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const std::optional<std::size_t> row = rowAt(event->position().toPoint());
  if (row && rows_[*row].figure >= 0) emit figureClicked(rows_[*row].figure);
}

}  // namespace tavrix::ui

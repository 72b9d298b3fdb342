// Tree lines: vertical through siblings, a stub to each item, a box on items with children.
#include "ui/detail/qt_tree_lines_style.h"

#include <QPainter>
#include <QStyleOption>

namespace tavrix {

namespace {

constexpr int kBoxHalf = 4;  // the expand box is 9 × 9 pixels

void drawBox(QPainter* painter, const QPoint& centre, bool open, const QPalette& palette) {
  const QRect box(centre.x() - kBoxHalf, centre.y() - kBoxHalf, 2 * kBoxHalf, 2 * kBoxHalf);
  painter->setPen(QPen(palette.color(QPalette::Dark), 1));
  painter->fillRect(box, palette.color(QPalette::Base));
  painter->drawRect(box);
  painter->setPen(QPen(palette.color(QPalette::Text), 1));
  painter->drawLine(centre.x() - 2, centre.y(), centre.x() + 2, centre.y());
  if (!open) painter->drawLine(centre.x(), centre.y() - 2, centre.x(), centre.y() + 2);
}

}  // namespace

TreeLinesStyle::TreeLinesStyle() = default;  // on top of the application's style

void TreeLinesStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
  if (element != PE_IndicatorBranch) return QProxyStyle::drawPrimitive(element, option, painter, widget);
  const QRect r = option->rect;
  const QPoint centre = r.center();
  painter->save();
  QPen dotted(option->palette.color(QPalette::Mid), 1, Qt::DotLine);
  painter->setPen(dotted);
  const bool item = option->state & State_Item, sibling = option->state & State_Sibling;
  if (item || sibling) painter->drawLine(centre.x(), r.top(), centre.x(), sibling ? r.bottom() : centre.y());
  if (item) painter->drawLine(centre.x(), centre.y(), r.right(), centre.y());
  if (option->state & State_Children) drawBox(painter, centre, option->state & State_Open, option->palette);
  painter->restore();
}

}  // namespace tavrix

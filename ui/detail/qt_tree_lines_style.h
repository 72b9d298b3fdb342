// A style for the detail tree that draws dotted lines between nodes, root lines included.
#pragma once

#include <QProxyStyle>

namespace tavrix {

// The application's style, except for the tree's branch area: dotted lines joining each node to
// its parent and siblings, and a boxed "+" / "-" on nodes that have children.
class TreeLinesStyle : public QProxyStyle {
 public:
  TreeLinesStyle();
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace tavrix

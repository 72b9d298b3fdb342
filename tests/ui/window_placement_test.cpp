// Where windows of our own open: beside the window they come from where the screen has room, and
// always wholly on the screen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/qt_window_settings.h"

namespace tavrix {
namespace {

TEST(WindowPlacement, BesideWhereThereIsRoomElseInsideTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const int w = area.width() / 4, h = area.height() / 4;
  struct Case {
    const char* name;
    QRect anchor, window;
    QPoint expected;
  };
  const Case cases[] = {
      {"room on the right", {area.left() + 10, area.top() + 10, w, h}, {0, 0, w, h}, {area.left() + 10 + w, area.top() + 10}},
      {"room on the left only", {area.right() - w, area.top() + 30, w, h}, {0, 0, w, h}, {area.right() - 2 * w, area.top() + 30}},
      {"no room beside: over it", {area.left(), area.top(), area.width() - 10, h}, {0, 0, w, h}, area.topLeft()},
      {"too large: as large as the screen", {area.left() + 10, area.top() + 10, w, h}, {0, 0, area.width() * 2, h}, area.topLeft() + QPoint(0, 10)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget anchor, window;
    anchor.setGeometry(c.anchor);
    window.setGeometry(c.window);
    ui::placeBeside(&window, &anchor);
    EXPECT_EQ(window.geometry().topLeft(), c.expected);
    EXPECT_TRUE(area.contains(window.geometry()));
  }
}

TEST(WindowPlacement, AWindowPastAnEdgeIsMovedInAndShrunkToTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect cases[] = {
      {area.right() - 50, area.top() + 20, 300, 200},       // past the right edge
      {area.left() - 100, area.bottom() - 50, 300, 200},    // past the left and bottom edges
      {area.left() + 5, area.top() + 5, area.width() + 300, area.height() * 2},  // larger than the screen
      {area.left() + 40, area.top() + 40, 300, 200},        // inside already: left alone
  };
  for (const QRect& rect : cases) {
    QWidget window;
    window.setGeometry(rect);
    ui::keepInsideScreen(&window);
    EXPECT_TRUE(area.contains(window.geometry())) << rect.x() << "," << rect.y();
    EXPECT_EQ(window.geometry().size(), rect.size().boundedTo(area.size()));
    if (area.contains(rect)) EXPECT_EQ(window.geometry(), rect);
  }
}

}  // namespace
}  // namespace tavrix

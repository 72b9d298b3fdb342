// Remembered window state: geometry and column widths under named keys, one group per window.
#pragma once

#include <vector>

#include <QRect>
#include <QString>

class QTreeView;
class QWidget;

namespace tavrix::ui {

// Reads and writes <configuration folder>/tavrix/windows.ini ($XDG_CONFIG_HOME or ~/.config).
// Each window names its own group ("F_Main", "F_DetailList", ...). What was stored and is unusable
// (no value, a width of 0, a place off every screen) leaves the designed value.
class WindowSettings {
 public:
  WindowSettings();
  explicit WindowSettings(QString file);

  static QString defaultFile();
  const QString& file() const { return file_; }

  // Puts a top-level window where it was (maximised when it was), or keeps the designed geometry.
  // Returns true when a stored geometry was used.
  bool restoreGeometry(QWidget* window, const QString& name) const;
  void saveGeometry(const QWidget* window, const QString& name) const;

  // Column widths, one per column; a missing or zero width takes the designed one.
  void restoreColumnWidths(QTreeView* view, const QString& name, const std::vector<int>& designed) const;
  void saveColumnWidths(const QTreeView* view, const QString& name) const;
  void saveColumnWidths(const std::vector<int>& widths, const QString& name) const;
  bool hasColumnWidths(const QString& name) const;

  // A list's sort: its column (-1: the question's own order) and direction.
  struct Sort {
    int column = -1;
    bool ascending = true;
  };
  Sort sort(const QString& name) const;
  void saveSort(const QString& name, Sort sort) const;

 private:
  QString file_;
};

// True when enough of rect lies on some screen for its title to be grabbed.
bool reachableOnScreen(const QRect& rect);

// Moves (and, when larger, shrinks) a window of our own so that it lies wholly on the screen that
// holds most of it.
void keepInsideScreen(QWidget* window);
// Puts window to the right of anchor, else to its left, where it fits on anchor's screen; else
// over it, inside the screen.
void placeBeside(QWidget* window, const QWidget* anchor);

}  // namespace tavrix::ui

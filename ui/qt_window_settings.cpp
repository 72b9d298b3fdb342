// Window geometry and column widths kept in an INI file through QSettings.
#include "ui/qt_window_settings.h"

#include <algorithm>

#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTreeView>
#include <QWidget>

namespace tavrix::ui {

namespace {

constexpr int kGrabWidth = 100;   // this much of the window's top must lie on a screen
constexpr int kGrabHeight = 30;
constexpr int kMaxColumnWidth = 10000;

QString key(const QString& name, const char* item) { return name + QLatin1Char('/') + QLatin1String(item); }

// The available area of the screen that holds most of rect (the primary one when none does).
QRect screenAreaOf(const QRect& rect) {
  QRect best;
  int most = -1;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect on = screen->availableGeometry().intersected(rect);
    const int area = on.isEmpty() ? 0 : on.width() * on.height();
    if (area > most) most = area, best = screen->availableGeometry();
  }
  if (most <= 0 && QGuiApplication::primaryScreen()) best = QGuiApplication::primaryScreen()->availableGeometry();
  return best;
}

// rect made to fit in area: no larger, then moved in.
QRect fittedInto(QRect rect, const QRect& area) {
  rect.setSize(rect.size().boundedTo(area.size()));
  rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
  rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
  return rect;
}

}  // namespace

WindowSettings::WindowSettings() : WindowSettings(defaultFile()) {}
WindowSettings::WindowSettings(QString file) : file_(std::move(file)) {}

QString WindowSettings::defaultFile() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/tavrix/windows.ini");
}

bool reachableOnScreen(const QRect& rect) {
  if (!rect.isValid()) return false;
  const QRect top(rect.topLeft(), QSize(std::min(kGrabWidth, rect.width()), std::min(kGrabHeight, rect.height())));
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect on = screen->availableGeometry().intersected(top);
    if (on.width() >= top.width() / 2 && on.height() >= top.height() / 2 && !on.isEmpty()) return true;
  }
  return false;
}

// The window's frame around its geometry, as far as the window system has told it.
QMargins frameMargins(const QWidget* window) {
  const QRect frame = window->frameGeometry(), inner = window->geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(), frame.bottom() - inner.bottom()};
}

void keepInsideScreen(QWidget* window) {
  const QMargins frame = frameMargins(window);
  const QRect area = screenAreaOf(window->frameGeometry());
  if (area.isEmpty() || window->isMaximized()) return;
  const QRect fitted = fittedInto(window->frameGeometry(), area).marginsRemoved(frame);
  window->setGeometry(QRect(fitted.topLeft(), fitted.size().expandedTo(window->minimumSize().boundedTo(area.size()))));
}

void placeBeside(QWidget* window, const QWidget* anchor) {
  const QMargins frame = frameMargins(window);
  const QRect beside = anchor->frameGeometry();
  const QRect area = screenAreaOf(beside);
  QRect rect = window->frameGeometry();
  rect.moveTo(beside.right() + 1, beside.top());
  if (!area.contains(rect)) rect.moveTo(beside.left() - rect.width(), beside.top());
  if (!area.contains(rect)) rect.moveTo(beside.topLeft());
  window->setGeometry((area.isEmpty() ? rect : fittedInto(rect, area)).marginsRemoved(frame));
}

bool WindowSettings::restoreGeometry(QWidget* window, const QString& name) const {
  QSettings settings(file_, QSettings::IniFormat);
  const QRect rect = settings.value(key(name, "geometry")).toRect();
  if (!reachableOnScreen(rect)) return false;
  const QSize least = window->minimumSize(), most = window->maximumSize();
  window->setGeometry(QRect(rect.topLeft(), rect.size().expandedTo(least).boundedTo(most)));
  if (settings.value(key(name, "maximized")).toBool()) window->setWindowState(window->windowState() | Qt::WindowMaximized);
  return true;
}

void WindowSettings::saveGeometry(const QWidget* window, const QString& name) const {
  QSettings settings(file_, QSettings::IniFormat);
  const bool maximized = window->isMaximized();
  settings.setValue(key(name, "geometry"), maximized ? window->normalGeometry() : window->geometry());
  settings.setValue(key(name, "maximized"), maximized);
}

void WindowSettings::restoreColumnWidths(QTreeView* view, const QString& name, const std::vector<int>& designed) const {
  QSettings settings(file_, QSettings::IniFormat);
  const QVariantList stored = settings.value(key(name, "columns")).toList();
  for (int c = 0; c < static_cast<int>(designed.size()); ++c) {
    int width = designed[static_cast<std::size_t>(c)];
    if (c < stored.size()) {
      bool ok = false;
      const int kept = stored[c].toInt(&ok);
      if (ok && kept > 0 && kept <= kMaxColumnWidth) width = kept;
    }
    view->setColumnWidth(c, width);
  }
}

void WindowSettings::saveColumnWidths(const QTreeView* view, const QString& name) const {
  std::vector<int> widths;
  for (int c = 0; c < view->header()->count(); ++c) widths.push_back(view->columnWidth(c));
  saveColumnWidths(widths, name);
}

void WindowSettings::saveColumnWidths(const std::vector<int>& widths, const QString& name) const {
  QSettings settings(file_, QSettings::IniFormat);
  QVariantList stored;
  for (const int width : widths) stored << width;
  settings.setValue(key(name, "columns"), stored);
}

bool WindowSettings::hasColumnWidths(const QString& name) const {
  return QSettings(file_, QSettings::IniFormat).contains(key(name, "columns"));
}

WindowSettings::Sort WindowSettings::sort(const QString& name) const {
  QSettings settings(file_, QSettings::IniFormat);
  bool ok = false;
  const int column = settings.value(key(name, "sortColumn"), -1).toInt(&ok);
  return {ok && column >= -1 ? column : -1, settings.value(key(name, "sortAscending"), true).toBool()};
}

void WindowSettings::saveSort(const QString& name, Sort sort) const {
  QSettings settings(file_, QSettings::IniFormat);
  settings.setValue(key(name, "sortColumn"), sort.column);
  settings.setValue(key(name, "sortAscending"), sort.ascending);
}

}  // namespace tavrix::ui

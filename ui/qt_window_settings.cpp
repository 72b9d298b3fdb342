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
  QSettings settings(file_, QSettings::IniFormat);
  QVariantList widths;
  for (int c = 0; c < view->header()->count(); ++c) widths << view->columnWidth(c);
  settings.setValue(key(name, "columns"), widths);
}

}  // namespace tavrix::ui

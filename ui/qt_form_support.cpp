// Twips, fonts and text conversion for the windows.
#include "ui/qt_form_support.h"

#include <cmath>

#include <QLibraryInfo>
#include <QShortcut>
#include <QTranslator>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QStringList>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace tavrix::ui {

int twips(int value) { return static_cast<int>(std::lround(value / 15.0)); }

QRect twipsRect(int left, int top, int width, int height) {
  return QRect(twips(left), twips(top), twips(width), twips(height));
}

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

std::string utf8(const QString& text) { return text.toUtf8().toStdString(); }

namespace {

QFont gothic(const QStringList& families, double points, QFont::StyleHint hint) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(hint);
  font.setPointSizeF(points);
  return font;
}

}  // namespace

QFont proportionalGothic(double points) {
  return gothic({qs("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")}, points,
                QFont::SansSerif);
}

QFont fixedGothic(double points) {
  QFont font = gothic({qs("ＭＳ ゴシック"), QStringLiteral("IPAGothic")}, points, QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

QAction* addMenuAction(QMenu& menu, const char* name, std::string_view text, bool enabled) {
  QAction* action = menu.addAction(qs(text));
  action->setObjectName(QString::fromLatin1(name));
  action->setEnabled(enabled);
  return action;
}

void paintNow(std::initializer_list<QWidget*> windows, int waitMs) {
  auto exposed = [&] {
    for (QWidget* w : windows)
      if (w->windowHandle() == nullptr || !w->windowHandle()->isExposed()) return false;
    return true;
  };
  QElapsedTimer waited;
  waited.start();
  while (!exposed() && waited.elapsed() < waitMs) {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(5);
  }
  for (QWidget* w : windows) w->repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void closeEveryWindow(QWidget* keepForLast) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (w != keepForLast && (type == Qt::Window || type == Qt::Dialog)) w->close();
  }
  if (keepForLast) keepForLast->close();
}

bool useJapaneseQtTexts() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  const QString name = QStringLiteral("TavrixQtJapanese");
  if (app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly)) return true;
  auto* translator = new QTranslator(app);
  translator->setObjectName(name);
  if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

void closeOnEscape(QWidget* window, std::function<bool()> escape) {
  auto* key = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  QObject::connect(key, &QShortcut::activated, window, [window, escape = std::move(escape)] {
    if (!escape || !escape()) window->close();
  });
}

}  // namespace tavrix::ui

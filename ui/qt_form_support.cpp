// Twips, fonts and text conversion for the windows.
#include "ui/qt_form_support.h"

#include <cmath>

#include <QApplication>
#include <QStringList>
#include <QWidget>

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

void closeEveryWindow(QWidget* keepForLast) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    const Qt::WindowType type = w->windowType();
    if (w != keepForLast && (type == Qt::Window || type == Qt::Dialog)) w->close();
  }
  if (keepForLast) keepForLast->close();
}

}  // namespace tavrix::ui

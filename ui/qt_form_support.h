// Helpers shared by the windows: twips to pixels, the windows' fonts, UTF-8 to QString.
#pragma once

#include <string>
#include <string_view>

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace tavrix::ui {

// The forms were laid out in twips: 15 twips are one pixel at 96 dpi.
int twips(int value);
QRect twipsRect(int left, int top, int width, int height);

QString qs(std::string_view utf8);
std::string utf8(const QString& text);

// "ＭＳ Ｐゴシック" where it exists, else the proportional IPA Gothic.
QFont proportionalGothic(double points);
// "ＭＳ ゴシック" where it exists, else IPAGothic, whose full-width characters are two half-widths.
QFont fixedGothic(double points);

// Closes every top-level window except keep, then keep itself (a null keep closes them all).
void closeEveryWindow(QWidget* keepForLast);

}  // namespace tavrix::ui

// Helpers shared by the windows: twips to pixels, the windows' fonts, UTF-8 to QString.
#pragma once

#include <functional>

#include <initializer_list>
#include <string>
#include <string_view>

#include <QFont>
#include <QRect>
#include <QString>

class QAction;
class QMenu;
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

// A menu entry found by its object name (tests trigger it by that name).
QAction* addMenuAction(QMenu& menu, const char* name, std::string_view text, bool enabled = true);

// Processes events until every given window is exposed and painted, for at most waitMs: the batch
// that follows gives no event loop, and a window mapped but not yet painted shows black.
void paintNow(std::initializer_list<QWidget*> windows, int waitMs);

// Closes every top-level window except keep, then keep itself (a null keep closes them all).
void closeEveryWindow(QWidget* keepForLast);

// Qt's own texts (the file dialogs, the standard buttons) in Japanese, as the rest of the program,
// whatever the locale: Qt's qtbase_ja translation, installed once. False when it cannot be loaded
// (the texts then stay English).
bool useJapaneseQtTexts();

// Esc in a window of our own: escape() when given (it says whether it did something, such as
// stopping a search or clearing a filter), else, or when it did nothing, the window closes.
void closeOnEscape(QWidget* window, std::function<bool()> escape = {});

}  // namespace tavrix::ui

// The windows as laid out: captions, labels, fonts, twips geometry, the list's columns, F_WAIT's
// progress, and the message boxes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "tests/support/test_support.h"
#include "ui/main/f_main.h"
#include "ui/main/f_wait.h"
#include "ui/qt_form_support.h"
#include "ui/qt_message_sink.h"

namespace tavrix {
namespace {

using ui::qs;
using ui::utf8;

template <typename T>
T* child(QWidget* window, const char* name) {
  T* found = window->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// Counted blanks line up only when every half-width character has one width and a full-width one two.
void expectColumnsAlign(const QFont& font) {
  const QFontMetrics m(font);
  const int half = m.horizontalAdvance(QStringLiteral(" "));
  EXPECT_GT(half, 0);
  for (const char* text : {"i", "W", ":", "1"}) EXPECT_EQ(m.horizontalAdvance(qs(text)), half) << text;
  for (const char* text : {"作", "ド", "Ａ", "　"}) EXPECT_EQ(m.horizontalAdvance(qs(text)), 2 * half) << text;
}

class MainWindowLayout : public ::testing::Test {
 protected:
  RecordingMessageSink messages;
  FixedClock clock{DateTime{2027, 3, 9, 23, 59, 59}};
  RunState s{messages, clock};
};

TEST_F(MainWindowLayout, FormLoadSetsVersionAndDateLabels) {
  F_Main main(s);
  EXPECT_EQ(utf8(main.windowTitle()), "TAVRIX main");
  EXPECT_EQ(utf8(child<QLabel>(&main, "LblTitl")->text()), "TAVRIX");
  EXPECT_EQ(utf8(child<QLabel>(&main, "LblVersion")->text()), "(Ver 1.0.0)");
  EXPECT_EQ(utf8(child<QLabel>(&main, "LblDate")->text()), "現在：2027/03/09");
  EXPECT_EQ(utf8(child<QPushButton>(&main, "BtnEND")->text()), "終　了");
  EXPECT_NE(child<QWidget>(&main, "Shape1"), nullptr);
}

TEST_F(MainWindowLayout, ControlsSitWhereTheTwipsPutThem) {
  F_Main main(s);
  struct Case {
    const char* name;
    QRect rect;
  };
  const Case cases[] = {
      {"LblTitl", QRect(42, 2, 109, 29)},     {"LblVersion", QRect(536, 8, 161, 17)},
      {"LblDate", QRect(536, 24, 161, 17)},   {"BtnEND", QRect(720, 8, 97, 33)},
      {"ListView1", QRect(24, 56, 773, 301)},
  };
  for (const Case& c : cases) EXPECT_EQ(child<QWidget>(&main, c.name)->geometry(), c.rect) << c.name;
  EXPECT_EQ(main.size(), QSize(821, 544));
}

TEST_F(MainWindowLayout, FontsFallBackToIpaGothic) {
  F_Main main(s);
  struct Case {
    const char* name;
    double points;
  };
  for (const Case& c : {Case{"LblTitl", 21.75}, Case{"BtnEND", 14.25}}) {
    const QFont font = child<QWidget>(&main, c.name)->font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), c.points) << c.name;
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic")) << c.name;
  }
  EXPECT_EQ(QFontInfo(ui::fixedGothic(9)).family(), QStringLiteral("IPAGothic"));
  expectColumnsAlign(ui::fixedGothic(9));
}

TEST_F(MainWindowLayout, ListHasSixColumnsWithTheRnoColumnHidden) {
  F_Main main(s);
  QTreeWidget* list = main.listView();
  const char* headers[] = {"コンピュータ名", "ユーザ名", "ＯＳ名", "作成日", "ＣＳＶファイル名", "RNO"};
  const int widths[] = {167, 100, 240, 107, 187};
  ASSERT_EQ(list->columnCount(), 6);
  for (int c = 0; c < 6; ++c) EXPECT_EQ(utf8(list->headerItem()->text(c)), headers[c]);
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(list->columnWidth(c), widths[c]) << c;
    EXPECT_FALSE(list->isColumnHidden(c));
  }
  EXPECT_TRUE(list->isColumnHidden(5));
  // A date and a 20-character computer name fit their columns without being cut.
  const QFontMetrics m(list->font());
  EXPECT_LE(m.horizontalAdvance(QStringLiteral("2004/10/24 10:30")) + 6, list->columnWidth(3));
  EXPECT_LE(m.horizontalAdvance(QStringLiteral("KOUBAI-PC-0123456789")) + 6, list->columnWidth(0));
  EXPECT_FALSE(list->rootIsDecorated());
  EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST(WaitWindow, ShowsCaptionLabelAndEachFileStarted) {
  F_WAIT wait;
  EXPECT_EQ(utf8(wait.windowTitle()), "郵便番号CSVデータ作成");
  EXPECT_EQ(wait.size(), QSize(400, 144));
  QLabel* label = wait.findChild<QLabel*>(QStringLiteral("Label1"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(utf8(label->text()), "しばらくお待ちください。");
  EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 15.75);

  QProgressBar* bar = wait.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  QLabel* file = wait.findChild<QLabel*>(QStringLiteral("LblFile"));
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(file, nullptr);
  wait.show();
  struct Step {
    int index, count;
    const char* name;
  };
  for (const Step& step : {Step{1, 3, "PC01.csv"}, Step{2, 3, "ＰＣ０２.csv"}, Step{3, 3, "PC03.CSV"}}) {
    wait.fileStarted(step.index, step.count, step.name);
    EXPECT_EQ(bar->value(), step.index);
    EXPECT_EQ(bar->maximum(), step.count);
    EXPECT_EQ(utf8(bar->text()), std::to_string(step.index) + " / " + std::to_string(step.count));
    EXPECT_EQ(utf8(file->text()), step.name);
  }
}

TEST(WaitWindow, IgnoresItsCloseBoxWhileBusy) {
  F_WAIT wait;
  wait.show();
  wait.setBusy(true);
  EXPECT_FALSE(wait.close());
  EXPECT_TRUE(wait.isVisible());
  wait.setBusy(false);
  EXPECT_TRUE(wait.close());
  EXPECT_FALSE(wait.isVisible());
}

// What a shown box held, read by a timer while the box waits, then answered with OK.
struct SeenBox {
  std::string title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool onTop = false;
};

// Runs show while a timer waits for the modal box it opens, reads it and clicks OK.
SeenBox answerBox(const std::function<void()>& show) {
  auto seen = std::make_shared<SeenBox>();
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&timer, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    *seen = {utf8(box->windowTitle()), utf8(box->text()), box->icon(), static_cast<int>(box->buttons().size()),
             box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
    timer.stop();
    box->button(QMessageBox::Ok)->click();
  });
  timer.start(10);
  show();
  return *seen;
}

TEST(QtMessageSinkTest, ShowsCaptionTextIconAndOkButton) {
  struct Case {
    const char* text;
    MessageStyle style;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {"すでに「TAVRIX」は起動されています。", MessageStyle::Exclamation, QMessageBox::Warning},
      {"Cant DB Open ", MessageStyle::Plain, QMessageBox::NoIcon},
  };
  for (const Case& c : cases) {
    QtMessageSink sink;
    const SeenBox seen = answerBox([&] { sink.show(c.text, c.style); });
    EXPECT_EQ(seen.title, "TAVRIX");
    EXPECT_EQ(seen.text, c.text);
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.onTop);  // never hidden behind F_WAIT
  }
}

}  // namespace
}  // namespace tavrix

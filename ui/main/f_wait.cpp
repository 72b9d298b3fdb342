// The wait window: caption, the please-wait label, a frame, and the import's progress.
#include "ui/main/f_wait.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>

#include "ui/qt_form_support.h"

namespace tavrix {

using ui::qs;
using ui::twipsRect;

F_WAIT::F_WAIT() {
  setObjectName(QStringLiteral("F_WAIT"));
  setWindowTitle(qs("郵便番号CSVデータ作成"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setFixedSize(ui::twips(6000), ui::twips(2160));
  QPalette grey = palette();
  grey.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
  setPalette(grey);
  setAutoFillBackground(true);

  auto* shape = new QFrame(this);
  shape->setObjectName(QStringLiteral("Shape1"));
  shape->setFrameStyle(QFrame::Box | QFrame::Plain);
  shape->setGeometry(twipsRect(120, 120, 5760, 1920));

  label_ = new QLabel(qs("しばらくお待ちください。"), this);
  label_->setObjectName(QStringLiteral("Label1"));
  label_->setFont(ui::proportionalGothic(15.75));
  label_->setGeometry(twipsRect(360, 240, 5280, 480));

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setGeometry(twipsRect(360, 900, 5280, 330));
  progress_->setRange(0, 1);
  progress_->setValue(0);
  progress_->setFormat(qs("%v / %m"));
  progress_->hide();  // shown once the number of files is known

  fileName_ = new QLabel(this);
  fileName_->setObjectName(QStringLiteral("LblFile"));
  fileName_->setGeometry(twipsRect(360, 1380, 5280, 300));
}

void F_WAIT::fileStarted(int index, int count, const std::string& fileName) {
  progress_->setRange(0, count > 0 ? count : 1);
  progress_->setValue(index);
  progress_->setVisible(count > 0);
  fileName_->setText(qs(fileName));
  repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void F_WAIT::closeEvent(QCloseEvent* event) {
  if (busy_) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace tavrix

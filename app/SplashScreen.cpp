#include "app/SplashScreen.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <cmath>

namespace mirelock {

namespace {

QPixmap SplashPicture() {
  QPixmap picture(480, 240);
  QPainter painter(&picture);
  QLinearGradient gradient(0, 0, 480, 240);
  gradient.setColorAt(0.0, QColor(24, 54, 96));
  gradient.setColorAt(1.0, QColor(46, 120, 140));
  painter.fillRect(picture.rect(), gradient);
  // A penalised landscape: a cost curve with its local minima marked.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(255, 255, 255, 120), 2));
  QPainterPath curve;
  curve.moveTo(20, 200);
  for (int x = 20; x <= 460; x += 4) curve.lineTo(x, 185 - 25 * std::sin(x / 23.0) - 12 * std::cos(x / 9.0));
  painter.drawPath(curve);
  painter.setPen(Qt::white);
  QFont title = painter.font();
  title.setPointSize(30);
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(QRect(0, 40, 480, 60), Qt::AlignCenter, QStringLiteral("Mirelock"));
  QFont subtitle = painter.font();
  subtitle.setPointSize(11);
  subtitle.setBold(false);
  painter.setFont(subtitle);
  painter.drawText(QRect(0, 100, 480, 30), Qt::AlignCenter,
                   QStringLiteral("Guided Local Search workbench  \u2022  Version 1.0"));
  return picture;
}

}  // namespace

SplashScreen::SplashScreen() : QSplashScreen(SplashPicture()) { setObjectName(QStringLiteral("splash")); }

void SplashScreen::ShowFor(int milliseconds) {
  show();
  QTimer::singleShot(milliseconds, this, &QWidget::close);
}

void SplashScreen::keyPressEvent(QKeyEvent* event) {
  // A click already closes a splash screen; a key does the same here.
  event->accept();
  close();
}

}  // namespace mirelock

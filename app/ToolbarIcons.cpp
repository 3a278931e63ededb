#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace mirelock {

namespace {

// Draws on a 32 x 32 grid; the icon keeps that size and a half-size copy.
QIcon Draw(const std::function<void(QPainter&)>& paint) {
  QIcon icon;
  for (int size : {16, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    paint(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

const QColor kInk(60, 60, 70);

}  // namespace

QIcon PrinterIcon() {
  return Draw([](QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(Qt::white);
    p.drawRect(9, 3, 14, 10);  // paper going in
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(3, 12, 26, 12, 3, 3);  // body
    p.setBrush(Qt::white);
    p.drawRect(9, 20, 14, 9);  // paper coming out
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(12, 24, 20, 24);
    p.setBrush(QColor(40, 170, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(25, 16), 1.6, 1.6);
  });
}

QIcon ChartIcon() {
  return Draw([](QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.drawLine(5, 4, 5, 27);
    p.drawLine(5, 27, 29, 27);
    QPainterPath cost;
    cost.moveTo(7, 8);
    cost.lineTo(11, 18);
    cost.lineTo(15, 14);
    cost.lineTo(19, 22);
    cost.lineTo(23, 19);
    cost.lineTo(28, 23);
    p.setPen(QPen(QColor(30, 110, 200), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cost);
    p.setPen(QPen(QColor(40, 150, 60), 1.6, Qt::DashLine));
    p.drawLine(7, 24, 29, 24);
  });
}

QIcon SolveProblemIcon() {
  return Draw([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 150, 60));
    const QPointF play[] = {{4, 5}, {4, 23}, {17, 14}};
    p.drawPolygon(play, 3);
    p.setPen(QPen(kInk, 2.5));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QPointF(20, 18), 6.5, 6.5);
    p.drawLine(QPointF(24.5, 22.5), QPointF(29.5, 28.5));
  });
}

QIcon ResultsIcon() {
  return Draw([](QPainter& p) {
    p.setPen(QPen(kInk, 1.8));
    p.setBrush(Qt::white);
    p.drawRect(4, 5, 24, 22);
    p.setBrush(QColor(200, 215, 235));
    p.drawRect(4, 5, 24, 6);
    p.drawLine(4, 16, 28, 16);
    p.drawLine(4, 21, 28, 21);
    p.drawLine(13, 5, 13, 27);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 200));
    p.drawRect(17, 18, 3, 8);
    p.drawRect(22, 14, 3, 12);
  });
}

}  // namespace mirelock

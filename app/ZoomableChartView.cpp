#include "app/ZoomableChartView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace mirelock {

ZoomableChartView::ZoomableChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::RectangleRubberBand);
  setFocusPolicy(Qt::StrongFocus);
}

void ZoomableChartView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0) return;
  chart()->zoom(steps > 0 ? 1.25 : 0.8);
  emit userZoomed();
  event->accept();
}

void ZoomableChartView::keyPressEvent(QKeyEvent* event) {
  const qreal step = 20;
  switch (event->key()) {
    case Qt::Key_Left: chart()->scroll(-step, 0); break;
    case Qt::Key_Right: chart()->scroll(step, 0); break;
    case Qt::Key_Up: chart()->scroll(0, step); break;
    case Qt::Key_Down: chart()->scroll(0, -step); break;
    case Qt::Key_Plus: chart()->zoomIn(); break;
    case Qt::Key_Minus: chart()->zoomOut(); break;
    default: QChartView::keyPressEvent(event); return;
  }
  emit userZoomed();
}

void ZoomableChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    panning_ = true;
    panFrom_ = event->position();
    event->accept();
    return;
  }
  QChartView::mousePressEvent(event);
}

void ZoomableChartView::mouseMoveEvent(QMouseEvent* event) {
  if (panning_) {
    const QPointF delta = event->position() - panFrom_;
    chart()->scroll(-delta.x(), delta.y());
    panFrom_ = event->position();
    emit userZoomed();
    event->accept();
    return;
  }
  QChartView::mouseMoveEvent(event);
}

void ZoomableChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (panning_ && event->button() == Qt::MiddleButton) {
    panning_ = false;
    event->accept();
    return;
  }
  // The rubber band zooms in on release and the right button zooms out.
  QChartView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) emit userZoomed();
}

}  // namespace mirelock

#pragma once
#include <QChartView>

namespace mirelock {

// A chart view a researcher can explore: drag a rectangle to zoom in, the
// wheel zooms about the middle, the right button zooms out, arrow keys and a
// middle-button drag pan. `userZoomed` tells the owner to stop fitting the
// axes to the data until the zoom is reset.
class ZoomableChartView : public QChartView {
  Q_OBJECT
 public:
  explicit ZoomableChartView(QChart* chart, QWidget* parent = nullptr);

 signals:
  void userZoomed();

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool panning_ = false;
  QPointF panFrom_;
};

}  // namespace mirelock

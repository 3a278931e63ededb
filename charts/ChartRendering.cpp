#include <QBuffer>
#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include "charts/ChartKey.h"
#include "charts/ReportCharts.h"
#include "platform/AtomicFileWriter.h"

namespace mirelock::charts {

namespace {

// Puts the chart in a scene of its own for as long as it is drawn, then gives it back: to the scene it
// came from (a chart view's, which shows and owns it), at the geometry it had there, or to none, so that
// the drawing scene does not delete it. A graphics item lives in one scene at a time, so without the
// give-back an exported chart would vanish from its window and never be freed.
class SceneForDrawing {
 public:
  SceneForDrawing(QChart& chart, QSize size, bool withoutLegend)
      : chart_(chart), home_(chart.scene()), homeGeometry_(chart.geometry()), legendShown_(chart.legend()->isVisible()) {
    // The key below the chart names every experiment in full; the chart's own legend would repeat it cut short.
    if (withoutLegend) chart_.legend()->setVisible(false);
    scene_.addItem(&chart_);
    chart_.setGeometry(0, 0, size.width(), size.height());
    scene_.setSceneRect(0, 0, size.width(), size.height());
    // Lay out legend, axes and plot area now: nothing else runs the event loop.
    chart_.layout()->activate();
  }
  ~SceneForDrawing() {
    scene_.removeItem(&chart_);
    chart_.legend()->setVisible(legendShown_);
    if (!home_) return;
    home_->addItem(&chart_);
    chart_.setGeometry(homeGeometry_);
    chart_.layout()->activate();
  }
  SceneForDrawing(const SceneForDrawing&) = delete;
  SceneForDrawing& operator=(const SceneForDrawing&) = delete;

  void Draw(QPainter& painter, QSize size) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene_.render(&painter, QRectF(0, 0, size.width(), size.height()), scene_.sceneRect());
  }

 private:
  QGraphicsScene scene_;
  QChart& chart_;
  QGraphicsScene* const home_;
  const QRectF homeGeometry_;
  const bool legendShown_;
};

}  // namespace

QByteArray RenderChart(QChart& chart, QSize chartSize, ImageFormat format) {
  const ChartKey key = KeyOf(chart);
  const int keyHeight = KeyHeight(key, chartSize.width());
  const QSize size(chartSize.width(), chartSize.height() + keyHeight);
  const QRect keyArea(0, chartSize.height(), chartSize.width(), keyHeight);
  SceneForDrawing scene(chart, chartSize, keyHeight > 0);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (format == ImageFormat::kSvg) {
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    // The file states its size in millimetres; at 96 dpi a browser shows it at `size` CSS pixels.
    generator.setResolution(96);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(chart.title());
    QPainter painter(&generator);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    scene.Draw(painter, chartSize);
    DrawKey(painter, key, keyArea);
    painter.end();
  } else {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.Draw(painter, chartSize);
    DrawKey(painter, key, keyArea);
    painter.end();
    if (!image.save(&buffer, "PNG")) return {};
  }
  return bytes;
}

bool SaveChart(QChart& chart, const QString& path, QSize size, ImageFormat format) {
  const QByteArray bytes = RenderChart(chart, size, format);
  if (bytes.isEmpty()) return false;
  // Written whole or not at all: a full disk leaves the earlier file, never a truncated image.
  AtomicFileWriter file(path.toStdString());
  if (!file.IsOpen()) return false;
  file.Stream().write(bytes.constData(), bytes.size());
  return file.Commit();
}

}  // namespace mirelock::charts

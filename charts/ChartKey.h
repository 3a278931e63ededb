#pragma once
#include <QBrush>
#include <QPen>
#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QChart;
class QPainter;
QT_END_NAMESPACE

namespace mirelock::charts {

// The key drawn below a chart in its PNG and SVG files: one entry per
// experiment with its full label and the line or box it is drawn with. The
// chart itself names experiments briefly ("Exp 3"), so that twenty of them
// with long labels still fit; the key says what each is, wrapped, never cut.
struct ChartKeyEntry {
  enum class Sample { kNone, kLine, kBox };
  QString text;
  Sample sample = Sample::kNone;
  QPen pen;
  QBrush brush;
};

struct ChartKey {
  QVector<ChartKeyEntry> entries;
  QString footnote;  // after the entries, wrapped (the settings every experiment shares)
};

// Keeps the key with the chart (as a property of it) for RenderChart to draw.
void AttachKey(QChart& chart, const ChartKey& key);
// The key attached to the chart; empty when none.
ChartKey KeyOf(const QChart& chart);

// The height the key takes when drawn `width` pixels wide.
int KeyHeight(const ChartKey& key, int width);
// Draws the key into `area` (its width as given to KeyHeight).
void DrawKey(QPainter& painter, const ChartKey& key, const QRect& area);

}  // namespace mirelock::charts

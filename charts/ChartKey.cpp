#include "charts/ChartKey.h"

#include <QChart>
#include <QFontMetrics>
#include <QPainter>
#include <QVariant>

#include <algorithm>

namespace mirelock::charts {

namespace {

constexpr const char* kKeyProperty = "mirelockChartKey";
constexpr int kMargin = 12;
constexpr int kSampleWidth = 34;
constexpr int kGap = 8;
constexpr int kColumnGap = 24;

QFont KeyFont() {
  QFont font;
  font.setPointSize(9);
  return font;
}

// Two columns when every entry fits half the width on one line; otherwise one, entries wrapped.
int Columns(const ChartKey& key, int width) {
  const QFontMetrics metrics(KeyFont());
  int widest = 0;
  for (const ChartKeyEntry& entry : key.entries) widest = std::max(widest, metrics.horizontalAdvance(entry.text));
  const int half = (width - 2 * kMargin - kColumnGap) / 2;
  return key.entries.size() > 4 && widest + kSampleWidth + kGap <= half ? 2 : 1;
}

int TextWidth(int width, int columns) {
  const int column = (width - 2 * kMargin - (columns - 1) * kColumnGap) / columns;
  return std::max(40, column - kSampleWidth - kGap);
}

int EntryHeight(const QFontMetrics& metrics, const QString& text, int textWidth) {
  return metrics.boundingRect(QRect(0, 0, textWidth, 100000), Qt::TextWordWrap, text).height() + 4;
}

}  // namespace

void AttachKey(QChart& chart, const ChartKey& key) {
  QVariantList entries;
  for (const ChartKeyEntry& entry : key.entries)
    entries << QVariant(QVariantList{entry.text, static_cast<int>(entry.sample), QVariant::fromValue(entry.pen),
                                     QVariant::fromValue(entry.brush)});
  chart.setProperty(kKeyProperty, QVariantList{entries, key.footnote});
}

ChartKey KeyOf(const QChart& chart) {
  ChartKey key;
  const QVariantList stored = chart.property(kKeyProperty).toList();
  if (stored.size() != 2) return key;
  for (const QVariant& item : stored[0].toList()) {
    const QVariantList fields = item.toList();
    if (fields.size() != 4) continue;
    key.entries.push_back({fields[0].toString(), static_cast<ChartKeyEntry::Sample>(fields[1].toInt()),
                           fields[2].value<QPen>(), fields[3].value<QBrush>()});
  }
  key.footnote = stored[1].toString();
  return key;
}

int KeyHeight(const ChartKey& key, int width) {
  if (key.entries.isEmpty() && key.footnote.isEmpty()) return 0;
  const QFontMetrics metrics(KeyFont());
  const int columns = Columns(key, width);
  const int textWidth = TextWidth(width, columns);
  int height = kMargin;
  const int rows = static_cast<int>((key.entries.size() + columns - 1) / columns);
  for (int row = 0; row < rows; ++row) {
    int tallest = 0;
    for (int c = 0; c < columns; ++c) {
      const int i = c * rows + row;
      if (i < key.entries.size()) tallest = std::max(tallest, EntryHeight(metrics, key.entries[i].text, textWidth));
    }
    height += tallest;
  }
  if (!key.footnote.isEmpty())
    height += kGap + EntryHeight(metrics, key.footnote, width - 2 * kMargin);
  return height + kMargin;
}

void DrawKey(QPainter& painter, const ChartKey& key, const QRect& area) {
  if (key.entries.isEmpty() && key.footnote.isEmpty()) return;
  painter.save();
  painter.setFont(KeyFont());
  const QFontMetrics metrics(KeyFont());
  const int columns = Columns(key, area.width());
  const int textWidth = TextWidth(area.width(), columns);
  const int columnWidth = kSampleWidth + kGap + textWidth + kColumnGap;
  const int rows = static_cast<int>((key.entries.size() + columns - 1) / columns);
  int y = area.top() + kMargin;
  for (int row = 0; row < rows; ++row) {
    int tallest = 0;
    for (int c = 0; c < columns; ++c) {
      const int i = c * rows + row;
      if (i >= key.entries.size()) continue;
      const ChartKeyEntry& entry = key.entries[i];
      const int x = area.left() + kMargin + c * columnWidth;
      const int middle = y + metrics.height() / 2 + 1;
      if (entry.sample == ChartKeyEntry::Sample::kLine) {
        painter.setPen(entry.pen);
        painter.drawLine(x, middle, x + kSampleWidth, middle);
      } else if (entry.sample == ChartKeyEntry::Sample::kBox) {
        painter.setPen(entry.pen);
        painter.setBrush(entry.brush);
        painter.drawRect(x + 6, middle - 6, kSampleWidth - 12, 12);
      }
      painter.setPen(Qt::black);
      const QRect text(x + kSampleWidth + kGap, y, textWidth, 100000);
      painter.drawText(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, entry.text);
      tallest = std::max(tallest, EntryHeight(metrics, entry.text, textWidth));
    }
    y += tallest;
  }
  if (!key.footnote.isEmpty()) {
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.drawText(QRect(area.left() + kMargin, y + kGap, area.width() - 2 * kMargin, 100000),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, key.footnote);
  }
  painter.restore();
}

}  // namespace mirelock::charts

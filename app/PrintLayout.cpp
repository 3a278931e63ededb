#include "app/PrintLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>

namespace mirelock {

namespace {

constexpr double kBodyPoints = 10.0;
constexpr double kTitlePoints = 13.0;
constexpr double kFootPoints = 8.0;
constexpr double kScreenDpi = 96.0;

// Breaks `text` into lines no wider than `width` in `font` on `printer`.
QStringList Wrap(const QString& text, const QFont& font, QPrinter& printer, double width) {
  QTextLayout layout(text, font, &printer);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  QStringList pieces;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    pieces << text.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  if (pieces.isEmpty()) pieces << QString();
  return pieces;
}

QFont FontOfSize(const QFont& base, double points, bool bold = false) {
  QFont font(base);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void WidenMargins(QPrinter& printer) {
  const QMarginsF current = printer.pageLayout().margins(QPageLayout::Millimeter);
  const auto wide = [](double m) { return std::max(m, kPrintMarginMm); };
  printer.setPageMargins(QMarginsF(wide(current.left()), wide(current.top()), wide(current.right()),
                                   wide(current.bottom())),
                         QPageLayout::Millimeter);
}

}  // namespace

int PrintLines(const std::vector<DisplayLine>& lines, const QString& title, QPrinter& printer) {
  WidenMargins(printer);
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  // The painter works in device pixels of the printer; fonts given in points
  // are sized for its resolution, so nothing is scaled a second time.
  const double dpi = printer.resolution();
  const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
  const QFont body = FontOfSize(painter.font(), kBodyPoints);
  const QFont heading = FontOfSize(painter.font(), kTitlePoints, true);
  const QFont foot = FontOfSize(painter.font(), kFootPoints);
  const QFontMetricsF bodyMetrics(body, &printer);
  const QFontMetricsF headingMetrics(heading, &printer);
  const QFontMetricsF footMetrics(foot, &printer);
  const double pitch = bodyMetrics.lineSpacing() * 1.25;
  const double bottom = page.height() - footMetrics.lineSpacing() * 2;
  const double continuationIndent = dpi * 0.25;

  int pageNumber = 1;
  double y = 0;
  const auto footer = [&] {
    painter.setFont(foot);
    painter.drawText(QRectF(0, page.height() - footMetrics.lineSpacing(), page.width(), footMetrics.lineSpacing()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1").arg(pageNumber));
  };
  const auto header = [&] {
    painter.setFont(heading);
    painter.drawText(QPointF(0, headingMetrics.ascent()), title);
    y = headingMetrics.lineSpacing() * 1.6;
    painter.setFont(body);
  };
  header();
  for (const DisplayLine& line : lines) {
    const double indent = line.indent * dpi / kScreenDpi;
    const QStringList pieces = Wrap(line.text, body, printer, page.width() - indent - continuationIndent);
    const double firstTop = headingMetrics.lineSpacing() * 1.6;
    // A wrapped line that fits on a page is not split between two.
    const bool keepWhole = firstTop + pitch * pieces.size() <= bottom;
    for (int i = 0; i < pieces.size(); ++i) {
      const bool breakHere = i == 0 && keepWhole ? y + pitch * pieces.size() > bottom : y + pitch > bottom;
      if (breakHere) {
        footer();
        printer.newPage();
        ++pageNumber;
        header();
      }
      const double x = indent + (i > 0 ? continuationIndent : 0.0);
      painter.drawText(QPointF(x, y + bodyMetrics.ascent()), pieces[i]);
      y += pitch;
    }
  }
  footer();
  painter.end();
  return pageNumber;
}

}  // namespace mirelock

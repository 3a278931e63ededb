#include "app/DocumentView.h"

#include <QFontMetrics>
#include <QPainter>

#include "experiments/CMirelockDoc.h"

namespace mirelock {

DocumentView::DocumentView(const CMirelockDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  setObjectName(QStringLiteral("documentView"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setMinimumSize(640, 260);
}

void DocumentView::DrawLines(QPainter& painter) const {
  // The positions give the top left of each line, as a text-out call would.
  const int ascent = painter.fontMetrics().ascent();
  for (const ViewLine& line : doc_.ViewLines())
    painter.drawText(line.x, line.y + ascent, QString::fromStdString(line.text));
}

QStringList DocumentView::LineTexts() const {
  QStringList texts;
  for (const ViewLine& line : doc_.ViewLines()) texts << QString::fromStdString(line.text);
  return texts;
}

void DocumentView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Text));
  DrawLines(painter);
}

}  // namespace mirelock

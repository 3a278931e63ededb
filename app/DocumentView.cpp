#include "app/DocumentView.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "experiments/CMirelockDoc.h"

namespace mirelock {

namespace {

// The document's lines stand 30 pixels apart; the setup lines keep that pitch.
constexpr int kLinePitch = 30;
constexpr int kSetupIndent = 10;
constexpr int kExperimentIndent = 40;
constexpr int kMargin = 10;

QString ExperimentText(std::size_t index, const CExperiment& experiment) {
  QString text = QStringLiteral("%1:").arg(index);
  for (unsigned i = 0; i < experiment.GetParamCount(); ++i)
    text += QLatin1Char(' ') + QString::fromStdString(experiment.GetParamAt(i));
  return text;
}

// The seeding of the runs, in the words of the ordering and seeds dialog.
QString SeedText(const CMirelockDoc& doc) {
  switch (doc.m_nSeedMode.load()) {
    case 0:
      return QStringLiteral("Seeds: using time() x run number");
    case 1:
      return QStringLiteral("Seeds: using a fixed seed: %1 (x run number)").arg(doc.m_nFixedSeed.load());
    case 2:
      return QStringLiteral("Seeds: do not seed");
    default:
      return QStringLiteral("Seeds: unknown mode %1 (no seeding call)").arg(doc.m_nSeedMode.load());
  }
}

}  // namespace

DocumentView::DocumentView(const CMirelockDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  setObjectName(QStringLiteral("documentView"));
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

QStringList DocumentView::LineTexts() const {
  QStringList texts;
  for (const ViewLine& line : doc_.ViewLines()) texts << QString::fromStdString(line.text);
  return texts;
}

QStringList DocumentView::SetupTexts() const {
  QStringList texts;
  texts << QStringLiteral("Problem type is ") + QString::fromLatin1(ProblemMenuName(doc_.m_nProblemType));
  texts << QStringLiteral("Problem ordering is ") +
               (doc_.m_nProblemOrdering.load() == 1 ? QStringLiteral("a random sequence")
                                                   : QStringLiteral("a natural sequence"));
  texts << SeedText(doc_);
  if (doc_.m_experiments.empty()) {
    texts << QStringLiteral("The experiment list is empty (Options, Edit experiment list)");
    return texts;
  }
  texts << QStringLiteral("Experiment list (%1):").arg(doc_.m_experiments.size());
  for (std::size_t i = 0; i < doc_.m_experiments.size(); ++i)
    texts << ExperimentText(i, doc_.m_experiments[i]);
  return texts;
}

std::vector<DisplayLine> DocumentView::PrintLines() const {
  std::vector<DisplayLine> lines;
  for (const ViewLine& line : doc_.ViewLines()) lines.push_back({line.x, QString::fromStdString(line.text)});
  const QStringList setup = SetupTexts();
  for (int i = 0; i < setup.size(); ++i) lines.push_back({IndentOf(i, setup.size()), setup[i]});
  return lines;
}

int DocumentView::IndentOf(int line, qsizetype lines) const {
  // The experiments come last, one line each, indented under their heading.
  return line < lines - static_cast<qsizetype>(doc_.m_experiments.size()) ? kSetupIndent : kExperimentIndent;
}

int DocumentView::SetupTop() const {
  int last = 0;
  for (const ViewLine& line : doc_.ViewLines()) last = std::max(last, line.y);
  return last + kLinePitch;
}

void DocumentView::DrawLines(QPainter& painter) const {
  // The positions give the top left of each line, as a text-out call would.
  const int ascent = painter.fontMetrics().ascent();
  for (const ViewLine& line : doc_.ViewLines())
    painter.drawText(line.x, line.y + ascent, QString::fromStdString(line.text));
  const QStringList setup = SetupTexts();
  int y = SetupTop();
  for (int i = 0; i < setup.size(); ++i, y += kLinePitch)
    painter.drawText(IndentOf(i, setup.size()), y + ascent, setup[i]);
}

QSize DocumentView::sizeHint() const {
  const QFontMetrics metrics(font());
  int width = 0;
  for (const DisplayLine& line : PrintLines())
    width = std::max(width, line.indent + metrics.horizontalAdvance(line.text));
  const int height = SetupTop() + static_cast<int>(SetupTexts().size() - 1) * kLinePitch + metrics.height();
  return {width + kMargin, height + kMargin};
}

void DocumentView::Refresh() {
  updateGeometry();
  update();
}

void DocumentView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Text));
  DrawLines(painter);
}

}  // namespace mirelock

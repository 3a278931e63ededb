#pragma once
#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace mirelock {

class CMirelockDoc;

// One line of the view as the printer lays it out: its indent in pixels of a
// 96-dpi screen and its text.
struct DisplayLine {
  int indent = 0;
  QString text;
};

// The view: the document's text lines at their fixed positions, then the
// problem type, the problem ordering, the seeds and the experiment list below
// them. The same lines serve the screen and the printer. The widget asks for
// the size its lines need, so a scroll area around it shows scroll bars
// instead of clipping.
class DocumentView : public QWidget {
  Q_OBJECT
 public:
  explicit DocumentView(const CMirelockDoc& doc, QWidget* parent = nullptr);

  // Draws every line at its position in the painter's coordinates.
  void DrawLines(QPainter& painter) const;
  // The document's own lines as plain text, one per line.
  QStringList LineTexts() const;
  // The lines below them: problem type, problem ordering, seeds and one line per experiment.
  QStringList SetupTexts() const;
  // Every line, in order, for printing.
  std::vector<DisplayLine> PrintLines() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }
  // Call after the document changed: recomputes the size and repaints.
  void Refresh();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The y of the first setup line: one line pitch below the document's last line.
  int SetupTop() const;
  // The indent of setup line `line` of `lines`.
  int IndentOf(int line, qsizetype lines) const;

  const CMirelockDoc& doc_;
};

}  // namespace mirelock

#pragma once
#include <QWidget>

class QPainter;

namespace mirelock {

class CMirelockDoc;

// The view: the document's text lines at their fixed positions. The same
// drawing serves the screen and the printer.
class DocumentView : public QWidget {
  Q_OBJECT
 public:
  explicit DocumentView(const CMirelockDoc& doc, QWidget* parent = nullptr);

  // Draws the lines at their positions in the painter's coordinates.
  void DrawLines(QPainter& painter) const;
  // The lines as plain text, one per line (what the view shows).
  QStringList LineTexts() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const CMirelockDoc& doc_;
};

}  // namespace mirelock

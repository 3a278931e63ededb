#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

#include "app/DocumentView.h"

class QPrinter;
class QWidget;

namespace mirelock {

// File, Print, Print Preview and Print Setup over one printer kept for the
// session, so that a page set-up holds for the prints after it.
class PrintCommands : public QObject {
  Q_OBJECT
 public:
  // `lines` and `title` are read at each print: the view's lines and the document's name.
  PrintCommands(std::function<std::vector<DisplayLine>()> lines, std::function<QString()> title, QWidget* window);
  ~PrintCommands() override;

  // Lays out the lines on `printer`; returns the pages printed.
  int PrintTo(QPrinter& printer) const;
  void Print();
  void Preview();
  void Setup();

 private:
  QPrinter& Printer();

  std::function<std::vector<DisplayLine>()> lines_;
  std::function<QString()> title_;
  QWidget* window_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace mirelock

#include "app/PrintCommands.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/PrintLayout.h"

namespace mirelock {

PrintCommands::PrintCommands(std::function<std::vector<DisplayLine>()> lines, std::function<QString()> title,
                             QWidget* window)
    : QObject(window), lines_(std::move(lines)), title_(std::move(title)), window_(window) {}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

int PrintCommands::PrintTo(QPrinter& printer) const { return PrintLines(lines_(), title_(), printer); }

void PrintCommands::Print() {
  QPrintDialog dialog(&Printer(), window_);
  if (dialog.exec() == QDialog::Accepted) PrintTo(Printer());
}

void PrintCommands::Preview() {
  QPrintPreviewDialog preview(&Printer(), window_);
  preview.setObjectName(QStringLiteral("printPreview"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { PrintTo(*printer); });
  preview.exec();
}

void PrintCommands::Setup() {
  QPageSetupDialog dialog(&Printer(), window_);
  dialog.exec();
}

}  // namespace mirelock

#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace mirelock {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Mirelock"));
  setObjectName(QStringLiteral("aboutDialog"));
  auto* version = new QLabel(QStringLiteral("Mirelock Version 1.0"));
  auto* details = new QPlainTextEdit;
  details->setReadOnly(true);
  details->setPlainText(
      QStringLiteral(
          "A workbench for Guided Local Search experiments on SAT, weighted MAX-SAT, "
          "QAP and symmetric TSP problems.\n\n"
          "Batch runs write one results file per problem and experiment into the individual "
          "results directory; Summarise turns them into the full results and summary CSV files.\n\n"
          "Built with Qt %1.")
          .arg(QString::fromLatin1(qVersion())));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(version);
  layout->addWidget(details);
  layout->addWidget(buttons);
  resize(420, 260);
}

}  // namespace mirelock

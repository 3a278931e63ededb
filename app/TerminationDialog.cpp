#include "app/TerminationDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/FieldValidation.h"

namespace mirelock {

TerminationDialog::TerminationDialog(CExperiment& experiment, QWidget* parent)
    : QDialog(parent), experiment_(experiment) {
  setWindowTitle(QStringLiteral("Termination criteria settings"));
  setObjectName(QStringLiteral("terminationDialog"));

  maxRepairs_ = new QLineEdit(QString::number(experiment.m_nMaxRepairs));
  maxRepairs_->setObjectName(QStringLiteral("maxRepairs"));
  timesN_ = new QCheckBox(QStringLiteral("x number of variables"));
  timesN_->setObjectName(QStringLiteral("timesN"));
  timesN_->setChecked(experiment.m_bMaxRepairsTimesN);
  numRuns_ = new QLineEdit(QString::number(experiment.m_nNumRuns));
  numRuns_->setObjectName(QStringLiteral("numRuns"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Maximum number of repairs"), maxRepairs_);
  form->addRow(QString(), timesN_);
  form->addRow(QStringLiteral("Number of runs per problem"), numRuns_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void TerminationDialog::accept() {
  const auto maxRepairs = fields::ReadUnsigned(this, maxRepairs_);
  if (!maxRepairs) return;
  const auto numRuns = fields::ReadUnsigned(this, numRuns_);
  if (!numRuns) return;
  experiment_.m_nMaxRepairs = *maxRepairs;
  experiment_.m_bMaxRepairsTimesN = timesN_->isChecked();
  experiment_.m_nNumRuns = *numRuns;
  QDialog::accept();
}

}  // namespace mirelock

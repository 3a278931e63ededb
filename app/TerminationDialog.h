#pragma once
#include <QDialog>

#include "experiments/CExperiment.h"

class QCheckBox;
class QLineEdit;

namespace mirelock {

// "Termination criteria settings": the maximum number of repairs, whether it
// is per variable, and the number of runs. Confirming writes the three values
// into the experiment at once.
class TerminationDialog : public QDialog {
  Q_OBJECT
 public:
  TerminationDialog(CExperiment& experiment, QWidget* parent = nullptr);

  void accept() override;

 private:
  CExperiment& experiment_;
  QLineEdit* maxRepairs_;
  QCheckBox* timesN_;
  QLineEdit* numRuns_;
};

}  // namespace mirelock

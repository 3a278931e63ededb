#pragma once
#include <QDialog>

#include "experiments/CExperiment.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace mirelock {

// "GLS parameter settings": edits the GLS values of an experiment in place.
// Confirming writes them into the experiment; a value out of range keeps the
// dialog open with the user's input. The termination criteria have their own
// sub-editor, which writes into the experiment as soon as it is confirmed,
// whatever happens to this dialog afterwards.
class ParameterDialog : public QDialog {
  Q_OBJECT
 public:
  ParameterDialog(CExperiment& experiment, QWidget* parent = nullptr);

  void accept() override;

 private:
  void ApplyPreset(bool second);
  void EditTermination();
  void ShowTermination();
  void ShowValues(const CExperiment& values, bool includeDecayFactor);

  CExperiment& experiment_;
  QLineEdit* lambda_;
  QCheckBox* aspiration_;
  QLineEdit* randomMoves_;
  QCheckBox* history_;
  QLineEdit* sideways_;
  QLineEdit* decayEvery_;
  QLineEdit* decayFactor_;
  QLineEdit* neighbours_;
  QLabel* termination_;
};

}  // namespace mirelock

#pragma once
#include <QDialog>

#include "experiments/CExperimentListEditor.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace mirelock {

// The experiment list editor: the parameter texts all experiments share under
// "Fixed parameter settings", and a table of the varying ones with "Exp Id".
// It works on a copy of the list (CExperimentListEditor); the caller commits
// the copy when the dialog is accepted.
class ExperimentListDialog : public QDialog {
  Q_OBJECT
 public:
  ExperimentListDialog(std::vector<CExperiment> experiments, UserMessages& messages,
                       QWidget* parent = nullptr);

  CExperimentListEditor& Editor() { return editor_; }

 private:
  void Add();
  void Edit();
  void Delete();
  void MoveUp();
  void MoveDown();
  void ShowTable();
  void SelectionChanged();

  CExperimentListEditor editor_;
  QLabel* fixedText_;
  QTableWidget* table_;
  QPushButton* edit_;
  QPushButton* delete_;
  QPushButton* moveUp_;
  QPushButton* moveDown_;
  bool rebuilding_ = false;
};

}  // namespace mirelock

#pragma once
#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace mirelock {

class CMirelockDoc;

// "Problem ordering and random number seeds". The worker reads these values
// while it runs, so the dialog is available during a run too.
class OrderingSeedsDialog : public QDialog {
  Q_OBJECT
 public:
  OrderingSeedsDialog(CMirelockDoc& doc, QWidget* parent = nullptr);

  void accept() override;

 private:
  CMirelockDoc& doc_;
  QRadioButton* natural_;
  QRadioButton* random_;
  QRadioButton* seedTime_;
  QRadioButton* seedFixed_;
  QRadioButton* seedNone_;
  QLineEdit* fixedSeed_;
};

}  // namespace mirelock

#pragma once
#include <QDialog>

namespace mirelock {

// "About Mirelock".
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace mirelock

#pragma once
#include <QDialog>
#include <cstdint>

class QLineEdit;

namespace mirelock {

// "Output stats every R repairs": R from 1 to 4294967295.
class MonitorEveryDialog : public QDialog {
  Q_OBJECT
 public:
  MonitorEveryDialog(std::uint32_t every, QWidget* parent = nullptr);

  std::uint32_t Every() const { return every_; }
  void accept() override;

 private:
  std::uint32_t every_;
  QLineEdit* field_;
};

}  // namespace mirelock

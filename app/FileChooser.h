#pragma once
#include <QString>
#include <functional>

class QFileDialog;

namespace mirelock {

// Runs the prepared file and folder choosers of every command. Tests replace
// the runner to pick a path as a user would, after checking the chooser's
// title, filters and default suffix.
class FileChooser {
 public:
  using Runner = std::function<QString(QFileDialog&)>;
  void SetRunner(Runner runner) { runner_ = std::move(runner); }

  // The confirmed path, with the dialog's default suffix added when the name
  // has none; empty when cancelled.
  QString Run(QFileDialog& dialog) const;

 private:
  Runner runner_;
};

}  // namespace mirelock

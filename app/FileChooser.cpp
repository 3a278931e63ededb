#include "app/FileChooser.h"

#include <QFileDialog>
#include <QFileInfo>

namespace mirelock {

QString FileChooser::Run(QFileDialog& dialog) const {
  QString path;
  if (runner_) {
    path = runner_(dialog);
  } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    path = dialog.selectedFiles().front();
  }
  if (path.isEmpty()) return path;
  const QString suffix = dialog.defaultSuffix();
  if (!suffix.isEmpty() && QFileInfo(path).suffix().isEmpty() && !QFileInfo(path).isDir())
    path += QLatin1Char('.') + suffix;
  return path;
}

}  // namespace mirelock

#pragma once
#include <QSettings>

namespace mirelock {

// The per-user settings of the desktop app: the recent-file list under the
// key the platform's document programs use, the window's geometry and the
// number of workers beside it.
inline QSettings UserSettings() {
  return QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Mirelock"));
}

}  // namespace mirelock

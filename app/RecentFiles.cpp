#include "app/RecentFiles.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "app/UserSettings.h"

namespace mirelock {

namespace {
constexpr const char* kRecentGroup = "Recent File List";
}  // namespace

RecentFiles::RecentFiles(QObject* parent) : QObject(parent) {}

void RecentFiles::AddTo(QMenu& menu) {
  separator_ = menu.addSeparator();
  for (int i = 0; i < kCount; ++i) {
    auto* recent = new QAction(&menu);
    recent->setObjectName(QStringLiteral("actionRecent%1").arg(i + 1));
    recent->setVisible(false);
    connect(recent, &QAction::triggered, this, [this, recent] { emit openRequested(recent->data().toString()); });
    actions_ << recent;
    menu.addAction(recent);
  }
  Show();
}

QStringList RecentFiles::Files() const {
  QSettings settings = UserSettings();
  settings.beginGroup(QString::fromLatin1(kRecentGroup));
  QStringList files;
  for (int i = 1; i <= kCount; ++i) {
    const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
    if (!file.isEmpty()) files << file;
  }
  return files;
}

void RecentFiles::Add(const QString& path) {
  QStringList files = Files();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  files.removeAll(absolute);
  files.prepend(absolute);
  Store(files);
}

void RecentFiles::Remove(const QString& path) {
  QStringList files = Files();
  files.removeAll(path);
  files.removeAll(QFileInfo(path).absoluteFilePath());
  Store(files);
}

void RecentFiles::Store(QStringList files) {
  while (files.size() > kCount) files.removeLast();
  QSettings settings = UserSettings();
  settings.beginGroup(QString::fromLatin1(kRecentGroup));
  for (int i = 1; i <= kCount; ++i) {
    if (i <= files.size())
      settings.setValue(QStringLiteral("File%1").arg(i), files[i - 1]);
    else
      settings.remove(QStringLiteral("File%1").arg(i));
  }
  settings.endGroup();
  settings.sync();
  Show();
}

void RecentFiles::Show() {
  if (!separator_) return;
  const QStringList files = Files();
  for (int i = 0; i < kCount; ++i) {
    QAction* action = actions_[i];
    if (i < files.size()) {
      action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
      action->setData(files[i]);
      action->setVisible(true);
    } else {
      action->setVisible(false);
    }
  }
  separator_->setVisible(!files.isEmpty());
}

}  // namespace mirelock

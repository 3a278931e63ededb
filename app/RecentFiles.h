#pragma once
#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace mirelock {

// The File menu's list of the last documents, kept in the per-user settings
// under the key the document programs of the platform use ("&1 name" ...).
class RecentFiles : public QObject {
  Q_OBJECT
 public:
  static constexpr int kCount = 4;

  explicit RecentFiles(QObject* parent = nullptr);

  // Adds the entries (hidden while empty) and a separator before them to `menu`.
  void AddTo(QMenu& menu);
  QStringList Files() const;
  void Add(const QString& path);
  void Remove(const QString& path);
  const QList<QAction*>& Actions() const { return actions_; }

 signals:
  void openRequested(const QString& path);

 private:
  void Store(QStringList files);
  void Show();

  QAction* separator_ = nullptr;
  QList<QAction*> actions_;
};

}  // namespace mirelock

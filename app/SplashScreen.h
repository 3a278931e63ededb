#pragma once
#include <QSplashScreen>

namespace mirelock {

// The start-up picture: shown for two seconds, closed earlier by a key press
// or a mouse click.
class SplashScreen : public QSplashScreen {
  Q_OBJECT
 public:
  SplashScreen();

  // Shows the picture and closes it after `milliseconds`.
  void ShowFor(int milliseconds);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace mirelock

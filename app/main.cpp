// mirelock-gui [DOC]: the desktop workbench. Opens DOC when given, otherwise a
// new document. The start-up picture is left out with --no-splash or when
// MIRELOCK_NO_SPLASH is set (scripts and tests start the window many times).
#include <QApplication>
#include <QCommandLineParser>

#include "app/MainWindow.h"
#include "app/SplashScreen.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Mirelock"));
  QApplication::setApplicationVersion(QStringLiteral("1.0"));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Mirelock: a workbench for Guided Local Search experiments"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOption({QStringLiteral("no-splash"), QStringLiteral("Start without the start-up picture.")});
  parser.addPositionalArgument(QStringLiteral("DOC"), QStringLiteral("Document file to open."),
                               QStringLiteral("[DOC]"));
  parser.process(app);

  mirelock::MainWindow window;
  const QStringList positional = parser.positionalArguments();
  if (!positional.isEmpty()) window.OpenDocument(positional.front());

  const bool splash =
      !parser.isSet(QStringLiteral("no-splash")) && qEnvironmentVariableIsEmpty("MIRELOCK_NO_SPLASH");
  window.show();
  if (splash) {
    auto* picture = new mirelock::SplashScreen;
    picture->setAttribute(Qt::WA_DeleteOnClose);
    picture->ShowFor(2000);
  }
  return app.exec();
}

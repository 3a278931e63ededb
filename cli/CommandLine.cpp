#include "cli/CommandLine.h"

#include <iostream>

#include "cli/CommandError.h"
#include "experiments/DocumentFile.h"
#include "platform/FatalError.h"

namespace mirelock {

int RunCommandLine(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
    return 0;
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 1;
  } catch (const CommandError& e) {
    if (*e.what() != '\0') std::cerr << e.what() << '\n';  // empty: already reported
    return e.Status();
  } catch (const DocumentFileError& e) {
    std::cerr << e.what() << '\n';
    return 1;
  } catch (const FatalError& e) {
    // Most texts carry their own line end; the others get one.
    std::ostream& stream = e.Stream() == OutputStream::Out ? std::cout : std::cerr;
    stream << e.Text();
    if (e.Text().empty() || e.Text().back() != '\n') stream << '\n';
    stream.flush();
    if (!e.SourceNote().empty()) std::cerr << e.SourceNote() << '\n';
    return e.ExitStatus();
  } catch (const std::exception& e) {
    std::cerr << "mirelock: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace mirelock

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv) {
  CLI::App app{"Mirelock: Guided Local Search experiment workbench"};
  app.require_subcommand(1);
  app.add_subcommand("version", "Print the version")->callback([] { std::cout << "Mirelock Version 1.0\n"; });
  CLI11_PARSE(app, argc, argv);
  return 0;
}

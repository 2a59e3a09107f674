// The command line as Linux programs answer it: --help, --help-all and --version, and Qt's own
// options (-platform, -display, -style, ...) left to Qt.
#pragma once

#include <optional>

namespace pyra {

// Called before any application object exists, so that no display is needed: --help,
// --help-all and --version print their answer (Qt's parser writes it) and end the program
// with status 0. Returns when none of them is given.
void AnswerInformationOptions(int argc, char** argv);

// Once the application object has taken Qt's own options off the command line, nothing may
// remain: an unknown option or an argument is reported in one line on stderr, and the result
// is the exit status, 2.
std::optional<int> RejectLeftoverArguments();

}  // namespace pyra

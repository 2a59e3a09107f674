// Where the program's data files live: the music, the cue sounds and the help.
#pragma once

#include <QString>

namespace pyra {

// <prefix>/share/pyra3 beside an installed program's bin/ folder, otherwise the folder of the
// executable itself (a build tree, where the build copies the data files). Needs the
// application object.
QString ProgramFolder();

// The program folder joined with a file name through exactly one separator.
QString ProgramFile(const QString& name);

}  // namespace pyra

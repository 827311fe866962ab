#pragma once

#include <string>

#include "config/status.h"

namespace kr450 {

// Folder of the running executable.
std::string ProgramDirectory();

// Folder of the files shipped with the program (skins/, defaults/): the program's folder in
// the build tree, where they lie beside it, and ../share/kr450 of an installed program.
std::string ShippedDirectoryFor(const std::string& programDirectory);

// Folder that holds config.ini and Macro.dat: the program's folder when the shipped files lie
// beside it and it can be written, else $XDG_CONFIG_HOME/kr450 (~/.config/kr450), where the
// shipped defaults are copied on first use. An installed program always uses the latter, even
// in a folder its user may write (a prefix in the home folder, root and /usr/bin). A missing
// config.ini is recreated from the shipped default (defaults/config.ini).
std::string DataDirectory();
// The same for a given program folder.
std::string DataDirectoryFor(const std::string& programDirectory);

// Folder of the skins: skins/ in the folder of the shipped files.
std::string SkinDirectory();

// Makes sure `dataDirectory`/config.ini exists, copying it from the shipped default when it
// is missing. A missing config.ini would give a configuration in which no button has any
// function, and the next apply would leave the mouse without a left button.
Status EnsureConfigFile(const std::string& dataDirectory);

}  // namespace kr450

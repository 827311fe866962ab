#pragma once

#include <string>

#include "config/status.h"

namespace kr450 {

// Folder of the running executable.
std::string ProgramDirectory();

// Folder that holds config.ini and Macro.dat: the program's folder when it can be written,
// else $XDG_CONFIG_HOME/kr450 (~/.config/kr450), where the defaults beside the program are
// copied on first use. A missing config.ini is recreated from the shipped default
// (defaults/config.ini beside the program).
std::string DataDirectory();
// The same for a given program folder.
std::string DataDirectoryFor(const std::string& programDirectory);

// Folder of the skins: the program's skins/ folder.
std::string SkinDirectory();

// Makes sure `dataDirectory`/config.ini exists, copying it from the shipped default when it
// is missing. A missing config.ini would give a configuration in which no button has any
// function, and the next apply would leave the mouse without a left button.
Status EnsureConfigFile(const std::string& dataDirectory);

}  // namespace kr450

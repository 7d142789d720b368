#pragma once
#include <string>

namespace qs {

// Where a run finds its media and keeps its own files.
struct ProgramDirs {
  std::string media;       // the program directory (App.Path): media files
  std::string data;        // the score file's folder
  bool installed = false;  // media under <prefix>/share/qspe, files in the data home
};

// An installed program (`<exe>/<mediaFromBin>` is a folder, ../share/qspe
// unless the build put the media elsewhere) reads its media there and keeps
// its files in dataHome(); a program run from its own folder (a build tree,
// a portable copy) keeps both beside itself. A folder chosen on the command
// line is used as its own folder. No trailing separators.
ProgramDirs findProgramDirs(const std::string& exeDir, const std::string& chosenDir = "",
                            const std::string& mediaFromBin = "../share/qspe");

// $XDG_DATA_HOME/qspe when that is an absolute path, else
// ~/.local/share/qspe; empty when there is no home folder.
std::string dataHome();

// The player's home folder: $HOME, or where HOME is unset the account's
// home; empty when HOME is not absolute or there is none.
std::string homeFolder();

// The program's folder under one of the player's base folders: $VARIABLE/qspe
// when that is an absolute path, else ~/UNDER_HOME/qspe; empty when the home
// folder is not known either.
std::string userFolder(const char* variable, const char* underHome);

}  // namespace qs

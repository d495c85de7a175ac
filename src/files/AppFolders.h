#pragma once
// Where the tool's files live.
//
// Application data folder: Settings.ini, the car database and the downloaded
// update files. On Windows it is the machine-wide "%ProgramData%\RV5K Loader\".
// Linux has no folder that every user may write without a package setting it
// up, so there it is the user's own "$XDG_DATA_HOME/RV5K Loader/" (by default
// "~/.local/share/RV5K Loader/"). RV5K_APPDATA, when set, names the folder
// instead (tests, portable use). When no folder can be named the result is
// empty and the files are taken from the working folder; otherwise it always
// ends with the path separator, so file names are appended directly.
//
// Program folder: the folder of the running program (the language file, the
// start folder of the template dialogs); it ends with the separator too.

#include <QString>

QString AppDataFolder();
QString ProgramFolder();

// Copies the file of this name from the program folder into the application
// data folder (creating it) when the data folder has none; the copy appears
// whole or not at all. False when the file is still missing afterwards; when
// the copy could not be written, error says so ("Unable to write to ..."),
// while a program folder without the file leaves it empty.
bool InstallShippedFile(const QString& name, QString* error = nullptr);

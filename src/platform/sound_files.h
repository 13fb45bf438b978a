#pragma once

#include <QString>

// Where the program's sounds ("Start.wav", "Ende_Einheit.wav", "Feierabend.wav",
// "Countdown60.wav", "Countdown30.wav") are found: in "Sounds" below the working folder first,
// where users have always put their own, then among the program's default sounds in "Sounds"
// beside the program (as installed, and in the build folder).
namespace soundfiles {

// The file to play, or "" when neither folder has it.
QString path(const QString& fileName, const QString& workingFolder, const QString& programFolder);
// The same for the current working folder and the running program's folder.
QString path(const QString& fileName);

} // namespace soundfiles

#pragma once

#include <QStringList>

// The arguments the program was started with, without its own name, as the user typed them:
// on Windows from the wide command line, since argv holds them in the ANSI code page, which
// cannot spell every file name (linux/ and windows/).
QStringList programArguments(int argc, char** argv);

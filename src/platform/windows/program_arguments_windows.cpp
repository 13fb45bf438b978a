#include "../program_arguments.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

QStringList programArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    QStringList arguments;
    if (!wide)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments << QString::fromWCharArray(wide[i]);
    LocalFree(wide);
    return arguments;
}

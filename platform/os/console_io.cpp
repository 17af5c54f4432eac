#include "platform/os/console_io.h"

#include <cstdio>

#include "platform/os/gbk.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <QString>
#include <cstdio>

namespace {

// True when the handle leads somewhere already: a file, a pipe or a console.
bool Connected(DWORD which)
{
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void UseStartingConsole()
{
    const bool out = Connected(STD_OUTPUT_HANDLE);
    const bool err = Connected(STD_ERROR_HANDLE);
    if (out && err) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from the desktop: nowhere to write
    if (!out && std::freopen("CONOUT$", "w", stdout) == nullptr) return;
    if (!err) std::freopen("CONOUT$", "w", stderr);
    SetConsoleOutputCP(CP_UTF8);
}

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(QString::fromWCharArray(wide[i]).toStdString());
    LocalFree(wide);
    return args;
}

#else

void UseStartingConsole() {}

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#endif

void WriteBoxToStderr(const char* title, const char* text)
{
    std::string line = GbkToUtf8Lenient(text != nullptr ? text : "");
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n')) line.pop_back();
    for (char& c : line) {
        if (c == '\n') c = ' ';
    }
    std::fprintf(stderr, "drive-console: %s: %s\n", title != nullptr ? title : "", line.c_str());
}

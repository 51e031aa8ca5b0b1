// Test helper, run under Wine.
//   wine_helper rect TITLE   prints where Windows placed the top-level window with that title, as
//                            Windows itself defines it: the outer frame (GetWindowRect) and the
//                            client area (its size, and its top-left corner in screen coordinates),
//                            in physical pixels on a scaled display too.
//   wine_helper run PROGRAM [ARGUMENTS...]
//                            runs the program with DISPLAY out of its environment and returns its
//                            exit status. Wine needs the variable, but freeglut on Windows takes it
//                            for a display device name. The rest of this command line goes to the
//                            program as it is, so Windows' own 32,767-character limit applies.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static int rect(const char* title)
{
    // Else Windows would scale the answers down to what a 96-DPI program expects to see.
    SetProcessDPIAware();
    HWND window = FindWindowA(nullptr, title);
    if (!window) {
        std::fprintf(stderr, "no top-level window titled '%s'\n", title);
        return 1;
    }
    RECT frame{}, client{};
    POINT origin{0, 0};
    if (!GetWindowRect(window, &frame) || !GetClientRect(window, &client) || !ClientToScreen(window, &origin)) {
        std::fprintf(stderr, "could not read the window's rectangles: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("frame %ld %ld %ld %ld client %ld %ld %ld %ld\n", frame.left, frame.top,
                frame.right - frame.left, frame.bottom - frame.top, origin.x, origin.y,
                client.right - client.left, client.bottom - client.top);
    return 0;
}

static int run()
{
    // Skip this helper's own name and "run": unquoted words here, or a quoted path.
    const wchar_t* rest = GetCommandLineW();
    for (int word = 0; word < 2; ++word) {
        for (bool quoted = false; *rest && (quoted || (*rest != L' ' && *rest != L'\t')); ++rest)
            quoted ^= *rest == L'"';
        while (*rest == L' ' || *rest == L'\t')
            ++rest;
    }
    std::wstring command = rest;
    SetEnvironmentVariableW(L"DISPLAY", nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "could not start %ls: error %lu\n", command.c_str(), GetLastError());
        return 126;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    return static_cast<int>(status);
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "rect") == 0)
        return rect(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "run") == 0)
        return run();
    std::fprintf(stderr, "usage: wine_helper rect TITLE | wine_helper run PROGRAM [ARGUMENTS...]\n");
    return 2;
}

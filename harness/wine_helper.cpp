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
//                            A shortcut (.lnk) is started as Explorer starts it: its target, with
//                            its arguments, in its working folder.
//   wine_helper link SHORTCUT
//                            prints a shortcut's target, arguments, working folder and icon, a
//                            line each.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

struct Shortcut {
    std::wstring target, arguments, folder, icon;
};

static bool readShortcut(const std::wstring& path, Shortcut& link)
{
    CoInitialize(nullptr);
    IShellLinkW* shell = nullptr;
    IPersistFile* file = nullptr;
    wchar_t text[4][MAX_PATH]{};
    int index = 0;
    bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&shell)))
        && SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))
        && SUCCEEDED(file->Load(path.c_str(), STGM_READ))
        && SUCCEEDED(shell->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH))
        && SUCCEEDED(shell->GetArguments(text[1], MAX_PATH))
        && SUCCEEDED(shell->GetWorkingDirectory(text[2], MAX_PATH))
        && SUCCEEDED(shell->GetIconLocation(text[3], MAX_PATH, &index));
    if (file)
        file->Release();
    if (shell)
        shell->Release();
    link = {text[0], text[1], text[2], std::wstring(text[3]) + L"," + std::to_wstring(index)};
    return read;
}

static int link(const char* path)
{
    Shortcut shortcut;
    std::wstring wide(path, path + std::strlen(path));
    if (!readShortcut(wide, shortcut)) {
        std::fprintf(stderr, "could not read the shortcut %s\n", path);
        return 1;
    }
    std::printf("%ls\n%ls\n%ls\n%ls\n", shortcut.target.c_str(), shortcut.arguments.c_str(),
                shortcut.folder.c_str(), shortcut.icon.c_str());
    return 0;
}

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
    bool quoted = command.rfind(L"\"", 0) == 0;
    std::size_t end = std::min(command.find(quoted ? L'"' : L' ', quoted), command.size());
    std::wstring program = command.substr(quoted, end - quoted);
    Shortcut shortcut;
    if (program.size() > 4 && _wcsicmp(program.c_str() + program.size() - 4, L".lnk") == 0) {
        if (!readShortcut(program, shortcut)) {
            std::fprintf(stderr, "could not read the shortcut %ls\n", program.c_str());
            return 126;
        }
        command = L"\"" + shortcut.target + L"\" " + shortcut.arguments + command.substr(std::min(end + quoted, command.size()));
    }
    SetEnvironmentVariableW(L"DISPLAY", nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        shortcut.folder.empty() ? nullptr : shortcut.folder.c_str(), &startup, &process)) {
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
    if (argc == 3 && std::strcmp(argv[1], "link") == 0)
        return link(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "run") == 0)
        return run();
    std::fprintf(stderr, "usage: wine_helper rect TITLE | run PROGRAM [ARGUMENTS...] | link SHORTCUT\n");
    return 2;
}

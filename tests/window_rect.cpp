// Test helper, run under Wine: prints where Windows placed the top-level window with the given
// title, as Windows itself defines it: the outer frame (GetWindowRect) and the client area (its
// size, and its top-left corner in screen coordinates), in physical pixels on a scaled display too.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_rect TITLE\n");
        return 2;
    }
    // Else Windows would scale the answers down to what a 96-DPI program expects to see.
    SetProcessDPIAware();
    HWND window = FindWindowA(nullptr, argv[1]);
    if (!window) {
        std::fprintf(stderr, "no top-level window titled '%s'\n", argv[1]);
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

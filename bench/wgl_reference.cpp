// The floor under the Windows program's frame rate: the same window as freeglut makes for Tolvane
// (its frame's corner at (100, 100) around a 1920 x 1080 client area, an overlapped window), with
// the pixel format freeglut asks ChoosePixelFormat for under GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH,
// cleared and swapped in a PeekMessage loop through plain Win32 and WGL. No toolkit. The benchmark
// ends it.
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>

static LRESULT CALLBACK onMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA type{};
    type.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    type.lpfnWndProc = onMessage;
    type.hInstance = instance;
    type.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    type.lpszClassName = "TolvaneWGLReference";
    RegisterClassA(&type);

    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    RECT frame{0, 0, 1920, 1080};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, type.lpszClassName, "Tolvane WGL reference", style, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    HDC device = GetDC(window);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 24;
    int chosen = ChoosePixelFormat(device, &format);
    if (!chosen || !SetPixelFormat(device, chosen, &format)) {
        std::fprintf(stderr, "wgl_reference: no RGBA, double-buffered pixel format with depth\n");
        return 1;
    }
    HGLRC context = wglCreateContext(device);
    wglMakeCurrent(device, context);
    ShowWindow(window, SW_SHOW);

    glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
    for (MSG message{};;) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return 0;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SwapBuffers(device);
    }
}

// The floor under Tolvane's frame rate: the same 1920 x 1080 window at (100, 100), with the visual
// freeglut would pick for RGBA, double buffering and depth, cleared and swapped in a loop through
// plain Xlib and GLX. No toolkit, and no event handling beyond waiting for the window to be mapped.
// The benchmark ends it with a signal.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "reference: cannot open the display\n");
        return 1;
    }
    // What freeglut asks for under GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH; like freeglut, take the
    // first match.
    const int attributes[] = {GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                              GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1,
                              GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE, 1, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), attributes, &count);
    XVisualInfo* visual = count > 0 ? glXGetVisualFromFBConfig(display, configs[0]) : nullptr;
    if (!visual) {
        std::fprintf(stderr, "reference: no RGBA, double-buffered GLX visual with depth\n");
        return 1;
    }
    Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes set{};
    set.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    set.event_mask = StructureNotifyMask;
    Window window = XCreateWindow(display, root, 100, 100, 1920, 1080, 0, visual->depth, InputOutput,
                                  visual->visual, CWColormap | CWEventMask, &set);
    XStoreName(display, window, "Tolvane reference");
    GLXContext context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
    glXMakeCurrent(display, window, context);
    XMapWindow(display, window);
    for (XEvent event{}; event.type != MapNotify;)
        XNextEvent(display, &event);

    glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
    for (;;) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glXSwapBuffers(display, window);
    }
}

// What Tolvane would be through GLFW instead of freeglut: the same 1920 x 1080 window at (100, 100),
// RGBA, double-buffered, with a depth buffer and neither alpha nor stencil, as far as GLFW's hints
// ask for them; events polled, then a clear and a swap, in a loop. The benchmark ends it with a
// signal.
#include <GLFW/glfw3.h>

#include <cstdio>

int main()
{
    if (!glfwInit()) {
        std::fprintf(stderr, "glfw_reference: glfwInit failed\n");
        return 1;
    }
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    // GLFW before 3.4 has no hint for the position: place the window before it is shown.
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "Tolvane GLFW reference", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "glfw_reference: no window with that pixel format\n");
        return 1;
    }
    glfwSetWindowPos(window, 100, 100);
    glfwShowWindow(window);
    glfwMakeContextCurrent(window);

    glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
    while (!glfwWindowShouldClose(window)) {
        glfwPollEvents();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glfwSwapBuffers(window);
    }
    glfwTerminate();
}

// What Tolvane would be through SDL2 instead of freeglut: the same 1920 x 1080 window at (100, 100),
// RGBA, double-buffered, with a depth buffer and neither alpha nor stencil, as far as SDL's GL
// attributes ask for them; events polled, then a clear and a swap, in a loop. The benchmark ends
// it with a signal.
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>

int main(int, char**)
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "sdl2_reference: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_Window* window = SDL_CreateWindow("Tolvane SDL2 reference", 100, 100, 1920, 1080, SDL_WINDOW_OPENGL);
    if (!window || !SDL_GL_CreateContext(window)) {
        std::fprintf(stderr, "sdl2_reference: %s\n", SDL_GetError());
        return 1;
    }

    glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
    for (;;) {
        for (SDL_Event event; SDL_PollEvent(&event);)
            if (event.type == SDL_QUIT)
                return 0;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    }
}

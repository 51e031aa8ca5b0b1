// Tolvane: one freeglut window, white until the toolkit first goes idle, green from then on.
#include <GL/freeglut.h>

static void onDisplay()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

static void onKeyboard(unsigned char key, int, int)
{
    // Only the byte counts: anything the toolkit reports as ESC (Ctrl+[ too) ends the loop.
    if (key == 27)
        glutLeaveMainLoop();
    glutPostRedisplay();
}

static void onSpecialKey(int, int, int) {}
static void onMouse(int, int, int, int) {}
static void onMotion(int, int) {}
static void onPassiveMotion(int, int) {}

// Replaces the toolkit's default, which would reset the viewport; a clear fills the window anyway.
static void onReshape(int, int) {}

static void onIdle()
{
    // Alpha 0 is deliberate: the window has no alpha channel for it to reach.
    glClearColor(0.0f, 1.0f, 0.0f, 0.0f);
    glutPostRedisplay();
}

int main(int argc, char** argv)
{
    // The toolkit takes its own options first; the size and position below then override its -geometry.
    glutInit(&argc, argv);
    glutInitWindowSize(1920, 1080);
    glutInitWindowPosition(100, 100);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("Tolvane");

    glutDisplayFunc(onDisplay);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutMouseFunc(onMouse);
    glutMotionFunc(onMotion);
    glutPassiveMotionFunc(onPassiveMotion);
    glutReshapeFunc(onReshape);
    glutIdleFunc(onIdle);

    // Needs the context that window creation made current.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glutMainLoop();
    return 0;
}

// The least a GL program can show: a GLFW window with a GL context, cleared
// to one colour and swapped, nothing loaded. Its time to the first picture is
// the floor that window system, GL driver and GLFW set for any GL program on
// the machine. It stays open until it is killed.
#include <GLFW/glfw3.h>

int main()
{
    if (!glfwInit()) return 1;
    GLFWwindow* window = glfwCreateWindow(640, 475, "bare GL window", nullptr, nullptr);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    glClearColor(0.34f, 0.24f, 0.42f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glfwSwapBuffers(window);
    while (!glfwWindowShouldClose(window)) glfwWaitEvents();
    return 0;
}

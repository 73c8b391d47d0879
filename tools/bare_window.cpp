// The least a GL program can show: a GLFW window with a GL context, cleared
// to one colour and swapped, nothing loaded. Its time to the first picture is
// the floor that window system, GL driver and GLFW set for any GL program on
// the machine. It stays open until it is killed.
//
// With --draw-and-sound it is the floor of a program that does what the
// tracker must: one textured quad blended as the tracker's renderer blends
// (which makes the software driver compile its drawing code), and an OpenAL
// device and context with eight sources (which makes the mixer allocate its
// voices and start its thread).
#include <AL/al.h>
#include <AL/alc.h>
#include <GLFW/glfw3.h>

#include <array>
#include <cstring>

namespace {

void drawTexturedQuad()
{
    // 3 × 3 texels: the side the tracker's textures share, not a power of two.
    std::array<unsigned char, 3 * 3 * 4> texels {};
    texels.fill(200);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 3, 3, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 475, 0, -1, 1);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    glColor4ub(148, 144, 164, 255);
    glTexCoord2f(0, 0), glVertex2f(10, 10);
    glTexCoord2f(1, 0), glVertex2f(100, 10);
    glTexCoord2f(1, 1), glVertex2f(100, 40);
    glTexCoord2f(0, 1), glVertex2f(10, 40);
    glEnd();
}

// Kept open until the process ends, as a program's device is.
bool openSound()
{
    ALCdevice* device = alcOpenDevice(nullptr);
    ALCcontext* context = device ? alcCreateContext(device, nullptr) : nullptr;
    if (!context || !alcMakeContextCurrent(context)) return false;
    std::array<ALuint, 8> sources {};
    alGenSources(static_cast<ALsizei>(sources.size()), sources.data());
    return alGetError() == AL_NO_ERROR;
}

} // namespace

int main(int argc, char** argv)
{
    bool drawAndSound = argc > 1 && std::strcmp(argv[1], "--draw-and-sound") == 0;
    if (!glfwInit()) return 1;
    GLFWwindow* window = glfwCreateWindow(640, 475, "bare GL window", nullptr, nullptr);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    glClearColor(0.34f, 0.24f, 0.42f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (drawAndSound) drawTexturedQuad();
    glfwSwapBuffers(window);
    if (drawAndSound && !openSound()) return 1;
    while (!glfwWindowShouldClose(window)) glfwWaitEvents();
    return 0;
}

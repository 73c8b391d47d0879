#include "tests/support/gl/gl_window.h"

#include "graphics/graphics_context.h"
#include "tests/support/xvfb.h"

#include <GL/glx.h>
#include <GLFW/glfw3.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

constexpr char32_t testWindowTitle[] = U"Kovo Tracker test window";

struct GlWorld {
    std::unique_ptr<BBQuorvaneGame> game;
    std::unique_ptr<gxtkGraphics> renderer;
};

GlWorld& world()
{
    static GlWorld made = [] {
        ensureXvfb();
        if (!glfwInit()) throw std::runtime_error("glfwInit failed");
        GlWorld fresh;
        fresh.game = std::make_unique<BBQuorvaneGame>();
        fresh.game->setWindowPicture({testWindowTitle, 640, 475, {}});
        fresh.game->createWindow(640, 475, windowDecorated);
        fresh.renderer = std::make_unique<gxtkGraphics>();
        return fresh;
    }();
    return made;
}

// This program's temporary folder, removed when the program ends.
struct TemporaryFolder {
    std::string path;
    TemporaryFolder()
    {
        char pattern[] = "/tmp/kovo-graphics-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

BBQuorvaneGame& GlWindowTest::game() { return *world().game; }
gxtkGraphics& GlWindowTest::renderer() { return *world().renderer; }

void GlWindowTest::SetUp()
{
    world();
    createDrawState();
    hostRenderer = &renderer();
    currentRenderer = nullptr;
    // Every test starts from a black picture.
    beginFrame();
    renderer().clear(0, 0, 0);
    currentRenderer = nullptr;
    renderer().endFrame();
}

void GlWindowTest::TearDown()
{
    if (currentRenderer) endFrame();
}

void GlWindowTest::beginFrame()
{
    refreshDisplaySize(game().deviceWidth(), game().deviceHeight());
    renderer().beginFrame();
    resetDrawState();
    // Tests that drive the renderer directly start from the identity as well.
    syncTransform();
}

void GlWindowTest::endFrame()
{
    currentRenderer = nullptr;
    renderer().endFrame();
    game().showFrame();
}

void GlWindowTest::recreateWindow() { game().createWindow(640, 475, windowDecorated); }

uint32_t GlWindowTest::pixel(int x, int y) { return pixels(x, y, 1, 1)[0]; }

std::vector<uint32_t> GlWindowTest::pixels(int x, int y, int w, int h)
{
    std::vector<int> grabbed(static_cast<size_t>(w) * h);
    renderer().grabScreenPixels(grabbed, x, y, w, h, 0, w);
    return std::vector<uint32_t>(grabbed.begin(), grabbed.end());
}

Picture GlWindowTest::grabWindow()
{
    // The swap's picture travels on the GL context's own X connection.
    glFinish();
    XSync(glXGetCurrentDisplay(), False);
    return XConnection().grab(xWindow());
}

unsigned long GlWindowTest::xWindow()
{
    unsigned long window = XConnection().findWindow(narrow(testWindowTitle));
    if (!window) throw std::runtime_error("the test window is not on the X server");
    return window;
}

std::string temporaryPath(const std::string& name)
{
    static TemporaryFolder folder;
    return folder.path + "/" + name;
}

std::string writeTestPng(const std::string& name, int width, int height, int components,
                         const std::vector<unsigned char>& bytes)
{
    std::string path = temporaryPath(name);
    if (!stbi_write_png(path.c_str(), width, height, components, bytes.data(), width * components))
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string writeTestText(const std::string& name, const std::string& text)
{
    std::string path = temporaryPath(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

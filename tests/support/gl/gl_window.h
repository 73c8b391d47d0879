// A real window with a GL context (Mesa under a private Xvfb) and the real
// renderer, for tests that draw and look at the pixels. One window per test
// program; each test starts from a fresh drawing state.
#pragma once

#include "graphics/renderer.h"
#include "host/glfw_game.h"
#include "tests/support/x_window.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Pixels as read back, 0xAARRGGBB.
inline constexpr uint32_t black = 0xFF000000;
inline constexpr uint32_t white = 0xFFFFFFFF;

class GlWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A render step as the host runs it: display size, beginFrame, resetDrawState.
    void beginFrame();
    // Ends the render step and swaps the buffers, as the host's loop does.
    void endFrame();
    // Replaces the window and with it the GL context.
    void recreateWindow();

    // 0xAARRGGBB of one pixel of the window's picture, read through the renderer.
    uint32_t pixel(int x, int y);
    // A rectangle of the picture, top row first.
    std::vector<uint32_t> pixels(int x, int y, int w, int h);
    // 0xRRGGBB of the window as the X server shows it, once the last swap has
    // reached the server.
    Picture grabWindow();
    // The test window on the X server.
    static unsigned long xWindow();

    static BBQuorvaneGame& game();
    static gxtkGraphics& renderer();
};

// Writes an 8-bit PNG of 1 to 4 components into this program's temporary
// folder and returns its absolute path.
std::string writeTestPng(const std::string& name, int width, int height, int components,
                         const std::vector<unsigned char>& bytes);

// A path in this program's temporary folder.
std::string temporaryPath(const std::string& name);

// Writes a text file into the temporary folder and returns its path.
std::string writeTestText(const std::string& name, const std::string& text);

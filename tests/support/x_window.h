// Looking at and talking to a real program's window on the test's X server.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct WindowGeometry {
    int x = 0, y = 0;  // position on the screen
    int width = 0, height = 0;
};

// A picture read back from the X server, 0xRRGGBB per pixel, rows top-down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Writes the picture as a PNG file.
    bool savePng(const std::string& path) const;
};

// Reads a PNG file into a picture (alpha dropped); empty on failure.
Picture loadPng(const std::string& path);

class SharedWindowImage;

class XConnection {
public:
    XConnection();  // opens $DISPLAY
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    // The first mapped top-level window whose title starts with this text
    // (the tracker's title goes on with its key hint), or 0; with a process
    // id, only one that process made (by _NET_WM_PID).
    unsigned long findWindow(const std::string& title, int pid = 0);
    // Moves a top-level window (there is no window manager to refuse).
    void move(unsigned long window, int x, int y);
    bool isMapped(unsigned long window);
    WindowGeometry geometry(unsigned long window);
    std::string title(unsigned long window);
    // WM_CLASS as "instance/class"; empty when the window has none.
    std::string windowClass(unsigned long window);
    // Asks the window to close, as a window manager's close button does.
    void requestClose(unsigned long window);
    // The window's picture as the X server shows it.
    Picture grab(unsigned long window);
    // Lays a plain white window over a screen rectangle and takes it away
    // again, as another program's window passing over it does.
    void coverAndUncover(const WindowGeometry& area);

private:
    void* display_;
    // Pictures come through memory shared with the server, unless it failed
    // to give one that it then sent over the connection.
    std::unique_ptr<SharedWindowImage> shared_;
    bool sharingFailed_ = false;
};

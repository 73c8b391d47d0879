// STUB: the batching renderer over fixed-function OpenGL (to be completed).
#pragma once

class gxtkGraphics {
public:
    gxtkGraphics();
    virtual ~gxtkGraphics() = default;
    virtual int beginFrame();
    virtual void endFrame();
    virtual void discardResources();
};

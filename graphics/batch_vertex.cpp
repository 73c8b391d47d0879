#include "graphics/batch_vertex.h"

#include <GL/gl.h>

#include <cstddef>

void pointArraysAt(const BatchVertex* vertices)
{
    const auto* base = reinterpret_cast<const unsigned char*>(vertices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(BatchVertex), base + offsetof(BatchVertex, x));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(BatchVertex), base + offsetof(BatchVertex, u));
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(BatchVertex), base + offsetof(BatchVertex, colour));
}

// Error objects of the framework's streams. Thrown by value, caught by
// reference; one that nobody catches ends the program as uncaught.
#pragma once

#include "host/throwable.h"

class c_Stream;

class c_StreamError : public ThrowableObject {
public:
    explicit c_StreamError(c_Stream* stream) : stream(stream) {}

    // The stream the error concerns; not owned, and only valid while that
    // stream lives.
    c_Stream* stream;
};

// Bytes could not be written.
class c_StreamWriteError : public c_StreamError {
public:
    using c_StreamError::c_StreamError;
};

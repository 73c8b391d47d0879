// Base of the error objects the program throws (a failed stream write, say).
// One that escapes an event dispatch ends the process through reportUncaught.
#pragma once

class ThrowableObject {
public:
    virtual ~ThrowableObject() = default;
};

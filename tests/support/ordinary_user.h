// A user whom file modes bind, for tests that try them. Root ignores file
// modes, so root runs the program as the user nobody; where the system
// refuses that switch (a user namespace that maps root alone, as an
// unprivileged container does), as root without the capabilities that
// override file modes. Anyone else is such a user already.
#pragma once

#include <string>
#include <vector>

struct OrdinaryUser {
    // The command words that run a program as that user (none when it is the
    // user running the test).
    std::vector<std::string> launcher;
    // "uid:gid" for chown: what that user owns.
    std::string owner;
};

const OrdinaryUser& ordinaryUser();

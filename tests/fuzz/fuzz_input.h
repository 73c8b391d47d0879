// What every fuzz target shares: the host object the loaders reach files
// through, and the fuzzed bytes as a real file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Creates the host object once (no window, no display needed), for the
// targets that draw; files are read without one.
void ensureFuzzHost();

// Writes the bytes to a file of this name in the process's own folder and
// returns its absolute path.
std::string writeFuzzFile(const std::string& name, const uint8_t* data, size_t size);

// Ends the run as a finding when a property does not hold.
void fuzzCheck(bool holds, const char* what);

// Whole-file reading and the decoding of text files.
#pragma once

#include "host/text.h"

#include <cstdio>
#include <vector>

// Reads the rest of an open file in 4096-byte chunks until a chunk comes back
// short (a file of an exact multiple of 4096 ends with an empty read).
std::vector<unsigned char> readWholeFile(std::FILE* file);

// UTF-16 with either byte-order mark, otherwise UTF-8 (one optional mark
// skipped, up to 3-byte sequences); anything else is read as 8-bit text.
String decodeText(const std::vector<unsigned char>& bytes);

// Counts created GL contexts; surfaces compare it to know when their texture
// has to be made again. 0 until the first window exists.
#pragma once

extern int contextGeneration;

#include "graphics/font.h"

void selectFont(std::shared_ptr<c_Font>) {}

#include "player/kovo_play.h"

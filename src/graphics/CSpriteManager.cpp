#include "graphics/CSpriteManager.h"

void CSpriteManager::SetMatrices() {}

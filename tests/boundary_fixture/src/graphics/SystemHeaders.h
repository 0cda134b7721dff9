#pragma once
// Game code with system headers that belong to the platform layer.
#include <vector>
#include <png.h>
#include <signal.h>
#include <semaphore.h>
#include <poll.h>

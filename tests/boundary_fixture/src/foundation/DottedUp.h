#pragma once
// A foundation header that reaches the shell with "..", past the area test.
#include "../app/CWinApp.h"

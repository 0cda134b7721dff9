#pragma once
// A foundation header that reaches up into the application shell.
#include "app/CWinApp.h"

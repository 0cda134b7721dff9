#pragma once
// The least game a full start-up needs, written by the project's tools into the current folder:
// "data.arc" with the four system language tables, "layer.arc" with the cursor sheet and
// "script.arc" with the given start script.

#include <string>

void WriteMinimalGameData(const std::string& start_script);

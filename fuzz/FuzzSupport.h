#pragma once
// What the fuzz targets share: a headless process set up once, and inputs handed to readers that
// want a file, through files of the process's own scratch folder.

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/CStringUTF8.h"

// Headless drivers, message boxes answered at once without showing anything. Idempotent.
void PrepareFuzzProcess();

// Writes the bytes to the named file of the scratch folder (replacing it) and returns its path.
CStringUTF8 WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size);

// The process's scratch folder, created on first use.
std::string FuzzScratchFolder();

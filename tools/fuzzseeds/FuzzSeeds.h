#pragma once
// Writes the seed corpora of the fuzz targets, one folder per target named as in
// fuzz/FuzzTargets.h, from the project's own writers: small well-formed inputs of every form a
// reader takes, for the fuzzer to start from and for the test suite to replay.

#include <filesystem>

namespace tools {

void WriteFuzzSeeds(const std::filesystem::path& root);

} // namespace tools

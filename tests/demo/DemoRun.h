#pragma once
// The shell command that plays the built demo headless from its folder, with the home, runtime
// and frame-dump folders under home (which must hold "run" and "frames"), the game's output in
// home/out.txt, and a kill once the seconds are up. The command ends in the timeout process itself,
// which passes a TERM on to the game.

#include <filesystem>
#include <string>

std::string HeadlessDemoCommand(const std::filesystem::path& build, const std::string& home,
                                const std::string& extra_environment, int kill_seconds);

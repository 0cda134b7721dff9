#pragma once
// A headless run of the built demo: a fresh home with its "run" and "frames" folders, and the
// shell command that plays the game from its folder with the home, runtime and frame-dump
// folders there, the game's output in home/out.txt, and a kill once the seconds are up. The
// command ends in the timeout process itself, which passes a TERM on to the game.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "DemoPlayer.h"
#include "platform/gdi/PngCodec.h"
#include "script/FlagBuffer.h"
#include "support/TempDir.h"

class CXMLDocument;
class GameProcess;

class HeadlessDemoHome
{
public:
    HeadlessDemoHome();

    // The build folder (holding demo/vesk).
    const std::filesystem::path& Build() const { return m_build; }
    std::filesystem::path Path() const { return m_home.Path(); }
    std::string Command(const std::string& extra_environment, int kill_seconds) const;
    // Loads the seeded configuration, lets `edit` change it and saves it.
    void EditConfig(const std::function<void(CXMLDocument&)>& edit) const;

private:
    std::filesystem::path m_build;
    TempDir m_home;
};

// Scripted input (VESK_INPUT_SCRIPT lines) that points at (x, y) on the turn, presses the left
// button settle turns later and lets it go hold turns after that. Held over turns rather than the
// game clock, the press is seen by a screen however long its frames take on a loaded machine.
std::string PressAt(int turn, int x, int y, int settle = 0, int hold = 60);

// The control id and state of the sheet cell a dumped frame shows at (x, y), or none; and the id
// alone.
using FrameCell = std::pair<uint32_t, int32_t>;
std::optional<FrameCell> FrameCellStateAt(const platform::PngPicture& picture, int x, int y);
std::optional<uint32_t> FrameCellAt(const platform::PngPicture& picture, int x, int y);

// The left channel of a 16-bit stereo WAV file (the null device's recording).
std::vector<int16_t> LeftChannel(const std::filesystem::path& path);

// The strength of one frequency over a window of a 44,100 Hz recording (Goertzel), relative to
// full scale.
double ToneLevel(const std::vector<int16_t>& left, size_t from, size_t count, double hertz);
// The amplitude of one frequency, relative to full scale, over a Hann-windowed stretch: the
// music's chords and the other voice leak in some 60 dB down, so a voice at its -50 dB start
// stands out too.
double QuietToneLevel(const std::vector<int16_t>& left, size_t from, size_t count, double hertz);

// White pixels (each channel at least 200: story text is typeset white with a black outline) of
// the picture inside [x0, x1) x [y0, y1).
int WhiteIn(const platform::PngPicture& picture, int x0, int y0, int x1, int y1);

// The message window's first text line, one character a cell of 48 from (440, 850): '#' where a
// cell shows story text (white), '.' where it shows none, '?' for a few stray pixels.
std::string MessageLineCells(const platform::PngPicture& picture, int cells);

// The game state a scene saved under the name (FLAG005 ...) in the home's save folder.
std::optional<FlagBuffer> SavedState(const HeadlessDemoHome& home, const char* name);

// The middle of the comment mode's Back (at (27, 928), 219 x 126): clear of its word.
inline constexpr int COMMENT_BACK_X = 27 + 109;
inline constexpr int COMMENT_BACK_Y = 928 + 63;

// The story in the message window at its default place (its top at y 768): white text in cells
// first..last of 48 from x 440 on the line whose glyph rows start at line_y (the first line's at
// STORY_LINE_Y, each next one 60 below), the click prompt, and the name plate.
inline constexpr int STORY_WINDOW_Y = 768;
inline constexpr int STORY_LINE_Y = STORY_WINDOW_Y + 70 + 60 - 48;
int StoryTextIn(const platform::PngPicture& frame, int first, int last, int line_y);
bool StoryPromptShown(const platform::PngPicture& frame);
bool StoryNamePlateShown(const platform::PngPicture& frame);

// The newest frame a running game has dumped into `frames`, once it matches: looked at again and
// again until it does, the game ends or has drawn `limit` of its time (GAME_FPS frames a second).
std::optional<platform::PngPicture>
WaitForNewestFrame(const std::filesystem::path& frames, GameProcess& game,
                   const std::function<bool(const platform::PngPicture&)>& matches,
                   std::chrono::seconds limit);

// Walks the run's dumped frames in order through the steps (FrameStep, DemoPlayer.h; their `then`
// is not done); answers how many were seen.
size_t WalkFrameSteps(const HeadlessDemoHome& home, const std::vector<FrameStep>& steps);

// Walks the frames of a running game through the steps as they are dumped, until every step was
// seen, the game ends or has drawn `limit` of its time (GAME_FPS frames a second) past the first
// frame looked at; answers how many were seen. The game keeps running. A step's `then` is done
// once it is seen.
size_t WatchFrameSteps(const HeadlessDemoHome& home, GameProcess& game, const std::vector<FrameStep>& steps,
                       std::chrono::seconds limit);

// The system files of a game played to its ending, in the home's save folder: the clear flag with
// the ending's mark in the system file, and the special scenario's own system file, without saves.
void SeedClearedGame(const HeadlessDemoHome& home);

// The save in the slot, which the game wrote on the story's first line, made into a save on the
// train trip's epilogue line as a game played there would hold it: the title route goes on past
// the trip, and the trip (variable 64 on) from its epilogue's resume point. The title route's
// offset comes from its source, assembled as the build assembles it, and is checked against the
// offset the game saved.
void MoveSaveToTheEpilogue(const HeadlessDemoHome& home, int slot);

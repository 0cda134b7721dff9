#include "DemoRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>
#include <regex>
#include <set>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "GameProcess.h"
#include "demo/DemoSaveFolder.h"
#include "flagwrite/FlagFileWriter.h"
#include "flagwrite/SaveDataWriter.h"
#include "foundation/ByteCursor.h"
#include "foundation/CXMLDocument.h"
#include "foundation/GameValues.h"
#include "mesasm/MesAssembler.h"
#include "script/ScriptState.h"
#include "sheetgen/SheetGenerator.h"

HeadlessDemoHome::HeadlessDemoHome()
    : m_build(std::getenv("VESK_BINARY_DIR") != nullptr ? std::getenv("VESK_BINARY_DIR") : ".")
{
    std::filesystem::create_directories(m_home.Path() / "run");
    std::filesystem::create_directories(m_home.Path() / "frames");
    SeedDemoSaveFolder(m_home.Path(), m_build);
}

std::string HeadlessDemoHome::Command(const std::string& extra_environment, int kill_seconds) const
{
    const std::string home = m_home.Path().string();
    return "cd '" + (m_build / "demo").string() +
           "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VESK_HEADLESS=1 XDG_DATA_HOME='" + home +
           "' XDG_RUNTIME_DIR='" + home + "/run' VESK_FRAME_DUMP='" + home + "/frames' " + extra_environment +
           " exec timeout -s KILL " + std::to_string(kill_seconds) + " ./vesk >'" + home + "/out.txt' 2>&1";
}

void HeadlessDemoHome::EditConfig(const std::function<void(CXMLDocument&)>& edit) const
{
    CXMLDocument config(CStringUTF8((m_home.Path() / "vesk/demo/Save/config.xml").string().c_str()));
    config.Load();
    edit(config);
    if (config.Save() != 1)
        throw std::runtime_error("the demo's settings could not be written");
}

std::string PressAt(int turn, int x, int y, int settle, int hold)
{
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(turn) + " move" + at + std::to_string(turn + settle) + " down 1\n" +
           std::to_string(turn + settle + hold) + " up 1\n";
}

std::optional<FrameCell> FrameCellStateAt(const platform::PngPicture& picture, int x, int y)
{
    uint32_t id = 0;
    int32_t state = 0;
    if (!tools::DecodeCellColour(picture.pixels[static_cast<size_t>(y) * picture.width + x] | 0xFF000000u, id,
                                 state))
        return std::nullopt;
    return FrameCell{id, state};
}

std::optional<uint32_t> FrameCellAt(const platform::PngPicture& picture, int x, int y)
{
    const std::optional<FrameCell> cell = FrameCellStateAt(picture, x, y);
    if (!cell)
        return std::nullopt;
    return cell->first;
}

std::vector<int16_t> LeftChannel(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    std::vector<int16_t> left;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const uint32_t size =
            bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 | uint32_t(bytes[at + 7]) << 24;
        if (std::equal(bytes.begin() + at, bytes.begin() + at + 4, "data")) {
            for (size_t i = at + 8; i + 4 <= bytes.size() && i < at + 8 + size; i += 4)
                left.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
            break;
        }
        at += 8 + size;
    }
    return left;
}

double ToneLevel(const std::vector<int16_t>& left, size_t from, size_t count, double hertz)
{
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hertz / 44100.0);
    double s1 = 0;
    double s2 = 0;
    for (size_t i = from; i < from + count; ++i) {
        const double s0 = left[i] / 32768.0 + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2)) / static_cast<double>(count);
}

double QuietToneLevel(const std::vector<int16_t>& left, size_t from, size_t count, double hertz)
{
    double real = 0;
    double imaginary = 0;
    double weights = 0;
    for (size_t i = 0; i < count && from + i < left.size(); ++i) {
        const double weight = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / static_cast<double>(count - 1));
        const double phase = 2.0 * std::numbers::pi * hertz * static_cast<double>(i) / 44100.0;
        const double value = weight * left[from + i] / 32768.0;
        real += value * std::cos(phase);
        imaginary += value * std::sin(phase);
        weights += weight;
    }
    return weights > 0 ? 2.0 * std::hypot(real, imaginary) / weights : 0.0;
}

int WhiteIn(const platform::PngPicture& picture, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint32_t pixel =
                picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.width) + x];
            count += ((pixel >> 16) & 0xFF) >= 200 && ((pixel >> 8) & 0xFF) >= 200 && (pixel & 0xFF) >= 200;
        }
    }
    return count;
}

std::string MessageLineCells(const platform::PngPicture& picture, int cells)
{
    std::string line;
    for (int k = 0; k < cells; ++k) {
        const int white = StoryTextIn(picture, k, k, STORY_LINE_Y);
        line += white > 20 ? '#' : white <= 2 ? '.' : '?';
    }
    return line;
}

std::optional<FlagBuffer> SavedState(const HeadlessDemoHome& home, const char* name)
{
    std::ifstream file(home.Path() / "vesk/demo/Save" / name, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    ByteCursor cursor(bytes);
    FlagBuffer state;
    if (!state.ReadFrom(cursor))
        return std::nullopt;
    return state;
}

int StoryTextIn(const platform::PngPicture& frame, int first, int last, int line_y)
{
    constexpr int CELL = 48;
    constexpr int TEXT_X = 440;
    return WhiteIn(frame, TEXT_X + first * CELL, line_y, TEXT_X + (last + 1) * CELL, line_y + CELL);
}

bool StoryPromptShown(const platform::PngPicture& frame)
{
    const std::optional<uint32_t> cell = FrameCellAt(frame, 1663 + 29, STORY_WINDOW_Y + 166 + 29);
    return cell.has_value() && *cell >= tools::MESSAGE_SHEET_PROMPT &&
           *cell < tools::MESSAGE_SHEET_PROMPT + 6;
}

bool StoryNamePlateShown(const platform::PngPicture& frame)
{
    return FrameCellAt(frame, 1500, STORY_WINDOW_Y + 30) == tools::MESSAGE_SHEET_NAME_PLATE;
}

std::optional<platform::PngPicture>
WaitForNewestFrame(const std::filesystem::path& frames, GameProcess& game,
                   const std::function<bool(const platform::PngPicture&)>& matches,
                   std::chrono::seconds limit)
{
    // The limit in the game's frames, counted from the first one looked at; a game that draws
    // nothing new for two minutes hangs.
    const uint64_t budget = static_cast<uint64_t>(limit.count()) * GAME_FPS;
    std::optional<uint64_t> first;
    uint64_t looked_at = 0;
    auto new_frame_at = std::chrono::steady_clock::now();
    for (;;) {
        // Looked at before the frames: a game that ended has dumped its last one.
        const bool running = game.IsRunning();
        uint64_t newest = 0;
        for (const auto& entry : std::filesystem::directory_iterator(frames)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("frame"))
                newest = std::max<uint64_t>(newest, std::strtoull(name.c_str() + 5, nullptr, 10));
        }
        if (newest > looked_at) {
            looked_at = newest;
            first = first.value_or(newest);
            new_frame_at = std::chrono::steady_clock::now();
            char name[32];
            std::snprintf(name, sizeof(name), "frame%05llu.png", static_cast<unsigned long long>(newest));
            const std::optional<platform::PngPicture> frame = platform::ReadPngFile(frames / name);
            if (frame && matches(*frame))
                return frame;
        }
        if (!running || (first && looked_at - *first >= budget) ||
            std::chrono::steady_clock::now() - new_frame_at > std::chrono::minutes(2))
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

namespace {

// The next step taken from one dumped frame when it matches: checked and kept. Answers whether it
// matched.
bool TakeFrameStep(const HeadlessDemoHome& home, const std::vector<FrameStep>& steps, size_t next,
                   const std::filesystem::path& path)
{
    const std::optional<platform::PngPicture> frame = platform::ReadPngFile(path);
    if (!frame || !steps[next].matches(*frame))
        return false;
    steps[next].check(*frame);
    std::filesystem::copy_file(path, home.Build() / steps[next].keep,
                               std::filesystem::copy_options::overwrite_existing);
    return true;
}

} // namespace

size_t WalkFrameSteps(const HeadlessDemoHome& home, const std::vector<FrameStep>& steps)
{
    std::vector<std::filesystem::path> frames;
    for (const auto& entry : std::filesystem::directory_iterator(home.Path() / "frames"))
        frames.push_back(entry.path());
    std::sort(frames.begin(), frames.end());
    size_t next = 0;
    for (const std::filesystem::path& path : frames) {
        if (next == steps.size())
            break;
        if (TakeFrameStep(home, steps, next, path))
            ++next;
    }
    return next;
}

size_t WatchFrameSteps(const HeadlessDemoHome& home, GameProcess& game, const std::vector<FrameStep>& steps,
                       std::chrono::seconds limit)
{
    std::set<std::filesystem::path> seen;
    size_t next = 0;
    // The limit in the game's frames, counted from the first one looked at; a game that draws
    // nothing new for two minutes hangs.
    const uint64_t budget = static_cast<uint64_t>(limit.count()) * GAME_FPS;
    std::optional<uint64_t> first;
    uint64_t newest = 0;
    auto new_frame_at = std::chrono::steady_clock::now();
    while (next < steps.size() && (!first || newest - *first < budget) &&
           std::chrono::steady_clock::now() - new_frame_at < std::chrono::minutes(2)) {
        const bool running = game.IsRunning();
        std::vector<std::filesystem::path> frames;
        for (const auto& entry : std::filesystem::directory_iterator(home.Path() / "frames"))
            if (!seen.count(entry.path()))
                frames.push_back(entry.path());
        // Frames are moved in whole once written; by their numbers.
        std::sort(frames.begin(), frames.end(), [](const auto& a, const auto& b) {
            const std::string x = a.filename().string(), y = b.filename().string();
            return x.size() != y.size() ? x.size() < y.size() : x < y;
        });
        for (const std::filesystem::path& path : frames) {
            seen.insert(path);
            const std::string name = path.filename().string();
            newest = std::max<uint64_t>(newest, std::strtoull(name.c_str() + 5, nullptr, 10));
            first = first.value_or(newest);
            new_frame_at = std::chrono::steady_clock::now();
            if (next == steps.size())
                break;
            if (TakeFrameStep(home, steps, next, path)) {
                if (steps[next].then)
                    steps[next].then();
                ++next;
            }
        }
        if (!running)
            break;
        if (frames.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return next;
}

void SeedClearedGame(const HeadlessDemoHome& home)
{
    const std::filesystem::path save = home.Path() / "vesk/demo/Save";
    const std::string bytes = ReadWholeFile(save / "FLAG000");
    tools::FlagFileContents system;
    ASSERT_TRUE(tools::ReadFlagFile(std::vector<uint8_t>(bytes.begin(), bytes.end()), system));
    ASSERT_GT(system.flags.size(), 8100u);
    ASSERT_GT(system.variables.size(), VARIABLE_SP_MODE);
    system.flags[1898] = 1;
    system.flags[8100] = 1;
    tools::FlagFileContents special = system;
    special.variables[VARIABLE_SP_MODE].integer = 1;
    for (const auto& [name, contents] : {std::pair{"FLAG000", &system}, std::pair{"SP_FLAG000", &special}}) {
        const std::vector<uint8_t> file = tools::WriteFlagFile(*contents);
        std::ofstream(save / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
}

namespace {

std::vector<uint8_t> FileBytes(const std::filesystem::path& path)
{
    const std::string bytes = ReadWholeFile(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string DemoScriptSource(const char* name)
{
    const char* source = std::getenv("VESK_SOURCE_DIR");
    return ReadWholeFile(std::filesystem::path(source != nullptr ? source : ".") / "demo/script" / name);
}

// The code offset past the line of the demo's script that holds `marker` (a call): where the
// script goes on once the one it calls there has ended. None when the source has no such line.
std::optional<uint32_t> OffsetPast(const char* script, const std::string& marker)
{
    const std::string source = DemoScriptSource(script);
    const size_t at = source.find(marker);
    if (at == std::string::npos)
        return std::nullopt;
    // Labels the head jumps to further on are defined at its end: a label adds no code.
    std::string code = source.substr(0, source.find('\n', at));
    const std::regex label(R"(^([A-Za-z_][A-Za-z0-9_]*):)", std::regex::multiline);
    for (auto it = std::sregex_iterator(source.begin() + static_cast<std::ptrdiff_t>(code.size()),
                                        source.end(), label);
         it != std::sregex_iterator(); ++it)
        code += "\n" + (*it)[1].str() + ":";
    const tools::AssembledScript head = tools::AssembleScript(code);
    if (!head.Ok)
        return std::nullopt;
    return static_cast<uint32_t>(tools::CodeOf(head.File).size());
}

} // namespace

void MoveSaveToTheEpilogue(const HeadlessDemoHome& home, int slot)
{
    char number[8];
    std::snprintf(number, sizeof(number), "%03d", slot);
    const std::filesystem::path save = home.Path() / "vesk/demo/Save";
    const std::filesystem::path data_path = save / ("SaveData" + std::string(number) + ".dat");
    const std::filesystem::path flag_path = save / ("FLAG" + std::string(number));

    // The script stack: the title route under the story's messages, as the save has it.
    std::vector<tools::SaveDataRecord> records;
    ASSERT_TRUE(tools::ReadSaveDataFile(FileBytes(data_path), records)) << data_path;
    const auto stacked = [&](uint16_t index) {
        const auto found = std::ranges::find_if(records, [&](const tools::SaveDataRecord& record) {
            return record.group == (SCRIPT_STACK_KEY >> 16) && record.index == index;
        });
        return found != records.end() && found->values.size() >= 3 ? &*found : nullptr;
    };
    tools::SaveDataRecord* route = stacked(0);
    tools::SaveDataRecord* scene = stacked(1);
    ASSERT_TRUE(route != nullptr && scene != nullptr && stacked(2) == nullptr)
        << tools::DumpSaveDataFile(FileBytes(data_path));
    ASSERT_EQ(route->values[0].text, "main.mes");
    ASSERT_EQ(scene->values[0].text, "scene_messages.mes");
    // Offsets worked out from the sources match the game's own where it saved.
    ASSERT_EQ(OffsetPast("main.mes", "\"scene_messages.mes\""),
              static_cast<uint32_t>(route->values[1].integer));
    const std::optional<uint32_t> past_trip = OffsetPast("main.mes", "\"scene_effects.mes\"");
    ASSERT_TRUE(past_trip);
    // The trip on top, from the epilogue's resume point (the index of its entry in the table).
    const std::string trip = DemoScriptSource("scene_effects.mes");
    const size_t epilogue = trip.find(".resume epilogue");
    ASSERT_NE(epilogue, std::string::npos);
    int32_t resume = 0;
    for (size_t at = trip.find(".resume "); at < epilogue; at = trip.find(".resume ", at + 1))
        ++resume;
    route->values[1].integer = static_cast<int32_t>(*past_trip);
    scene->values[0].text = "scene_effects.mes";
    scene->values[1].integer = resume;
    WriteBytes(data_path, tools::WriteSaveDataFile(records));

    // The trip plays (variable 64); no other scene does (65).
    tools::FlagFileContents state;
    ASSERT_TRUE(tools::ReadFlagFile(FileBytes(flag_path), state)) << flag_path;
    ASSERT_GT(state.values.size(), VALUE_RESUME_POSITION);
    ASSERT_GT(state.variables.size(), 65u);
    state.values[VALUE_RESUME_POSITION].integer = resume;
    state.variables[64].integer = 1;
    state.variables[65].integer = 0;
    WriteBytes(flag_path, tools::WriteFlagFile(state));
}

#pragma once
// The screen settings below "/Screen" of the configuration document, the sound-notification
// switch, the effect archive's name, the save-file names built on the save folder and the font
// face of the interface language, each with its key, default and type fixed here. Setters write
// the configuration document, creating missing elements; it reaches the disk at exit.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

// The fixed logical screen everything is laid out against.
inline constexpr int32_t LOGICAL_WIDTH = 1920;
inline constexpr int32_t LOGICAL_HEIGHT = 1080;

void SetScreenStatus(int32_t value);
// 0 on Windows 8 or later without reading the document; else the stored value, default 0 on
// Windows 7 and 1 below.
int32_t GetScreenChangeMode();
void SetScreenChangeMode(int32_t value);
// The logical size; width and height exchanged when started with "rotate" and swap is 1.
SIZE GetScreenOriginalSize(int32_t swap);
// Defaults to the logical size; always exchanged when started with "rotate".
SIZE GetScreenWindowSize();
void SetScreenWindowSize(int32_t width, int32_t height);
// Defaults to the logical size; never exchanged.
SIZE GetScreenFullSize();
void SetScreenFullSize(int32_t width, int32_t height);
int32_t GetScreenFullDrawMode();
void SetScreenFullDrawMode(int32_t value);
// True: sound objects driven by position notifications; false: polled by a thread.
bool GetDirectSoundNotify();

CStringUTF8 GetEffectArchivePath();
// Save folder + "FLAG000".
CStringUTF8 GetFlagFileName();
// Save folder + "onemes.dat".
CStringUTF8 GetOneMesFileName();
// Save folder + "sel" + n in at least three digits.
CStringUTF8 GetSelFileName(uint32_t n);
CStringUTF8 GetLanguageFontName();

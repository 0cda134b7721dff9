#pragma once
// The already-read command group (library 24): sizes, clears, loads, saves, marks and tests the
// script context's already-read bits, one per message number, kept across sessions in
// "%sonemes.dat". The message window builds one to mark and test messages; the exit and
// return-to-title flows to save the bits. Main thread.

#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "script/commands/IFunc.h"

// The most messages the already-read buffer has a bit for (2 MiB).
inline constexpr int32_t MAX_READ_BUFFER_MESSAGES = 1 << 24;

class CFuncOneMes final : public IFunc
{
public:
    void Call(CScript& script) override;

    // (count + 7) / 8 bytes; a count that rounds below zero gives an empty buffer.
    void ResizeReadBuffer(int32_t count);
    void ClearReadBuffer();
    // Reads as many bytes as the buffer holds; a shorter file fills only its own length.
    void LoadReadBuffer();
    // Writes the buffer's bytes through the atomic writer; the old file stays on failure.
    // True when the file was written.
    [[nodiscard]] bool SaveReadBuffer();
    // Whether the game's scripts have made the buffer yet.
    bool HasReadBuffer();
    void MarkRead(int32_t message);
    // 1 read, 0 unread; a negative number counts as read.
    int32_t IsRead(int32_t message);

private:
    std::vector<uint8_t>* Buffer();
    CStringUTF8 ScriptName() const;
    int32_t ScriptLine() const;
};

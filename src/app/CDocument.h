#pragma once
// The base of the process's one document: it starts the game once and runs one frame at a time
// for the application's run loop.

#include <cstdint>

class CDocument
{
public:
    CDocument() = default;
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // Throws CExecException with the text of the step that failed.
    virtual void StartGame() = 0;
    // 1 to go on, 0 to end the run loop.
    virtual uint32_t OnFrame() = 0;
};

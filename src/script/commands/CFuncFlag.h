#pragma once
// The flag command group.
// FIXME: the least the game work needs until the flag files are in; the file operations keep
// nothing yet.

#include <cstdint>

class CVeskDoc;

class IFuncFlag
{
public:
    virtual ~IFuncFlag() = default;
    // Copies Flags[start .. start + count) of the current game state into flag file N.
    virtual void StoreFlagsToFile(uint32_t file, uint32_t start, uint32_t count)
    {
        (void)file;
        (void)start;
        (void)count;
    }
};

class CFuncFlag : public IFuncFlag
{
public:
    explicit CFuncFlag(CVeskDoc* document)
        : m_document(document)
    {}
    // ORs every current flag byte into flag file N.
    void MergeIntoFlagFile(uint32_t file, uint32_t unused)
    {
        (void)file;
        (void)unused;
    }

private:
    CVeskDoc* m_document; // not owned
};

#pragma once
// The already-read command group.
// FIXME: the least the game work needs until the already-read buffer is in; nothing is kept yet,
// so there is nothing to write.

class CVeskDoc;

class CFuncOneMes
{
public:
    explicit CFuncOneMes(CVeskDoc* document)
        : m_document(document)
    {}
    // Writes the already-read bits to their file.
    void SaveReadBuffer() {}

private:
    CVeskDoc* m_document; // not owned
};

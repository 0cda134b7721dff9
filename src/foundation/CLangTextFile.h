#pragma once
// The script's language text table together with the base name it came from, loaded again only
// when a different name is asked for; also the measuring and splitting of its texts for the
// message window. Held by the game work registry; main thread only.

#include <memory>
#include <vector>

#include "foundation/CLangTextTable.h"
#include "foundation/CStringUTF8.h"

class CLangTextFile
{
public:
    // Loads the table of that base name unless it is the one held.
    void Open(CStringUTF8 base_name);
    // Width of the id's text in half-width units; 0 before the first Open.
    int GetTextWidth(int id) const;
    // The id's text as display units for the message window, wrapped to the game state's
    // message text area in simplified Chinese. Returns the number of units written.
    int SplitText(int id, std::vector<char16_t>& output) const;
    // Writes the id's text into the current story text as the script's own text lines are
    // written (nothing while scene skip is on), its id kept in the open backlog record. The text
    // written is the one SplitText gives the window, with its line breaks as line feeds.
    void ShowMessage(uint16_t id) const;

    const CLangTextTable* GetTable() const { return m_table.get(); }
    const CStringUTF8& GetName() const { return m_name; }

private:
    std::unique_ptr<CLangTextTable> m_table; // null until the first Open
    CStringUTF8 m_name;
};

#pragma once
// The registry of seen CGs. The picture command tells it which base picture and which overlays
// are on screen; a registration finds the composition row that matches what is shown and sets
// that variant's seen bit in the current game state, whether or not the pictures were drawn, so
// a player who skips scenes still collects them. One object, made at start-up by the game work.
// Main thread only.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CCGFlag
{
public:
    virtual ~CCGFlag() = default;
    // Loads the CG tables and indexes the composition rows by base name, ASCII case folded; each
    // name's rows stay in table order, so the first match in table order still wins.
    virtual void BuildIndex();

    // Starts a combination: the base name (cut to 259 bytes) and seven empty overlay slots.
    void BeginCombination(const char* name);
    // Overlay slot n (0 to 6) shows the name; other slots are passed over.
    void SetOverlay(const char* name, int32_t n);
    // Marks the shown combination seen; nothing while no base is set. A combination that no
    // row matches sets only change marker 3002.
    void RegisterCombination();
    // Sets a variant's seen bit and the change markers directly; nothing outside 0 to 927.
    void MarkSeen(int32_t variant);

    const std::string& GetBaseName() const { return BaseName; }
    const std::vector<std::string>& GetShownOverlays() const { return ShownOverlays; }
    // The process-wide overlay list: seven slots from start-up.
    static std::vector<std::string>& OverlayList();

private:
    // The index of the first composition row matching the shown combination, or -1.
    int32_t FindMatch();

    std::string BaseName;
    std::vector<std::string> ShownOverlays;
    std::unordered_map<std::string, std::vector<size_t>> m_index; // folded base name -> rows
    uint32_t m_index_generation = 0;
    bool m_indexed = false;
};

#pragma once
// The scene replay list.
// FIXME: the least the exec commands need until scene replay is in: every heroine's scene list is
// still empty, and a scene flag is the game state's flag byte.

#include <array>
#include <cstdint>

#include "screens/extras/IOmakeParts.h"

inline constexpr int32_t SCENE_HEROINES = 17;
inline constexpr int32_t SCENES_PER_HEROINE = 21;

class CScMode : public IOmakeParts
{
public:
    CScMode() { m_scenes.fill(-1); }
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // The heroine's scene number at index, -1 past its list's end or for no heroine.
    int32_t GetScene(int32_t heroine, int32_t index) const
    {
        if (heroine < 0 || heroine >= SCENE_HEROINES || index < 0 || index >= SCENES_PER_HEROINE)
            return -1;
        return m_scenes[static_cast<size_t>(heroine * SCENES_PER_HEROINE + index)];
    }
    // Flags[index] := value in the document's game state, when it holds the index.
    virtual void SetFlag(int32_t index, int32_t value);

private:
    std::array<int32_t, SCENE_HEROINES * SCENES_PER_HEROINE> m_scenes;
};

#pragma once
// The area selection screen.
// FIXME: the least the game work needs until the screen is in.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/CSprite.h"
#include "platform/kernel/WinTypes.h"

#include "foundation/CStringUTF8.h"
#include "screens/map/IAreaSelect.h"

class CAreaSelect : public IAreaSelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // Forgets the file name, the hit areas and the two pictures kept between runs.
    void ClearFiles()
    {
        m_name.Empty();
        m_hit_areas.clear();
        m_pictures[0].reset();
        m_pictures[1].reset();
    }

    CStringUTF8 m_name;
    std::vector<RECT> m_hit_areas;
    std::array<std::unique_ptr<CSprite>, 2> m_pictures;
};

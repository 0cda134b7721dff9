#pragma once
// The town map.
// FIXME: the walk, its data and its commands are still to come; the presence icons are in.

#include <memory>

#include "screens/base/IRightMenu.h"
#include "screens/base/ISelect.h"

class CPresence;
class CScript;
class CSprite;

// The icon sheet and the clock through which the town map's icons ask who is where.
struct PresenceIconBoard
{
    PresenceIconBoard();
    ~PresenceIconBoard();

    std::unique_ptr<CSprite> Sheet;
    std::unique_ptr<CPresence> Clock; // replaceable, so tests can watch the questions
};

class CCps : public ISelect, public IRightMenu
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // One town-map command; it pops its own sub-command and arguments. Only the sub map's (33)
    // is in yet: it pushes the sub map's answer.
    virtual void ExecCommand(CScript& script);

    // 1 when "icon_p.akb" loaded; 0 leaves the sheet empty and the icons without pictures.
    uint32_t LoadIconSheet();
    // Clears the whole target and paints the icons of the map kind in the game state.
    void DrawSubmapPresenceIcons(CSprite* target);
    // The town places' icons.
    void DrawPresenceIcons(CSprite* target);

    PresenceIconBoard Icons;
};

#pragma once
// The choice window.
// FIXME: the least the game work and the choice command need until the choice window is in: the
// run hands back the value of the first branch under the script's current choice key (-1 when
// the key has none) without showing anything.

#include "screens/base/CMesButton.h"

class CNormalSelect2 : public CMesButton
{
public:
    // Hides the choice window and the current message window.
    virtual void HideAll() { Hide(); }

    void ModalLoop() override;
    int32_t CreateParts() override { return 1; }
};

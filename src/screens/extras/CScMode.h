#pragma once
// The scene replay list. At heroine level the 17 heroine buttons; at page level one group's
// scenes, eight cells a page, each the scene's thumbnail once its flag is set or the locked
// picture. Choosing a scene ends the screen with the group in Values[10] and the scene's place
// in the group's row in Values[13]; the scripts replay it and reopen the list with Values[16] 1.
// Main thread only.

#include <array>
#include <cstdint>

#include "screens/extras/OmakePageFrame.h"

inline constexpr int32_t SCENE_HEROINES = 17;
// A row of the scene flag table: the group's flags in ascending order, then -1.
inline constexpr int32_t SCENES_PER_HEROINE = 15;

class CScMode : public OmakePageFrame
{
public:
    CScMode();
    ~CScMode() override;

    int32_t CreateParts() override;
    void ReleaseParts() override;
    void BuildParts(int32_t mode) override;
    int32_t RunScreen() override;
    void OnOpen() override;
    void OnDecide() override;
    void DrawPage(int32_t group, int32_t page, int32_t present) override;

    // The heroine's scene flag at index, -1 past its row's end or for no heroine.
    int32_t GetScene(int32_t heroine, int32_t index) const;
    static int32_t GetSceneCount(int32_t heroine);
    // Flags[index] := value in the document's game state, when it holds the index.
    virtual void SetFlag(int32_t index, int32_t value);
    // Every scene flag of the group is set, or the group has none.
    bool IsGroupComplete(int32_t group);
    // After the kind 9 confirmation: sets the group's scene flags, merges them into flag file 0
    // and redraws the page.
    void UnlockGroup();
    bool AreTabsLocked() const { return TabsLocked; }
    void SetTabsLocked(bool locked) { TabsLocked = locked; }

protected:
    // The kind 9 confirmation: 0 confirms.
    virtual int32_t AskUnlock();

private:
    void ChooseTab(int32_t tab);
    void StartReplay(int32_t k);

    bool TabsLocked = false;
    std::array<int32_t, SCENE_HEROINES * SCENES_PER_HEROINE> m_scenes{};
};

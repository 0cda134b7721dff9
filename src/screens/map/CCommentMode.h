#pragma once
// The comment mode of the extras: the four diary sheets behind entry tabs, the extras mode
// buttons with this mode's label, a back button and an unlock button that opens every entry at
// one click once any of the story's unlock flags is set. An entry is open when its flag byte
// 2003 + entry is exactly 1. Answers -1 for back, or 100 after writing the extras switch record
// for another mode. Main thread only.

#include <array>
#include <cstdint>
#include <memory>

#include "screens/extras/IOmakeParts.h"

class CSpriteLayer;

inline constexpr int32_t COMMENT_ENTRIES = 4;
inline constexpr int32_t COMMENT_MODE_FIRST = 256; // + mode button 0..2, + 3 the label
inline constexpr int32_t COMMENT_LABEL = 259;
inline constexpr int32_t COMMENT_BACK = 512;
inline constexpr int32_t COMMENT_UNLOCK = 1280;
inline constexpr uint32_t COMMENT_ENTRY_FLAG = 2003; // + entry
inline constexpr uint32_t COMMENT_MODES_OPEN_FLAG = 1898;
inline constexpr int32_t EXTRAS_SWITCH_RESULT = 100;
inline constexpr std::array<uint32_t, 16> CommentUnlockFlags{1998, 1986, 1997, 1996, 1993, 1985, 1987, 1995,
                                                             1994, 1989, 1999, 1990, 1992, 1991, 1988, 2010};

class CCommentMode : public IOmakeParts
{
public:
    CCommentMode();
    ~CCommentMode() override;

    // 0 when the extras base refuses or a sheet or sprite cannot be made.
    int32_t CreateParts() override;
    // Leaves the active list and frees every sprite; safe to run twice.
    void ReleaseParts() override;

    void Show() override;
    void Hide() override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnArrowKey(uint32_t scan_code) override;
    void OnDecide() override;
    void OnCancel() override;

    void Refresh(int32_t present);
    void DrawPage(int32_t present);
    void DrawItem(int32_t id, int32_t visual, int32_t present);
    // Whether any of the unlock flags is set.
    bool AnyUnlockFlag();
    static int32_t KeyTarget(int32_t from, uint32_t scan_code);
    bool IsComplete() const;

    CSpriteLayer* GetBaseLayer() const { return m_base.get(); }
    CSpriteLayer* GetPage() const { return m_page.get(); }
    CSpriteLayer* GetUnlockButton() const { return m_unlock.get(); }
    CSpriteLayer* GetTab(int32_t i) const { return m_tabs[static_cast<size_t>(i)].get(); }

    int32_t HoverId = -1;
    int32_t SelectedEntry = -1;
    int32_t AllUnlocked = 0;
    std::array<int32_t, COMMENT_ENTRIES> EntryUnlocked{};

private:
    void Press(int32_t id);
    void Leave(int32_t result);

    std::unique_ptr<CSprite> m_button_sheet;
    std::unique_ptr<CSpriteLayer> m_base;
    std::unique_ptr<CSpriteLayer> m_page;
    std::unique_ptr<CSpriteLayer> m_unlock;
    std::array<std::unique_ptr<CSpriteLayer>, COMMENT_ENTRIES> m_tabs;
};

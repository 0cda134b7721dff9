#pragma once
// The diary viewer: one diary sheet over the dimmed scene with a close button, until the player
// closes it. Its close (slot 6) is shared with the comment mode. Main thread only.

#include <cstdint>
#include <memory>

#include "screens/base/ISelect.h"

inline constexpr int32_t DIARY_SHEET_COUNT = 6;

class CComment : public ISelect
{
public:
    CComment();
    ~CComment() override;

    // Composes the page of the indexed sheet once and frees the sheet; false at the first load or
    // creation that fails, and for an index without a sheet.
    bool Setup(int32_t index);

    void Show() override;
    void Hide() override;
    void OnClose() override;
    void OnOpen() override;
    void Update() override;
    int32_t OnArrowKey(uint32_t scan_code) override;
    void OnDecide() override;
    void OnCancel() override;

    void DrawButton(int32_t id, int32_t visual, int32_t present);
    // The sheet the index shows, or null past the table.
    static const char* SheetName(int32_t index);
    bool IsComplete() const { return m_button_sheet && m_page && m_button; }

    int32_t HoverId = -1;
    int32_t SheetIndex = -1;

private:
    void Fade(bool appear);

    std::unique_ptr<CSprite> m_button_sheet;
    std::unique_ptr<CSprite> m_diary_sheet;
    std::unique_ptr<CSprite> m_page;
    std::unique_ptr<CSprite> m_button;
};

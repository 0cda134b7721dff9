#pragma once
// The tab control of a dialog: a wrapped control window, the pages it shows and the one shown now
// (-1 for none). The pages belong to the dialog; the tab control only shows and hides them.
// Main thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/CWindow.h"

class CApiDialog;

class CTabCtrl : public CWindow
{
public:
    CTabCtrl() = default;

    void Attach(HWND control) { SetHandle(control); }
    // Appends an item with the label; its index.
    int32_t InsertItem(int32_t index, const char16_t* label);
    // The label of an item, empty when there is none.
    std::u16string GetItemText(int32_t index);
    int32_t GetCurSel();
    int32_t SetCurSel(int32_t index);
    // The display area for pages, in the parent's client pixels.
    RECT GetDisplayRect();

    void AddPage(CApiDialog* page) { m_pages.push_back(page); }
    const std::vector<CApiDialog*>& GetPages() const { return m_pages; }
    // Hides the page shown and shows page `index` (-1: none).
    void ShowPage(int32_t index);
    int32_t GetShownPage() const { return m_shown; }
    // Moves every page onto the display area.
    void PlacePages();

private:
    std::vector<CApiDialog*> m_pages; // not owned: the dialog's pages
    int32_t m_shown = -1;
};

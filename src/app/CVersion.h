#pragma once
// The version dialog: the game and product titles in the configured language and the file
// version of the executable. Its procedure also serves a web-link control, which the template
// does not have. Main thread only.

#include <cstdint>
#include <string>

#include "foundation/CApiDialog.h"

inline constexpr uint32_t IDD_VERSION = 120;

class CVersion : public CApiDialog
{
public:
    explicit CVersion(const CLangTextTable* texts = nullptr)
        : CApiDialog(IDD_VERSION, texts)
    {}
    ~CVersion() override;

    BOOL OnInitDialog() override;
    INT_PTR DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

private:
    HFONT m_link_font = nullptr;     // made when the link control exists
    HCURSOR m_link_cursor = nullptr; // cursor resource 136, else the system hand
};

// The product title shown for the language index (0 English, 1 and 2 Chinese, else Japanese):
// the game's title with the edition of the language.
std::u16string GetProductTitle(int32_t language, const std::u16string& game_title);
// The dialog's title for the language index.
const char16_t* GetVersionDialogTitle(int32_t language);
// "a.b.c.d" of the executable's fixed file version; empty when it has none.
std::u16string GetModuleVersionText();

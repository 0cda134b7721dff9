#include "app/CApiKeyboard.h"

#include <mutex>

#include "platform/kernel/TimeApi.h"
#include "platform/user/WindowApi.h"

namespace {

std::array<uint8_t, 256> g_scan_code_table{}; // written once by BuildScanCodeTable
std::once_flag g_scan_code_table_built;

// DirectInput scan codes and the virtual keys of the same keys.
struct ScanEntry
{
    uint8_t scan;
    uint8_t virtual_key;
};
constexpr ScanEntry SCAN_ENTRIES[] = {
    {1, 27},    {11, 48},   {12, 189},  {14, 8},    {15, 9},    {16, 81},   {17, 87},   {18, 69},
    {19, 82},   {20, 84},   {21, 89},   {22, 85},   {23, 73},   {24, 79},   {25, 80},   {26, 219},
    {27, 221},  {28, 13},   {29, 162},  {30, 65},   {31, 83},   {32, 68},   {33, 70},   {34, 71},
    {35, 72},   {36, 74},   {37, 75},   {38, 76},   {39, 187},  {42, 160},  {43, 226},  {44, 90},
    {45, 88},   {46, 67},   {47, 86},   {48, 66},   {49, 78},   {50, 77},   {51, 188},  {52, 190},
    {53, 191},  {54, 161},  {55, 106},  {56, 164},  {57, 32},   {58, 20},   {69, 144},  {70, 145},
    {71, 103},  {72, 104},  {73, 105},  {74, 109},  {75, 100},  {76, 101},  {77, 102},  {78, 107},
    {79, 97},   {80, 98},   {81, 99},   {82, 96},   {83, 110},  {86, 226},  {87, 122},  {88, 123},
    {100, 124}, {101, 125}, {102, 126}, {112, 21},  {121, 28},  {123, 29},  {125, 220}, {141, 146},
    {144, 177}, {145, 192}, {146, 186}, {148, 25},  {153, 176}, {156, 13},  {157, 163}, {160, 173},
    {164, 178}, {174, 174}, {176, 175}, {178, 172}, {179, 108}, {181, 111}, {183, 44},  {184, 165},
    {197, 19},  {199, 36},  {200, 38},  {201, 33},  {203, 37},  {205, 39},  {207, 35},  {208, 40},
    {209, 34},  {210, 45},  {211, 46},  {219, 91},  {220, 92},  {221, 93},  {223, 95},  {229, 170},
    {230, 171}, {231, 168}, {232, 169}, {233, 167}, {234, 166}, {236, 180}, {237, 181},
};

} // namespace

void BuildScanCodeTable()
{
    std::call_once(g_scan_code_table_built, [] {
        // The digit row 1..9 and the function keys F1..F10 run in order.
        for (uint8_t scan = 2; scan <= 10; ++scan)
            g_scan_code_table[scan] = static_cast<uint8_t>(49 + scan - 2);
        for (uint8_t scan = 59; scan <= 68; ++scan)
            g_scan_code_table[scan] = static_cast<uint8_t>(112 + scan - 59);
        for (const ScanEntry& entry : SCAN_ENTRIES)
            g_scan_code_table[entry.scan] = entry.virtual_key;
    });
}

uint8_t VirtualKeyOfScanCode(uint32_t scan_code)
{
    return scan_code < g_scan_code_table.size() ? g_scan_code_table[scan_code] : 0;
}

CApiKeyboard::CApiKeyboard()
{
    BuildScanCodeTable();
}

int32_t CApiKeyboard::HookProc(HWND, UINT message, WPARAM w_param, LPARAM)
{
    if (!m_enabled)
        return 0;
    const uint8_t key = static_cast<uint8_t>(w_param & 0xFF);
    if (message == WM_KEYDOWN) {
        if (m_keys[key] == 0)
            m_unseen[key] = 1;
        m_tapped[key] = 0;
        m_keys[key] = 1;
    } else if (message == WM_KEYUP) {
        if (m_unseen[key].exchange(0) != 0)
            m_tapped[key] = timeGetTime() + 1;
        if (key == VK_SHIFT) {
            // Releasing Shift forgets every key but Control.
            const uint8_t control = m_keys[VK_CONTROL];
            const uint8_t left_control = m_keys[VK_LCONTROL];
            const uint8_t right_control = m_keys[VK_RCONTROL];
            for (std::atomic<uint8_t>& held : m_keys)
                held = 0;
            m_keys[VK_CONTROL] = control;
            m_keys[VK_LCONTROL] = left_control;
            m_keys[VK_RCONTROL] = right_control;
        } else {
            m_keys[key] = 0;
        }
    }
    return 0;
}

int32_t CApiKeyboard::IsKeyDown(uint32_t scan_code)
{
    if (!m_enabled)
        return 0;
    const uint8_t key = VirtualKeyOfScanCode(scan_code);
    // Window messages carry only the generic Shift and Control; the sides come from the live state.
    if (key >= VK_LSHIFT && key <= VK_RCONTROL)
        m_keys[key] = GetAsyncKeyState(key) < 0 ? 1 : 0;
    if (m_keys[key] != 0) {
        m_unseen[key] = 0;
        return 1;
    }
    const uint32_t tapped = m_tapped[key].exchange(0);
    return tapped != 0 && timeGetTime() - (tapped - 1) <= TAP_LIFETIME_MS ? 1 : 0;
}

void CApiKeyboard::Enable()
{
    m_enabled = 1;
}

void CApiKeyboard::Clear()
{
    for (size_t key = 0; key < m_keys.size(); ++key) {
        m_keys[key] = 0;
        m_unseen[key] = 0;
        m_tapped[key] = 0;
    }
    m_enabled = 0;
}

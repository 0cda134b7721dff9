#pragma once
// Input devices whose state a test sets directly.

#include <set>
#include <vector>

#include "foundation/IKeyboard.h"
#include "foundation/IMouse.h"

class ScriptedKeyboard final : public IKeyboard
{
public:
    int32_t IsKeyDown(uint32_t scan_code) override { return down.count(scan_code) ? 1 : 0; }
    void Enable() override {}
    void Clear() override { down.clear(); }

    std::set<uint32_t> down; // scan codes
};

class ScriptedMouse final : public IMouse
{
public:
    int32_t IsLeftDown() override { return left_down; }
    int32_t IsRightDown() override { return right_down; }
    int32_t IsMiddleDown() override { return middle_down; }
    int32_t IsLeftClicked() override { return left_clicked; }
    int32_t IsRightClicked() override { return right_clicked; }
    int32_t GetTouchTap() override { return tap; }
    int32_t GetTouchState() override { return long_press; }
    int32_t IsDragging() override { return drag; }
    int32_t GetWheel() override { return wheel; }
    void SetWheel(int32_t count) override { wheel = count; }
    void GetPosition(POINT* point) override { *point = position; }
    // A warp moves the pointer and is recorded.
    void SetPosition(int32_t x, int32_t y) override
    {
        position = {x, y};
        warps.push_back(position);
    }
    // Shapes are recorded as they are set.
    int32_t GetCursorShape() override { return shapes.empty() ? -1 : shapes.back(); }
    int32_t SetCursorShape(int32_t id) override
    {
        shapes.push_back(id);
        return 1;
    }
    void ClearClicks() override
    {
        left_clicked = right_clicked = 0;
        ++clears;
    }
    void ResetTouch(int32_t which) override
    {
        if (which == 0)
            tap = 0;
        else
            long_press = 0;
    }

    int32_t left_down = 0;
    int32_t right_down = 0;
    int32_t middle_down = 0;
    int32_t left_clicked = 0;
    int32_t right_clicked = 0;
    int32_t tap = 0;
    int32_t long_press = 0;
    int32_t drag = 0;
    int32_t wheel = 0;
    POINT position{0, 0};
    std::vector<POINT> warps;
    std::vector<int32_t> shapes;
    int clears = 0;
};

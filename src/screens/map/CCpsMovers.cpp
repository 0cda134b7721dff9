// The town map's walking figures: one tick of their programs, the steps with collision, slides
// and camera, the path walk, the player's steering and the pacing between ticks.

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IKeyboard.h"
#include "foundation/IMouse.h"
#include "foundation/PlayerMessage.h"
#include "foundation/WaitPass.h"
#include "graphics/CDirect3D.h"
#include "graphics/CEffectWait.h"
#include "graphics/CSprite.h"
#include "graphics/EffectClock.h"
#include "platform/kernel/IdleWait.h"
#include "screens/base/ScreenWork.h"
#include "screens/map/CCps.h"
#include "screens/map/CStatusPlate.h"
#include "script/FlagBuffer.h"

namespace {

constexpr uint16_t DONE = 0;
constexpr uint16_t BLOCKED = 65535;
constexpr uint16_t WALK_ENDED = 255;
constexpr uint16_t CANCELLED = 65534;
constexpr uint16_t STEER_CANCEL = 254;
constexpr uint8_t FOREVER = 255;
constexpr uint8_t STATE_INACTIVE = 255;
constexpr uint8_t STATE_COLLIDES = 0x10;
constexpr uint8_t STATE_CAMERA = 0x20;
constexpr uint8_t STATE_LEADER = 0x40;
constexpr uint32_t MOVER_FLAG_BASE = 7091;
constexpr uint32_t CAMERA_X_FLAG = 7097;
constexpr uint32_t CAMERA_Y_FLAG = 7098;
constexpr uint32_t PATH_CANCEL_FLAG = 4067;
constexpr uint32_t PLATE_BUTTON_FLAG_BYTE = 8003;
constexpr uint8_t FRAME_COUNT = 12;
constexpr uint8_t DIAGONAL = 255;
constexpr uint32_t CANCEL_INPUT = 257;
constexpr size_t VALUE_DIRECTION = 3;
constexpr RECT PLATE_BUTTON{642, 23, 965, 73};

enum Bits : uint16_t
{
    UP = 1,
    LEFT = 2,
    RIGHT = 4,
    DOWN = 8,
};

// The four directions and the four diagonals.
bool IsSteeringBits(uint16_t bits)
{
    switch (bits) {
    case UP:
    case LEFT:
    case RIGHT:
    case DOWN:
    case UP | LEFT:
    case UP | RIGHT:
    case DOWN | LEFT:
    case DOWN | RIGHT:
        return true;
    default:
        return false;
    }
}

uint8_t NextFrame(uint8_t facing)
{
    const uint8_t frame = facing & 15;
    const uint8_t from = frame < FRAME_COUNT ? frame : 0;
    return static_cast<uint8_t>(from + 1 >= FRAME_COUNT ? 0 : from + 1);
}

} // namespace

void CCps::ProgramMessage(int which, const char* text)
{
    // Shown once per mover-file load, so a looping program cannot open a box on every tick.
    if (m_message_shown[static_cast<size_t>(which)])
        return;
    m_message_shown[static_cast<size_t>(which)] = true;
    ShowPlayerMessage(0, text);
}

uint16_t CCps::StepMovers()
{
    LastStepTime = GetEffectTime();
    DiagonalStep = 0;
    LeaderResult = BLOCKED;
    for (uint32_t i = 0; i < MoverCount; ++i) {
        MapMover mover = MoverAt(i);
        if (mover.Bytes() == nullptr || mover.State() == 0 || mover.State() == STATE_INACTIVE)
            continue;
        const uint16_t result = RunMoveProgram(mover);
        const uint32_t flag = MOVER_FLAG_BASE + 3 * i;
        SetFlag(flag, static_cast<uint8_t>(mover.X()));
        SetFlag(flag + 1, static_cast<uint8_t>(mover.Y()));
        SetFlag(flag + 2, mover.Facing());
        if (i == 0 && (mover.State() & STATE_LEADER))
            LeaderResult = result;
    }
    return LeaderResult;
}

uint16_t CCps::Tail(MapMover mover)
{
    if (mover.Count() != FOREVER)
        mover.SetCount(static_cast<uint8_t>(mover.Count() - 1));
    if (EventCheckMode == 2 && (mover.State() & STATE_LEADER))
        EventCheckPending = 1;
    return BLOCKED;
}

uint16_t CCps::RunMoveProgram(MapMover mover)
{
    // A program that leaves the block, or restarts onto a zero byte, idles.
    if (mover.Count() == 0 && !townmap::FetchInstruction(MoveProgramData, mover))
        return DONE;
    const uint8_t n = mover.Count();
    uint16_t result = DONE;
    switch (mover.Opcode()) {
    case 0:
        mover.SetPc(0);
        return Tail(mover);
    case 1:
    case 8:
        mover.SetFacing(static_cast<uint8_t>((n - 1) << 4));
        mover.SetCount(1);
        return Tail(mover);
    case 2:
        result = StepUp(mover, 1);
        break;
    case 3:
        result = StepDown(mover, 1);
        break;
    case 4:
        result = StepLeft(mover, 1);
        break;
    case 5:
        result = StepRight(mover, 1);
        break;
    case 6: {
        // A true modulo: the newest entries lie behind the head.
        const int32_t index = ((TrailHead - 2 * n - 1) % 32 + 32) % 32;
        const TrailEntry& entry = TrailRing[static_cast<size_t>(index)];
        mover.SetX(entry.X);
        mover.SetY(entry.Y);
        mover.SetFacing(entry.Facing);
        return Tail(mover);
    }
    case 7:
        ProgramMessage(0, "ランダム移動は入ってないよ");
        // Counted down like any instruction, so it ends after its ticks.
        if (n != 0 && n != FOREVER)
            mover.SetCount(static_cast<uint8_t>(n - 1));
        return DONE;
    case 9:
        mover.SetCount(static_cast<uint8_t>((n >> 1) + 1));
        return Tail(mover);
    case 10:
    case 11:
    case 12:
        ProgramMessage(1, "システムで予約されています");
        return Tail(mover);
    case 13:
        PathStepping = true;
        result = StepAlongPath(mover);
        PathStepping = false;
        break;
    case 14:
        result = StepSteered(mover);
        break;
    case 15:
        mover.SetOpcode(13);
        for (uint16_t step = 0; step < PathLength; ++step)
            if (StepAlongPath(mover) == WALK_ENDED)
                break;
        return Tail(mover);
    default:
        return Tail(mover);
    }
    if ((result & 0xFF) == 0)
        return Tail(mover);
    if ((result & 0xFF) == 0xFF)
        return DONE;
    return result;
}

uint16_t CCps::StepUp(MapMover mover, int32_t animate)
{
    return Step(mover, Way::Up, animate);
}

uint16_t CCps::StepDown(MapMover mover, int32_t animate)
{
    return Step(mover, Way::Down, animate);
}

uint16_t CCps::StepLeft(MapMover mover, int32_t animate)
{
    return Step(mover, Way::Left, animate);
}

uint16_t CCps::StepRight(MapMover mover, int32_t animate)
{
    return Step(mover, Way::Right, animate);
}

bool CCps::EdgeBlocked(MapMover mover, Way way, uint8_t* block) const
{
    const int32_t x = mover.X();
    const int32_t y = mover.Y();
    const bool vertical = way == Way::Up || way == Way::Down;
    const int32_t length = vertical ? mover.Width() : mover.Height() - 1;
    for (int32_t k = 0; k < length; ++k) {
        int32_t cx = 0;
        int32_t cy = 0;
        switch (way) {
        case Way::Up:
            cx = x + k, cy = y;
            break;
        case Way::Down:
            cx = x + k, cy = y + mover.Height();
            break;
        case Way::Left:
            cx = x - 1, cy = y + 1 + k;
            break;
        case Way::Right:
            cx = x + mover.Width(), cy = y + 1 + k;
            break;
        }
        if (const uint8_t c = BlockAt(cx, cy); c != 0) {
            *block = c;
            return true;
        }
    }
    return false;
}

bool CCps::InScrollZone(MapMover mover, Way way) const
{
    const bool vertical = way == Way::Up || way == Way::Down;
    const int32_t cam = vertical ? Camera.CamY : Camera.CamX;
    const int32_t at = vertical ? mover.Y() : mover.X();
    if (way == Way::Up || way == Way::Left)
        return cam + (vertical ? Camera.MarginTop : Camera.MarginLeft) > at;
    const int32_t view = vertical ? Camera.ViewHeight : Camera.ViewWidth;
    return cam + view - 1 - (vertical ? Camera.MarginBottom : Camera.MarginRight) <= at;
}

bool CCps::FollowWithCamera(MapMover mover, Way way)
{
    if ((mover.State() & STATE_CAMERA) == 0 || !InScrollZone(mover, way))
        return false;
    const bool vertical = way == Way::Up || way == Way::Down;
    int32_t& cam = vertical ? Camera.CamY : Camera.CamX;
    if (way == Way::Up || way == Way::Left) {
        if (cam != 0)
            --cam;
    } else if (cam + (vertical ? Camera.ViewHeight : Camera.ViewWidth) <
               (vertical ? Camera.MapHeight : Camera.MapWidth)) {
        ++cam;
    }
    SetFlag(vertical ? CAMERA_Y_FLAG : CAMERA_X_FLAG, static_cast<uint8_t>(cam));
    return true;
}

void CCps::MoveOneCell(MapMover mover, Way way)
{
    switch (way) {
    case Way::Up:
        mover.SetY(static_cast<uint16_t>(mover.Y() - 1));
        break;
    case Way::Down:
        mover.SetY(static_cast<uint16_t>(mover.Y() + 1));
        break;
    case Way::Left:
        mover.SetX(static_cast<uint16_t>(mover.X() - 1));
        break;
    case Way::Right:
        mover.SetX(static_cast<uint16_t>(mover.X() + 1));
        break;
    }
}

uint16_t CCps::Step(MapMover mover, Way way, int32_t animate)
{
    const auto direction = static_cast<uint8_t>(way);
    if (animate) {
        const uint8_t frame = mover.Facing() & 15;
        mover.SetFacing(static_cast<uint8_t>(direction << 4 | (frame < FRAME_COUNT ? frame : 0)));
    }
    const int32_t x = mover.X();
    const int32_t y = mover.Y();
    // Every edge blocks, the top one too, so a walk to the top row ends there.
    if ((way == Way::Up && y == 0) || (way == Way::Down && y + mover.Height() >= Camera.MapHeight) ||
        (way == Way::Left && x == 0) || (way == Way::Right && x + mover.Width() >= Camera.MapWidth))
        return BLOCKED;
    const bool vertical = way == Way::Up || way == Way::Down;
    const bool may_take_second = FastStep && animate && !PathStepping;
    uint8_t block = 0;
    if ((mover.State() & STATE_COLLIDES) && EdgeBlocked(mover, way, &block)) {
        const uint16_t first = vertical ? SlideAroundVertical(mover, block, animate)
                                        : SlideAroundHorizontal(mover, block, animate);
        const bool second =
            may_take_second && (!vertical || ((mover.State() & STATE_CAMERA) && InScrollZone(mover, way)));
        if (!second)
            return first;
        const uint16_t again = Step(mover, way, 0);
        return again != BLOCKED ? again : first;
    }
    MoveOneCell(mover, way);
    if (animate)
        mover.SetFacing(static_cast<uint8_t>(direction << 4 | NextFrame(mover.Facing())));
    const bool in_zone = FollowWithCamera(mover, way);
    if (may_take_second && (!vertical || in_zone)) {
        const uint16_t again = Step(mover, way, 0);
        return again == BLOCKED ? DONE : again;
    }
    return DONE;
}

uint16_t CCps::SlideAroundVertical(MapMover mover, uint8_t block, int32_t animate)
{
    if (DiagonalStep == DIAGONAL)
        return BLOCKED;
    const bool right = BlockAt(mover.X() + mover.Width(), mover.Y() + 1) != 0;
    const bool left = BlockAt(mover.X() - 1, mover.Y() + 1) != 0;
    if ((block & 0x0C) == 0 || (right && left))
        return BLOCKED;
    const bool go_right = (block & 0x08) ? !right : left;
    return go_right ? SlideRight(mover, animate, left) : SlideLeft(mover, animate);
}

uint16_t CCps::SlideAroundHorizontal(MapMover mover, uint8_t block, int32_t animate)
{
    if (DiagonalStep == DIAGONAL)
        return BLOCKED;
    const bool up = BlockAt(mover.X(), mover.Y()) != 0;
    const bool down = BlockAt(mover.X(), mover.Y() + mover.Height()) != 0;
    if ((block & 0x03) == 0 || (up && down))
        return BLOCKED;
    const bool go_down = (block & 0x02) ? !down : up;
    return go_down ? SlideDown(mover, animate) : SlideUp(mover, animate, down);
}

uint16_t CCps::SlideRight(MapMover mover, int32_t animate, bool left_occupied)
{
    return Slide(mover, Way::Right, animate, left_occupied);
}

uint16_t CCps::SlideLeft(MapMover mover, int32_t animate)
{
    return Slide(mover, Way::Left, animate, true);
}

uint16_t CCps::SlideUp(MapMover mover, int32_t animate, bool down_occupied)
{
    return Slide(mover, Way::Up, animate, down_occupied);
}

uint16_t CCps::SlideDown(MapMover mover, int32_t animate)
{
    return Slide(mover, Way::Down, animate, true);
}

// One cell sideways; blocked at the map's edge or, for a colliding mover, by a cell on the way.
// A blocked right or up slide tries the other side unless that side was occupied.
uint16_t CCps::Slide(MapMover mover, Way way, int32_t animate, bool other_side_occupied)
{
    const int32_t x = mover.X();
    const int32_t y = mover.Y();
    bool blocked = false;
    switch (way) {
    case Way::Right:
        blocked = x + mover.Width() >= Camera.MapWidth;
        break;
    case Way::Left:
        blocked = x == 0;
        break;
    case Way::Up:
        blocked = y == 0;
        break;
    case Way::Down:
        blocked = y + mover.Height() >= Camera.MapHeight;
        break;
    }
    uint8_t block = 0;
    if (!blocked && (mover.State() & STATE_COLLIDES))
        blocked = EdgeBlocked(mover, way, &block);
    if (blocked) {
        if (way == Way::Right && !other_side_occupied)
            return SlideLeft(mover, animate);
        if (way == Way::Up && !other_side_occupied)
            return SlideDown(mover, animate);
        return BLOCKED;
    }
    MoveOneCell(mover, way);
    if (animate)
        mover.SetFacing(static_cast<uint8_t>(static_cast<uint8_t>(way) << 4 | NextFrame(mover.Facing())));
    FollowWithCamera(mover, way);
    return DONE;
}

void CCps::AppendTrail(MapMover mover)
{
    TrailRing[TrailHead] = {mover.X(), mover.Y(), mover.Facing()};
    TrailHead = static_cast<uint16_t>((TrailHead + 1) % MAP_TRAIL_LENGTH);
}

void CCps::EndWalk()
{
    if (!WalkEndRestore.Armed)
        return;
    if (WalkEndRestore.Target != nullptr) {
        MapMover target(WalkEndRestore.Target);
        target.SetState(WalkEndRestore.State);
        target.SetOpcode(WalkEndRestore.Opcode);
        target.SetCount(WalkEndRestore.Count);
    }
    WalkEndRestore.Armed = 0;
    if (EventCheckMode != 0)
        EventCheckPending = 1;
}

// Moves by direction bits; a diagonal runs both halves with sliding off and answers the second
// half's result. Other values do not move and count as done. `moved` tells whether a half moved.
uint16_t CCps::MoveByBits(MapMover mover, uint16_t bits, bool horizontal_first, bool& moved)
{
    const auto single = [&](uint16_t bit) -> uint16_t {
        uint16_t r = BLOCKED;
        switch (bit) {
        case UP:
            r = StepUp(mover, 1);
            break;
        case LEFT:
            r = StepLeft(mover, 1);
            break;
        case RIGHT:
            r = StepRight(mover, 1);
            break;
        case DOWN:
            r = StepDown(mover, 1);
            break;
        }
        if (r < BLOCKED) {
            moved = true;
            MovedDirections |= static_cast<uint8_t>(bit);
        }
        return r;
    };
    if (!IsSteeringBits(bits))
        return DONE;
    if ((bits & (bits - 1)) == 0)
        return single(bits);
    const uint16_t vertical = bits & (UP | DOWN);
    const uint16_t horizontal = bits & (LEFT | RIGHT);
    DiagonalStep = DIAGONAL;
    single(horizontal_first ? horizontal : vertical);
    const uint16_t result = single(horizontal_first ? vertical : horizontal);
    DiagonalStep = 0;
    return result;
}

uint16_t CCps::StepAlongPath(MapMover mover)
{
    MovedDirections = 0;
    const int32_t foot_x = mover.X();
    const int32_t foot_y = mover.Y() + 1;
    uint8_t bits = 0;
    if (foot_x < MAP_MAX_COLUMNS && foot_y < MAP_MAX_ROWS)
        bits = DirectionGrid[static_cast<size_t>(foot_y) * MAP_MAX_COLUMNS + static_cast<size_t>(foot_x)];
    if (bits != 0) {
        IKeyboard* keyboard = InputView->GetKeyboard();
        IMouse* mouse = InputView->GetMouse();
        const bool cancel =
            (keyboard != nullptr && (keyboard->IsKeyDown(SCAN_ESCAPE) || keyboard->IsKeyDown(SCAN_DELETE))) ||
            (mouse != nullptr && (mouse->IsRightDown() || mouse->GetTouchState()));
        if (!(cancel && GetFlag(PATH_CANCEL_FLAG) != 0)) {
            bool moved = false;
            const uint16_t result = MoveByBits(mover, bits, false, moved);
            if (FlagBuffer* state = CurrentFlagBuffer();
                state != nullptr && state->Values.size() > VALUE_DIRECTION)
                state->Values[VALUE_DIRECTION] = ScriptValue::FromInteger(mover.Facing() >> 4);
            if (result == DONE) {
                AppendTrail(mover);
                return DONE;
            }
        } else {
            WaitInputRelease(CANCEL_INPUT);
        }
    }
    EndWalk();
    return WALK_ENDED;
}

uint16_t CCps::StepSteered(MapMover mover)
{
    MovedDirections = 0;
    const uint16_t bits = ReadSteering(mover);
    if (bits == STEER_CANCEL)
        return CANCELLED;
    if (!IsSteeringBits(bits))
        return BLOCKED;
    bool moved = false;
    MoveByBits(mover, bits, true, moved);
    if (!moved)
        return WALK_ENDED;
    AppendTrail(mover);
    return DONE;
}

uint16_t CCps::SteeringKeyBits()
{
    uint16_t bits = 0;
    IKeyboard* keyboard = InputView->GetKeyboard();
    const auto down = [&](uint32_t code) { return keyboard != nullptr && keyboard->IsKeyDown(code) != 0; };
    if (down(SCAN_UP) || down(SCAN_KEYPAD_8))
        bits |= UP;
    if (down(SCAN_LEFT) || down(SCAN_KEYPAD_4))
        bits |= LEFT;
    if (down(SCAN_RIGHT) || down(SCAN_KEYPAD_6))
        bits |= RIGHT;
    if (down(SCAN_DOWN) || down(SCAN_KEYPAD_2))
        bits |= DOWN;
    return bits;
}

bool CCps::SteeringHeld()
{
    if (InputView == nullptr)
        return false;
    IMouse* mouse = InputView->GetMouse();
    return SteeringKeyBits() != 0 || (mouse != nullptr && (mouse->IsLeftDown() || mouse->GetTouchTap()));
}

uint16_t CCps::ReadSteering(MapMover mover)
{
    uint16_t bits = SteeringKeyBits();
    IKeyboard* keyboard = InputView->GetKeyboard();
    const auto down = [&](uint32_t code) { return keyboard != nullptr && keyboard->IsKeyDown(code) != 0; };
    IMouse* mouse = InputView->GetMouse();
    if (mouse != nullptr && (mouse->GetTouchTap() || mouse->IsLeftDown())) {
        bits = SteerTowardsCursor(mover);
        mouse->ResetTouch(0);
    }
    if (mouse != nullptr && mouse->IsRightDown())
        return bits != 0 ? bits : STEER_CANCEL;
    if (bits == 0 && (down(SCAN_ESCAPE) || down(SCAN_DELETE) || (mouse != nullptr && mouse->GetTouchState())))
        return STEER_CANCEL;
    return bits;
}

uint16_t CCps::SteerTowardsCursor(MapMover mover)
{
    IMouse* mouse = InputView->GetMouse();
    if (mouse == nullptr)
        return 0;
    POINT window{};
    mouse->GetPosition(&window);
    const POINT screen = CDirect3D::GetInstance()->WindowToLogical(window);
    const int32_t column = screen.x / MAP_CELL_PIXELS;
    const int32_t row = screen.y / MAP_CELL_PIXELS;
    const MapCamera& c = Camera;
    if (screen.x < 0 || screen.y < 0 || column < c.ViewLeft || column > c.ViewLeft + c.ViewWidth - 1 ||
        row < c.ViewTop || row > c.ViewTop + c.ViewHeight - 1)
        return 0;
    if (CStatusPlate* plate = GameWork->GetStatusPlate()) {
        CSprite* calendar = plate->GetCalendarSprite();
        if (calendar != nullptr && calendar->IsVisible() && GetFlag(PLATE_BUTTON_FLAG_BYTE) != 0 &&
            screen.x >= PLATE_BUTTON.left && screen.x < PLATE_BUTTON.right && screen.y >= PLATE_BUTTON.top &&
            screen.y < PLATE_BUTTON.bottom)
            return 0;
    }
    const int32_t left = (mover.X() - c.CamX + c.ViewLeft) * MAP_CELL_PIXELS;
    const int32_t top = (mover.Y() - c.CamY + c.ViewTop) * MAP_CELL_PIXELS;
    const int32_t right = left + mover.Width() * MAP_CELL_PIXELS;
    const int32_t bottom = top + mover.Height() * MAP_CELL_PIXELS;
    uint16_t bits = 0;
    if (screen.y < top)
        bits |= UP;
    if (screen.y > bottom)
        bits |= DOWN;
    if (screen.x < left)
        bits |= LEFT;
    if (screen.x > right)
        bits |= RIGHT;
    return bits;
}

void CCps::WaitForNextStep()
{
    const uint32_t interval = StepInterval();
    CEffectWait wait(Document, InputView);
    IKeyboard* keyboard = InputView->GetKeyboard();
    const auto down = [&](uint32_t code) { return keyboard != nullptr && keyboard->IsKeyDown(code) != 0; };
    for (;;) {
        // Elapsed time, so the clock's wrap never stalls the wait.
        if (GetEffectTime() - LastStepTime >= interval)
            return;
        platform::NoteDueTime(LastStepTime + interval);
        if (!RunWaitPass(Document))
            return;
        if (wait.CheckSkip())
            return;
        if (!TestEngineState(ENGINE_STATE_SKIP_MODE) && (down(SCAN_LEFT_SHIFT) || down(SCAN_RIGHT_SHIFT) ||
                                                         down(SCAN_LEFT_CONTROL) || down(SCAN_RIGHT_CONTROL)))
            return;
        wait.Wait(1, 0);
    }
}

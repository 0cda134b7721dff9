#include "screens/extras/CMusicMode.h"

#include <algorithm>
#include <string>

#include "foundation/CInputView.h"
#include "foundation/ConfigSettings.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "game/hints/CastNames.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "movie/CMoviePlayer.h"
#include "movie/MovieVolumeRecord.h"
#include "screens/base/ScreenWork.h"
#include "script/FlagBuffer.h"
#include "script/commands/CFuncMusic.h"
#include "sound/IWaveManager.h"
#include "sound/SoundChannels.h"

namespace {

inline constexpr int32_t SCREEN_W = 1920;
inline constexpr int32_t SCREEN_H = 1080;
inline constexpr int32_t FADE_TICKS = 16;
inline constexpr int32_t SOUND_CHANNEL = 4;
inline constexpr uint32_t OTHER_TABS_FLAG = 1898;
inline constexpr size_t VALUE_TAB = 12;
inline constexpr size_t VALUE_PAGE = 17;
inline constexpr int32_t ROW_X = 1463;
inline constexpr int32_t ROW_Y = 118;
inline constexpr int32_t ROW_W = 400;
inline constexpr int32_t ROW_H = 48;
inline constexpr int32_t PICTURE_X = 402;
inline constexpr int32_t PICTURE_Y = 111;
inline constexpr int32_t PICTURE_W = 1040;
inline constexpr int32_t PICTURE_H = 644;
inline constexpr int32_t BAR_X = 1869;
inline constexpr int32_t BAR_Y = 109;
inline constexpr int32_t BAR_W = 36;
inline constexpr int32_t BAR_H = 748;
inline constexpr int32_t THUMB_H = 184;
inline constexpr int32_t THUMB_RANGE = 564;
inline constexpr int32_t SLIDER_LEFT = 433;
inline constexpr int32_t SLIDER_RANGE = 545;
inline constexpr int32_t KNOB = -2;
inline constexpr uint32_t SCANS[] = {SCAN_UP, SCAN_DOWN, SCAN_LEFT, SCAN_RIGHT};

constexpr std::array<MusicTrack, 2 * MUSIC_PAGE_SLOTS> TRACKS{{
    {nullptr, 1, "a000.akb", 4112},
    {nullptr, 2, "a001.akb", 4111},
    {nullptr, 3, "a002.akb", 4116},
    {nullptr, 4, "a003.akb", 4128},
    {nullptr, 5, "a004.akb", 4115},
    {nullptr, 6, "a005.akb", 4117},
    {nullptr, 7, "a006.akb", 4109},
    {nullptr, 8, "a007.akb", 4147},
    {nullptr, 9, "a008.akb", 4107},
    {nullptr, 10, "a009.akb", 4127},
    {nullptr, 11, "a010.akb", 4125},
    {"_AKOGARE.WAV", 0, "a011.akb", 4103},
    {nullptr, 12, "a012.akb", 4120},
    {nullptr, 13, "a013.akb", 4122},
    {nullptr, 14, "a014.akb", 4113},
    {nullptr, 15, "a015.akb", 4119},
    {nullptr, 16, "a016.akb", 4138},
    {"BUKIMI.WAV", 0, "a017.akb", 4136},
    {nullptr, 17, "a018.akb", 4134},
    {"SINKAN.WAV", 0, "a019.akb", 4133},
    {"", 0, "", 0},
    {"", 0, "", 0},
    {"", 0, "", 0},
    {"illuminate.WAV", 0, "b00.akb", 4148},
    {"SWEET.WAV", 0, "b000.akb", 4118},
    {"SWEET_EN.WAV", 0, "b001.akb", 4141},
    {"COMBINI.WAV", 0, "b002.akb", 4132},
    {"_GENKI.WAV", 0, "b003.akb", 4101},
    {"XMAS.WAV", 0, "b004.akb", 4126},
    {"KOTO_3.WAV", 0, "b005.akb", 4135},
    {"_TANOSII.WAV", 0, "b006.akb", 4105},
    {"_GIBO.WAV", 0, "b007.akb", 4102},
    {"IDO_1.WAV", 0, "b008.akb", 4123},
    {"_SCHIK2.WAV", 0, "b009.akb", 4124},
    {"_DOLAMA1.WAV", 0, "b010.akb", 4121},
    {"_KANASII.WAV", 0, "b011.akb", 4106},
    {"_SETUNAI.WAV", 0, "b012.akb", 4104},
    {"_SKLAK.WAV", 0, "b013.akb", 4110},
    {"XMAS_4.WAV", 0, "b014.akb", 4131},
    {"DREAM.WAV", 0, "b015.akb", 4114},
    {"ORG.WAV", 0, "b016.akb", 4108},
    {"QUIZ.WAV", 0, "b017.akb", 4143},
    {"URANAI.WAV", 0, "b018.akb", 4145},
    {"HAPPY3.WAV", 0, "b019.akb", 4140},
    {"SAD.WAV", 0, "b020.akb", 4139},
    {"message.wav", 0, "b021.akb", 4149},
}};

std::unique_ptr<CSpriteLayer> AsLayer(CSprite* sprite)
{
    std::unique_ptr<CSprite> owned(sprite);
    auto* layer = dynamic_cast<CSpriteLayer*>(owned.get());
    if (layer == nullptr || layer->GetBits() == nullptr)
        return nullptr;
    owned.release();
    return std::unique_ptr<CSpriteLayer>(layer);
}

CSpriteLayer* SheetOf(CSprite* sheet)
{
    return dynamic_cast<CSpriteLayer*>(sheet);
}

} // namespace

const MusicTrack& GetMusicTrack(int32_t page, int32_t index)
{
    static constexpr MusicTrack NONE{"", 0, "", 0};
    if (page < 0 || page > 1 || index < 0 || index >= MUSIC_PAGE_SLOTS)
        return NONE;
    return TRACKS[static_cast<size_t>(page * MUSIC_PAGE_SLOTS + index)];
}

CStringUTF8 GetMusicFileName(int32_t page, int32_t index)
{
    const MusicTrack& track = GetMusicTrack(page, index);
    if (track.File != nullptr)
        return CStringUTF8(track.File);
    const std::string key = (track.Theme < 10 ? "theme0" : "theme") + std::to_string(track.Theme);
    return GetCastNames().Get(key);
}

int32_t GetMusicTrackCount(int32_t page)
{
    return page == 0 ? 20 : MUSIC_PAGE_SLOTS;
}

CMusicMode::CMusicMode() = default;

CMusicMode::~CMusicMode()
{
    CMusicMode::ReleaseParts();
}

bool CMusicMode::LoadSheets()
{
    auto load = [this](const char* name) {
        return std::unique_ptr<CSprite>(
            LoadSprite(MakeLanguageFileName(name), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
    };
    RowSheet = load("music_p.akb");
    ControlSheet = load("musicmode_p.akb");
    return RowSheet != nullptr && ControlSheet != nullptr;
}

int32_t CMusicMode::CreateParts()
{
    CONFIG_STATE::Load();
    if (IOmakeParts::CreateParts() == 0)
        return 0;
    ShownVolume = MusicVolume;
    ShownEnable = MusicEnable;
    Page = 0;
    if (!LoadSheets())
        return 0;
    BaseSprite = AsLayer(CreateSprite(0, 0, SCREEN_W, SCREEN_H, 0, LAYER_KIND_MEMORY, 0));
    OverlaySprite = AsLayer(CreateSprite(0, 0, SCREEN_W, SCREEN_H, 1, LAYER_KIND_MEMORY, 0));
    return BaseSprite != nullptr && OverlaySprite != nullptr ? 1 : 0;
}

void CMusicMode::ReleaseParts()
{
    if (GameWork != nullptr)
        GameWork->RemoveActiveScreen(this);
    IOmakeParts::ReleaseParts();
    ControlSheet.reset();
    OverlaySprite.reset();
    BaseSprite.reset();
    RowSheet.reset();
}

void CMusicMode::BuildParts(int32_t)
{
    const int32_t playing = PlayingIndex;
    PlayingIndex = SelectedIndex = -1;
    RowSheet.reset();
    ControlSheet.reset();
    LoadSheets();
    DrawAll();
    PlayingIndex = playing;
}

void CMusicMode::Blt(CSpriteLayer* target, CSprite* sheet, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx,
                     int32_t sy)
{
    CSpriteLayer* source = SheetOf(sheet);
    if (target == nullptr || source == nullptr)
        return;
    target->Blt(x, y, w, h, source, sx, sy, 1);
}

void CMusicMode::Present()
{
    for (CSpriteLayer* sprite : {BaseSprite.get(), OverlaySprite.get()})
        if (sprite != nullptr)
            sprite->Invalidate(1, *sprite->GetRect());
    RedrawFrameNow();
}

void CMusicMode::DrawButton(int32_t id, int32_t state, int32_t present)
{
    if (id == -1 || OverlaySprite == nullptr)
        return;
    const int32_t group = id / 256;
    const int32_t item = id % 256;
    const int32_t count = GetMusicTrackCount(Page);
    {
        LiveDrawLock lock;
        CSprite* controls = ControlSheet.get();
        switch (group) {
        case 0: {
            const int32_t t = ScrollOffset + item;
            if (!IsUnlocked(t))
                break;
            const int32_t y = ROW_Y + ROW_H * item;
            if (t == PlayingIndex || t == SelectedIndex)
                state = 2;
            if (state == 0)
                OverlaySprite->FillRect(ROW_X, y, ROW_W, ROW_H, 0, 1);
            else
                Blt(OverlaySprite.get(), RowSheet.get(), ROW_X, y, ROW_W, ROW_H, ROW_W * (t % 5),
                    ROW_H * (state + 4 * (t / 5) + 16 * Page));
            break;
        }
        case 1:
            if (id == MUSIC_TAB_FIRST + 2)
                state = 2;
            if (id == MUSIC_TAB_LAST)
                Blt(OverlaySprite.get(), controls, 27, 777, 296, 128, 1295, 364 + 128 * state);
            else if (item <= 2)
                Blt(OverlaySprite.get(), controls, 27, 216 + 182 * item, 296, 174, 296 * item, 174 * state);
            break;
        case 2:
            Blt(OverlaySprite.get(), controls, 27, 928, 218, 126, 888, 126 * state);
            break;
        case 3:
            if (item <= 1)
                Blt(OverlaySprite.get(), controls, 1463 + 212 * item, 862, 188, 91, 1107,
                    91 * (3 * item + (item == Page ? 2 : state)));
            break;
        case 4:
            DrawVolumeSlider(MusicVolume, state, MusicEnable, 0);
            break;
        case 5:
            if (item > 3)
                break;
            if (id == MUSIC_PLAY && PlayingIndex != -1)
                state = 2;
            else if (id == MUSIC_STOP && PlayingIndex == -1)
                state = 3;
            else if (id == MUSIC_PREVIOUS && PlayingIndex <= 0)
                state = 3;
            else if (id == MUSIC_NEXT && (PlayingIndex == -1 || PlayingIndex == count - 1))
                state = 3;
            Blt(OverlaySprite.get(), controls, 1036 + 97 * item, 796, 88, 91, 1295 + 88 * item, 91 * state);
            break;
        case 6:
            DrawScrollBar(ScrollOffset, state, 0);
            break;
        default:
            break;
        }
    }
    if (present != 0)
        Present();
}

void CMusicMode::DrawAll()
{
    DrawVolumeSlider(ShownVolume, 0, MusicEnable, 0);
    for (const int32_t id : {256, 257, 258, 259, 512, 1536, 768, 769, 1280, 1281, 1282, 1283})
        DrawButton(id, 0, 0);
    SetUpPage();
}

void CMusicMode::SetUpPage()
{
    const int32_t count = GetMusicTrackCount(Page);
    ScrollOffset = 0;
    MaxOffset = count - MUSIC_ROWS;
    DrawScrollBar(0, 0, 0);
    Unlocked.fill(0);
    for (int32_t i = 0; i < count; ++i)
        Unlocked[static_cast<size_t>(i)] = GetFlag(GetMusicTrack(Page, i).HeardFlag) == 1 ? 1 : 0;
    RedrawRows();
}

void CMusicMode::RedrawRows()
{
    if (OverlaySprite != nullptr)
        OverlaySprite->FillRect(ROW_X, ROW_Y, ROW_W, ROW_H * MUSIC_ROWS, 0, 1);
    for (int32_t r = 0; r < MUSIC_ROWS; ++r) {
        DrawButton(r, 0, 0);
        const int32_t t = ScrollOffset + r;
        if (t >= MUSIC_PAGE_SLOTS)
            continue;
        int32_t state = 3;
        if (t == PlayingIndex || t == SelectedIndex)
            state = 2;
        else if (IsUnlocked(t))
            state = 0;
        Blt(BaseSprite.get(), RowSheet.get(), ROW_X, ROW_Y + ROW_H * r, ROW_W, ROW_H, ROW_W * (t % 5),
            ROW_H * (state + 4 * (t / 5) + 16 * Page));
    }
    HoverId = -1;
}

IWaveManager* CMusicMode::MusicChannel()
{
    CFuncMusic music;
    return music.GetManager(0);
}

void CMusicMode::PlayTrack(int32_t index)
{
    if (PlayingIndex != -1)
        StopTrack(0);
    const MusicTrack& track = GetMusicTrack(Page, index);
    if (track.Picture[0] != '\0' && OverlaySprite != nullptr) {
        std::unique_ptr<CSprite> picture(
            LoadSprite(CStringUTF8(track.Picture), nullptr, LAYER_KIND_MEMORY, 0, -1, nullptr, -1, -1, 0));
        Blt(OverlaySprite.get(), picture.get(), PICTURE_X, PICTURE_Y, PICTURE_W, PICTURE_H, 0, 0);
    }
    const CStringUTF8 name = GetMusicFileName(Page, index);
    if (!name.IsEmpty()) {
        CFuncMusic music;
        music.Play(name, 0, 1);
    }
    PlayingIndex = SelectedIndex = index;
    RedrawRows();
    for (int32_t i = 0; i < 4; ++i)
        DrawButton(MUSIC_PLAY + i, 0, 0);
    Present();
}

void CMusicMode::StopTrack(int32_t present)
{
    if (IWaveManager* channel = MusicChannel())
        channel->Stop(true);
    PlayingIndex = -1;
    RedrawRows();
    if (OverlaySprite != nullptr)
        OverlaySprite->FillRect(PICTURE_X, PICTURE_Y, PICTURE_W, PICTURE_H, 0, 1);
    for (int32_t i = 0; i < 4; ++i)
        DrawButton(MUSIC_PLAY + i, 0, 0);
    if (present != 0)
        Present();
}

void CMusicMode::DrawVolumeSlider(float volume, int32_t state, int32_t enable, int32_t present)
{
    if (OverlaySprite == nullptr)
        return;
    if (enable == 0)
        state = 3;
    const auto knob = static_cast<int32_t>((volume * SLIDER_RANGE * 10 + 5) / 10);
    OverlaySprite->SetAlphaRect(407, 804, 597, 54, 0);
    CSprite* controls = ControlSheet.get();
    Blt(OverlaySprite.get(), controls, 413, 814, 586, 34, 0, 696);
    if (state != 3) {
        Blt(OverlaySprite.get(), controls, 413, 814, knob + 20, 34, 0, 730);
        if (CSpriteLayer* source = SheetOf(controls))
            OverlaySprite->BltOver(407 + knob, 804, 52, 54, source, 586, 696 + 54 * state);
    }
    if (present != 0)
        Present();
}

float CMusicMode::PointerToVolume(int32_t x)
{
    return static_cast<float>(std::clamp(x - SLIDER_LEFT, 0, SLIDER_RANGE)) / static_cast<float>(SLIDER_RANGE);
}

POINT CMusicMode::PointerPosition()
{
    POINT position{};
    if (IMouse* mouse = InputView != nullptr ? InputView->GetMouse() : nullptr)
        mouse->GetPosition(&position);
    return CDirect3D::GetInstance()->WindowToLogical(position);
}

void CMusicMode::DragVolume()
{
    float last = PointerToVolume(PointerPosition().x);
    DrawVolumeSlider(last, 1, MusicEnable, 1);
    ApplyVolume(last);
    while (IsInputTriggered(INPUT_OK) != 0 && PumpFrame() != 0) {
        const float v = PointerToVolume(PointerPosition().x);
        if (v != last) {
            DrawVolumeSlider(v, 1, MusicEnable, 1);
            ApplyVolume(v);
            last = v;
        }
    }
    MusicVolume = last;
    ApplyVolume(last);
    CONFIG_STATE::Save();
    ShownVolume = last;
}

int32_t CMusicMode::VolumeLevel(float volume) const
{
    return SOUND_VOLUME_FLOOR - static_cast<int32_t>(volume * -5000.0f * MasterVolume);
}

void CMusicMode::ApplyVolume(float volume)
{
    const int32_t level = VolumeLevel(volume);
    if (Document != nullptr)
        for (auto& channel : GetGameSoundChannels()[SOUND_GROUP_MUSIC])
            if (channel != nullptr)
                channel->SetVolume(SoundEnable != 0 ? level : SOUND_VOLUME_SILENT);
    ScreenWork* work = GetScreenWork();
    ApplyMusicVolume(work != nullptr ? work->m_movie_volume.get() : nullptr,
                     GetGameMoviePlayer(), SoundEnable != 0 ? 1 : 0, level);
}

void CMusicMode::DrawScrollBar(int32_t offset, int32_t state, int32_t present)
{
    if (OverlaySprite == nullptr)
        return;
    OverlaySprite->ClearRect(BAR_X, BAR_Y, BAR_W, BAR_H);
    const int32_t top = BAR_Y + (MaxOffset > 0 ? offset * THUMB_RANGE / MaxOffset : 0);
    Blt(OverlaySprite.get(), ControlSheet.get(), BAR_X, top, BAR_W, THUMB_H, 638 + 36 * state, 696);
    if (present != 0)
        Present();
}

int32_t CMusicMode::PointerToOffset(int32_t y) const
{
    const int32_t t = std::clamp(y - (BAR_Y + THUMB_H / 2), 0, THUMB_RANGE);
    return (t * MaxOffset * 10 / THUMB_RANGE + 5) / 10;
}

void CMusicMode::DragScrollBar()
{
    const POINT start = PointerPosition();
    const int32_t top = BAR_Y + (MaxOffset > 0 ? ScrollOffset * THUMB_RANGE / MaxOffset : 0);
    int32_t last = PointerToOffset(start.y);
    if (start.x < BAR_X || start.x >= BAR_X + BAR_W || start.y < top || start.y >= top + THUMB_H) {
        ScrollOffset = last;
        RedrawRows();
        DrawScrollBar(ScrollOffset, 2, 0);
        Present();
    }
    int32_t tracked = start.y;
    int32_t previous_y = start.y;
    for (;;) {
        const POINT now = PointerPosition();
        tracked = std::max(0, tracked + (now.y - previous_y));
        previous_y = now.y;
        const int32_t offset = PointerToOffset(tracked);
        if (offset != last) {
            ScrollOffset = last = offset;
            RedrawRows();
            DrawScrollBar(offset, 2, 0);
            Present();
        }
        if (PumpFrame() == 0)
            break;
        Sleep(1);
        if (IsInputTriggered(INPUT_OK) == 0 && IsInputTriggered(INPUT_DRAG) == 0)
            break;
    }
    DrawScrollBar(ScrollOffset, 0, 1);
}

void CMusicMode::Show()
{
    if (BaseSprite == nullptr || OverlaySprite == nullptr)
        return;
    CSpriteAnime anime;
    for (CSpriteLayer* sprite : {BaseSprite.get(), OverlaySprite.get()}) {
        SpriteAnimRecord record(FADE_TICKS);
        record.SetVisible(1);
        record.SetAlpha(0, 255);
        sprite->AddAnimation(record);
        anime.AddSprite(sprite);
    }
    OpenTransition(anime);
}

void CMusicMode::Hide()
{
    if (BaseSprite == nullptr || OverlaySprite == nullptr)
        return;
    CSpriteAnime anime;
    for (CSpriteLayer* sprite : {BaseSprite.get(), OverlaySprite.get()}) {
        SpriteAnimRecord record(FADE_TICKS);
        record.SetAlpha(255, 0);
        sprite->AddAnimation(record);
        anime.AddSprite(sprite);
    }
    CloseTransition(anime);
    OverlaySprite->SetVisibleFlag(0);
}

void CMusicMode::OnOpen()
{
    CFuncMusic music;
    if (IWaveManager* channel = music.GetManager(0)) {
        if (music.IsEnabled())
            channel->Fade(32, SOUND_VOLUME_FLOOR, 1);
        else
            channel->Stop(true);
    }
    Running = 1;
    HoverId = -1;
    HitAreas.Load("musicmode.area");
    PlayingIndex = SelectedIndex = -1;
    Page = 0;
    ScrollOffset = 0;
    MaxOffset = GetMusicTrackCount(0) - MUSIC_ROWS;
    ISelect::OnMouseWheel(0);
    DrawAll();
    Show();
}

void CMusicMode::OnClose()
{
    ISelect::OnMouseWheel(0);
    Hide();
}

void CMusicMode::Update()
{
    CONFIG_STATE::Load();
    if (MusicVolume != ShownVolume || MusicEnable != ShownEnable) {
        DrawVolumeSlider(MusicVolume, 0, MusicEnable, 1);
        ShownVolume = MusicVolume;
        ShownEnable = MusicEnable;
    }
    const int32_t id = HitTestCursor();
    if (id != HoverId) {
        if (HoverId != -1)
            DrawButton(HoverId, 0, 1);
        if (id != -1)
            DrawButton(id, 1, 1);
        HoverId = id;
    }
    if (PlayingIndex != -1) {
        IWaveManager* channel = MusicChannel();
        if (channel == nullptr || !channel->IsPlaying())
            StopTrack(1);
    }
}

void CMusicMode::WaitOkRelease()
{
    for (const int32_t input : OkInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void CMusicMode::Pressed(int32_t id)
{
    DrawButton(id, 2, 1);
}

void CMusicMode::LeaveForTab(int32_t tab)
{
    PlayOkSound(SOUND_CHANNEL);
    Pressed(MUSIC_TAB_FIRST + tab);
    Running = 0;
    Result = ScriptValue::FromInteger(100);
    StateWord = 0;
    if (FlagBuffer* state = CurrentFlagBuffer(); state != nullptr && state->Values.size() > VALUE_PAGE) {
        state->Values[VALUE_PAGE] = ScriptValue::FromInteger(0);
        state->Values[VALUE_TAB] = ScriptValue::FromInteger(tab);
    }
}

void CMusicMode::StepTrack(int32_t direction)
{
    const int32_t count = GetMusicTrackCount(Page);
    int32_t j = SelectedIndex + direction;
    while (j >= 0 && j < count && !IsUnlocked(j))
        j += direction;
    if (j < 0 || j >= count)
        return;
    SelectedIndex = j;
    const int32_t offset = direction < 0 ? (j < ScrollOffset ? j : ScrollOffset)
                                         : (j - ScrollOffset >= MUSIC_ROWS ? j - (MUSIC_ROWS - 1) : ScrollOffset);
    if (offset != ScrollOffset) {
        ScrollOffset = offset;
        RedrawRows();
        DrawScrollBar(ScrollOffset, 0, 0);
    }
    PlayTrack(j);
}

void CMusicMode::OnDecide()
{
    const int32_t id = HoverId;
    if (id == -1)
        return;
    const int32_t group = id / 256;
    const int32_t count = GetMusicTrackCount(Page);
    if (group == 0) {
        const int32_t t = ScrollOffset + id;
        if (IsUnlocked(t)) {
            PlayOkSound(SOUND_CHANNEL);
            Pressed(id);
            WaitOkRelease();
            if (t == PlayingIndex)
                StopTrack(1);
            else
                PlayTrack(t);
        }
    } else if (id == MUSIC_TAB_FIRST || id == MUSIC_TAB_FIRST + 1) {
        Pressed(id);
        WaitOkRelease();
        if (GetFlag(OTHER_TABS_FLAG) != 0)
            LeaveForTab(id - MUSIC_TAB_FIRST);
    } else if (id == MUSIC_TAB_FIRST + 2) {
        Pressed(id);
        WaitOkRelease();
    } else if (id == MUSIC_TAB_LAST) {
        Pressed(id);
        WaitOkRelease();
        LeaveForTab(3);
    } else if (id == MUSIC_RETURN) {
        PlayOkSound(SOUND_CHANNEL);
        Pressed(id);
        Running = 0;
        Result = ScriptValue::FromInteger(-1);
        StateWord = 0;
    } else if (group == 3) {
        const int32_t page = id - MUSIC_PAGE_TAB;
        if (page == Page || page > 1)
            return;
        PlayOkSound(SOUND_CHANNEL);
        Pressed(id);
        Page = page;
        StopTrack(1);
        DrawButton(MUSIC_PAGE_TAB, 0, 1);
        DrawButton(MUSIC_PAGE_TAB + 1, 0, 1);
        SetUpPage();
        HoverId = -1;
    } else if (group == 4) {
        if (MusicEnable == 1)
            DragVolume();
    } else if (id == MUSIC_PLAY) {
        if (SelectedIndex == -1)
            return;
        // A page change keeps the index number, which may then name a locked track or an
        // empty slot: those are never played.
        if (!IsUnlocked(SelectedIndex)) {
            WaitOkRelease();
            return;
        }
        PlayOkSound(SOUND_CHANNEL);
        Pressed(id);
        WaitOkRelease();
        PlayTrack(SelectedIndex);
    } else if (id == MUSIC_STOP) {
        if (PlayingIndex == -1)
            return;
        PlayOkSound(SOUND_CHANNEL);
        Pressed(id);
        WaitOkRelease();
        SelectedIndex = PlayingIndex;
        StopTrack(1);
    } else if (id == MUSIC_PREVIOUS || id == MUSIC_NEXT) {
        const bool next = id == MUSIC_NEXT;
        if (SelectedIndex != -1 && SelectedIndex != (next ? count - 1 : 0)) {
            PlayOkSound(SOUND_CHANNEL);
            Pressed(id);
            WaitOkRelease();
            StepTrack(next ? 1 : -1);
        }
    } else if (group == 6) {
        DragScrollBar();
        DrawScrollBar(ScrollOffset, 0, 0);
        Present();
        HoverId = -1;
    }
    WaitOkRelease();
}

void CMusicMode::OnCancel()
{
    ISelect::OnMouseWheel(0);
    if (PlayingIndex != -1) {
        StopTrack(1);
    } else {
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        PlayCancelSound(SOUND_CHANNEL);
    }
    for (const int32_t input : CancelInputs)
        WaitInputRelease(static_cast<uint32_t>(input));
}

void CMusicMode::OnDrag()
{
    if (HoverId / 256 == 4 && HoverId >= 0 && MusicEnable == 1)
        DragVolume();
}

void CMusicMode::OnMouseWheel(int32_t steps)
{
    if (steps > 0 && ScrollOffset > 0)
        --ScrollOffset;
    else if (steps < 0 && ScrollOffset < MaxOffset)
        ++ScrollOffset;
    else
        steps = 0;
    if (steps != 0) {
        RedrawRows();
        DrawScrollBar(ScrollOffset, 0, 0);
        Present();
    }
    ISelect::OnMouseWheel(0);
}

int32_t CMusicMode::CursorTarget(int32_t key) const
{
    enum { UP, DOWN, LEFT, RIGHT };
    const int32_t h = HoverId;
    const int32_t group = h / 256;
    if (h == -1)
        return std::array<int32_t, 4>{MUSIC_TAB_FIRST, 0, MUSIC_TAB_FIRST, KNOB}[static_cast<size_t>(key)];
    if (group == 0)
        return std::array<int32_t, 4>{h == 0 ? -1 : h - 1, h == GetMusicTrackCount(Page) - 1 ? -1 : h + 1,
                                      MUSIC_TAB_FIRST, KNOB}[static_cast<size_t>(key)];
    if (group == 1)
        return std::array<int32_t, 4>{h == MUSIC_TAB_FIRST ? -1 : h - 1, h == MUSIC_TAB_LAST ? MUSIC_RETURN : h + 1,
                                      -1, 0}[static_cast<size_t>(key)];
    if (group == 2)
        return std::array<int32_t, 4>{MUSIC_TAB_LAST, -1, -1, MUSIC_PAGE_TAB}[static_cast<size_t>(key)];
    if (group == 3)
        return std::array<int32_t, 4>{KNOB, -1, h == MUSIC_PAGE_TAB ? MUSIC_RETURN : h - 1,
                                      h + 1}[static_cast<size_t>(key)];
    if (group == 4)
        return std::array<int32_t, 4>{-1, MUSIC_PAGE_TAB, 0, -1}[static_cast<size_t>(key)];
    return -1;
}

int32_t CMusicMode::MoveByKey(int32_t key)
{
    const int32_t target = CursorTarget(key);
    if (target == KNOB) {
        const POINT window = CDirect3D::GetInstance()->LogicalToWindow(
            POINT{SLIDER_LEFT + static_cast<int32_t>(SLIDER_RANGE * MusicVolume), 831});
        if (IMouse* mouse = InputView != nullptr ? InputView->GetMouse() : nullptr)
            mouse->SetPosition(window.x, window.y);
    } else if (target != -1) {
        HitAreas.MoveCursorToArea(static_cast<uint32_t>(target));
    }
    Update();
    WaitInputRelease(SCANS[static_cast<size_t>(key)]);
    return 0;
}

int32_t CMusicMode::OnUpKey()
{
    return MoveByKey(0);
}

int32_t CMusicMode::OnDownKey()
{
    return MoveByKey(1);
}

int32_t CMusicMode::OnLeftKey()
{
    return MoveByKey(2);
}

int32_t CMusicMode::OnRightKey()
{
    return MoveByKey(3);
}

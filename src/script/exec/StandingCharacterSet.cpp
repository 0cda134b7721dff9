#include "script/exec/StandingCharacterSet.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "foundation/GameDocument.h"
#include "foundation/PlayerMessage.h"
#include "foundation/ScreenSettings.h"
#include "graphics/CFadeSprite.h"
#include "graphics/CSpriteAnime.h"
#include "graphics/CSpriteContainer.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/CSpriteLayerFile.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteAnimRecord.h"
#include "graphics/SpriteLayerOf.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/user/RectApi.h"
#include "script/ScriptWork.h"

namespace {

constexpr PositionLayout POSITION_LAYOUT[STANDING_POSITIONS] = {{3, 0}, {2, -600}, {1, 600}, {0, 600}};
constexpr char CHARACTER_LETTERS[] = "abcdefghijkmnopqrswxyz";
constexpr int32_t CHARACTER_HEIGHT[] = {35, 55, 50, 70, 110, 100, 0,  25, 50, 10,
                                        50, 0,  50, 60, -40, 95,  75, 60, -50};
constexpr float ZOOM_CENTRE_X = 1024.0f;
constexpr float ZOOM_CENTRE_Y = 0.0f;
constexpr const char* NO_CHARACTER_MESSAGE = "The specified standing character position is incorrect.";

CLayerFile* LayerFile()
{
    CLayerFile* file = GetSpriteLayerRegistry().GetLayerFile();
    return file != nullptr ? file : GetDocumentLayerFile();
}

// The picture in a new layer of its own size, with its range; null when it does not load.
ILayer* LoadWholePicture(const CStringUTF8& name, RECT& range)
{
    range = RECT{};
    CLayerFile* file = LayerFile();
    return file != nullptr ? file->LoadPicture(name, nullptr, 0, 0, &range, -1, -1, 0) : nullptr;
}

std::unique_ptr<CSpriteLayer> SpriteOverLayer(ILayer* layer, int32_t priority)
{
    if (layer == nullptr)
        return nullptr;
    std::unique_ptr<CSpriteLayer> sprite(static_cast<CSpriteLayer*>(CreateSpriteLayer(0)));
    sprite->AttachLayer(layer, 0, 0, priority);
    sprite->SetAlpha(255);
    sprite->SetVisibleFlag(1);
    sprite->Invalidate(1, *sprite->GetRect());
    return sprite;
}

std::unique_ptr<CSpriteLayer> BlankSprite(int32_t width, int32_t height)
{
    auto sprite = std::make_unique<CSpriteLayer>();
    try {
        sprite->Create(0, 0, width, height, -1);
    } catch (const CStringUTF8&) {
        return nullptr;
    }
    sprite->SetVisibleFlag(1);
    return sprite;
}

// Copies whole pixels and lets a container holding the target recompose.
void CopyInto(CSpriteLayer* target, int32_t x, int32_t y, int32_t w, int32_t h, ILayer* source)
{
    if (target == nullptr || source == nullptr)
        return;
    LiveDrawLock lock;
    target->Blt(x, y, w, h, source, 0, 0, 1);
    target->Invalidate(1, *target->GetRect());
}

void Queue(CSpriteAnime* task, CSprite* sprite, const SpriteAnimRecord& record)
{
    if (sprite == nullptr)
        return;
    sprite->AddAnimation(record);
    if (task != nullptr)
        task->AddSprite(sprite);
}

int32_t FaceHeight(const RECT& range)
{
    return std::max<int32_t>(range.bottom, 0);
}

} // namespace

std::optional<PositionLayout> GetPositionLayout(int32_t position)
{
    if (position < 0 || position >= STANDING_POSITIONS)
        return std::nullopt;
    return POSITION_LAYOUT[position];
}

int32_t CharacterIndexFromName(const CStringUTF8& name)
{
    const char* text = name.GetText();
    if (text == nullptr || *text == '\0')
        return -1;
    const char* found = std::strchr(CHARACTER_LETTERS, *text);
    return found != nullptr ? static_cast<int32_t>(found - CHARACTER_LETTERS) : -1;
}

int32_t ApplyCharacterHeight(int32_t character, float scale)
{
    const int32_t k = character >= 0 && character < static_cast<int32_t>(std::size(CHARACTER_HEIGHT))
                          ? CHARACTER_HEIGHT[character]
                          : 0;
    return static_cast<int32_t>((1.0f - scale) * 100.0f + scale * static_cast<float>(k));
}

int32_t GetCentringOffset()
{
    return (GetScreenOriginalSize(1).cx - STANDING_PICTURE_SIZE) / 2;
}

// ---- StandingCharacter ----

StandingCharacter::StandingCharacter() = default;

StandingCharacter::~StandingCharacter()
{
    // The container lists the picture, and steps of the sprites name the others: the container
    // goes first, the hook that moves it last.
    LiveDrawLock lock;
    m_container.reset();
    m_picture.reset();
    m_next.reset();
    m_face.reset();
    m_part.reset();
    m_bounce.reset();
}

bool StandingCharacter::IsShown() const
{
    return m_container != nullptr && m_container->IsVisible() != 0;
}

void StandingCharacter::CreateContainer(const CStringUTF8& name, int32_t order)
{
    {
        LiveDrawLock lock;
        m_container.reset();
        m_picture.reset();
    }
    const int32_t priority = order + STANDING_PRIORITY_BASE;
    m_container = std::make_unique<CSpriteContainer>();
    m_container->Create(nullptr, 0.0f, 0.0f, RECT{0, 0, STANDING_PICTURE_SIZE, STANDING_PICTURE_SIZE},
                        priority, 0);
    m_picture = SpriteOverLayer(LoadWholePicture(name, m_picture_range), priority);
    if (m_picture != nullptr)
        m_container->AddSprite(m_picture.get());
    m_name = name;
}

void StandingCharacter::StartEnter(CSpriteAnime* task, int32_t duration)
{
    if (m_container == nullptr)
        return;
    if (task == nullptr) {
        m_container->SetAlpha(m_alpha);
        m_container->SetVisibleFlag(1);
        return;
    }
    SpriteAnimRecord record(duration);
    record.SetVisible(1);
    record.SetAlpha(0, static_cast<uint8_t>(std::clamp(m_alpha, 0, 255)));
    if (m_position == 1)
        record.SetRect(m_x - STANDING_SLIDE, m_y, m_x, m_y);
    else if (m_position == 2)
        record.SetRect(m_x + STANDING_SLIDE, m_y, m_x, m_y);
    Queue(task, m_container.get(), record);
}

void StandingCharacter::StartExit(CSpriteAnime* task, int32_t duration)
{
    if (m_container == nullptr)
        return;
    if (task == nullptr) {
        m_container->SetVisibleFlag(0);
        return;
    }
    SpriteAnimRecord record(duration);
    record.SetVisible(0);
    record.SetAlpha(static_cast<uint8_t>(std::clamp(m_container->GetAlpha(), 0, 255)), 0);
    if (m_position == 1)
        record.SetRect(m_x, m_y, m_x - STANDING_SLIDE, m_y);
    else if (m_position == 2)
        record.SetRect(m_x, m_y, m_x + STANDING_SLIDE, m_y);
    Queue(task, m_container.get(), record);
}

void StandingCharacter::LoadNextPicture(const CStringUTF8& name, int32_t order)
{
    m_next.reset();
    m_next = SpriteOverLayer(LoadWholePicture(name, m_next_range), order + STANDING_PRIORITY_BASE);
    m_name = name;
    RECT joined{};
    UnionRect(&joined, &m_picture_range, &m_next_range);
    m_picture_range = joined;
}

void StandingCharacter::Apply(const CharacterPlacement& request, bool instant)
{
    const int32_t c = GetCentringOffset();
    const int32_t x = request.x + c;
    if (m_position == request.position && m_character == request.character && m_container != nullptr) {
        // The same picture set in place: a cross-fade to the new picture, zoomed and moved there.
        LoadNextPicture(request.name, -1);
        if (m_picture != nullptr && m_next != nullptr) {
            SpriteAnimRecord fade(request.duration);
            fade.SetCrossFade(m_next.get(), m_picture_range.left, m_picture_range.top, m_picture_range.right,
                              m_picture_range.bottom);
            fade.m_ratio_from = 0x00;
            fade.m_ratio_to = 0xFF;
            Queue(request.task, m_picture.get(), fade);
        }
        SpriteAnimRecord change(request.duration);
        const POINT now = m_container->GetPosition();
        if (request.scale != m_scale) {
            change.SetZoom(ZOOM_CENTRE_X, ZOOM_CENTRE_Y, m_scale, m_scale, request.scale, request.scale);
            change.SetRect(now.x, now.y, x, request.y);
        }
        if (x != m_x || request.y != m_y)
            change.SetRect(now.x, now.y, x, request.y);
        if (change.m_kinds != 0)
            Queue(request.task, m_container.get(), change);
    } else {
        CreateContainer(request.name, request.order);
        m_container->SetZoomCenter(ZOOM_CENTRE_X, ZOOM_CENTRE_Y);
        m_container->SetScale(request.scale, request.scale);
        m_container->SetPosition(x, request.y);
        m_alpha = request.alpha;
        m_order = request.order;
        m_position = request.position;
        m_x = x;
        m_y = request.y;
        StartEnter(instant ? nullptr : request.task, request.duration);
    }
    m_order = request.order;
    m_name = request.name;
    m_position = request.position;
    m_x = x;
    m_y = request.y;
    m_scale = request.scale;
    m_character = request.character;
    m_duration = request.duration;
}

bool StandingCharacter::BuildFaceComposite(const CStringUTF8& name)
{
    CSpriteLayer* source = GetSpriteLayerRegistry().GetSpriteLayer(STANDING_FACE_SPRITE);
    if (source == nullptr)
        return false;
    m_face.reset();
    CLayerFile* file = LayerFile();
    m_face_range = RECT{};
    if (file != nullptr)
        file->LoadPicture(name, SpriteLayerOf(source), 0, 0, &m_face_range, -1, -1, 0);
    const int32_t height = std::min(FaceHeight(m_face_range), STANDING_PICTURE_SIZE);
    if (height <= 0)
        return false;
    m_face = BlankSprite(STANDING_PICTURE_SIZE, height);
    if (m_face == nullptr)
        return false;
    CopyInto(m_face.get(), 0, 0, STANDING_PICTURE_SIZE, height,
             m_next != nullptr ? m_next.get() : m_picture.get());
    LiveDrawLock lock;
    m_face->BltAlpha(0, 0, STANDING_PICTURE_SIZE, height, SpriteLayerOf(source), 0, 0);
    return true;
}

bool StandingCharacter::LoadPartOverlay(const CStringUTF8& name)
{
    CSpriteLayer* source = GetSpriteLayerRegistry().GetSpriteLayer(STANDING_PART_SPRITE);
    if (source == nullptr)
        return false;
    m_part.reset();
    if (CLayerFile* file = LayerFile()) {
        RECT range{};
        file->LoadPicture(name, SpriteLayerOf(source), 0, 0, &range, -1, -1, 0);
    }
    const int32_t w = STANDING_PART_RECT.right - STANDING_PART_RECT.left;
    const int32_t h = STANDING_PART_RECT.bottom - STANDING_PART_RECT.top;
    m_part = BlankSprite(w, h);
    if (m_part == nullptr)
        return false;
    CopyInto(m_part.get(), 0, 0, w, h, SpriteLayerOf(source));
    m_part_range = STANDING_PART_RECT;
    return true;
}

void StandingCharacter::StartCharAnime(CSpriteAnime* task, int32_t mode, int32_t amplitude)
{
    if (m_container == nullptr)
        return;
    if (m_bounce == nullptr)
        m_bounce = std::make_unique<CCharAnime>();
    m_bounce->Arm(m_container.get(), mode, amplitude);
    if (task != nullptr)
        task->AddSprite(m_container.get());
}

void StandingCharacter::Sway(CSpriteAnime* task, int32_t dx, int32_t dy, int32_t duration)
{
    if (m_container == nullptr)
        return;
    const POINT at = m_container->GetPosition();
    const POINT path[] = {
        {at.x, at.y}, {at.x + dx, at.y - dy}, {at.x, at.y}, {at.x - dx, at.y - dy}, {at.x, at.y}};
    for (size_t i = 0; i + 1 < std::size(path); ++i) {
        SpriteAnimRecord record(duration);
        record.SetRect(path[i].x, path[i].y, path[i + 1].x, path[i + 1].y);
        Queue(task, m_container.get(), record);
    }
}

void StandingCharacter::MoveAndZoom(CSpriteAnime* task, int32_t duration, int32_t position, int32_t x,
                                    int32_t y, float scale)
{
    if (m_container == nullptr)
        return;
    m_position = position;
    const POINT now = m_container->GetPosition();
    SpriteAnimRecord record(duration);
    record.SetRect(now.x, now.y, x, y);
    if (scale != m_scale)
        record.SetZoom(ZOOM_CENTRE_X, ZOOM_CENTRE_Y, m_scale, m_scale, scale, scale);
    Queue(task, m_container.get(), record);
    m_x = x;
    m_y = y;
    m_hit_map.SetOffset(x, y);
    m_scale = scale;
}

void StandingCharacter::LoadHitMap(const CStringUTF8& name)
{
    m_hit_map.LoadPictureStretched(name);
    const int32_t placement = static_cast<int32_t>((1920.0f - STANDING_PICTURE_SIZE * m_scale) * 0.5f);
    m_hit_map.StretchPictureToSprite(placement, m_scale, m_scale);
    m_hit_map.SetOffset(m_x, m_y);
}

void StandingCharacter::ReleaseTransitionLayers()
{
    {
        LiveDrawLock lock;
        m_face.reset();
        m_next.reset();
        m_part.reset();
    }
    if (m_bounce != nullptr)
        m_bounce->m_flags &= ~CHAR_ANIME_ENABLED;
    // A play starts a sprite's list from its first step: played steps must not run again.
    for (CSprite* sprite :
         {static_cast<CSprite*>(m_container.get()), static_cast<CSprite*>(m_picture.get())}) {
        if (sprite != nullptr)
            sprite->ClearAnimations();
    }
}

// ---- StandingCharacterSet ----

StandingCharacterSet::StandingCharacterSet()
    : m_task(std::make_unique<CSpriteAnime>())
{}

StandingCharacterSet::~StandingCharacterSet()
{
    // The task would finish its listed sprites as it goes, and those go with the records.
    m_task->ClearSprites();
    Characters.clear();
    Pending.reset();
    m_task.reset();
}

bool StandingCharacterSet::IsInstant() const
{
    CFadeSprite* fade = GetSpriteLayerRegistry().GetFadeSprite();
    return fade != nullptr && fade->IsVisible() != 0;
}

CSpriteAnime* StandingCharacterSet::Task()
{
    return IsInstant() ? nullptr : m_task.get();
}

StandingCharacter* StandingCharacterSet::At(int32_t position)
{
    for (const std::unique_ptr<StandingCharacter>& record : Characters) {
        if (record->m_position == position)
            return record.get();
    }
    return nullptr;
}

StandingCharacter* StandingCharacterSet::Require(int32_t position)
{
    StandingCharacter* record = At(position);
    if (record == nullptr)
        ShowPlayerMessage(0, NO_CHARACTER_MESSAGE);
    return record;
}

void StandingCharacterSet::Show(const CStringUTF8& name, int32_t position, int32_t percent, int32_t duration,
                                int32_t alpha)
{
    const std::optional<PositionLayout> layout = GetPositionLayout(position);
    if (!layout)
        return;
    const float scale = static_cast<float>(percent) / 100.0f;
    const int32_t character = CharacterIndexFromName(name);
    StandingCharacter* record = At(position);
    if (record != nullptr && record->m_character != character) {
        // The new character always fades in on a record of its own, even where another record
        // with its letter was moved to this position.
        Hide(position, duration);
        Play();
        record = nullptr;
    }
    if (record == nullptr) {
        Characters.push_back(std::make_unique<StandingCharacter>());
        record = Characters.back().get();
    }
    CharacterPlacement request;
    request.name = name;
    request.order = layout->order;
    request.position = position;
    request.x = layout->x;
    request.y = ApplyCharacterHeight(character, scale);
    request.scale = scale;
    request.character = character;
    request.duration = duration;
    request.alpha = alpha;
    request.task = m_task.get();
    record->Apply(request, IsInstant());
    NormalizePriorities();
}

void StandingCharacterSet::Hide(int32_t position, int32_t duration)
{
    if (StandingCharacter* record = At(position))
        record->StartExit(Task(), duration);
}

void StandingCharacterSet::Play()
{
    m_task->PlayAndWait();
    m_task->ClearSprites();
    Commit();
}

void StandingCharacterSet::Commit()
{
    for (auto it = Characters.begin(); it != Characters.end();) {
        if ((*it)->IsShown()) {
            (*it)->ReleaseTransitionLayers();
            ++it;
        } else {
            it = Characters.erase(it);
        }
    }
    Pending.reset();
    m_task->ClearSprites();
}

void StandingCharacterSet::NormalizePriorities()
{
    struct Entry
    {
        int32_t key, z, pr;
    };
    std::array<Entry, STANDING_POSITIONS> entries{};
    for (int32_t p = 0; p < STANDING_POSITIONS; ++p) {
        StandingCharacter* record = At(p);
        if (record != nullptr && record->GetContainer() != nullptr)
            entries[static_cast<size_t>(p)] = {
                p, static_cast<int32_t>(record->GetContainer()->GetScale().x * 100.0f),
                record->GetContainer()->GetPriority()};
        else
            entries[static_cast<size_t>(p)] = {-1, -1, -1};
    }
    // Ties in both keep the position order, so the result does not depend on the sort.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.z != b.z ? a.z < b.z : a.pr < b.pr; });
    int32_t highest = -1;
    for (const Entry& e : entries)
        highest = std::max(highest, e.pr);
    const auto set = [this](const Entry& e, int32_t priority) {
        if (StandingCharacter* record = At(e.key))
            record->GetContainer()->SetPriority(priority);
    };
    int32_t last = -1;
    if (entries[0].key != -1) {
        set(entries[0], entries[0].pr);
        if (entries[0].pr == highest)
            last = highest;
    }
    for (size_t i = 1; i < 3; ++i) {
        Entry& e = entries[i];
        const Entry& before = entries[i - 1];
        if (e.key == -1)
            continue;
        if (e.z == before.z && e.pr == before.pr) {
            set(e, e.pr);
            last = e.pr;
        } else if (last != -1) {
            ++last;
            set(e, last);
        } else {
            if (e.pr < before.pr)
                e.pr = before.pr + 1;
            set(e, e.pr);
            last = e.pr;
        }
    }
    if (entries[3].key != -1)
        set(entries[3], last != -1 ? last + 1 : entries[3].pr);
}

void StandingCharacterSet::ChangeFace(const CStringUTF8& name, int32_t position, int32_t duration)
{
    StandingCharacter* record = Require(position);
    if (record == nullptr || GetSpriteLayerRegistry().GetSpriteLayer(STANDING_FACE_SPRITE) == nullptr)
        return;
    CSpriteLayer* picture = record->GetPicture();
    if (record->GetFaceComposite() != nullptr && picture != nullptr) {
        // The cross-fade queued by the last change names the composite about to be replaced; an
        // in-place change queued beside it stays.
        picture->DropCrossFadesTo(record->GetFaceComposite());
        if (picture->GetAnimationCount() == 0)
            m_task->RemoveSprite(picture);
    }
    if (!record->BuildFaceComposite(name))
        return;
    CSpriteLayer* face = record->GetFaceComposite();
    const int32_t height = std::min<int32_t>(record->m_face_range.bottom, STANDING_PICTURE_SIZE);
    if (record->GetNextPicture() != nullptr) {
        CopyInto(record->GetNextPicture(), 0, 0, STANDING_PICTURE_SIZE, height, face);
    } else if (!IsInstant() && record->IsShown() && picture != nullptr) {
        SpriteAnimRecord fade(duration);
        const RECT& range = record->m_face_range;
        fade.SetCrossFade(face, range.left, range.top, range.right, range.bottom);
        fade.m_ratio_from = 0x00;
        fade.m_ratio_to = 0xFF;
        Queue(m_task.get(), picture, fade);
    } else {
        CopyInto(picture, 0, 0, STANDING_PICTURE_SIZE, height, face);
    }
}

void StandingCharacterSet::Overlay(const CStringUTF8& name, int32_t position, bool on_face)
{
    StandingCharacter* record = Require(position);
    if (record == nullptr || !record->LoadPartOverlay(name))
        return;
    CSpriteLayer* target = record->GetNextPicture();
    if (target == nullptr) {
        if (!IsInstant() && record->IsShown())
            target = on_face ? record->GetFaceComposite() : nullptr;
        else
            target = record->GetPicture();
    }
    if (target == nullptr)
        return;
    const RECT& at = STANDING_PART_RECT;
    LiveDrawLock lock;
    target->BltOver(at.left, at.top, at.right - at.left, at.bottom - at.top, record->GetPartOverlay(), 0, 0);
    target->Invalidate(1, *target->GetRect());
}

void StandingCharacterSet::OverlayPart(const CStringUTF8& name, int32_t position)
{
    Overlay(name, position, false);
}

void StandingCharacterSet::OverlayPartOnFace(const CStringUTF8& name, int32_t position)
{
    Overlay(name, position, true);
}

void StandingCharacterSet::StartCharAnime(int32_t position, int32_t mode, int32_t amplitude)
{
    if (StandingCharacter* record = At(position))
        record->StartCharAnime(m_task.get(), mode, amplitude);
}

void StandingCharacterSet::Nudge(int32_t position, int32_t dx, int32_t dy)
{
    StandingCharacter* record = At(position);
    if (record == nullptr || record->GetContainer() == nullptr)
        return;
    record->m_x += dx;
    record->m_y += dy;
    record->GetContainer()->SetPosition(record->m_x, record->m_y);
    record->GetHitMap().SetOffset(record->m_x, record->m_y);
}

void StandingCharacterSet::SetPriority(int32_t position, int32_t priority)
{
    StandingCharacter* record = At(position);
    if (record != nullptr && record->GetContainer() != nullptr)
        record->GetContainer()->SetPriority(priority);
}

void StandingCharacterSet::MoveToPosition(int32_t position, int32_t new_position, int32_t duration)
{
    StandingCharacter* record = At(position);
    const std::optional<PositionLayout> layout = GetPositionLayout(new_position);
    if (record == nullptr || !layout)
        return;
    // The scale re-quantised to whole percent, as scripts give it.
    const float scale = static_cast<float>(static_cast<int32_t>(record->m_scale * 100.0f)) / 100.0f;
    const int32_t x = layout->x + GetCentringOffset();
    const int32_t y = ApplyCharacterHeight(record->m_character, scale);
    record->m_position = new_position;
    if (CSpriteContainer* container = record->GetContainer()) {
        const POINT now = container->GetPosition();
        SpriteAnimRecord move(duration);
        move.SetRect(now.x, now.y, x, y);
        Queue(m_task.get(), container, move);
    }
    record->m_x = x;
    record->m_y = y;
    record->GetHitMap().SetOffset(x, y);
}

void StandingCharacterSet::Sway(int32_t position, int32_t dx, int32_t dy, int32_t duration)
{
    if (StandingCharacter* record = At(position))
        record->Sway(m_task.get(), dx, dy, duration);
}

void StandingCharacterSet::MoveAndZoom(int32_t percent, int32_t position, int32_t new_position,
                                       int32_t duration)
{
    StandingCharacter* record = At(position);
    const std::optional<PositionLayout> layout = GetPositionLayout(new_position);
    if (record == nullptr || !layout)
        return;
    const float scale = static_cast<float>(percent) / 100.0f;
    const int32_t y = ApplyCharacterHeight(record->m_character, scale);
    record->MoveAndZoom(m_task.get(), duration, new_position, layout->x + GetCentringOffset(), y, scale);
}

void StandingCharacterSet::FlashOut(const CStringUTF8& name, int32_t position, int32_t duration)
{
    StandingCharacter* record = At(position);
    const std::optional<PositionLayout> layout = GetPositionLayout(position);
    if (record == nullptr || !layout)
        return;
    if (IsInstant()) {
        if (CSpriteContainer* container = record->GetContainer())
            container->SetVisibleFlag(0);
        return;
    }
    const int32_t character = CharacterIndexFromName(name);
    CharacterPlacement request;
    request.name = name;
    request.order = STANDING_FLASH_ORDER;
    request.position = position;
    request.x = layout->x;
    request.y = ApplyCharacterHeight(character, record->m_scale);
    request.scale = record->m_scale;
    request.character = character;
    request.duration = duration;
    request.alpha = 255;
    request.task = m_task.get();
    // A second flash-out before the play replaces the first, whose steps go with it.
    if (Pending != nullptr && Pending->GetContainer() != nullptr)
        m_task->RemoveSprite(Pending->GetContainer());
    Pending = std::make_unique<StandingCharacter>();
    Pending->Apply(request, false);
    if (CSpriteContainer* container = Pending->GetContainer()) {
        SpriteAnimRecord out(duration);
        out.SetAlpha(255, 0);
        out.SetVisible(0);
        Queue(m_task.get(), container, out);
    }
    record->StartExit(m_task.get(), duration);
}

void StandingCharacterSet::LoadHitMap(const CStringUTF8& name, int32_t position)
{
    if (StandingCharacter* record = At(position))
        record->LoadHitMap(name);
}

int32_t HitTestStandingCharacters(int32_t x, int32_t y)
{
    ScriptWork* work = GetScriptWork();
    StandingCharacterSet* set = work != nullptr ? work->m_characters.get() : nullptr;
    if (set == nullptr)
        return 0;
    for (int32_t p = 0; p < STANDING_POSITIONS; ++p) {
        if (StandingCharacter* record = set->At(p)) {
            const int32_t id = record->GetHitMap().GetIdAt(x, y);
            if (id != 0)
                return id;
        }
    }
    return 0;
}

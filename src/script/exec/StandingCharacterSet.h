#pragma once
// The standing characters of story scenes: up to four large pictures at fixed positions, each in
// a 2048 x 2048 texture container that is faded, slid, zoomed and moved. Most operations only
// queue animation steps on the play task; Play runs them, waits and commits. While the fade sprite
// covers the screen, changes are applied at once instead (instant mode). A position outside 0 to
// 3 has no layout and every operation given one does nothing. Main thread only: the queued steps
// run on the app-task thread while Play waits, and records change only between plays.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/CStringUTF8.h"
#include "graphics/CCharAnime.h"
#include "graphics/HitMap.h"
#include "platform/kernel/WinTypes.h"

class CSpriteAnime;
class CSpriteContainer;
class CSpriteLayer;

inline constexpr int32_t STANDING_POSITIONS = 4;
inline constexpr int32_t STANDING_PICTURE_SIZE = 2048;
inline constexpr int32_t STANDING_SLIDE = 48;
// Registered sprites the face and part pictures are loaded through.
inline constexpr int32_t STANDING_FACE_SPRITE = 5;
inline constexpr int32_t STANDING_PART_SPRITE = 3;
inline constexpr RECT STANDING_PART_RECT = {544, 100, 1504, 612};
// The order of the flash-out picture, above every position.
inline constexpr int32_t STANDING_FLASH_ORDER = 5;
inline constexpr int32_t STANDING_PRIORITY_BASE = 5;

struct PositionLayout
{
    int32_t order;
    int32_t x;
};

// The layout of positions 0 to 3; none for any other.
std::optional<PositionLayout> GetPositionLayout(int32_t position);
// The place of the name's first letter among "abcdefghijkmnopqrswxyz"; -1 for any other.
int32_t CharacterIndexFromName(const CStringUTF8& name);
// The container's y for the character at the scale.
int32_t ApplyCharacterHeight(int32_t character, float scale);
// The x that centres the 2048-wide picture on the screen width.
int32_t GetCentringOffset();

struct CharacterPlacement
{
    CStringUTF8 name;
    int32_t order = 0;
    int32_t position = -1;
    int32_t x = 0; // without the centring offset
    int32_t y = 0;
    float scale = 1.0f;
    int32_t character = -1;
    int32_t duration = 0;
    int32_t alpha = 255;
    CSpriteAnime* task = nullptr; // null applies at once
};

class StandingCharacter
{
public:
    StandingCharacter();
    ~StandingCharacter();
    StandingCharacter(const StandingCharacter&) = delete;
    StandingCharacter& operator=(const StandingCharacter&) = delete;

    void Apply(const CharacterPlacement& request, bool instant);
    void CreateContainer(const CStringUTF8& name, int32_t order);
    void StartEnter(CSpriteAnime* task, int32_t duration);
    void StartExit(CSpriteAnime* task, int32_t duration);
    void LoadNextPicture(const CStringUTF8& name, int32_t order);
    // False when registered sprite 5 is missing.
    bool BuildFaceComposite(const CStringUTF8& name);
    // False when registered sprite 3 is missing.
    bool LoadPartOverlay(const CStringUTF8& name);
    void StartCharAnime(CSpriteAnime* task, int32_t mode, int32_t amplitude);
    void Sway(CSpriteAnime* task, int32_t dx, int32_t dy, int32_t duration);
    void MoveAndZoom(CSpriteAnime* task, int32_t duration, int32_t position, int32_t x, int32_t y,
                     float scale);
    void LoadHitMap(const CStringUTF8& name);
    // The face composite, next picture and part overlay go, the bounce hook is switched off and
    // the played steps are dropped.
    void ReleaseTransitionLayers();
    // The container exists and shows.
    bool IsShown() const;
    CSpriteLayer* GetPicture() const { return m_picture.get(); }
    CSpriteContainer* GetContainer() const { return m_container.get(); }
    CSpriteLayer* GetFaceComposite() const { return m_face.get(); }
    CSpriteLayer* GetNextPicture() const { return m_next.get(); }
    CSpriteLayer* GetPartOverlay() const { return m_part.get(); }
    HitMap& GetHitMap() { return m_hit_map; }

    CStringUTF8 m_name;
    int32_t m_order = -1;
    int32_t m_position = -1;
    int32_t m_x = 0;
    int32_t m_y = 0;
    float m_scale = 1.0f;
    int32_t m_character = -1;
    int32_t m_duration = 0;
    int32_t m_alpha = 255;
    RECT m_picture_range{};
    RECT m_face_range{};
    RECT m_part_range{};
    RECT m_next_range{};

private:
    std::unique_ptr<CSpriteContainer> m_container;
    std::unique_ptr<CSpriteLayer> m_picture;
    std::unique_ptr<CSpriteLayer> m_face;
    std::unique_ptr<CSpriteLayer> m_part;
    std::unique_ptr<CSpriteLayer> m_next;
    std::unique_ptr<CCharAnime> m_bounce;
    HitMap m_hit_map;
};

class StandingCharacterSet
{
public:
    StandingCharacterSet();
    // Records, then the pending record, then the play task.
    ~StandingCharacterSet();
    StandingCharacterSet(const StandingCharacterSet&) = delete;
    StandingCharacterSet& operator=(const StandingCharacterSet&) = delete;

    void Show(const CStringUTF8& name, int32_t position, int32_t percent, int32_t duration, int32_t alpha);
    void Hide(int32_t position, int32_t duration);
    void Play();
    void Commit();
    void NormalizePriorities();

    void ChangeFace(const CStringUTF8& name, int32_t position, int32_t duration);
    void OverlayPart(const CStringUTF8& name, int32_t position);
    void OverlayPartOnFace(const CStringUTF8& name, int32_t position);
    void StartCharAnime(int32_t position, int32_t mode, int32_t amplitude);
    // Moves the container at once by (dx, dy).
    void Nudge(int32_t position, int32_t dx, int32_t dy);
    void SetPriority(int32_t position, int32_t priority);
    void MoveToPosition(int32_t position, int32_t new_position, int32_t duration);
    void Sway(int32_t position, int32_t dx, int32_t dy, int32_t duration);
    void MoveAndZoom(int32_t percent, int32_t position, int32_t new_position, int32_t duration);
    void FlashOut(const CStringUTF8& name, int32_t position, int32_t duration);
    void LoadHitMap(const CStringUTF8& name, int32_t position);

    // The first record standing at the position, or null.
    StandingCharacter* At(int32_t position);
    // The fade sprite covers the screen.
    bool IsInstant() const;
    CSpriteAnime& GetTask() { return *m_task; }

    std::vector<std::unique_ptr<StandingCharacter>> Characters;
    std::unique_ptr<StandingCharacter> Pending;

private:
    // At, with the message for a missing character.
    StandingCharacter* Require(int32_t position);
    // Null in instant mode.
    CSpriteAnime* Task();
    void Overlay(const CStringUTF8& name, int32_t position, bool on_face);

    std::unique_ptr<CSpriteAnime> m_task;
};

// The id under the point of the first standing character, positions 0 to 3, whose hit map gives
// one other than 0; 0 when none does.
int32_t HitTestStandingCharacters(int32_t x, int32_t y);

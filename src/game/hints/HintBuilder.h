#pragma once
// What every per-heroine hint builder shares: the row of a hint table, the place and note
// legends whose texts hold the game's names, and the common steps that turn one row into a
// record (the seen test, the reachability test with the missed latch, place, notes and scene).
// A builder is a fixed sequence of rows with its own rules written between them.

#include <array>
#include <cstdint>
#include <vector>

#include "game/hints/FlagHintRecord.h"
#include "game/hints/HintContext.h"

enum class PlaceLegend : uint8_t
{
    Text,          // the row's own text
    Station,       // the town's name + "駅"
    TownPark,      // the town's name + "公園"
    School,        // the town's name + "学園"
    Beach,         // the town's name + "海岸"
    PondPark,      // the park's name + "公園"
    Nursery,       // the nursery's name + "保育園"
    TvStation,     // the TV station's name
    House,         // heroine k's given name + "の家"
    HouseA,        // side character A's given name + "の家"
    HouseB,        // side character B's given name + "の家"
    ApartmentB,    // side character C's family name + "のアパート"
    HouseC,        // side character D's family name + "の家"
    SecondStation, // the neighbouring town's name + "駅"
    SecondShrine,  // the neighbouring town's name + "神社"
    Studio,        // the studio's name
    Hospital,      // the town's name + "市民病院"
};

struct HintPlace
{
    PlaceLegend Legend = PlaceLegend::Text;
    const char* Text = "";
    uint32_t Heroine = 0;
};

constexpr HintPlace PlaceText(const char* text)
{
    return {PlaceLegend::Text, text, 0};
}
constexpr HintPlace HouseOf(uint32_t heroine)
{
    return {PlaceLegend::House, "", heroine};
}
inline constexpr HintPlace STATION{PlaceLegend::Station};
inline constexpr HintPlace TOWN_PARK{PlaceLegend::TownPark};
inline constexpr HintPlace SCHOOL{PlaceLegend::School};
inline constexpr HintPlace BEACH{PlaceLegend::Beach};
inline constexpr HintPlace POND_PARK{PlaceLegend::PondPark};
inline constexpr HintPlace NURSERY{PlaceLegend::Nursery};
inline constexpr HintPlace TV_STATION{PlaceLegend::TvStation};
inline constexpr HintPlace HOUSE_A{PlaceLegend::HouseA};
inline constexpr HintPlace HOUSE_B{PlaceLegend::HouseB};
inline constexpr HintPlace APARTMENT_B{PlaceLegend::ApartmentB};
inline constexpr HintPlace HOUSE_C{PlaceLegend::HouseC};
inline constexpr HintPlace HOUSE_D{PlaceLegend::HouseC}; // the same family's house
inline constexpr HintPlace SECOND_STATION{PlaceLegend::SecondStation};
inline constexpr HintPlace SECOND_SHRINE{PlaceLegend::SecondShrine};
inline constexpr HintPlace STUDIO{PlaceLegend::Studio};
inline constexpr HintPlace HOSPITAL{PlaceLegend::Hospital};
inline constexpr HintPlace MY_HOUSE = PlaceText("自分の家");
inline constexpr HintPlace MY_ROOM = PlaceText("自分の部屋");

enum class NoteLegend : uint8_t
{
    None,
    T, // back from the hot-spring trip
    A, // advance heroine k
    C, // her confession
    M, // her mood value is too low
    I, // invite her
    K, // confess to her
    O, // heroine k gets there first
    R, // talk in her room
    S,
    V,
    W,
    X,
    Y,
    Z,
    Q,
    E,
    N1,
    N2,
    Literal, // the note's own text
    Named,   // "※", the opening, heroine k's given name, then the note's text
    Video,   // "※", the video's title, "のビデオを買う"
};

struct HintNote
{
    NoteLegend Legend = NoteLegend::None;
    uint32_t Heroine = 0;
    const char* Text = "";
    const char* Opening = "";
};

// When a note of an unseen row applies; a later note that applies replaces an earlier one.
enum class NoteWhen : uint8_t
{
    Never,
    Always,
    Free,        // the latch is 0 after the row's test
    Trip,        // Flags[8007] = 1
    Story1,      // Flags[1299] = 1
    Story1Free,  // Flags[1299] = 1 and the latch is 0
    TripPending, // Flags[1497] set and Flags[1082] clear
};

struct NoteStep
{
    NoteWhen When = NoteWhen::Never;
    HintNote Note;
};

inline constexpr NoteStep NOTE_T{NoteWhen::Trip, {NoteLegend::T}};
inline constexpr NoteStep NOTE_T_PENDING{NoteWhen::TripPending, {NoteLegend::T}};
inline constexpr NoteStep NOTE_A1{NoteWhen::Story1, {NoteLegend::A, 1}};
inline constexpr NoteStep NOTE_A1_FREE{NoteWhen::Story1Free, {NoteLegend::A, 1}};
constexpr NoteStep IfFree(NoteLegend legend, uint32_t heroine = 0)
{
    return {NoteWhen::Free, {legend, heroine}};
}
constexpr NoteStep IfFreeText(const char* text)
{
    return {NoteWhen::Free, {NoteLegend::Literal, 0, text}};
}
constexpr NoteStep Always(NoteLegend legend, uint32_t heroine = 0)
{
    return {NoteWhen::Always, {legend, heroine}};
}

struct HintWindow
{
    int32_t FirstDate = 0; // 0: undated
    int32_t LastDate = -1;
    int32_t EarliestTime = -1;
    int32_t LatestTime = -1;
};

inline constexpr int32_t NO_SLOT = -1;

// One row of a hint table, in the tables' column order.
struct HintEventRow
{
    const char* Id;
    uint32_t Seen; // the seen flag, or a candidate's flag; 0: no seen test
    uint32_t Code;
    HintWindow Window;
    uint32_t District;
    uint32_t Location;
    const char* Scene;
    HintPlace Place;
    int32_t Slot;
    std::array<NoteStep, 3> Notes;
};

struct ListOptions
{
    const HintWindow* Window = nullptr; // instead of the row's
    bool SetSeen = true;                // set the seen flag in the copy after listing
    bool LatchFromTest = true;          // false: a failed test marks only this row missed
    bool SceneWhenSeen = true;
    bool ForceSeen = false; // seen by a rule of its own rather than by the seen flag
};

class HintBuilder
{
public:
    HintBuilder(HintContext& context, uint32_t latch = 0)
        : Context(context)
        , Latch(latch)
    {}

    struct Listed
    {
        FlagHintRecord& Record; // the appended copy
        bool Seen;
    };
    // The common builder steps for an ordinary row.
    Listed List(const HintEventRow& row, std::vector<FlagHintRecord>& into, const ListOptions& options = {});
    // A row tried at its own window first and, when that has passed, as retry (another window,
    // place or scene); only the second test counts for the latch.
    Listed ListWithRetry(const HintEventRow& row, const HintEventRow& retry,
                         std::vector<FlagHintRecord>& into, ListOptions options = {});
    // A seen open date: only the flag's slot tells where and when.
    void ListSeenDate(uint32_t code, uint32_t district, size_t slot, std::vector<FlagHintRecord>& into);
    // An open date of heroine 3: considered while its flag is 0 and fewer than 8 dates are listed,
    // listed only when reachable; its test never sets the latch.
    void ListCandidate(const HintEventRow& row, uint32_t& counter, std::vector<FlagHintRecord>& into);

    // The confession that ends a list: while the latch is clear it gets the note, and heroine 5
    // getting there first, or else a mood too low, misses it.
    void FinishConfession(FlagHintRecord& last, HintNote confession, uint32_t heroine, bool mood_too_low);
    // A record of the row, reset, placed and given its window, not yet tested.
    FlagHintRecord Prepare(const HintEventRow& row, const HintWindow& window) const;
    // Place, notes and scene of an unseen row after its test.
    void Finish(FlagHintRecord& record, const HintEventRow& row);
    void ApplyNotes(FlagHintRecord& record, const std::array<NoteStep, 3>& notes);
    CStringUTF8 NoteText(HintNote note) const;
    CStringUTF8 PlaceName(HintPlace place) const;

    uint8_t Flag(size_t index) const { return Context.Flag(index); }
    bool IsSet(size_t index) const { return Context.IsFlagSet(index); }
    bool IsMissed() const { return Latch != 0; }
    uint32_t StatusOfLatch() const { return Latch != 0 ? HINT_MISSED : HINT_POSSIBLE; }

    HintContext& Context;
    uint32_t Latch;
    bool UsedV = false; // the V note goes to the first candidate that qualifies
};

// The day after a date as the later tables count it: d + 1, but 1231 to 1299 move on by 70, so
// that 1231 is followed by 1301.
constexpr int32_t FollowingDay(int32_t date)
{
    return static_cast<uint16_t>(date - 1231) > 68 ? date + 1 : date + 70;
}

// A mood flag below this marks a heroine's final event missed.
inline constexpr uint8_t HINT_MOOD_NEEDED = 15;

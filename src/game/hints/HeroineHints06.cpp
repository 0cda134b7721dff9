#include "game/hints/HeroineHints.h"

#include "game/hints/HintBuilder.h"
#include "game/hints/HintReachability.h"

namespace {

using enum NoteLegend;

// The tables, one row a line as their columns stand.
// clang-format off
// Id, Seen, Code, Window, D, L, Scene, Place, Slot, Notes
constexpr HintEventRow R1{"1", 188, 8038, {1222, 1229, 1400, 1700}, 0, 0, "62.mes", HOSPITAL, 298, {IfFreeText("※病室の窓を「調べる」"), NOTE_A1, NOTE_T}};
constexpr HintEventRow VISIT{"P", 0, 8038, {0, 1229, 1400, 1700}, 0, 0, "62.mes", HOSPITAL, NO_SLOT, {}};
constexpr HintEventRow R2{"2", 8064, 8038, {1230, -1, 2150, 2220}, 0, 0, "62b.mes", HOSPITAL, 305, {NOTE_A1_FREE, NOTE_T}};
constexpr HintEventRow R3{"3", 8063, 8038, {1301, -1, 1400, 1700}, 0, 0, "62c.mes", HOSPITAL, 306, {IfFreeText("※木によじ登るぞ→自室で４回行動"), NOTE_A1_FREE, NOTE_T}};
constexpr HintEventRow R4{"4", 295, 8038, {1303, 1304, 1300, 1400}, 0, 1, "16a.mes", STATION, 307, {IfFreeText("※もちろん許す"), NOTE_A1_FREE, NOTE_T}};
constexpr HintEventRow R5{"5", 2075, 8034, {1306, -1, 1250, 1330}, 0, 1, "16a.mes", STATION, 308, {IfFreeText("※家に行こうと言う→正直に言う\n　→このまま続ける"), NOTE_A1_FREE, NOTE_T}};
constexpr HintEventRow R6{"6", 0, 8060, {0, -1, 0, 2355}, 1, 8, "40.mes", MY_ROOM, NO_SLOT, {}};
// clang-format on

constexpr size_t MOOD_HEROINE6 = 952;
constexpr uint32_t VISITS = 6;
constexpr size_t FIRST_VISIT_FLAG = 2077;
constexpr size_t FIRST_VISIT_SLOT = 299;

// The advice on a predicted visit; the tree's first hint is given once (marker).
void TreeNote(HintBuilder& builder, FlagHintRecord& record, bool& marker)
{
    const HintContext& context = builder.Context;
    const bool free = !builder.IsMissed();
    const uint8_t mood = builder.Flag(MOOD_HEROINE6);
    if (builder.Flag(FLAG_HEROINE1_STORY) == 1 && free) {
        record.Note = builder.NoteText({A, 1});
        return;
    }
    if (builder.Flag(FLAG_HOT_SPRING_TRIP) == 1) {
        record.Note = builder.NoteText({T});
        return;
    }
    const uint8_t step = builder.Flag(2076);
    if (step == 5 && builder.Flag(233) == 0 && mood >= 11 && context.Date < 1231 && !marker) {
        if (free)
            record.Note = "※木によじ登るぞ→約束をする";
        if (!builder.IsSet(231))
            record.Note.Append("\n　→身体を「見る」");
    } else if (step == 1 && !marker) {
        if (free)
            record.Note = "※木によじ登るぞ→もちろんいない";
        if (!(builder.IsSet(230) || mood >= 8))
            record.Note.Append("\n　→髪の毛を「調べる」→「長い髪が好き」");
    } else {
        if (free)
            record.Note = "※木によじ登るぞ";
        if (!marker && !(builder.IsSet(230) || mood >= 8))
            record.Note.Append("→髪の毛を「見る」\n　→「長い髪が好き」");
        if (!(builder.IsSet(231) || mood < 11))
            record.Note.Append("→身体を「見る」");
    }
    marker = true;
}

} // namespace

void BuildHeroineHints06(HintContext& context, std::vector<FlagHintRecord>& out)
{
    HintBuilder builder(context);
    for (const size_t flag :
         {size_t{237}, size_t{296}, size_t{2059}, FLAG_HOT_SPRING_TRIP, FLAG_HEROINE1_STORY}) {
        if (builder.IsSet(flag))
            builder.Latch = 1;
    }
    if (builder.Flag(226) == 7 && context.Date <= 1229 && builder.Flag(MOOD_HEROINE6) < 11)
        builder.Latch = 1;
    if (builder.Flag(232) == 0 && (context.Date > 1229 || (context.Date == 1229 && context.Time > 1700)))
        builder.Latch = 1;

    int32_t last_visit = builder.List(R1, out).Record.FirstDate;
    const uint32_t after_first = builder.Latch;
    uint32_t visits = 0;
    for (uint32_t k = 0; k < VISITS; ++k) {
        if (builder.Flag(FIRST_VISIT_FLAG + k) == 1) {
            builder.ListSeenDate(8038, 0, FIRST_VISIT_SLOT + k, out);
            last_visit = out.back().FirstDate;
            ++visits;
        }
    }

    // The visits are a chain: a day without one ends it.
    builder.Latch = after_first;
    if (last_visit != 0 && !builder.IsSet(232)) {
        const int32_t days = context.Date - last_visit;
        if (days >= 2 || (days == 1 && context.Time > 1700))
            builder.Latch = 1;
    }
    int32_t next = NextHintDate(last_visit);
    bool marker = false;
    for (uint32_t k = visits; k < VISITS; ++k) {
        if (builder.IsSet(232))
            continue;
        FlagHintRecord record = builder.Prepare(VISIT, {next, 1229, 1400, 1700});
        if (CheckEventWindow(context, record) != 0)
            builder.Latch = 1;
        record.Status = builder.StatusOfLatch();
        record.PlaceName = builder.PlaceName(VISIT.Place);
        TreeNote(builder, record, marker);
        record.SceneFile = VISIT.Scene;
        out.push_back(record);
        next = NextHintDate(record.FirstDate);
    }

    builder.List(R2, out);
    HintBuilder::Listed r3 = builder.List(R3, out);
    if (!r3.Seen && builder.Flag(242) == 1 && builder.IsMissed())
        r3.Record.Note = "※自室で４回行動";
    builder.List(R4, out);
    if (context.Date > 1304 && builder.Flag(MOOD_HEROINE6) < 14)
        builder.Latch = 1;
    builder.List(R5, out);

    builder.FinishConfession(builder.List(R6, out).Record, {C, 6}, 6,
                             builder.Flag(MOOD_HEROINE6) < HINT_MOOD_NEEDED);
}

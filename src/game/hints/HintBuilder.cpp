#include "game/hints/HintBuilder.h"

#include "game/hints/CastNames.h"
#include "game/hints/HintReachability.h"

namespace {

CStringUTF8 Joined(const CStringUTF8& name, const char* ending)
{
    CStringUTF8 text = name;
    text.Append(ending);
    return text;
}

} // namespace

HintBuilder::Listed HintBuilder::List(const HintEventRow& row, std::vector<FlagHintRecord>& into,
                                      const ListOptions& options)
{
    const bool seen = options.ForceSeen || (row.Seen != 0 && Flag(row.Seen) == 1);
    FlagHintRecord record = Prepare(row, seen ? HintWindow{} : options.Window ? *options.Window : row.Window);
    if (!seen) {
        const uint32_t missed = CheckEventWindow(Context, record);
        if (options.LatchFromTest) {
            if (missed != 0)
                Latch = 1;
            record.Status = StatusOfLatch();
        } else {
            record.Status = missed != 0 || IsMissed() ? HINT_MISSED : HINT_POSSIBLE;
        }
        Finish(record, row);
    } else {
        const auto slot = static_cast<size_t>(row.Slot);
        record.Status = HINT_SEEN;
        record.FirstDate = Context.Word(SeenDateWord(slot));
        record.EarliestTime = Context.Word(SeenTimeWord(slot));
        record.PlaceName = PlaceNameOfRecord(Context, slot);
        if (options.SceneWhenSeen)
            record.SceneFile = row.Scene;
    }
    into.push_back(record);
    if (options.SetSeen && row.Seen != 0)
        Context.SetFlag(row.Seen, 1);
    return {into.back(), seen};
}

HintBuilder::Listed HintBuilder::ListWithRetry(const HintEventRow& row, const HintEventRow& retry,
                                               std::vector<FlagHintRecord>& into, ListOptions options)
{
    if (options.ForceSeen || (row.Seen != 0 && Flag(row.Seen) == 1))
        return List(row, into, options);
    FlagHintRecord first = Prepare(row, options.Window ? *options.Window : row.Window);
    const bool missed = CheckEventWindow(Context, first) != 0;
    options.LatchFromTest = missed;
    if (!missed)
        return List(row, into, options);
    options.Window = nullptr;
    return List(retry, into, options);
}

void HintBuilder::ListSeenDate(uint32_t code, uint32_t district, size_t slot,
                               std::vector<FlagHintRecord>& into)
{
    FlagHintRecord record;
    record.Reset(code);
    record.District = district;
    record.Status = HINT_SEEN;
    record.FirstDate = Context.Word(SeenDateWord(slot));
    record.EarliestTime = Context.Word(SeenTimeWord(slot));
    record.PlaceName = PlaceNameOfRecord(Context, slot);
    into.push_back(record);
}

void HintBuilder::ListCandidate(const HintEventRow& row, uint32_t& counter, std::vector<FlagHintRecord>& into)
{
    if (Flag(row.Seen) != 0 || counter >= 8)
        return;
    FlagHintRecord record = Prepare(row, row.Window);
    if (CheckEventWindow(Context, record) != 0)
        return;
    record.Status = StatusOfLatch();
    Finish(record, row);
    into.push_back(record);
    ++counter;
}

void HintBuilder::FinishConfession(FlagHintRecord& last, HintNote confession, uint32_t heroine,
                                   bool mood_too_low)
{
    if (IsMissed())
        return;
    last.Note = NoteText(confession);
    if (IsSet(1481)) {
        last.Status = HINT_MISSED;
        last.Note = NoteText({NoteLegend::O, 5});
    } else if (mood_too_low) {
        last.Status = HINT_MISSED;
        last.Note = NoteText({NoteLegend::M, heroine});
    }
}

FlagHintRecord HintBuilder::Prepare(const HintEventRow& row, const HintWindow& window) const
{
    FlagHintRecord record;
    record.Reset(row.Code);
    record.District = row.District;
    record.Location = row.Location;
    record.FirstDate = window.FirstDate;
    record.LastDate = window.LastDate;
    record.EarliestTime = window.EarliestTime;
    record.LatestTime = window.LatestTime;
    return record;
}

void HintBuilder::Finish(FlagHintRecord& record, const HintEventRow& row)
{
    record.PlaceName = PlaceName(row.Place);
    ApplyNotes(record, row.Notes);
    record.SceneFile = row.Scene;
}

void HintBuilder::ApplyNotes(FlagHintRecord& record, const std::array<NoteStep, 3>& notes)
{
    for (const NoteStep& step : notes) {
        bool applies = false;
        switch (step.When) {
        case NoteWhen::Never:
            break;
        case NoteWhen::Always:
            applies = true;
            break;
        case NoteWhen::Free:
            applies = !IsMissed();
            break;
        case NoteWhen::Trip:
            applies = Flag(FLAG_HOT_SPRING_TRIP) == 1;
            break;
        case NoteWhen::Story1:
            applies = Flag(FLAG_HEROINE1_STORY) == 1;
            break;
        case NoteWhen::Story1Free:
            applies = Flag(FLAG_HEROINE1_STORY) == 1 && !IsMissed();
            break;
        case NoteWhen::TripPending:
            applies = IsSet(1497) && Flag(1082) == 0;
            break;
        }
        // V goes to the first candidate only, while heroine 3 has no mood at all and the
        // latch is clear.
        if (applies && step.Note.Legend == NoteLegend::V) {
            applies = !UsedV && Flag(317) == 0 && !IsMissed();
            UsedV = UsedV || applies;
        }
        if (applies)
            record.Note = NoteText(step.Note);
    }
}

CStringUTF8 HintBuilder::NoteText(HintNote note) const
{
    const CStringUTF8 given = CStringUTF8("※") + Context.GetNames().HeroineGiven(note.Heroine);
    switch (note.Legend) {
    case NoteLegend::None:
        return CStringUTF8();
    case NoteLegend::T:
        return "※温泉旅行から帰る";
    case NoteLegend::A:
        return Joined(given, "を進める");
    case NoteLegend::C:
        return Joined(given, "からの告白");
    case NoteLegend::M:
        return Joined(given, "の気分値が足りない");
    case NoteLegend::I:
        return Joined(given, "を誘う");
    case NoteLegend::K:
        return Joined(given, "に告白");
    case NoteLegend::O:
        return Joined(given, "に先越される");
    case NoteLegend::R:
        return Joined(given, "の部屋で話をする");
    case NoteLegend::S:
        return "※まだここにいる";
    case NoteLegend::V:
        return "※会いに来ただけ";
    case NoteLegend::W:
        return "※それは違うと思う";
    case NoteLegend::X:
        return "※絶対に買わない";
    case NoteLegend::Y:
        return "※テレビ局に入る";
    case NoteLegend::Z:
        return "※インターフォンを押す";
    case NoteLegend::Q:
        return "※お金が足りない";
    case NoteLegend::E:
        return "※学園の中に逃げる→同じようにした";
    case NoteLegend::N1:
        return "※雑誌がある棚を調べる";
    case NoteLegend::N2:
        return "※一緒にいたい→ホテルに泊まる\n　→思ってない";
    case NoteLegend::Literal:
        return note.Text;
    case NoteLegend::Video:
        return Joined(CStringUTF8("※") + Context.GetNames().Get(CAST_VIDEO_TITLE), "のビデオを買う");
    case NoteLegend::Named:
        return Joined(CStringUTF8("※") + note.Opening + Context.GetNames().HeroineGiven(note.Heroine),
                      note.Text);
    }
    return CStringUTF8();
}

CStringUTF8 HintBuilder::PlaceName(HintPlace place) const
{
    const CastNames& names = Context.GetNames();
    switch (place.Legend) {
    case PlaceLegend::Text:
        return place.Text;
    case PlaceLegend::Station:
        return Joined(names.Get(CAST_TOWN), "駅");
    case PlaceLegend::TownPark:
        return Joined(names.Get(CAST_TOWN), "公園");
    case PlaceLegend::School:
        return Joined(names.Get(CAST_TOWN), "学園");
    case PlaceLegend::Beach:
        return Joined(names.Get(CAST_TOWN), "海岸");
    case PlaceLegend::PondPark:
        return Joined(names.Get(CAST_POND_PARK), "公園");
    case PlaceLegend::Nursery:
        return Joined(names.Get(CAST_NURSERY), "保育園");
    case PlaceLegend::TvStation:
        return names.Get(CAST_TV_STATION);
    case PlaceLegend::House:
        return Joined(names.HeroineGiven(place.Heroine), "の家");
    case PlaceLegend::HouseA:
        return Joined(names.Get(CAST_SIDE_A_GIVEN), "の家");
    case PlaceLegend::HouseB:
        return Joined(names.Get(CAST_SIDE_B_GIVEN), "の家");
    case PlaceLegend::ApartmentB:
        return Joined(names.Get(CAST_SIDE_C_FAMILY), "のアパート");
    case PlaceLegend::HouseC:
        return Joined(names.Get(CAST_SIDE_D_FAMILY), "の家");
    case PlaceLegend::SecondStation:
        return Joined(names.Get(CAST_NEIGHBOUR_TOWN), "駅");
    case PlaceLegend::SecondShrine:
        return Joined(names.Get(CAST_NEIGHBOUR_TOWN), "神社");
    case PlaceLegend::Studio:
        return names.Get(CAST_STUDIO);
    case PlaceLegend::Hospital:
        return Joined(names.Get(CAST_TOWN), "市民病院");
    }
    return CStringUTF8();
}

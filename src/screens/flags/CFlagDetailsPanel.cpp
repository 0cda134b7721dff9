// The event panel of the schedule, its date and time texts, and the choice of a next event.

#include "screens/flags/CFlagDetails.h"

#include "foundation/CInputView.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/PlayerMessage.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "graphics/ILayer.h"
#include "graphics/LiveDrawLock.h"
#include "graphics/SpriteLayerOf.h"
#include "screens/base/CDialog.h"
#include "screens/flags/JumpToEvent.h"

namespace {

inline constexpr const char* FULL_WIDTH_DIGITS[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
inline constexpr int32_t FIRST_ROW_HEIGHT = 58;
inline constexpr int32_t SECOND_ROW_HEIGHT = 55;
inline constexpr int32_t FURTHER_ROW_HEIGHT = 20;
inline constexpr int32_t LAST_ROW_HEIGHT = 63;
// A visible top at or below the middle of the grid window opens the panel upwards.
inline constexpr int32_t PANEL_UPWARDS_FROM = 536;

struct PanelRow
{
    int32_t left_y;
    int32_t middle_x;
    int32_t middle_y;
    int32_t height;
};

CStringUTF8 FullWidth(int32_t two_digits)
{
    return CStringUTF8(FULL_WIDTH_DIGITS[(two_digits / 10) % 10]) + CStringUTF8(FULL_WIDTH_DIGITS[two_digits % 10]);
}

CStringUTF8 TwoDigits(int32_t value)
{
    CStringUTF8 text;
    text.Format("%02d", value);
    return text;
}

// The pointer's column and the offset from it to the panel's left edge.
int32_t PointerColumn(int32_t day)
{
    return day < 2 ? 22 : day < 15 ? 188 : 271;
}

int32_t PointerOffset(int32_t day)
{
    return day < 2 ? 22 : day < 15 ? 188 : 354;
}

} // namespace

CStringUTF8 CFlagDetails::FormatDate(int32_t date) const
{
    if (date == -1)
        return CStringUTF8();
    const bool english = Document->GetLanguage() == 0;
    const bool december = date / 100 == 12;
    CStringUTF8 text = english ? (december ? "December " : "January ") : (december ? "１２月" : "０１月");
    text = text + FullWidth(date % 100);
    return english ? text : text + CStringUTF8("日");
}

CStringUTF8 CFlagDetails::FormatTime(int32_t time) const
{
    int32_t h = time / 100;
    const int32_t m = time % 100;
    switch (Document->GetLanguage()) {
    case 0: {
        const bool morning = h < 12;
        if (h >= 13)
            h -= 12;
        return TwoDigits(h) + CStringUTF8(":") + TwoDigits(m) + CStringUTF8(morning ? " a.m." : " p.m.");
    }
    case 1:
        return TwoDigits(h) + CStringUTF8("点") + TwoDigits(m) + CStringUTF8("分");
    case 2:
        return TwoDigits(h) + CStringUTF8("點") + TwoDigits(m) + CStringUTF8("分");
    default:
        return FullWidth(h) + CStringUTF8("時") + FullWidth(m) + CStringUTF8("分");
    }
}

CStringUTF8 CFlagDetails::PanelText(const FlagHintRecord& record) const
{
    if (record.Status == HINT_MISSED)
        return CStringUTF8("　\n") + record.Note;
    const int32_t language = Document->GetLanguage();
    const char* place = language == 0 ? "Place: %s\n" : language == 1 ? "场所: %s\n" : "場所: %s\n";
    const char* date_one = language == 0 ? "Date: %s\n" : language == 3 || language > 3 ? "日付: %s\n" : "日期: %s\n";
    const char* date_two = language == 1 || language == 2 ? "日期: %s～%s\n" : "日付: %s～%s\n";
    const char* time_one = language == 0 ? "Time: %s\n" : language == 1 ? "时间: %s\n" : "時間: %s\n";
    const char* time_two = language == 1 ? "时间: %s～%s\n" : "時間: %s～%s\n";
    const bool one_day = language == 0 || record.LastDate == -1 || record.LastDate == record.FirstDate;
    const bool one_time = language == 0 || record.LatestTime == -1 || record.LatestTime == record.EarliestTime;

    CStringUTF8 line;
    CStringUTF8 text;
    line.Format(place, record.PlaceName.GetText());
    text = text + line;
    if (one_day)
        line.Format(date_one, FormatDate(record.FirstDate).GetText());
    else
        line.Format(date_two, FormatDate(record.FirstDate).GetText(),
                    FormatDate(record.LastDate).GetText());
    text = text + line;
    if (one_time)
        line.Format(time_one, FormatTime(record.EarliestTime).GetText());
    else
        line.Format(time_two, FormatTime(record.EarliestTime).GetText(),
                    FormatTime(record.LatestTime).GetText());
    text = text + line;
    return text;
}

void CFlagDetails::DrawPanelFrame(int32_t rows, int32_t day, bool upwards)
{
    ILayer* frame = SpriteLayerOf(PanelFrame.get());
    ILayer* sheet = PartsSheet ? SpriteLayerOf(PartsSheet.get()) : nullptr;
    if (frame == nullptr)
        return;
    frame->SetAlphaRect(0, 0, FLAG_PANEL_WIDTH, FLAG_PANEL_HEIGHT, 0);
    if (sheet == nullptr)
        return;
    const PanelRow first{609, 271, 609, FIRST_ROW_HEIGHT};
    const PanelRow second{667, 271, 667, SECOND_ROW_HEIGHT};
    const PanelRow further{667, 271, 667, FURTHER_ROW_HEIGHT};
    const PanelRow last{722, 188, 722, LAST_ROW_HEIGHT};
    int32_t y = 0;
    auto draw = [&](const PanelRow& row) {
        frame->Blt(0, y, 22, row.height, sheet, 0, row.left_y, 1);
        for (int32_t x : {22, 105, 188, 271, 354})
            frame->Blt(x, y, 83, row.height, sheet, row.middle_x, row.middle_y, 1);
        frame->Blt(437, y, 22, row.height, sheet, 376, row.left_y, 1);
    };
    draw(first);
    if (!upwards)
        frame->Blt(PointerColumn(day), 0, 83, FIRST_ROW_HEIGHT, sheet, day < 15 ? 105 : 188, 609, 1);
    y = y + FIRST_ROW_HEIGHT;
    draw(second);
    y = y + SECOND_ROW_HEIGHT;
    for (int32_t r = 3; r < rows; ++r) {
        draw(further);
        y = y + FURTHER_ROW_HEIGHT;
    }
    draw(last);
    if (upwards)
        frame->Blt(PointerColumn(day), y, 83, LAST_ROW_HEIGHT, sheet, day < 15 ? 22 : 271, 722, 1);
}

void CFlagDetails::ShowEventPanel(int32_t id, int32_t shown)
{
    // A frame presented part-way would show the panel at its new cell with the old cell's text.
    LiveDrawLock lock;
    if (shown == 0 || id == -1) {
        if (PanelFrame)
            PanelFrame->SetVisibleFlag(0);
        if (PanelTextSprite)
            PanelTextSprite->SetVisibleFlag(0);
        return;
    }
    const int32_t row = id / 256 - FLAG_CELL_GROUP;
    const int32_t day = id % 256;
    if (row < 0 || row >= FLAG_ROWS || day >= FLAG_DAYS)
        return;
    const FlagHintRecord* record = Slot(row, day);
    if (record == nullptr || (record->Status == HINT_MISSED && record->Note.IsEmpty()))
        return;
    const bool note_line = !record->Note.IsEmpty() && record->Status == HINT_POSSIBLE;
    const int32_t rows = !note_line ? 3 : record->Note.Find("\n") >= 0 ? 5 : 4;
    const RECT v = VisiblePart(row, day);
    const bool upwards = v.top >= PANEL_UPWARDS_FROM;
    DrawPanelFrame(rows, day, upwards);
    const int32_t x = v.left + (v.right - v.left) / 2 - PointerOffset(day);
    const int32_t y = v.top + (v.bottom - v.top) / 2 - (upwards ? 176 : 0);
    if (PanelFrame)
        PanelFrame->SetPosition(x, y);
    if (PanelTextSprite)
        PanelTextSprite->SetPosition(x, y);

    if (ILayer* text = PanelTextSprite ? SpriteLayerOf(PanelTextSprite.get()) : nullptr) {
        text->SetAlphaRect(0, 0, FLAG_PANEL_WIDTH, FLAG_PANEL_HEIGHT, 0);
        DrawTextFlow(28, 56, PanelText(*record), text, 90, 20, 0xFFFFFF, 0);
        if (note_line)
            DrawTextFlow(28, 116, record->Note, text, 80, 20, 0xFF8080, 0x800000);
    }
    if (PanelFrame)
        PanelFrame->SetVisibleFlag(1);
    if (PanelTextSprite)
        PanelTextSprite->SetVisibleFlag(1);
}

void CFlagDetails::ChooseNextEvent(int32_t id, const FlagHintRecord& record)
{
    PlayOkSound(SCREEN_SOUND_CHANNEL);
    DrawControl(id, 2, 1);
    WaitOkRelease();
    bool confirmed = true;
    {
        CDialog dialog;
        const int32_t built = dialog.Setup(FLAG_JUMP_DIALOG_KIND, FLAG_JUMP_DIALOG_DEPTH);
        if (built == 1) {
            ScriptValue answer;
            dialog.Run(&answer);
            confirmed = answer.Integer == DIALOG_ANSWER_YES;
        } else if (built < 0) {
            // A question switched off by its setting (0) lets the jump go on; one that could not be
            // built refuses it, since the jump cannot be undone and the player was never asked.
            ShowPlayerMessage(0, "確認ダイアログの作成に失敗しました。\n処理を中止します。");
            confirmed = false;
        }
    }
    if (confirmed) {
        if (IMouse* mouse = InputView->GetMouse())
            mouse->ClearClicks();
        Result = ScriptValue::FromInteger(-1);
        Running = 0;
        JumpToEvent(record); // leaves by the document code unless the scene cannot be loaded
        Running = 1;
    }
    DrawControl(id, 0, 1);
    CurrentId = -1;
}

#include "screens/base/CHitAreaTable.h"

#include "foundation/ByteCursor.h"
#include "foundation/CArchiveManager.h"
#include "foundation/CInputView.h"
#include "foundation/CString.h"
#include "foundation/GameDocument.h"
#include "foundation/IMouse.h"
#include "foundation/PlayerMessage.h"
#include "graphics/CDirect3D.h"

bool CHitAreaTable::Load(const CStringUTF8& name)
{
    GameDocument* document = GetGameDocument();
    CArchiveManager* archive = document->GetDataArchive();
    CStringUTF8 failure;
    try {
        if (archive == nullptr)
            throw CString("ファイルオープンエラー");
        archive->OpenEntry(name);
        std::vector<uint8_t> image(archive->GetSize());
        archive->ReadAll(image.data());
        archive->CloseEntry();
        if (Parse(image.data(), image.size()))
            return true;
        failure.Format("%s : エリアデータが壊れています", name.GetText());
    } catch (const CString& message) {
        failure = CStringUTF8(message.GetText());
    }
    ShowPlayerMessage(0, document->FormatScriptError(failure));
    return false;
}

bool CHitAreaTable::Parse(const uint8_t* image, size_t size)
{
    if (image == nullptr)
        return false;
    ByteCursor cursor(std::span<const uint8_t>(image, size));
    uint32_t count = 0;
    if (!cursor.ReadU32(count) || !cursor.CanHold(count, HIT_AREA_RECORD_SIZE))
        return false;
    std::vector<HitArea> records(count);
    for (HitArea& area : records) {
        uint32_t fields[5] = {};
        for (uint32_t& field : fields)
            cursor.ReadU32(field);
        area = {fields[0], static_cast<int32_t>(fields[1]), static_cast<int32_t>(fields[2]),
                static_cast<int32_t>(fields[3]), static_cast<int32_t>(fields[4])};
    }
    m_records = std::move(records);
    return true;
}

const HitArea* CHitAreaTable::HitTest(int32_t x, int32_t y) const
{
    for (const HitArea& area : m_records)
        if (area.Contains(x, y))
            return &area;
    return nullptr;
}

const HitArea* CHitAreaTable::Find(uint32_t id) const
{
    for (const HitArea& area : m_records)
        if (area.Id == id)
            return &area;
    return nullptr;
}

bool CHitAreaTable::MoveCursorToArea(uint32_t id) const
{
    const HitArea* area = Find(id);
    if (area == nullptr)
        return false;
    // 64-bit sums: edges near the i32 limits must not overflow; the halves fit again.
    const auto centre_x = static_cast<int32_t>((int64_t{area->Left} + area->Right) / 2);
    const auto centre_y = static_cast<int32_t>((int64_t{area->Top} + area->Bottom) / 2);
    const POINT window = CDirect3D::GetInstance()->LogicalToWindow(POINT{centre_x, centre_y});
    if (IMouse* mouse = GetInputView()->GetMouse())
        mouse->SetPosition(window.x, window.y);
    return false;
}

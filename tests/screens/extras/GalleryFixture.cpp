#include "screens/extras/GalleryFixture.h"

#include <map>
#include <set>

#include "app/CVeskDoc.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/SpriteLayerRegistry.h"
#include "screens/extras/StaticNameTables.h"
#include "script/FlagBuffer.h"
#include "script/ScriptState.h"
#include "sheetgen/SheetGenerator.h"

namespace {

std::vector<tools::ArchiveEntry> DataEntries()
{
    std::vector<tools::ArchiveEntry> data = DialogDataEntries();
    data.push_back({"CGMODE.AREA", tools::BuildAreaFile(tools::GalleryAreas(false))});
    data.push_back({"CGVIEW.AREA", tools::BuildAreaFile(tools::GalleryAreas(true))});
    return data;
}

// Encoded once for every test: the sheets are large.
const std::vector<uint8_t>& Thumbnails(uint32_t first_id)
{
    static std::map<uint32_t, std::vector<uint8_t>> encoded;
    auto found = encoded.find(first_id);
    if (found == encoded.end())
        found = encoded.emplace(first_id, tools::EncodeAkb(tools::ThumbnailSheet(first_id), {})).first;
    return found->second;
}

std::vector<tools::ArchiveEntry> PictureEntries(const GalleryStage& stage)
{
    std::vector<tools::ArchiveEntry> pictures = stage.pictures;
    if (stage.sheets) {
        static const std::vector<uint8_t> list = tools::EncodeAkb(tools::GalleryListSheet(), {});
        static const std::vector<uint8_t> mode = tools::EncodeAkb(tools::GalleryModeSheet(), {});
        static const std::vector<uint8_t> cover = tools::EncodeAkb(tools::GalleryCoverSheet(), {});
        for (const char* suffix : {"", "_EN"}) {
            pictures.push_back({std::string("MODELIST_P") + suffix + ".AKB", list});
            pictures.push_back({std::string("CGSCENEMODE_P") + suffix + ".AKB", mode});
            pictures.push_back({std::string("MODECOVER_P") + suffix + ".AKB", cover});
        }
    }
    std::set<int32_t> groups;
    for (const tools::CGRowSpec& row : stage.rows)
        groups.insert(row.group);
    for (const int32_t group : groups)
        for (int32_t page = 0; page < 3; ++page) {
            const CStringUTF8 name = GetPageThumbnailName(group, page);
            if (!name.IsEmpty())
                pictures.push_back({tools::UpperCaseName(name.GetStdString()),
                                    Thumbnails(PAGE_THUMBNAIL + static_cast<uint32_t>(32 * group + 8 * page))});
        }
    int32_t first = 0;
    for (const tools::CGRowSpec& row : stage.rows) {
        pictures.push_back({tools::UpperCaseName(row.sheet),
                            Thumbnails(ROW_THUMBNAIL + static_cast<uint32_t>(first))});
        first += row.count;
    }
    return pictures;
}

} // namespace

std::vector<tools::CGRowSpec> SimpleRows(int32_t group, int32_t n)
{
    std::vector<tools::CGRowSpec> rows;
    for (int32_t r = 0; r < n; ++r)
        rows.push_back({group, 1, "cg_g" + std::to_string(group) + "r" + std::to_string(r) + ".akb"});
    return rows;
}

GalleryFixture::GalleryFixture(const GalleryStage& stage)
    : ScreenFixture(DataEntries(), PictureEntries(stage), stage.dialog_sheet)
    , m_tables(stage.rows, stage.compose)
{
    GetScriptState().m_current_state->Flags.assign(4000, 0);
    for (int32_t n = 0; n <= 6; ++n) {
        auto layer = std::make_unique<CSpriteLayer>();
        // Layer 5 takes the thumbnail sheets: room for a scene sheet of two pages.
        const int32_t height = n == 5 ? 1650 : 1080;
        layer->Create(0, 0, 1920, height, -1);
        layer->FillRect(0, 0, 1920, height, 0xFF000000u | static_cast<uint32_t>(n), 1);
        GetSpriteLayerRegistry().RegisterSpriteLayer(n, layer.release());
    }
}

void GalleryFixture::Seen(int32_t variant)
{
    GetScriptState().m_current_state->Flags[3300 + static_cast<size_t>(variant) / 8] |=
        static_cast<uint8_t>(1u << (variant % 8));
}

void GalleryFixture::SetValue(size_t index, int32_t value)
{
    GetScriptState().m_current_state->Values[index] = ScriptValue::FromInteger(value);
}

int32_t GalleryFixture::Value(size_t index)
{
    return GetScriptState().m_current_state->Values[index].Integer;
}

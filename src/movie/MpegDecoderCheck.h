#pragma once
// Filter discovery for the MPEG decoder check: the registered filters of one role (splitter,
// video decoder, audio decoder) sorted by merit, the one that must win found by its class, and
// the merit changes that make it win while the game runs. CMediaDialog shows the notices of a
// missing decoder (153) or a refused change (155). Main thread only.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CApiDialog.h"
#include "foundation/CStringUTF8.h"
#include "platform/dshow/DShowApi.h"

inline constexpr uint32_t DIALOG_MPEG_MISSING = 153;
inline constexpr uint32_t DIALOG_MPEG_MERIT = 155;

struct FilterEntry
{
    FilterEntry() = default;
    ~FilterEntry();
    FilterEntry(const FilterEntry&) = delete;
    FilterEntry& operator=(const FilterEntry&) = delete;

    CStringUTF8 FriendlyName;
    CStringUTF8 ClsidText;
    IMoniker* Moniker = nullptr;     // one reference
    REGFILTER2* FilterData = nullptr; // CoTaskMemAlloc'd
    uint32_t SavedMerit = 0;
    uint8_t Changed = 0;
};

using FilterList = std::vector<std::unique_ptr<FilterEntry>>;

// The filters matching any of the (major type, subtype) pairs, lowest merit first, equal merits
// in the order the mapper listed them.
void EnumerateFilters(FilterList& list, const GUID* input_pairs, uint32_t pair_count);
// The first entry whose class text names the class; null when none does.
FilterEntry* FindFilter(FilterList& list, const CLSID& clsid);
HRESULT SetFilterMerit(FilterEntry& entry, uint32_t merit);
// Puts back every changed merit and empties the lists.
void RestoreFilterLists(std::array<FilterList, 3>& lists);
// The check itself: 0 to go on. Builds the lists only when "Movie/Mpeg" is 1. The key has no
// leading slash, so no configuration file reaches it.
HRESULT CheckMpegDecoders(std::array<FilterList, 3>& lists);
// Tests: the check reads this value in place of "Movie/Mpeg"; a negative value reads the key again.
void ForceMpegCheckSetting(int32_t value);

class CMediaDialog : public CApiDialog
{
public:
    explicit CMediaDialog(uint32_t template_id)
        : CApiDialog(template_id, nullptr)
    {}
    BOOL OnInitDialog() override { return TRUE; }
};

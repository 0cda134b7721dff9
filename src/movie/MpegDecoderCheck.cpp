#include "movie/MpegDecoderCheck.h"

#include <algorithm>
#include <cstdio>

#include "foundation/AppLink.h"
#include "platform/com/ComApi.h"
#include "platform/com/ComPtr.h"

namespace {

int32_t g_forced_setting = -1;

constexpr GUID SPLITTER_INPUTS[] = {
    MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System,    MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1VideoCD,
    MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Video,     MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Audio,
    MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM,  MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_TRANSPORT,
    MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_TRANSPORT_STRIDE,
};
constexpr GUID VIDEO_INPUTS[] = {
    MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Packet, MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload,
};
constexpr GUID AUDIO_INPUTS[] = {
    MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Packet, MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Payload,
    MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload,
};

// A text of the property bag, cut as a 3000-character buffer would cut it.
bool ReadText(IPropertyBag* bag, const char16_t* name, CStringUTF8* out)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED(bag->Read(name, &value, nullptr)) || value.vt != VT_BSTR) {
        VariantClear(&value);
        return false;
    }
    std::u16string text(value.bstrVal, std::min<UINT>(SysStringLen(value.bstrVal), 2999));
    VariantClear(&value);
    *out = CStringUTF8(text);
    return true;
}

REGFILTER2* ReadFilterData(IPropertyBag* bag, IFilterMapper2* mapper)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED(bag->Read(u"FilterData", &value, nullptr)) || value.vt != (VT_ARRAY | VT_UI1)) {
        VariantClear(&value);
        return nullptr;
    }
    REGFILTER2* parsed = nullptr;
    void* bytes = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(value.parray, &bytes))) {
        ComPtr<IAMFilterData> data;
        BYTE* result = nullptr;
        if (SUCCEEDED(mapper->QueryInterface(IID_IAMFilterData, reinterpret_cast<void**>(data.GetAddressOf()))) &&
            SUCCEEDED(data->ParseFilterData(static_cast<BYTE*>(bytes), value.parray->cElements, &result)))
            parsed = reinterpret_cast<REGFILTER2*>(result);
        SafeArrayUnaccessData(value.parray);
    }
    VariantClear(&value);
    return parsed;
}

} // namespace

void ForceMpegCheckSetting(int32_t value)
{
    g_forced_setting = value;
}

FilterEntry::~FilterEntry()
{
    if (Moniker)
        Moniker->Release();
    CoTaskMemFree(FilterData);
}

void EnumerateFilters(FilterList& list, const GUID* input_pairs, uint32_t pair_count)
{
    ComPtr<IFilterMapper2> mapper;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                reinterpret_cast<void**>(mapper.GetAddressOf()))))
        return;
    ComPtr<IEnumMoniker> monikers;
    const GUID any_output[2] = {GUID_NULL, GUID_NULL};
    if (FAILED(mapper->EnumMatchingFilters(monikers.GetAddressOf(), 0, TRUE, MERIT_DO_NOT_USE + 1, TRUE, pair_count,
                                           input_pairs, nullptr, nullptr, FALSE, FALSE, 1, any_output, nullptr,
                                           nullptr)))
        return;
    monikers->Reset();
    IMoniker* moniker = nullptr;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        auto entry = std::make_unique<FilterEntry>();
        const bool complete =
            SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                             reinterpret_cast<void**>(bag.GetAddressOf()))) &&
            ReadText(bag.Get(), u"FriendlyName", &entry->FriendlyName) &&
            (entry->FilterData = ReadFilterData(bag.Get(), mapper.Get())) != nullptr &&
            ReadText(bag.Get(), u"CLSID", &entry->ClsidText);
        if (!complete) {
            moniker->Release();
            continue;
        }
        entry->Moniker = moniker;
        list.push_back(std::move(entry));
    }
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a->FilterData->dwMerit < b->FilterData->dwMerit; });
}

FilterEntry* FindFilter(FilterList& list, const CLSID& clsid)
{
    for (const auto& entry : list) {
        CLSID found;
        if (SUCCEEDED(CLSIDFromString(entry->ClsidText.ToWide().c_str(), &found)) && found == clsid)
            return entry.get();
    }
    return nullptr;
}

HRESULT SetFilterMerit(FilterEntry& entry, uint32_t merit)
{
    CLSID clsid{};
    CLSIDFromString(entry.ClsidText.ToWide().c_str(), &clsid);
    ComPtr<IFilterMapper2> mapper;
    const HRESULT created = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                             reinterpret_cast<void**>(mapper.GetAddressOf()));
    if (FAILED(created))
        return created;
    entry.FilterData->dwMerit = merit;
    return mapper->RegisterFilter(clsid, entry.FriendlyName.ToWide().c_str(), &entry.Moniker,
                                  &CLSID_LegacyAmFilterCategory, nullptr, entry.FilterData);
}

void RestoreFilterLists(std::array<FilterList, 3>& lists)
{
    for (FilterList& list : lists) {
        for (const auto& entry : list) {
            if (entry->Changed) {
                SetFilterMerit(*entry, entry->SavedMerit);
                entry->Changed = 0;
            }
        }
        list.clear();
    }
}

HRESULT CheckMpegDecoders(std::array<FilterList, 3>& lists)
{
    AppLink* app = GetAppLink();
    const int32_t setting = g_forced_setting >= 0 ? g_forced_setting
                            : app != nullptr      ? app->GetConfigInt("Movie/Mpeg", 0, 0)
                                                  : 0;
    if (setting != 1)
        return 0;
    struct Role
    {
        const GUID* pairs;
        uint32_t count;
        const CLSID* winner;
    };
    const Role roles[3] = {
        {SPLITTER_INPUTS, std::size(SPLITTER_INPUTS) / 2, &CLSID_MPEG1Splitter},
        {VIDEO_INPUTS, std::size(VIDEO_INPUTS) / 2, &CLSID_CMpegVideoCodec},
        {AUDIO_INPUTS, std::size(AUDIO_INPUTS) / 2, &CLSID_CMpegAudioCodec},
    };
    std::array<FilterEntry*, 3> winners{};
    for (int i = 0; i < 3; ++i) {
        lists[i].clear();
        EnumerateFilters(lists[i], roles[i].pairs, roles[i].count);
        winners[i] = FindFilter(lists[i], *roles[i].winner);
    }
    for (int i = 0; i < 3; ++i) {
        HRESULT result = 0;
        FilterEntry* entry = winners[i];
        if (entry == nullptr) {
            result = E_FAIL;
        } else if (entry != lists[i].back().get()) {
            const uint32_t top = lists[i].back()->FilterData->dwMerit;
            if (entry->Changed) {
                SetFilterMerit(*entry, entry->SavedMerit);
                entry->Changed = 0;
            }
            entry->SavedMerit = entry->FilterData->dwMerit;
            entry->Changed = 1;
            result = SetFilterMerit(*entry, top + 1);
        }
        if (result == 0)
            continue;
        if (result == S_FALSE)
            return 1;
        CMediaDialog dialog(result == E_ACCESSDENIED ? DIALOG_MPEG_MERIT : DIALOG_MPEG_MISSING);
        dialog.DoModal(nullptr);
        return result;
    }
    return 0;
}

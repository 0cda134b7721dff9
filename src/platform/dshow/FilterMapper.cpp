#include "platform/dshow/FilterMapper.h"

#include <array>
#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/ComApi.h"
#include "platform/com/ComObject.h"
#include "platform/dshow/DShowApi.h"
#include "platform/dshow/MoviePipeline.h"

namespace platform {

namespace {

struct RegisteredFilter
{
    CLSID clsid;
    const char16_t* name;
    std::vector<std::pair<GUID, GUID>> inputs;
    DWORD merit = MERIT_NORMAL;
    bool missing = false;
};

std::mutex g_registry_lock; // a leaf lock
std::array<RegisteredFilter, 3>& Registry()
{
    static std::array<RegisteredFilter, 3> s_filters = {
        RegisteredFilter{CLSID_MPEG1Splitter,
                         u"MPEG-I Stream Splitter",
                         {{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System},
                          {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1VideoCD},
                          {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Video},
                          {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1Audio}}},
        RegisteredFilter{CLSID_CMpegVideoCodec,
                         u"MPEG Video Decoder",
                         {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Packet}, {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}}},
        RegisteredFilter{CLSID_CMpegAudioCodec,
                         u"MPEG Audio Decoder",
                         {{MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Packet},
                          {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1Payload},
                          {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload}}},
    };
    return s_filters;
}

bool IsPresent(int role)
{
    return !Registry()[role].missing && HasMovieComponent(role);
}

class PropertyBag final : public ComObject<IPropertyBag, IID_IPropertyBag>
{
public:
    explicit PropertyBag(int role)
        : m_role(role)
    {}
    HRESULT Read(LPCWSTR name, VARIANT* value, IUnknown*) override
    {
        if (!name || !value)
            return E_POINTER;
        const std::u16string key(name);
        RegisteredFilter filter;
        {
            std::lock_guard lock(g_registry_lock);
            filter = Registry()[m_role];
        }
        if (key == u"FriendlyName" || key == u"CLSID") {
            const std::u16string text = key == u"CLSID" ? GuidToString(filter.clsid) : std::u16string(filter.name);
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            return S_OK;
        }
        if (key == u"FilterData") {
            const REGFILTER2 data{2, filter.merit, 0, nullptr};
            value->vt = VT_ARRAY | VT_UI1;
            value->parray = SafeArrayCreateBytes(reinterpret_cast<const BYTE*>(&data), sizeof(data));
            return S_OK;
        }
        return E_INVALIDARG;
    }

private:
    int m_role;
};

class Moniker final : public ComObject<IMoniker, IID_IMoniker>
{
public:
    explicit Moniker(int role)
        : m_role(role)
    {}
    HRESULT BindToStorage(void*, IMoniker*, REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (riid != IID_IPropertyBag)
            return E_NOINTERFACE;
        *object = static_cast<IPropertyBag*>(new PropertyBag(m_role));
        return S_OK;
    }

private:
    int m_role;
};

class MonikerList final : public ComObject<IEnumMoniker, IID_IEnumMoniker>
{
public:
    explicit MonikerList(std::vector<int> roles)
        : m_roles(std::move(roles))
    {}
    HRESULT Next(ULONG count, IMoniker** monikers, ULONG* fetched) override
    {
        if (!monikers)
            return E_POINTER;
        ULONG got = 0;
        while (got < count && m_index < m_roles.size())
            monikers[got++] = new Moniker(m_roles[m_index++]);
        if (fetched)
            *fetched = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT Reset() override
    {
        m_index = 0;
        return S_OK;
    }

private:
    std::vector<int> m_roles;
    size_t m_index = 0;
};

class FilterMapper final : public ComObject<IFilterMapper2, IID_IFilterMapper2>, public IAMFilterData
{
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (object && riid == IID_IAMFilterData) {
            AddRef();
            *object = static_cast<IAMFilterData*>(this);
            return S_OK;
        }
        return ComObject::QueryInterface(riid, object);
    }
    ULONG AddRef() override { return ComObject::AddRef(); }
    ULONG Release() override { return ComObject::Release(); }

    HRESULT RegisterFilter(REFCLSID clsid, LPCWSTR, IMoniker**, const CLSID*, LPCWSTR,
                           const REGFILTER2* filter) override
    {
        if (!filter)
            return E_POINTER;
        std::lock_guard lock(g_registry_lock);
        for (RegisteredFilter& entry : Registry()) {
            if (entry.clsid == clsid) {
                entry.merit = filter->dwMerit;
                return S_OK;
            }
        }
        return E_FAIL;
    }

    HRESULT EnumMatchingFilters(IEnumMoniker** result, DWORD, BOOL, DWORD merit, BOOL, DWORD input_types,
                                const GUID* input_pairs, const void*, const GUID*, BOOL, BOOL, DWORD, const GUID*,
                                const void*, const GUID*) override
    {
        if (!result)
            return E_POINTER;
        std::vector<int> roles;
        std::lock_guard lock(g_registry_lock);
        for (int role = 0; role < 3; ++role) {
            const RegisteredFilter& entry = Registry()[role];
            if (!IsPresent(role) || entry.merit < merit)
                continue;
            bool matches = false;
            for (DWORD i = 0; i < input_types && !matches; ++i) {
                for (const auto& [major, sub] : entry.inputs)
                    matches = matches || (input_pairs[2 * i] == major && input_pairs[2 * i + 1] == sub);
            }
            if (matches)
                roles.push_back(role);
        }
        *result = new MonikerList(std::move(roles));
        return S_OK;
    }

    HRESULT ParseFilterData(BYTE* data, ULONG size, BYTE** result) override
    {
        if (!data || !result)
            return E_POINTER;
        *result = nullptr;
        if (size < sizeof(REGFILTER2))
            return E_INVALIDARG;
        *result = static_cast<BYTE*>(CoTaskMemAlloc(sizeof(REGFILTER2)));
        std::memcpy(*result, data, sizeof(REGFILTER2));
        return S_OK;
    }
};

} // namespace

IUnknown* CreateFilterMapper()
{
    return static_cast<IFilterMapper2*>(new FilterMapper);
}

void ForceMovieComponentMissing(int role, bool missing)
{
    if (role < 0 || role > 2)
        return;
    std::lock_guard lock(g_registry_lock);
    Registry()[role].missing = missing;
}

DWORD GetRegisteredMerit(const GUID& clsid)
{
    std::lock_guard lock(g_registry_lock);
    for (const RegisteredFilter& entry : Registry()) {
        if (entry.clsid == clsid)
            return entry.merit;
    }
    return 0;
}

} // namespace platform

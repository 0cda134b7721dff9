#include "sound/CEvent.h"

#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"

CEvent::~CEvent()
{
    Close();
}

bool CEvent::Create(bool manual_reset, bool initially_set)
{
    Close();
    m_handle = CreateEventW(nullptr, manual_reset ? TRUE : FALSE, initially_set ? TRUE : FALSE, nullptr);
    return m_handle != nullptr;
}

void CEvent::Close()
{
    if (m_handle) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

bool CEvent::Set()
{
    return m_handle && SetEvent(m_handle);
}

bool CEvent::Reset()
{
    return m_handle && ResetEvent(m_handle);
}

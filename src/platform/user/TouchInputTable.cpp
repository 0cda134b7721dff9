#include "platform/user/TouchInputTable.h"

namespace platform {

HTOUCHINPUT TouchInputTable::Add(HWND window, std::vector<TOUCHINPUT> inputs)
{
    if (m_inputs.size() >= MAX_OPEN)
        m_inputs.erase(m_inputs.begin());
    const uintptr_t handle = m_next_handle++;
    m_inputs.emplace(handle, Record{window, std::move(inputs)});
    return reinterpret_cast<HTOUCHINPUT>(handle);
}

const std::vector<TOUCHINPUT>* TouchInputTable::Find(HTOUCHINPUT input) const
{
    auto found = m_inputs.find(reinterpret_cast<uintptr_t>(input));
    return found == m_inputs.end() ? nullptr : &found->second.inputs;
}

bool TouchInputTable::Close(HTOUCHINPUT input)
{
    return m_inputs.erase(reinterpret_cast<uintptr_t>(input)) > 0;
}

void TouchInputTable::CloseAllOf(HWND window)
{
    std::erase_if(m_inputs, [window](const auto& entry) { return entry.second.window == window; });
}

} // namespace platform

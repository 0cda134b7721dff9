#include "platform/user/ScriptedDialogPolicy.h"

#include <algorithm>

#include "platform/user/ControlsApi.h"
#include "platform/user/MessageBoxApi.h"

namespace platform {

ScriptedDialogPolicy::ScriptedDialogPolicy()
    : m_previous(SetDialogPolicy(this))
{}

ScriptedDialogPolicy::~ScriptedDialogPolicy()
{
    SetDialogPolicy(m_previous);
}

void ScriptedDialogPolicy::Queue(uint16_t template_id, Step step)
{
    m_steps.emplace_back(template_id, std::move(step));
}

bool ScriptedDialogPolicy::OnIdle(HWND dialog, uint16_t template_id)
{
    if (std::find(m_seen_windows.begin(), m_seen_windows.end(), dialog) == m_seen_windows.end()) {
        m_seen_windows.push_back(dialog);
        m_seen.push_back(template_id);
    }
    auto step = std::find_if(m_steps.begin(), m_steps.end(),
                             [template_id](const auto& entry) { return entry.first == template_id; });
    if (step == m_steps.end()) {
        m_unscripted.push_back(template_id);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return true;
    }
    const Step action = std::move(step->second);
    m_steps.erase(step);
    action(dialog);
    return true;
}

} // namespace platform

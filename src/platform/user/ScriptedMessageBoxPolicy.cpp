#include "platform/user/ScriptedMessageBoxPolicy.h"

namespace platform {

ScriptedMessageBoxPolicy::ScriptedMessageBoxPolicy()
    : m_previous(SetMessageBoxPolicy(this))
{}

ScriptedMessageBoxPolicy::~ScriptedMessageBoxPolicy()
{
    SetMessageBoxPolicy(m_previous);
}

int ScriptedMessageBoxPolicy::Show(const MessageBoxRequest& request)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back(request);
    if (m_answers.empty())
        return DefaultButtonOfType(request.type);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void ScriptedMessageBoxPolicy::QueueAnswer(int button)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(button);
}

std::vector<MessageBoxRequest> ScriptedMessageBoxPolicy::Shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

} // namespace platform

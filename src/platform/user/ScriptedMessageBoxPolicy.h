#pragma once
// A message-box policy for tests: records every box and answers from a queue of scripted buttons,
// then with each box's default button. Installs itself for its lifetime and puts the previous
// policy back when destroyed.

#include <deque>
#include <mutex>
#include <vector>

#include "platform/user/MessageBoxPolicy.h"

namespace platform {

class ScriptedMessageBoxPolicy final : public MessageBoxPolicy
{
public:
    ScriptedMessageBoxPolicy();
    ~ScriptedMessageBoxPolicy() override;
    ScriptedMessageBoxPolicy(const ScriptedMessageBoxPolicy&) = delete;
    ScriptedMessageBoxPolicy& operator=(const ScriptedMessageBoxPolicy&) = delete;

    int Show(const MessageBoxRequest& request) override;

    // The next box answers with this button id.
    void QueueAnswer(int button);
    std::vector<MessageBoxRequest> Shown() const;

private:
    mutable std::mutex m_mutex; // guards m_answers and m_shown
    std::deque<int> m_answers;
    std::vector<MessageBoxRequest> m_shown;
    MessageBoxPolicy* m_previous;
};

} // namespace platform

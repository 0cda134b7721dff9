#pragma once
// A dialog policy for tests: runs queued steps on the modal dialogs they are meant for, one step
// each time such a dialog waits, and closes with Cancel any dialog no step is waiting for, so a
// test never hangs. Installs itself for its lifetime and puts the previous policy back.

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "platform/user/DialogPolicy.h"

namespace platform {

class ScriptedDialogPolicy final : public DialogPolicy
{
public:
    using Step = std::function<void(HWND dialog)>;

    ScriptedDialogPolicy();
    ~ScriptedDialogPolicy() override;
    ScriptedDialogPolicy(const ScriptedDialogPolicy&) = delete;
    ScriptedDialogPolicy& operator=(const ScriptedDialogPolicy&) = delete;

    // The step runs when a modal dialog made from the template next waits.
    void Queue(uint16_t template_id, Step step);
    bool OnIdle(HWND dialog, uint16_t template_id) override;

    // Templates of the modal dialogs that waited, in the order each first did.
    const std::vector<uint16_t>& Seen() const { return m_seen; }
    // Templates closed with Cancel because no step was waiting for them.
    const std::vector<uint16_t>& Unscripted() const { return m_unscripted; }
    size_t PendingSteps() const { return m_steps.size(); }

private:
    std::deque<std::pair<uint16_t, Step>> m_steps;
    std::vector<HWND> m_seen_windows;
    std::vector<uint16_t> m_seen;
    std::vector<uint16_t> m_unscripted;
    DialogPolicy* m_previous;
};

} // namespace platform

#include "platform/imm/ImeInjection.h"

#include "platform/imm/InputMethod.h"
#include "platform/user/WindowManager.h"

namespace platform {

void ImeCompose(const std::u16string& text, uint32_t cursor, std::vector<uint32_t> clauses, int target_clause)
{
    InputMethod::GetInstance().Compose(WindowManager::GetInstance().InputTarget(), text, cursor,
                                       std::move(clauses), target_clause);
}

void ImeCommit(const std::u16string& text)
{
    InputMethod::GetInstance().Commit(WindowManager::GetInstance().InputTarget(), text);
}

void ImeCancel()
{
    InputMethod::GetInstance().Cancel(WindowManager::GetInstance().InputTarget());
}

void ResetInputMethod()
{
    InputMethod::GetInstance().Reset();
}

} // namespace platform

#include "script/ScriptWork.h"

#include <atomic>

#include "foundation/CLangTextFile.h"
#include "foundation/CLangTextTable.h"
#include "movie/MovieVolumeRecord.h"
#include "script/exec/IBGVPlay.h"
#include "script/exec/StandingCharacterSet.h"

namespace {

std::atomic<ScriptWorkFinder> g_finder{nullptr};

} // namespace

ScriptWork::ScriptWork() = default;
ScriptWork::~ScriptWork() = default;

void ScriptWork::SetStatusBits(uint32_t bits)
{
    if (m_status)
        *m_status |= bits;
}

void ScriptWork::ClearStatusBits(uint32_t bits)
{
    if (m_status)
        *m_status &= ~bits;
}

void SetScriptWorkFinder(ScriptWorkFinder find)
{
    g_finder.store(find);
}

ScriptWork* GetScriptWork()
{
    const ScriptWorkFinder find = g_finder.load();
    return find != nullptr ? find() : nullptr;
}

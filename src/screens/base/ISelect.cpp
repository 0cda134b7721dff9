#include "screens/base/ISelect.h"

#include "app/CGameWork.h"
#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"

#include <memory>

namespace {

// Keeps a screen in the game work's active list while it runs.
class ActiveScreen
{
public:
    explicit ActiveScreen(ISelect* screen)
        : m_screen(screen)
    {
        GetGameWork()->AddActiveScreen(screen);
    }
    ~ActiveScreen() { GetGameWork()->RemoveActiveScreen(m_screen); }
    ActiveScreen(const ActiveScreen&) = delete;
    ActiveScreen& operator=(const ActiveScreen&) = delete;

private:
    ISelect* m_screen;
};

} // namespace

ISelect::~ISelect()
{
    GetGameWork()->RemoveActiveScreen(this);
}

void ISelect::Run(ScriptValue* result)
{
    ScriptValue value;
    {
        ActiveScreen active(this);
        RunLoop(value);
    }
    if (result != nullptr)
        *result = value;
}

CSprite* ISelect::CreateSprite(int32_t x, int32_t y, int32_t width, int32_t height, int32_t priority,
                               int32_t type, uint32_t)
{
    std::unique_ptr<CSprite> sprite(CreateSpriteLayer(type));
    if (sprite == nullptr)
        return nullptr;
    sprite->Create(x, y, width, height, priority);
    return sprite.release();
}

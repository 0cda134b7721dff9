#include "graphics/CAnimeManager.h"

#include "foundation/GameDocument.h"
#include "foundation/ScopedLock.h"
#include "graphics/CSpriteLayer.h"
#include "graphics/FrameRedraw.h"
#include "graphics/SpriteLayerRegistry.h"
#include "platform/kernel/IdleWait.h"
#include "platform/kernel/TimeApi.h"

namespace {

constexpr uint32_t COLOR_KEY_GREEN = 0xFF00;
// Layers the compose commands work through.
constexpr int32_t COMPOSE_WORK_LAYER = 2;
constexpr int32_t COMPOSE_BACKGROUND_LAYER = 4;

ILayer* Registered(int32_t number)
{
    return GetSpriteLayerRegistry().GetSpriteLayer(number);
}

// Commands run on the app-task thread while scripts register and free layers: the look-ups and
// the blits hold the registry lock, so no layer goes mid-blit. The frame is asked for after the
// lock is let go, because the redraw takes the draw lock, which comes before it.
template <class Blits>
void BlitRegistered(Blits blits)
{
    {
        ScopedLock lock(GetSpriteLayerRegistry().GetSpriteLayerLock());
        blits();
    }
    RedrawFrameNow();
}

int32_t I(uint32_t value)
{
    return static_cast<int32_t>(value);
}

} // namespace

CAnimeManager::CAnimeManager(uint32_t period)
    : CAnimeBase(period)
{}

ILayer* CAnimeManager::Destination()
{
    return m_destination_layer != nullptr ? m_destination_layer : Registered(m_destination_number);
}

ILayer* CAnimeManager::Source()
{
    return Registered(m_source_number);
}

void CAnimeManager::RunCommand(int32_t group, int32_t slot, const AnimeCommandRecord& command)
{
    switch (command.kind) {
    case 0:
        CopyPicture(group, slot, command);
        break;
    case 1:
        CopyPictureColorKey(group, slot, command);
        break;
    case 2:
        DoNothing(group, slot, command);
        break;
    default:
        ComposePicture(group, slot, command);
        break;
    }
}

void CAnimeManager::CopyPicture(int32_t, int32_t, const AnimeCommandRecord& c)
{
    BlitRegistered([&] {
        ILayer* dest = Destination();
        ILayer* source = Source();
        if (dest != nullptr && source != nullptr)
            dest->Blt(I(c.dest_x), I(c.dest_y), I(c.width), I(c.height), source, I(c.source_x), I(c.source_y),
                      0);
    });
}

void CAnimeManager::CopyPictureColorKey(int32_t, int32_t, const AnimeCommandRecord& c)
{
    BlitRegistered([&] {
        ILayer* dest = Destination();
        ILayer* source = Source();
        if (dest != nullptr && source != nullptr)
            dest->BltColorKey(I(c.dest_x), I(c.dest_y), I(c.width), I(c.height), source, I(c.source_x),
                              I(c.source_y), COLOR_KEY_GREEN);
    });
}

void CAnimeManager::DoNothing(int32_t, int32_t, const AnimeCommandRecord&) {}

void CAnimeManager::ComposePicture(int32_t, int32_t, const AnimeCommandRecord& c)
{
    if (c.kind != 3)
        return;
    BlitRegistered([&] {
        ILayer* dest = Destination();
        ILayer* source = Source();
        ILayer* work = Registered(COMPOSE_WORK_LAYER);
        ILayer* background = Registered(COMPOSE_BACKGROUND_LAYER);
        if (dest != nullptr && source != nullptr && work != nullptr && background != nullptr) {
            const int32_t x = I(c.dest_x), y = I(c.dest_y), w = I(c.width), h = I(c.height);
            work->Blt(x, y, w, h, source, I(c.source_x), I(c.source_y), 1);
            dest->Blt(x, y, w, h, background, x, y, 1);
            dest->BltAlpha(x, y, w, h, work, x, y);
        }
    });
}

void CAnimeManager::ComposePictureColorKey(int32_t, int32_t, const AnimeCommandRecord& c)
{
    if (c.kind != 3)
        return;
    BlitRegistered([&] {
        ILayer* dest = Destination();
        ILayer* source = Source();
        ILayer* work = Registered(COMPOSE_BACKGROUND_LAYER);
        ILayer* background = Registered(COMPOSE_WORK_LAYER);
        if (dest != nullptr && source != nullptr && work != nullptr && background != nullptr) {
            const int32_t x = I(c.dest_x), y = I(c.dest_y), w = I(c.width), h = I(c.height);
            work->BltColorKey(x, y, w, h, source, I(c.source_x), I(c.source_y), COLOR_KEY_GREEN);
            dest->Blt(x, y, w, h, background, x, y, 1);
            dest->BltAlpha(x, y, w, h, work, x, y);
        }
    });
}

int32_t CAnimeManager::StepSlot(int32_t group, int32_t slot)
{
    std::optional<AnimeCommandRecord> command;
    {
        ScopedLock lock(m_lock);
        if (!IsSlot(group, slot))
            return 0;
        AnimeSlot& target = SlotAt(group, slot);
        const uint8_t* code = nullptr;
        size_t size = 0;
        if (!SlotCode(target, code, size))
            return 0;
        // The same decoder as the tick: pc only moves forward here, so the walk ends within the code.
        for (;;) {
            const std::optional<AnimeInstruction> instruction = DecodeAnimeInstruction(code, size, target.pc);
            if (!instruction) {
                target.state = ANIME_STOPPED;
                return 0;
            }
            target.pc += instruction->length;
            const uint8_t op = instruction->opcode;
            if (op == 3 || op == 4 || op == 6 || op == 8 || op == 255)
                return 0;
            if (op >= 9 && op <= 254) {
                command = ReadCommand(instruction->operand);
                if (!command) {
                    target.state = ANIME_STOPPED;
                    return 0;
                }
                target.pc = 0;
                break;
            }
        }
    }
    switch (command->kind) {
    case 0:
        CopyPicture(group, slot, *command);
        break;
    case 1: {
        // Shown with the next frame, not at once.
        ScopedLock lock(GetSpriteLayerRegistry().GetSpriteLayerLock());
        if (ILayer* dest = Destination(); dest != nullptr && Source() != nullptr)
            dest->BltColorKey(I(command->dest_x), I(command->dest_y), I(command->width), I(command->height),
                              Source(), I(command->source_x), I(command->source_y), COLOR_KEY_GREEN);
        break;
    }
    case 2:
        DoNothing(group, slot, *command);
        break;
    default:
        ComposePicture(group, slot, *command);
        break;
    }
    return 1;
}

bool CAnimeManager::IsAllFinished()
{
    const bool ticking = (GetGameDocument()->GetEngineStateWord() & ENGINE_ANIME_TICKS) != 0;
    ScopedLock lock(m_lock);
    for (AnimeSlot& slot : m_slots) {
        if (slot.state == ANIME_RUNNING) {
            slot.state = ANIME_FINISHING;
            // One slot a call: the caller's next turn, for the next slot, is due at once.
            platform::NoteDueTime(timeGetTime());
            return false;
        }
        if (ticking) {
            if (slot.state != ANIME_STOPPED && slot.state != ANIME_FINISHED)
                return false;
        } else if (slot.state == ANIME_FINISHING) {
            slot.state = ANIME_FINISHED;
        }
    }
    return true;
}

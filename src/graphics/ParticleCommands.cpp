#include "graphics/ParticleCommands.h"

#include "graphics/CSakuraEffect.h"
#include "graphics/CSnowEffect.h"
#include "graphics/CSnowFirstOne.h"

namespace {

template <class Holder>
void RunWeatherCommand(std::unique_ptr<Holder>& holder, int32_t sub_command)
{
    switch (sub_command) {
    case 0:
        holder.reset();
        holder = std::make_unique<Holder>();
        holder->Prepare();
        break;
    case 1:
        holder.reset();
        break;
    case 2:
        if (holder != nullptr)
            holder->Start();
        break;
    case 3:
        holder.reset();
        holder = std::make_unique<Holder>();
        holder->PrepareNow();
        holder->Start();
        break;
    default:
        break;
    }
}

} // namespace

void RunPetalCommand(std::unique_ptr<CSakuraEffect>& holder, int32_t sub_command)
{
    RunWeatherCommand(holder, sub_command);
}

void RunSnowCommand(std::unique_ptr<CSnowEffect>& holder, int32_t sub_command)
{
    RunWeatherCommand(holder, sub_command);
}

void RunSnowballCommand(std::unique_ptr<CSnowFirstOne>& holder, int32_t sub_command)
{
    if (sub_command == 0) {
        holder.reset();
        holder = std::make_unique<CSnowFirstOne>();
        holder->Start();
    } else if (sub_command == 1) {
        holder.reset();
    }
}

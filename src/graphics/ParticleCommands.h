#pragma once
// The sub-commands with which the game's command group drives the weather effects, one holder
// per kind kept by the caller. Petals and snow: 0 prepare (builder thread), 1 end, 2 start, 3
// prepare at once and start. Snowball: 0 make and start, 1 end (waiting for its landing is the
// command group's own loop over CSnowParticleOne::IsActive). Other sub-commands do nothing.
// Main thread.

#include <cstdint>
#include <memory>

class CSakuraEffect;
class CSnowEffect;
class CSnowFirstOne;

void RunPetalCommand(std::unique_ptr<CSakuraEffect>& holder, int32_t sub_command);
void RunSnowCommand(std::unique_ptr<CSnowEffect>& holder, int32_t sub_command);
void RunSnowballCommand(std::unique_ptr<CSnowFirstOne>& holder, int32_t sub_command);

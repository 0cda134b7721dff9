#pragma once
// The per-heroine hint builders: each lists one heroine's events, in her table's order, into out.
// The companion builders fill a temporary list and answer the missed latch they ended with.

#include <cstdint>
#include <vector>

#include "game/hints/FlagHintRecord.h"

class HintBuilder;
struct HintContext;

void BuildHeroineHints00(HintContext& context, std::vector<FlagHintRecord>& out);
uint32_t BuildHeroineHints00Pre(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints01(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints02(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints03(HintContext& context, std::vector<FlagHintRecord>& out);
// Both read and raise the count of dates listed so far.
uint32_t BuildHeroineHints03Part2(HintContext& context, std::vector<FlagHintRecord>& out, uint32_t& counter);
uint32_t BuildHeroineHints03Part3(HintContext& context, std::vector<FlagHintRecord>& out, uint32_t& counter,
                                  uint32_t latch);
void BuildHeroineHints04(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints05(HintContext& context, std::vector<FlagHintRecord>& out);
uint32_t BuildHeroineHints05Part2(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints06(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints07(HintContext& context, std::vector<FlagHintRecord>& out);
uint32_t BuildHeroineHints07Part2(HintContext& context, std::vector<FlagHintRecord>& out, int32_t latch);
void BuildHeroineHints08(HintContext& context, std::vector<FlagHintRecord>& out);
uint32_t BuildHeroineHints08Part2(HintContext& context, std::vector<FlagHintRecord>& out, uint32_t latch);
// The first two events, which heroines 8 and 14 share.
void ListSharedFirstEvents(HintBuilder& builder, std::vector<FlagHintRecord>& out);
void BuildHeroineHints09(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints10(HintContext& context, std::vector<FlagHintRecord>& out);
// Lists B1 and B2 from the carried date and time of event 2; answers the latch.
uint32_t BuildHeroineHints10Part2(HintContext& context, std::vector<FlagHintRecord>& out, int32_t date,
                                  int32_t time, uint32_t latch);
void BuildHeroineHints11(HintContext& context, std::vector<FlagHintRecord>& out);
// Predicts the next travel-agency shift from day, which it advances; non-zero when that shift is missed.
uint32_t BuildHeroineHints11Part2(HintContext& context, int32_t& day, std::vector<FlagHintRecord>& out);
void BuildHeroineHints12(HintContext& context, std::vector<FlagHintRecord>& out);
void BuildHeroineHints13(HintContext& context, std::vector<FlagHintRecord>& out);
// Whether heroine 6's visits press on the date (1) or leave it free (0); the last two arguments
// are not used.
uint32_t BuildHeroineHints13Part2(HintContext& context, int32_t date, int32_t, int32_t);
void BuildHeroineHints14(HintContext& context, std::vector<FlagHintRecord>& out);

#pragma once
// A presence clock that notes every question (kind, floor, place and the clock it was asked at)
// and answers from the test's function instead of the rules.

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "game/presence/CPresence.h"

struct PresenceQuestion
{
    std::string kind; // "town", "submap", "school" or "school6"
    uint32_t floor = 0;
    uint32_t place = 0;
    uint16_t time = 0; // the clock the caller set (school place 6 only; the others set their own)
    bool operator==(const PresenceQuestion&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const PresenceQuestion& q)
    {
        return out << q.kind << "(" << q.floor << ", " << q.place << ") at " << q.time;
    }
};

class RecordingPresence : public CPresence
{
public:
    using Answer = std::function<CharacterIndex(const PresenceQuestion&)>;
    explicit RecordingPresence(std::vector<PresenceQuestion>& log, Answer answer = nullptr)
        : m_log(log)
        , m_answer(std::move(answer))
    {}

    CharacterIndex WhoIsAtTownPlace(uint32_t place) override
    {
        CPresence::WhoIsAtTownPlace(place);
        return Note({"town", 0, place, 0});
    }
    CharacterIndex WhoIsAtSubmapPlace(uint32_t place) override
    {
        CPresence::WhoIsAtSubmapPlace(place);
        return Note({"submap", 0, place, 0});
    }
    CharacterIndex WhoIsAtSchoolPlace(uint32_t floor, uint32_t place) override
    {
        CPresence::WhoIsAtSchoolPlace(floor, place);
        return Note({"school", floor, place, 0});
    }
    CharacterIndex WhoIsAtSchoolPlace6() override { return Note({"school6", 0, 6, Time}); }

    // The places of the questions of one kind, in order.
    static std::vector<uint32_t> Places(const std::vector<PresenceQuestion>& log)
    {
        std::vector<uint32_t> places;
        for (const PresenceQuestion& q : log)
            places.push_back(q.place);
        return places;
    }

private:
    CharacterIndex Note(const PresenceQuestion& question)
    {
        m_log.push_back(question);
        return m_answer ? m_answer(question) : PRESENCE_NOBODY;
    }

    std::vector<PresenceQuestion>& m_log;
    Answer m_answer;
};

#pragma once
// The registry of seen pictures.
// FIXME: the least the game work needs until the extras are in.

#include <array>

#include "foundation/CStringUTF8.h"

class CCGFlag
{
public:
    virtual ~CCGFlag() = default;
    // Builds the index of picture names.
    virtual void BuildIndex() {}
    // FIXME: the combination is kept but never matched against a picture row yet.
    void BeginCombination(const CStringUTF8& name)
    {
        m_base = name;
        m_overlays = {};
        m_begun = true;
    }
    void SetOverlay(const CStringUTF8& name, int index)
    {
        if (index >= 0 && index < static_cast<int>(m_overlays.size()))
            m_overlays[static_cast<size_t>(index)] = name;
    }
    // A combination without a picture row is not a failure of the caller: the text thrown for it
    // is caught here.
    void RegisterCombination()
    {
        try {
            if (m_begun)
                throw CStringUTF8("This combination cannot be registered.");
        } catch (const CStringUTF8&) {
        }
    }

private:
    CStringUTF8 m_base;
    std::array<CStringUTF8, 7> m_overlays;
    bool m_begun = false;
};

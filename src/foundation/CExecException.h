#pragma once
// The engine's exception for a failure that ends what is running: a creation that failed, an
// archive that cannot be found. It carries the message shown to the player; the application's
// run loop and start-up catch it and show the text.

#include <utility>

#include "foundation/CStringUTF8.h"

class CExecException
{
public:
    explicit CExecException(CStringUTF8 message)
        : m_message(std::move(message))
    {}
    virtual ~CExecException() = default;

    const CStringUTF8& GetMessage() const { return m_message; }

private:
    CStringUTF8 m_message;
};

#pragma once
// Where MessageBoxW sends its boxes. One policy is installed process-wide; the program gets an
// SDL box (standard error when no display can show one), headless runs log to standard error,
// and tests install a ScriptedMessageBoxPolicy to answer and record.

#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

struct MessageBoxRequest
{
    HWND owner;
    std::u16string text;
    std::u16string caption;
    UINT type;
};

class MessageBoxPolicy
{
public:
    virtual ~MessageBoxPolicy() = default;
    // Shows the box and returns the pressed button's id (IDOK, IDYES, ...). Called from any thread.
    virtual int Show(const MessageBoxRequest& request) = 0;
};

// The buttons of a box's button group, in display order, as button ids.
std::vector<int> ButtonsOfType(UINT type);
// The button a box answers with when nobody presses one: the one MB_DEFBUTTONn names.
int DefaultButtonOfType(UINT type);

// Which characters may not begin a line of a box's text. The program installs the line-start
// table all its text layout follows; until then, and with null, any character may.
using LineStartRule = bool (*)(char16_t unit);
LineStartRule SetMessageBoxLineStartRule(LineStartRule rule);
bool IsMessageBoxLineStartForbidden(char16_t unit);

// A box's text as the player reads it: paths, kept with Windows separators inside the program, with
// the system's own.
std::u16string ShownMessageText(std::u16string text);

// Installs a policy that the caller keeps alive until it installs another; null restores the
// program's default. Returns the policy that was installed before (null for the default).
MessageBoxPolicy* SetMessageBoxPolicy(MessageBoxPolicy* policy);

std::unique_ptr<MessageBoxPolicy> CreateSdlMessageBoxPolicy();
// Prints caption, text and flags to standard error and answers the default button.
std::unique_ptr<MessageBoxPolicy> CreateStderrMessageBoxPolicy();

} // namespace platform

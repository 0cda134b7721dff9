#include "platform/user/MessageBoxApi.h"

#include <algorithm>
#include <atomic>

#include "platform/Environment.h"
#include "platform/user/MessageBoxPolicy.h"

namespace platform {

namespace {

std::atomic<MessageBoxPolicy*> g_installed_policy{nullptr};
std::atomic<LineStartRule> g_line_start_rule{nullptr};

// The program's own policy, made on first use and never destroyed: boxes may still be shown while
// static objects are torn down.
MessageBoxPolicy& DefaultPolicy()
{
    static MessageBoxPolicy* s_default = [] {
        const bool is_headless = IsNullBackend(Service::MessageBox);
        return (is_headless ? CreateStderrMessageBoxPolicy() : CreateSdlMessageBoxPolicy()).release();
    }();
    return *s_default;
}

} // namespace

std::vector<int> ButtonsOfType(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE:
        return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default:
        return {IDOK};
    }
}

int DefaultButtonOfType(UINT type)
{
    const std::vector<int> buttons = ButtonsOfType(type);
    const size_t index = (type & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons.front();
}

LineStartRule SetMessageBoxLineStartRule(LineStartRule rule)
{
    return g_line_start_rule.exchange(rule);
}

bool IsMessageBoxLineStartForbidden(char16_t unit)
{
    const LineStartRule rule = g_line_start_rule.load();
    return rule != nullptr && rule(unit);
}

std::u16string ShownMessageText(std::u16string text)
{
    // No box text has a backslash of its own: every one is a path separator.
    std::replace(text.begin(), text.end(), u'\\', u'/');
    return text;
}

MessageBoxPolicy* SetMessageBoxPolicy(MessageBoxPolicy* policy)
{
    return g_installed_policy.exchange(policy);
}

} // namespace platform

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    platform::MessageBoxRequest request{
        .owner = owner,
        .text = platform::ShownMessageText(text ? std::u16string(text) : std::u16string()),
        .caption = caption ? std::u16string(caption) : std::u16string(u"Error"),
        .type = type,
    };
    platform::MessageBoxPolicy* policy = platform::g_installed_policy.load();
    return (policy ? *policy : platform::DefaultPolicy()).Show(request);
}

#include "platform/user/MessageBoxApi.h"

#include <atomic>

#include "platform/Environment.h"
#include "platform/user/MessageBoxPolicy.h"

namespace platform {

namespace {

std::atomic<MessageBoxPolicy*> g_installed_policy{nullptr};

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

MessageBoxPolicy* SetMessageBoxPolicy(MessageBoxPolicy* policy)
{
    return g_installed_policy.exchange(policy);
}

} // namespace platform

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    platform::MessageBoxRequest request{
        .owner = owner,
        .text = text ? std::u16string(text) : std::u16string(),
        .caption = caption ? std::u16string(caption) : std::u16string(u"Error"),
        .type = type,
    };
    platform::MessageBoxPolicy* policy = platform::g_installed_policy.load();
    return (policy ? *policy : platform::DefaultPolicy()).Show(request);
}

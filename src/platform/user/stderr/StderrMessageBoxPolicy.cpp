// Message boxes written to standard error, for headless runs and machines without a display.

#include <cstdio>

#include "platform/kernel/Unicode.h"
#include "platform/user/MessageBoxPolicy.h"

namespace platform {

namespace {

class StderrMessageBoxPolicy final : public MessageBoxPolicy
{
public:
    int Show(const MessageBoxRequest& request) override
    {
        const std::string caption = Utf16ToUtf8(request.caption);
        const std::string text = Utf16ToUtf8(request.text);
        std::fprintf(stderr, "[%s] (0x%X) %s\n", caption.c_str(), request.type, text.c_str());
        return DefaultButtonOfType(request.type);
    }
};

} // namespace

std::unique_ptr<MessageBoxPolicy> CreateStderrMessageBoxPolicy()
{
    return std::make_unique<StderrMessageBoxPolicy>();
}

} // namespace platform

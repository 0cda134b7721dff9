#include "foundation/ThreadBoundary.h"

#include "foundation/CExecException.h"
#include "foundation/CStringUTF8.h"
#include "platform/kernel/ThreadFailure.h"

void HandOverThreadFailure() noexcept
{
    try {
        try {
            throw;
        } catch (const CExecException& failure) {
            platform::PostThreadFailure(failure.GetMessage().GetText());
        } catch (const CStringUTF8& text) {
            platform::PostThreadFailure(text.GetText()); // the engine also throws bare texts
        } catch (...) {
            platform::PostThreadFailure(platform::DescribeStandardException());
        }
    } catch (...) {
        // Not even the text could be kept (no memory): the thread still ends quietly.
    }
}

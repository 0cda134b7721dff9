#pragma once
// The writers make test data on the test's own thread before the engine sees it. They are built
// without the thread sanitizer's checks, but its copies and fills of whole pictures, archives and
// match tables were still watched byte range by byte range: most of a screen test's time under the
// sanitizer. Nothing here is shared with another thread while it is made.

#if defined(VESK_TSAN_RUNTIME)
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

namespace tools {

class UnwatchedScope
{
public:
#if defined(VESK_TSAN_RUNTIME)
    UnwatchedScope() { __tsan_ignore_thread_begin(); }
    ~UnwatchedScope() { __tsan_ignore_thread_end(); }
#else
    UnwatchedScope() = default;
#endif
    UnwatchedScope(const UnwatchedScope&) = delete;
    UnwatchedScope& operator=(const UnwatchedScope&) = delete;
};

} // namespace tools

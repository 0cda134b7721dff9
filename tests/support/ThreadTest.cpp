#include "support/ThreadTest.h"

#include <atomic>
#include <cstdint>
#include <string>

#if !defined(__SANITIZE_THREAD__)
#include <dlfcn.h>
#include <pthread.h>
#endif

namespace {

std::atomic<uint64_t> s_threads_started{0};
bool s_marked = false; // the running test is on the base; the main thread only

} // namespace

#if !defined(__SANITIZE_THREAD__)
// Every thread of a test executable starts here, whoever starts it (the platform layer, the
// engine, the test itself), so the check below sees them all without a hook in the engine. The
// ThreadSanitizer build keeps its own interceptor: it runs only the labelled tests anyway.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* argument)
{
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    s_threads_started.fetch_add(1, std::memory_order_relaxed);
    return real(thread, attr, start, argument);
}
#endif

namespace {

class ThreadStartCheck final : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        s_marked = false;
        m_started_before = s_threads_started.load();
    }

    // Runs before the result printer's OnTestEnd (gtest calls the end events in reverse order of
    // registration), so the failure is printed with the test and fails its exit status.
    void OnTestEnd(const ::testing::TestInfo& info) override
    {
        const uint64_t started = s_threads_started.load() - m_started_before;
        if (started > 0 && !s_marked)
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " started " << started
                          << " thread(s) without the ThreadTest base: derive its fixture from "
                             "ThreadTest and end its suite's name in \""
                          << THREAD_SUITE_SUFFIX << "\", so the ThreadSanitizer run covers it";
    }

private:
    uint64_t m_started_before = 0;
};

} // namespace

void MarkThreadTest()
{
    s_marked = true;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info)
        return;
    const std::string_view suite = info->test_suite_name();
    // The same two shapes tests/CMakeLists.txt labels: a parameterised suite's name ends in the
    // suffix after its instantiation's prefix, a typed one's is followed by "/" and the index.
    const bool labelled = suite.ends_with(THREAD_SUITE_SUFFIX) ||
                          suite.find(std::string(THREAD_SUITE_SUFFIX) + "/") != std::string_view::npos;
    if (!labelled)
        ADD_FAILURE() << "suite " << suite << " is on the ThreadTest base: its name must end in \""
                      << THREAD_SUITE_SUFFIX << "\" so CTest labels it \"threads\"";
}

void InstallThreadTestCheck()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new ThreadStartCheck);
}

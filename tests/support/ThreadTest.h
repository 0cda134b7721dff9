#pragma once

// The base of every test that starts a thread. CTest labels the suites whose names end in
// "ThreadTest" "threads", and the ThreadSanitizer build (scripts/test.sh --tsan) runs that label.
// Two checks keep the label whole: the base fails a test whose suite is named otherwise, and the
// shared test main fails any test that starts a thread without the base.

#include <string_view>

#include <gtest/gtest.h>

inline constexpr std::string_view THREAD_SUITE_SUFFIX = "ThreadTest";

// Called by the base for the running test: checks its suite's name and tells the test main's
// check that this test may start threads.
void MarkThreadTest();

// Registers the check that fails a test which started a thread without the base.
void InstallThreadTestCheck();

// Fixture: the base for a test that needs nothing else; a fixture with its own base puts it under
// this one (ThreadTestOn<EffectFixture>, ThreadTestOn<::testing::TestWithParam<Driver>>).
template <class Base = ::testing::Test>
class ThreadTestOn : public Base
{
protected:
    using Base::Base;

private:
    // A member, so the base's own constructors (inherited above) mark the test too.
    struct Mark
    {
        Mark() { MarkThreadTest(); }
    };
    Mark m_thread_mark;
};

using ThreadTest = ThreadTestOn<>;

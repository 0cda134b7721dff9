#include "platform/TerminationSignals.h"

#include <csignal>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/kernel/IdleWait.h"

namespace {

// The handlers are process-wide and a request cannot be taken back: each case runs in a child.
template <class Body>
int InChild(Body body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(TerminationSignals, TheFirstSignalIsARequestTakenOnceAndTheSecondEndsTheProcess)
{
    for (const int signal_number : {SIGTERM, SIGINT}) {
        EXPECT_EQ(InChild([signal_number] {
                      platform::InstallTerminationHandlers();
                      if (platform::IsTerminationRequested() || platform::TakeTerminationRequest())
                          return 1;
                      raise(signal_number);
                      if (!platform::IsTerminationRequested() || !platform::TakeTerminationRequest())
                          return 2;
                      if (platform::TakeTerminationRequest() || !platform::IsTerminationRequested())
                          return 3;
                      raise(signal_number); // not handled any more: the system's end
                      return 4;
                  }),
                  128 + signal_number)
            << signal_number;
    }
}

TEST(TerminationSignals, ASignalIgnoredByTheStarterIsStillHandled)
{
    EXPECT_EQ(InChild([] {
                  signal(SIGINT, SIG_IGN);
                  platform::InstallTerminationHandlers();
                  raise(SIGINT);
                  return platform::TakeTerminationRequest() ? 0 : 1;
              }),
              0);
}

// The window thread's rest ends as the signal comes, not at its own end, however long that is.
TEST(TerminationSignals, ASignalWakesTheWindowThreadsRest)
{
    EXPECT_EQ(InChild([] {
                  static int woken[2];
                  if (pipe(woken) != 0)
                      return 1;
                  platform::SetIdleWake([] {
                      const char byte = 1;
                      [[maybe_unused]] const ssize_t written = write(woken[1], &byte, 1);
                  });
                  platform::InstallTerminationHandlers();
                  raise(SIGTERM);
                  pollfd wake{woken[0], POLLIN, 0};
                  return poll(&wake, 1, 10'000) == 1 ? 0 : 2; // a hang's bound, not a pace
              }),
              0);
}

} // namespace

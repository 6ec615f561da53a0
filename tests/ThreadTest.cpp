#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <pthread.h>
#include <regex>
#include <string>
#include <thread>

#include "AllocHook.h"
#include "FakeClock.h"
#include "LxiOSALRuntime.h"
#include "LxiThreadObject.h"
#include "StrA.h"

namespace {

using Runtime = CLxiOSALRuntime;

// Logs each life-cycle call with the state the worker saw: "S1E2W2E2W2D4"
// is Startup, two steps with their waits, and Shutdown. While m_hold names
// a call ('S' or 'D'), the worker waits at its entry. Every m_endAfter-th
// Execute ends the cycle itself by setting LXI_THRD_WAIT_FOR_START, and
// every Execute checks that its thread is detached.
class CRecorder : public CLxiThreadObject
{
public:
    explicit CRecorder(char const* pName = "recorder", unsigned int endAfter = 0)
        : CLxiThreadObject(pName), m_endAfter(endAfter) {}

    void Startup() override { Note('S'); }
    void Execute() override
    {
        Note('E');
        pthread_attr_t attributes;
        int detach = -1;
        if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
            pthread_attr_getdetachstate(&attributes, &detach);
            pthread_attr_destroy(&attributes);
        }
        if (detach != PTHREAD_CREATE_DETACHED)
            m_joinable = true;
        unsigned int const n = ++m_executes;
        if (m_endAfter != 0 && n % m_endAfter == 0)
            SetThreadState(LXI_THRD_WAIT_FOR_START);
    }
    void Shutdown() override { Note('D'); }
    void WaitForNextExecution() override
    {
        Note('W');
        if (m_pace)
            CLxiThreadObject::WaitForNextExecution();
    }

    std::string m_log;   // read only while the worker is parked or ended
    std::atomic<char> m_hold{0};
    std::atomic<unsigned int> m_executes{0};
    std::atomic<bool> m_joinable{false};
    bool m_pace = true;

private:
    void Note(char call)
    {
        while (m_hold.load() == call)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_log += call;
        m_log += static_cast<char>('0' + GetThreadState());
    }
    unsigned int const m_endAfter;   // 0: never
};

// Polls for up to 20 s: generous for a loaded machine or qemu.
template <typename Pred>
bool WaitUntil(Pred pred)
{
    for (int i = 0; i < 20000 && !pred(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return pred();
}

bool WaitForState(CLxiThreadObject const& thread, enumLxiThreadStates state)
{
    return WaitUntil([&] { return thread.GetThreadState() == state; });
}

}  // namespace

TEST(ThreadObject, NameAndInitialState)
{
    std::string const name31(31, 'n');
    lxitest::AllocCounter counter;
    CRecorder thread(name31.c_str());
    EXPECT_EQ(0u, counter.Count()) << "31 units fit the inline buffer";
    EXPECT_EQ(LXI_THRD_WAIT_FOR_START, thread.GetThreadState());
    EXPECT_STREQ(name31.c_str(), CStrA(thread.GetThreadName()).GetDataA());
}

TEST(ThreadControl, LifeCycleShutdownOnceAndRestart)
{
    CRecorder thread;
    std::regex const oneRun("S1(E2W2)+(E[23]W3)?D4");   // the last step may see the stop
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        std::string const before = thread.m_log;
        unsigned int const executes = thread.m_executes;
        thread.m_hold = 'D';
        ASSERT_TRUE(Runtime::CreateThread(thread));
        ASSERT_TRUE(WaitUntil([&] { return thread.m_executes >= executes + 3; }));
        Runtime::RequestStopThread(thread);

        // Parked in Shutdown: the cycle is over, but not terminated yet.
        ASSERT_TRUE(WaitForState(thread, LXI_THRD_SHUTDOWN));
        unsigned int const steps = thread.m_executes;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(LXI_THRD_SHUTDOWN, thread.GetThreadState());
        EXPECT_FALSE(Runtime::StopThreadAndWaitForTermination(thread, 0));
        EXPECT_EQ(steps, thread.m_executes.load());

        thread.m_hold = 0;
        ASSERT_TRUE(Runtime::StopThreadAndWaitForTermination(thread, 20000));
        std::string const log = thread.m_log.substr(before.size());
        EXPECT_TRUE(std::regex_match(log, oneRun)) << log;
        EXPECT_EQ(long(steps - executes), std::count(log.begin(), log.end(), 'E')) << log;
    }
    EXPECT_FALSE(thread.m_joinable) << "threads must be created detached";
}

TEST(ThreadControl, StopRequestedDuringStartupIsRepeated)
{
    CRecorder thread;
    thread.m_hold = 'S';
    ASSERT_TRUE(Runtime::CreateThread(thread));
    ASSERT_TRUE(WaitForState(thread, LXI_THRD_STARTUP));
    Runtime::RequestStopThread(thread);   // dropped: not running yet
    EXPECT_EQ(LXI_THRD_STARTUP, thread.GetThreadState());
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        thread.m_hold = 0;
    });
    EXPECT_TRUE(Runtime::StopThreadAndWaitForTermination(thread, 20000));
    release.join();
    EXPECT_TRUE(std::regex_match(thread.m_log, std::regex("S1(E2W2)*(E[23]W3)?D4"))) << thread.m_log;
}

// Execute ends each cycle itself; restarts after LXI_THRD_TERMINATED.
TEST(ThreadControl, ManyShortRunsLeaveNothingBehind)
{
    CRecorder thread("short", 1);
    thread.m_pace = false;
    for (unsigned int run = 1; run <= 200; ++run) {
        ASSERT_TRUE(Runtime::CreateThread(thread)) << run;
        // The state still says TERMINATED from the run before until this
        // one has begun.
        ASSERT_TRUE(WaitUntil([&] {
            return thread.m_executes == run && thread.GetThreadState() == LXI_THRD_TERMINATED;
        })) << run;
    }
    EXPECT_EQ(200u, thread.m_executes.load());
    std::string expected;
    for (int run = 0; run < 200; ++run)
        expected += "S1E2W0D4";
    EXPECT_EQ(expected, thread.m_log);
    EXPECT_FALSE(thread.m_joinable) << "unjoined threads keep their stacks";
}

// No thread runs here: the state is set directly and the sleeps are counted,
// not slept.
TEST(ThreadControl, StopAndWaitTimeoutRules)
{
    struct Case { enumLxiThreadStates state; unsigned int timeout; bool result;
                  enumLxiThreadStates after; unsigned int sleeps; };
    Case const cases[] = {
        {LXI_THRD_WAIT_FOR_START, 25, false, LXI_THRD_WAIT_FOR_START, 3},   // never started
        {LXI_THRD_RUNNING, 0, false, LXI_THRD_RUNNING, 0},   // no request with timeout 0
        {LXI_THRD_RUNNING, 25, false, LXI_THRD_STOP_REQUESTED, 3},
        {LXI_THRD_RUNNING, 30, false, LXI_THRD_STOP_REQUESTED, 3},
        {LXI_THRD_RUNNING, 31, false, LXI_THRD_STOP_REQUESTED, 4},   // every started 10 ms
        {LXI_THRD_STARTUP, 1, false, LXI_THRD_STARTUP, 1},
        {LXI_THRD_SHUTDOWN, 10, false, LXI_THRD_SHUTDOWN, 1},
        {LXI_THRD_TERMINATED, 0, true, LXI_THRD_TERMINATED, 0},
        {LXI_THRD_TERMINATED, 1000, true, LXI_THRD_TERMINATED, 0},   // ended: at once
    };
    CRecorder thread;
    lxitest::SleepRecorder recorder;
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << ", timeout " << c.timeout);
        thread.SetThreadState(c.state);
        unsigned long long const before = recorder.Microseconds();
        EXPECT_EQ(c.result, Runtime::StopThreadAndWaitForTermination(thread, c.timeout));
        EXPECT_EQ(c.after, thread.GetThreadState());
        EXPECT_EQ(c.sleeps * 10000ull, recorder.Microseconds() - before);
    }
}

TEST(ThreadControl, RequestStopOnlyWhileRunning)
{
    CRecorder thread;
    for (unsigned int s = LXI_THRD_WAIT_FOR_START; s <= LXI_THRD_TERMINATED; ++s) {
        auto const state = static_cast<enumLxiThreadStates>(s);
        thread.SetThreadState(state);
        Runtime::RequestStopThread(thread);
        EXPECT_EQ(state == LXI_THRD_RUNNING ? LXI_THRD_STOP_REQUESTED : state,
                  thread.GetThreadState());
    }
}

#include <gtest/gtest.h>

#include <chrono>
#include <pthread.h>
#include <regex>
#include <thread>

#include "TestUtil.h"
#include "LxiOSALRuntime.h"
#include "LxiThreadObject.h"

namespace {

using Runtime = CLxiOSALRuntime;

// Logs each call with the state the worker saw ("S1E2W2D4") and whether its thread is joinable. A self-ending
// object ends its cycle every third step.
class CRecorder : public CLxiThreadObject
{
public:
    explicit CRecorder(char const* pName, bool selfEnding = false) : CLxiThreadObject(pName), m_selfEnding(selfEnding) {}
    void Startup() override { std::this_thread::sleep_for(m_startupTime); Note('S'); }
    void Execute() override
    {
        Note('E');
        if (++m_executes % 3 == 0 && m_selfEnding)
            SetThreadState(LXI_THRD_WAIT_FOR_START);
        pthread_attr_t attributes;
        int detach = -1;
        ASSERT_EQ(0, pthread_getattr_np(pthread_self(), &attributes));
        pthread_attr_getdetachstate(&attributes, &detach);
        pthread_attr_destroy(&attributes);
        m_joinable = m_joinable || detach != PTHREAD_CREATE_DETACHED;
    }
    void Shutdown() override { Note('D'); }
    void WaitForNextExecution() override { Note('W'); CLxiThreadObject::WaitForNextExecution(); }

    std::string m_log;   // read once the worker has ended
    std::chrono::milliseconds m_startupTime{0};   // how long Startup takes
    std::atomic<unsigned int> m_executes{0};
    std::atomic<bool> m_joinable{false};
    bool const m_selfEnding;

    void Note(char call) { m_log += {call, static_cast<char>('0' + GetThreadState())}; }
};

}  // namespace

TEST(Thread, LifeCycleAndStopRules)
{
    auto const waitUntil = [](auto const& pred) {   // polls for up to 20 s: generous for a loaded machine or qemu
        for (int i = 0; i < 20000 && !pred(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return pred();
    };
    lxitest::AllocCounter counter;
    CRecorder thread(std::string(31, 'n').c_str());   // fits the inline buffer
    EXPECT_TRUE(counter.Count() == 0 && thread.GetThreadName().GetLength() == 31 &&
                thread.GetThreadState() == LXI_THRD_WAIT_FOR_START);

    // A stop asked while Startup runs is repeated until the cycle ends (maybe before its first step).
    thread.m_startupTime = std::chrono::milliseconds(30);
    ASSERT_TRUE(Runtime::CreateThread(thread) && waitUntil([&] { return thread.GetThreadState() == LXI_THRD_STARTUP; }));
    EXPECT_TRUE(Runtime::StopThreadAndWaitForTermination(thread, 20000));
    EXPECT_TRUE(std::regex_match(thread.m_log, std::regex("S1(E2W2)*(E[23]W[23])?D4"))) << thread.m_log;

    // Runs of a self-ending object end at once and leave nothing behind (detached); the 10 ms pauses are counted.
    CRecorder quick("quick", true);
    lxitest::SleepRecorder recorder;
    for (unsigned int run = 1; run <= 100; ++run)
        ASSERT_TRUE(Runtime::CreateThread(quick) &&
                    waitUntil([&] { return quick.m_executes == 3 * run && quick.GetThreadState() == LXI_THRD_TERMINATED; }))
            << run;
    EXPECT_TRUE(std::regex_match(quick.m_log, std::regex("(S1E2W2E2W2E2W0D4){100}"))) << quick.m_log;
    EXPECT_EQ(100 * 3 * 10000ull, recorder.Microseconds());
    EXPECT_FALSE(thread.m_joinable || quick.m_joinable) << "unjoined threads keep their stacks";

    // With the state set directly: true only when terminated; a stop is requested only when running, every 10 ms.
    struct Case { enumLxiThreadStates state; unsigned int timeout; enumLxiThreadStates after; unsigned int sleeps; };
    Case const cases[] = {
        {LXI_THRD_WAIT_FOR_START, 25, LXI_THRD_WAIT_FOR_START, 3}, {LXI_THRD_STARTUP, 10, LXI_THRD_STARTUP, 1},
        {LXI_THRD_STOP_REQUESTED, 10, LXI_THRD_STOP_REQUESTED, 1}, {LXI_THRD_SHUTDOWN, 10, LXI_THRD_SHUTDOWN, 1},
        {LXI_THRD_RUNNING, 0, LXI_THRD_RUNNING, 0}, {LXI_THRD_RUNNING, 30, LXI_THRD_STOP_REQUESTED, 3},
        {LXI_THRD_RUNNING, 31, LXI_THRD_STOP_REQUESTED, 4}, {LXI_THRD_TERMINATED, 1000, LXI_THRD_TERMINATED, 0},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << ", timeout " << c.timeout);
        lxitest::SleepRecorder sleeps;
        thread.SetThreadState(c.state);
        EXPECT_EQ(c.after == LXI_THRD_TERMINATED, Runtime::StopThreadAndWaitForTermination(thread, c.timeout));
        EXPECT_EQ(c.after, thread.GetThreadState());
        EXPECT_EQ(c.sleeps * 10000ull, sleeps.Microseconds());
    }
}

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <pthread.h>
#include <regex>
#include <string>
#include <thread>

#include "TestUtil.h"
#include "LxiOSALRuntime.h"
#include "LxiThreadObject.h"

namespace {

using Runtime = CLxiOSALRuntime;

// Logs each life-cycle call with the state the worker saw: "S1E2W2D4" is
// Startup, a step and its wait, and Shutdown. While m_hold names a call, the
// worker waits at its entry. With m_endAfter, every so many steps Execute
// ends the cycle itself. Each step notes whether its thread is joinable.
class CRecorder : public CLxiThreadObject
{
public:
    explicit CRecorder(char const* pName, unsigned int endAfter = 0) : CLxiThreadObject(pName), m_endAfter(endAfter) {}
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
        m_joinable = m_joinable || detach != PTHREAD_CREATE_DETACHED;
        if (++m_executes % (m_endAfter != 0 ? m_endAfter : ~0u) == 0)
            SetThreadState(LXI_THRD_WAIT_FOR_START);
    }
    void Shutdown() override { Note('D'); }
    void WaitForNextExecution() override
    {
        Note('W');
        if (m_endAfter == 0)
            CLxiThreadObject::WaitForNextExecution();
    }

    std::string m_log;   // read only while the worker is held or ended
    std::atomic<char> m_hold{0};
    std::atomic<unsigned int> m_executes{0};
    std::atomic<bool> m_joinable{false};

private:
    void Note(char call)
    {
        while (m_hold.load() == call)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        m_log += call;
        m_log += static_cast<char>('0' + GetThreadState());
    }
    unsigned int const m_endAfter;
};

// Polls for up to 20 s: generous for a loaded machine or qemu.
template <typename Pred>
bool WaitUntil(Pred pred)
{
    for (int i = 0; i < 20000 && !pred(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return pred();
}

}  // namespace

TEST(Thread, LifeCycle)
{
    std::string const name40(40, 'n');
    lxitest::AllocCounter counter;
    CRecorder thread(name40.substr(0, 31).c_str());   // fits the inline buffer
    EXPECT_TRUE(counter.Count() == 0 && thread.GetThreadName().GetLength() == 31 && thread.GetThreadState() == LXI_THRD_WAIT_FOR_START);
    EXPECT_EQ(40u, CRecorder(name40.c_str()).GetThreadName().GetLength());

    // First run: a stop asked during Startup is dropped, and the wait repeats
    // it once the cycle runs. Second run: held in Shutdown, the cycle is over
    // but not terminated.
    std::regex const oneRun("S1(E2W2)*E[23]W[23]D4");
    thread.m_hold = 'S';
    ASSERT_TRUE(Runtime::CreateThread(thread));
    ASSERT_TRUE(WaitUntil([&] { return thread.GetThreadState() == LXI_THRD_STARTUP; }));
    Runtime::RequestStopThread(thread);
    EXPECT_EQ(LXI_THRD_STARTUP, thread.GetThreadState());
    std::thread release([&] { std::this_thread::sleep_for(std::chrono::milliseconds(30)), thread.m_hold = 0; });
    EXPECT_TRUE(Runtime::StopThreadAndWaitForTermination(thread, 20000));
    release.join();
    EXPECT_TRUE(std::regex_match(thread.m_log, oneRun)) << thread.m_log;

    thread.m_log.clear();
    thread.m_hold = 'D';
    ASSERT_TRUE(Runtime::CreateThread(thread));
    ASSERT_TRUE(WaitUntil([&] { return thread.m_executes >= 3; }));
    Runtime::RequestStopThread(thread);
    ASSERT_TRUE(WaitUntil([&] { return thread.GetThreadState() == LXI_THRD_SHUTDOWN; }));
    EXPECT_FALSE(Runtime::StopThreadAndWaitForTermination(thread, 0) || Runtime::StopThreadAndWaitForTermination(thread, 30));
    thread.m_hold = 0;
    ASSERT_TRUE(Runtime::StopThreadAndWaitForTermination(thread, 20000));
    EXPECT_TRUE(std::regex_match(thread.m_log, oneRun)) << thread.m_log;

    // Execute ends each cycle itself; every run ends at once and leaves
    // nothing behind (the threads are detached).
    CRecorder quick("quick", 1);
    for (unsigned int run = 1; run <= 100; ++run) {
        ASSERT_TRUE(Runtime::CreateThread(quick)) << run;
        ASSERT_TRUE(WaitUntil([&] { return quick.m_executes == run && quick.GetThreadState() == LXI_THRD_TERMINATED; }));
    }
    EXPECT_TRUE(std::regex_match(quick.m_log, std::regex("(S1E2W0D4){100}"))) << quick.m_log;
    EXPECT_FALSE(thread.m_joinable || quick.m_joinable) << "unjoined threads keep their stacks";
}

// No thread runs here: the state is set directly and the sleeps are counted.
TEST(Thread, StopRules)
{
    struct Case { enumLxiThreadStates state; unsigned int timeout; bool result; enumLxiThreadStates after; unsigned int sleeps; };
    Case const cases[] = {
        {LXI_THRD_WAIT_FOR_START, 25, false, LXI_THRD_WAIT_FOR_START, 3},
        {LXI_THRD_RUNNING, 0, false, LXI_THRD_RUNNING, 0},   // no request with timeout 0
        {LXI_THRD_RUNNING, 30, false, LXI_THRD_STOP_REQUESTED, 3},
        {LXI_THRD_RUNNING, 31, false, LXI_THRD_STOP_REQUESTED, 4},   // every started 10 ms
        {LXI_THRD_SHUTDOWN, 10, false, LXI_THRD_SHUTDOWN, 1},
        {LXI_THRD_TERMINATED, 1000, true, LXI_THRD_TERMINATED, 0},
    };
    CRecorder thread("rules");
    lxitest::SleepRecorder recorder;
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << ", timeout " << c.timeout);
        thread.SetThreadState(c.state);
        unsigned long long const before = recorder.Microseconds();
        EXPECT_EQ(c.result, Runtime::StopThreadAndWaitForTermination(thread, c.timeout));
        EXPECT_EQ(c.after, thread.GetThreadState());
        EXPECT_EQ(c.sleeps * 10000ull, recorder.Microseconds() - before);
    }
    for (unsigned int state = LXI_THRD_WAIT_FOR_START; state <= LXI_THRD_TERMINATED; ++state) {
        thread.SetThreadState(static_cast<enumLxiThreadStates>(state));
        Runtime::RequestStopThread(thread);
        EXPECT_EQ(state == LXI_THRD_RUNNING ? LXI_THRD_STOP_REQUESTED : state, thread.GetThreadState());
    }
}

// Several processes on one error log, a writer killed mid-line again and
// again, torn logs and a full disk: one mark, every line whole and on its own.
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "ErrorHandler.h"
#include "TestUtil.h"

namespace {

using namespace std::string_literals;
std::string const kStamp = "2026-12-04 08:30:38 ";

// Line n of writer w; every 100th is 10,000 characters, more than a stdio buffer.
std::string Line(int w, int n)
{
    std::string text = kStamp + "w" + std::to_string(w) + " n" + std::to_string(n) + " ";
    text.resize(n % 100 == 0 ? 10020 : 60, static_cast<char>('a' + (w + n) % 26));
    return text;
}

void Log(int w, int n) { CErrorHandler::LogMsg(CStr(Line(w, n).c_str() + kStamp.size()), false); }

// Each line must be the next line of some writer, whole or cut short as the
// last one it wrote, and writer w must have at least finished[w] whole lines.
// Returns the count of lines cut short.
int Walk(std::string const& log, std::vector<int> const& finished)
{
    int const writers = static_cast<int>(finished.size());
    int cut = 0;
    std::vector<int> whole(writers, 0);
    std::vector<std::string> next;
    for (int w = 0; w < writers; ++w)
        next.push_back(Line(w, 0));
    std::size_t at = 0;
    for (std::size_t end; (end = log.find('\n', at)) != std::string::npos; at = end + 1) {
        std::string const line = log.substr(at, end - at);
        int w = 0;
        while (w < writers && (line.empty() || next[w].compare(0, line.size(), line) != 0))
            ++w;
        if (w == writers) {
            ADD_FAILURE() << "stray line " << line.substr(0, 60);   // a second mark shows as '?'
            return cut;
        }
        if (line.size() < next[w].size())
            next[w].clear(), ++cut;
        else
            next[w] = Line(w, ++whole[w]);
    }
    for (int w = 0; w < writers; ++w)
        EXPECT_GE(whole[w], finished[w]) << "writer " << w;
    return cut;
}

class LogProcess : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_pShared != MAP_FAILED); }
    ~LogProcess() override { munmap(const_cast<int*>(m_pShared), 4096); }
    lxitest::LogRoot m_root{true};
    int volatile* const m_pShared = static_cast<int*>(   // seen by the test and its writers
        mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    lxitest::FakeClock m_clock{1796373038, 0};   // kStamp
};

TEST_F(LogProcess, EightProcessesStartTogetherOnANewLog)
{
    constexpr int kWriters = 8, kLines = 1000;
    for (int w = 0; w < kWriters; ++w)
        if (fork() == 0) {
            while (m_pShared[0] == 0)   // all go at once
                usleep(10);
            for (int n = 0; n < kLines; ++n)
                Log(w, n);
            std::_Exit(0);
        }
    m_pShared[0] = 1;
    for (int w = 0; w < kWriters; ++w)
        wait(nullptr);
    EXPECT_EQ(0, Walk(m_root.Log(), std::vector<int>(kWriters, kLines)));   // none cut short
}

TEST_F(LogProcess, WriterKilledAtRandomMomentsLosesNoFinishedLine)
{
    constexpr int kKills = 20;
    unsigned int const seed = std::random_device()();
    std::mt19937 moments(seed);
    for (int w = 0; w < kKills; ++w) {   // m_pShared[w]: lines whose LogMsg returned
        pid_t const pid = fork();
        if (pid == 0)
            for (int n = 0;; m_pShared[w] = ++n)   // the writer, until killed
                Log(w, n);
        ASSERT_GT(pid, 0);   // kill(-1) would reach every process
        for (int tries = 0; m_pShared[w] == 0 && tries < 100000; ++tries)
            usleep(100);   // until it has logged a line, then a random moment
        usleep(static_cast<useconds_t>(moments() % 5000));
        kill(pid, SIGKILL);
        EXPECT_EQ(pid, waitpid(pid, nullptr, 0));
    }
    Log(kKills, 0);   // started once more after the last kill
    m_pShared[kKills] = 1;
    int const cut = Walk(m_root.Log(), std::vector<int>(m_pShared, m_pShared + kKills + 1));
    std::printf("seed %u: %d kills, %d lines cut short\n", seed, kKills, cut);
}

TEST_F(LogProcess, LineAfterATornLogStandsAloneAndAFullDiskFallsBackToStderr)
{
    struct Case { char const* name; std::string before, between; };
    Case const cases[] = {
        {"half a mark", "\xFF"s, "\xFE"s},
        {"mark only", "\xFF\xFE"s, ""s},
        {"line cut short", "\xFF\xFE" "a\0"s, "\n\0"s},
        {"cut at an odd byte", "\xFF\xFE" "a\0b"s, "\0\n\0"s},
        {"cut in a line feed", "\xFF\xFE" "a\0\n"s, "\0"s},
        {"no mark", "a\0"s, "\n\0"s},
    };
    std::string const path = m_root.Path("Data/ErrorLog.log");
    std::string line;   // the line logged, in UTF-16
    for (char c : kStamp + "x\n")
        line += {c, '\0'};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        lxitest::WriteFile(path, c.before);
        CErrorHandler::LogMsg(CStr("x"), false);
        EXPECT_EQ(c.before + c.between + line, lxitest::ReadFile(path));
    }
    // A full disk takes nothing: the line goes to standard error instead.
    std::remove(path.c_str());
    ASSERT_EQ(0, symlink("/dev/full", path.c_str()));
    EXPECT_EQ(kStamp + "x\n", lxitest::CaptureStderr([] { CErrorHandler::LogMsg(CStr("x"), false); }));
}

}  // namespace

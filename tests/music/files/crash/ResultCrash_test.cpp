// Kills a process that appends, rewrites and purges results at random moments, and checks
// after every kill that the result file holds a whole, consistent state.
#include "music/data/ResultFiles.h"
#include "support/NoWait.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::uint16_t kUser = 5;
constexpr int kMinKills = 100;
constexpr int kMaxKills = 2000;
constexpr auto kProgressTimeout = std::chrono::seconds(60);

using test::NoWait;

/// A record whose every field follows from its sequence number and generation, so a record
/// made of two writes, or one of an older state, shows.
TResultRec MakeRecord(int seq, int generation)
{
    TResultRec r;
    r.UserId = kUser;
    r.Kind = static_cast<std::uint16_t>(1 + seq % 10);
    r.DateTime = seq;
    r.Duration = 2.0 * seq;
    r.Score = static_cast<std::uint16_t>(generation);
    r.Count = static_cast<std::uint16_t>(seq);
    r.SetupName = QStringLiteral("r%1").arg(seq);
    for (std::size_t i = 0; i < r.Items.size(); ++i)
        r.Items[i] = {static_cast<std::uint16_t>(seq * 31 + static_cast<int>(i)),
                      static_cast<std::uint16_t>(generation)};
    return r;
}

bool Consistent(const TResultRec& r, int& seq, int& generation)
{
    seq = static_cast<int>(r.DateTime);
    generation = r.Score;
    const TResultRec expected = MakeRecord(seq, generation);
    return r.UserId == expected.UserId && r.Kind == expected.Kind &&
           r.Duration == expected.Duration && r.Count == expected.Count &&
           r.SetupName == expected.SetupName && r.Items == expected.Items;
}

void Report(int fd, char op, int value)
{
    char line[32];
    const int n = std::snprintf(line, sizeof line, "%c %d\n", op, value);
    if (write(fd, line, static_cast<std::size_t>(n)) < 0)
        _exit(3);
}

/// The writer: continues from what the file holds and reports every completed operation.
[[noreturn]] void RunWriter(const Folders& folders, int reportFd, unsigned seed)
{
    test::ScriptedPrompts prompts;
    prompts.defaultButton = PromptButton::Ok;
    NoWait wait;
    const UIStringTable strings;
    DataFiles data(folders, prompts, wait, strings);
    ResultLists results;
    std::mt19937 random(seed);
    for (;;) {
        LoadResults(data, results, kUser);
        const ResultEntries& list = *results.ResultList;
        const int last = list.empty() ? 0 : static_cast<int>(list.back().Object->Record.DateTime);
        const int first =
            list.empty() ? last + 1 : static_cast<int>(list.front().Object->Record.DateTime);
        const int generation = list.empty() ? 0 : list.front().Object->Record.Score;
        const unsigned op = random() % 10;
        if (op < 6 || list.size() < 3) {
            if (!AppendResult(data, MakeRecord(last + 1, generation)))
                _exit(2);
            Report(reportFd, 'A', last + 1);
        } else if (op < 9) {
            for (const auto& entry : list)
                entry.Object->Record =
                    MakeRecord(static_cast<int>(entry.Object->Record.DateTime), generation + 1);
            if (!RewriteResults(data, results))
                _exit(2);
            Report(reportFd, 'R', generation + 1);
        } else if (list.size() > 30) {
            const int cutoff = first + 1 + static_cast<int>(random() % 10);
            // Told before: once begun, a purge may be complete whether or not it is reported.
            Report(reportFd, 'P', cutoff);
            if (!PurgeResults(data, kUser, cutoff))
                _exit(2);
        }
    }
}

struct Acknowledged
{
    int lastStored = 0;  ///< highest sequence number whose append completed
    int purgedBelow = 1; ///< records below this may be gone
    int generation = 0;  ///< generation of the last completed rewrite
    int completed = 0;   ///< appends and rewrites reported complete
};

/// Collects the writer's reports: whole lines only, a partial one waits in pending.
class ReportReader
{
public:
    explicit ReportReader(int fd) : m_fd(fd) {}

    /// Waits up to timeoutMs (-1: for ever) for more; false once the reports have ended.
    bool ReadSome(Acknowledged& acked, int timeoutMs)
    {
        pollfd p{m_fd, POLLIN, 0};
        const int ready = poll(&p, 1, timeoutMs);
        if (ready == 0 || (ready < 0 && errno == EINTR))
            return true;
        if (ready < 0)
            return false;
        char buffer[4096];
        const ssize_t n = read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            return true;
        if (n <= 0)
            return false;
        m_pending.append(buffer, static_cast<std::size_t>(n));
        Parse(acked);
        return true;
    }

    /// Reads until the writer's end is closed (it is dead by then).
    void ReadToEnd(Acknowledged& acked)
    {
        while (ReadSome(acked, -1)) {
        }
    }

private:
    void Parse(Acknowledged& acked)
    {
        std::size_t at = 0;
        for (;;) {
            const std::size_t end = m_pending.find('\n', at);
            if (end == std::string::npos)
                break;
            const char op = m_pending[at];
            const int value = std::atoi(m_pending.c_str() + at + 2);
            if (op == 'A') {
                acked.lastStored = std::max(acked.lastStored, value);
                ++acked.completed;
            } else if (op == 'P') {
                acked.purgedBelow = std::max(acked.purgedBelow, value);
            } else if (op == 'R') {
                acked.generation = std::max(acked.generation, value);
                ++acked.completed;
            }
            at = end + 1;
        }
        m_pending.erase(0, at);
    }

    int m_fd;
    std::string m_pending;
};

TEST(ResultFilesCrash, KilledWritersLeaveOldOrNewContentAndKeepEveryStoredRecord)
{
    test::TempDir dir;
    const Folders folders{dir.Path(), dir.Path() + QStringLiteral("Data/")};
    ASSERT_EQ(CreateDataFolders(folders), std::nullopt);
    const QString file = ResultFolder(folders) + QStringLiteral("User005.dat");

    std::mt19937 random(20261210);
    Acknowledged acked;
    int kills = 0;
    int tornTails = 0;
    // Every writer is killed only after it reported a completed append or rewrite, then at a
    // random moment of the operations that follow, so each round covers new work however
    // slow the machine. Rounds go on until appends, rewrites and purges have all been seen
    // often; the cap counts rounds, never time.
    const auto covered = [&] {
        return kills >= kMinKills && acked.lastStored > 100 && acked.generation > 10 &&
               acked.purgedBelow > 1;
    };
    while (!covered() && kills < kMaxKills) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            RunWriter(folders, pipeFds[1], static_cast<unsigned>(kills) * 7919U + 1U);
        }
        close(pipeFds[1]);
        ReportReader reports(pipeFds[0]);
        const int before = acked.completed;
        bool alive = true;
        // A writer that completes nothing in a minute is stuck, not slow.
        const auto deadline = std::chrono::steady_clock::now() + kProgressTimeout;
        while (alive && acked.completed == before && std::chrono::steady_clock::now() < deadline)
            alive = reports.ReadSome(acked, 1000);
        const bool progressed = acked.completed > before;
        if (progressed)
            usleep(random() % 10000);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped on its own with status " << status;
        reports.ReadToEnd(acked);
        close(pipeFds[0]);
        ASSERT_TRUE(progressed) << "the writer completed nothing in round " << kills;
        ++kills;

        const std::vector<std::uint8_t> bytes = dir.Read(file.mid(dir.Path().size()));
        // Only an interrupted append can leave a piece of a record, and only at the end.
        if (bytes.size() % kResultRecSize != 0)
            ++tornTails;
        const std::size_t whole = bytes.size() / kResultRecSize;
        int firstSeq = 0;
        int previous = 0;
        int fileGeneration = -1;
        for (std::size_t i = 0; i < whole; ++i) {
            const auto rec =
                DecodeResultRec(std::span(bytes).subspan(i * kResultRecSize, kResultRecSize));
            int seq = 0;
            int generation = 0;
            ASSERT_TRUE(Consistent(*rec, seq, generation))
                << "record " << i << " after kill " << kills;
            if (i == 0) {
                firstSeq = seq;
                fileGeneration = generation;
            } else {
                ASSERT_EQ(seq, previous + 1) << "records missing or repeated after kill " << kills;
                ASSERT_EQ(generation, fileGeneration) << "a rewrite was torn after kill " << kills;
            }
            previous = seq;
        }
        const int lo = std::max(acked.purgedBelow, 1);
        if (lo <= acked.lastStored) {
            ASSERT_GT(whole, 0U) << "stored records lost after kill " << kills;
            ASSERT_LE(firstSeq, lo) << "stored records lost after kill " << kills;
            ASSERT_GE(previous, acked.lastStored) << "stored records lost after kill " << kills;
        }
        if (whole > 0) {
            ASSERT_GE(fileGeneration, acked.generation) << "a completed rewrite was undone";
        }
    }
    std::printf("%d kills, %d appends, generation %d, purged below %d, %d torn tails\n", kills,
                acked.lastStored, acked.generation, acked.purgedBelow, tornTails);
    EXPECT_GE(kills, kMinKills);
    EXPECT_GT(acked.lastStored, 100);
    EXPECT_GT(acked.generation, 10);
    EXPECT_GT(acked.purgedBelow, 1);
}

} // namespace
} // namespace pv

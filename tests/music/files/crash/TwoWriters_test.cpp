// Two processes write one data file at once, through the lock, updates in place, appends and
// whole-file replacements, and afterwards every record each one stored is there as written.
#include "music/data/SharedFile.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::size_t kRecordSize = 24;
constexpr int kKeysPerWriter = 12;
constexpr int kOperationsPerWriter = 400;

/// Both writers' file operations in one place, whatever they return: a failure ends the
/// writer with this status, which the test reports.
constexpr int kExitLockRefused = 10;
constexpr int kExitUpdateFailed = 11;
constexpr int kExitReadFailed = 12;
constexpr int kExitReplaceFailed = 13;
constexpr int kExitReportFailed = 14;

/// A record: writer, key and version, the rest bytes that follow from all three, so a record
/// torn, mixed with another or of an older version shows.
std::array<std::uint8_t, kRecordSize> MakeRecord(int writer, int key, std::uint32_t version)
{
    std::array<std::uint8_t, kRecordSize> r{};
    r[0] = static_cast<std::uint8_t>(writer);
    r[1] = static_cast<std::uint8_t>(key);
    for (int i = 0; i < 4; ++i)
        r[2 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(version >> (8 * i));
    for (std::size_t i = 6; i < kRecordSize; ++i)
        r[i] = static_cast<std::uint8_t>(writer * 97 + key * 31 + version * 7 + i);
    return r;
}

struct Identity
{
    int writer = 0;
    int key = 0;
    std::uint32_t version = 0;
};

Identity Identify(std::span<const std::uint8_t> r)
{
    Identity id{r[0], r[1], 0};
    for (int i = 0; i < 4; ++i)
        id.version |= static_cast<std::uint32_t>(r[2 + static_cast<std::size_t>(i)]) << (8 * i);
    return id;
}

bool Succeeded(const auto& outcome)
{
    return static_cast<bool>(outcome);
}

/// Busy while the other writer holds the lock: a short pause, not 200 ms, to hand over often.
class ShortWait final : public IBusyWait
{
public:
    void Wait200ms() override
    {
        ++waits;
        usleep(200);
    }
    int waits = 0;
};

/// The writer: its own keys only, each at its latest version or deleted, through three ways of
/// writing. Reports its final records (key and version, deleted ones left out) and its waits.
[[noreturn]] void RunWriter(const QString& path, int writer, int startFd, int reportFd)
{
    char go = 0;
    if (read(startFd, &go, 1) < 0)
        _exit(kExitReportFailed);
    test::ScriptedPrompts prompts;
    prompts.defaultButton = PromptButton::Retry; // never give up: the other one lets go soon
    ShortWait wait;
    const UIStringTable strings;
    std::mt19937 random(static_cast<unsigned>(1000 + writer));
    std::map<int, std::uint32_t> mine; // key -> version stored
    std::uint32_t nextVersion = 1;
    const auto isMine = [writer](std::span<const std::uint8_t> r, int key) {
        const Identity id = Identify(r);
        return id.writer == writer && id.key == key;
    };

    for (int op = 0; op < kOperationsPerWriter; ++op) {
        auto opened = OpenShared(path, QStringLiteral("Data file"), prompts, wait, strings);
        if (!opened)
            _exit(kExitLockRefused);
        SharedFile& file = opened.Value();
        const unsigned choice = random() % 10;
        if (choice < 6) {
            // Update in place, else append.
            const int key = static_cast<int>(random() % kKeysPerWriter);
            const std::uint32_t version = nextVersion++;
            const auto record = MakeRecord(writer, key, version);
            if (!Succeeded(UpdateOrAppendRecord(
                    file, [&](std::span<const std::uint8_t> r) { return isMine(r, key); }, record)))
                _exit(kExitUpdateFailed);
            mine[key] = version;
        } else {
            // Whole-file replacement: the other writer's records copied unchanged, ours given
            // a new version, one of ours sometimes left out.
            const std::int64_t size = file.Size();
            if (size < 0)
                _exit(kExitReadFailed);
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
            if (!file.ReadAt(0, bytes))
                _exit(kExitReadFailed);
            bytes.resize(bytes.size() / kRecordSize * kRecordSize);
            const int dropped = choice == 9 && !mine.empty()
                                    ? std::next(mine.begin(), random() % mine.size())->first
                                    : -1;
            std::vector<std::uint8_t> replaced;
            std::map<int, std::uint32_t> next;
            for (std::size_t at = 0; at < bytes.size(); at += kRecordSize) {
                const auto r = std::span<const std::uint8_t>(bytes).subspan(at, kRecordSize);
                const Identity id = Identify(r);
                if (id.writer != writer) {
                    replaced.insert(replaced.end(), r.begin(), r.end());
                } else if (id.key != dropped) {
                    const std::uint32_t version = nextVersion++;
                    const auto record = MakeRecord(writer, id.key, version);
                    replaced.insert(replaced.end(), record.begin(), record.end());
                    next[id.key] = version;
                }
            }
            if (!Succeeded(file.ReplaceContents(replaced)))
                _exit(kExitReplaceFailed);
            mine = next;
        }
    }

    std::string report;
    for (const auto& [key, version] : mine)
        report += std::to_string(key) + ' ' + std::to_string(version) + '\n';
    report += "waits " + std::to_string(wait.waits) + '\n';
    if (write(reportFd, report.data(), report.size()) != static_cast<ssize_t>(report.size()))
        _exit(kExitReportFailed);
    _exit(0);
}

struct WriterReport
{
    std::map<int, std::uint32_t> records;
    int waits = 0;
};

WriterReport ReadReport(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    WriterReport report;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            break;
        const std::string line = text.substr(at, end - at);
        if (line.rfind("waits ", 0) == 0) {
            report.waits = std::stoi(line.substr(6));
        } else {
            const std::size_t space = line.find(' ');
            report.records[std::stoi(line.substr(0, space))] =
                static_cast<std::uint32_t>(std::stoul(line.substr(space + 1)));
        }
        at = end + 1;
    }
    return report;
}

TEST(SharedFileTwoWriters, UpdatesAppendsAndReplacementsAtOnceLoseNothing)
{
    test::TempDir dir;
    const QString path = dir.File(QStringLiteral("Shared.dat"));
    int startFds[2];
    ASSERT_EQ(pipe(startFds), 0);

    struct Child
    {
        pid_t pid = -1;
        int reportFd = -1;
    };
    std::array<Child, 2> children;
    for (int writer = 0; writer < 2; ++writer) {
        int reportFds[2];
        ASSERT_EQ(pipe(reportFds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(startFds[1]);
            close(reportFds[0]);
            RunWriter(path, writer + 1, startFds[0], reportFds[1]);
        }
        close(reportFds[1]);
        children[static_cast<std::size_t>(writer)] = {pid, reportFds[0]};
    }
    // Both start at once: closing the start pipe wakes them together.
    close(startFds[0]);
    close(startFds[1]);

    std::array<WriterReport, 2> reports;
    for (std::size_t i = 0; i < children.size(); ++i) {
        reports[i] = ReadReport(children[i].reportFd);
        close(children[i].reportFd);
        int status = 0;
        ASSERT_EQ(waitpid(children[i].pid, &status, 0), children[i].pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "writer " << i + 1 << " failed with status " << status;
    }

    const std::vector<std::uint8_t> bytes = dir.Read(QStringLiteral("Shared.dat"));
    ASSERT_EQ(bytes.size() % kRecordSize, 0U) << "the file is not a whole number of records";
    std::array<std::map<int, std::uint32_t>, 2> found;
    for (std::size_t at = 0; at < bytes.size(); at += kRecordSize) {
        const auto r = std::span<const std::uint8_t>(bytes).subspan(at, kRecordSize);
        const Identity id = Identify(r);
        ASSERT_TRUE(id.writer == 1 || id.writer == 2) << "record " << at / kRecordSize;
        const auto expected = MakeRecord(id.writer, id.key, id.version);
        ASSERT_TRUE(std::equal(r.begin(), r.end(), expected.begin()))
            << "record " << at / kRecordSize << " is torn or mixed";
        auto& mine = found[static_cast<std::size_t>(id.writer - 1)];
        ASSERT_EQ(mine.count(id.key), 0U)
            << "writer " << id.writer << " key " << id.key << " is in the file twice";
        mine[id.key] = id.version;
    }
    for (std::size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "writer " << i + 1);
        // Every record the writer last stored, at the version it stored; none it left out.
        EXPECT_EQ(found[i], reports[i].records);
    }
    std::printf("%zu records; the writers waited %d and %d times for the lock\n",
                bytes.size() / kRecordSize, reports[0].waits, reports[1].waits);
}

} // namespace
} // namespace pv

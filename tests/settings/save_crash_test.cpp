// Kills a process in the middle of its settings saves, again and again, and checks every file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

#include "common/common_unit.h"
#include "common/platform.h"
#include "tests/settings/save_generations.h"
#include "tests/support/test_seed.h"

#ifdef _WIN32
#include <windows.h>

#include "common/wtext.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {


std::u16string scratchDir(const char* name) {
    std::u16string dir = platform::ModulePath();
    dir.resize(dir.rfind(platform::PathSeparator()) + 1);
    dir += u"crash_";
    dir += platform::FromUtf8(name);
    dir += platform::PathSeparator();
    platform::CreateFolders(dir);
    return dir;
}

// The writer runs in a process of its own and is killed hard; the helpers start it and kill it.
class Writer {
public:
#ifdef _WIN32
    Writer(const std::u16string& path, savegen::Mode mode) {
        std::u16string exe = platform::ModulePath();
        exe.resize(exe.rfind(u'\\') + 1);
        exe += u"tess_save_writer.exe";
        const std::u16string eventName = u"tess_save_writer_" + platform::FromUtf8(std::to_string(GetCurrentProcessId()));
        FRunning = CreateEventW(nullptr, TRUE, FALSE, W(eventName));
        // The event of the previous round may still be around, signalled.
        if (FRunning) ResetEvent(FRunning);
        std::u16string cmd = u"\"" + exe + u"\" \"" + path + u"\" " +
                             (mode == savegen::Mode::Atomic ? u"atomic " : u"inplace ") + eventName;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!FRunning || !CreateProcessW(W(exe), W(cmd.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        CloseHandle(pi.hThread);
        FProcess = pi.hProcess;
        const HANDLE both[2] = {FRunning, FProcess};
        FStarted = WaitForMultipleObjects(2, both, FALSE, 30000) == WAIT_OBJECT_0;
    }
    ~Writer() {
        Kill();
        if (FRunning) CloseHandle(FRunning);
    }
    bool Started() const { return FStarted; }
    // Kills the writer; true when it was still running, as it should be.
    bool Kill() {
        if (!FProcess) return false;
        const bool alive = WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT;
        TerminateProcess(FProcess, 9);
        WaitForSingleObject(FProcess, INFINITE);
        CloseHandle(FProcess);
        FProcess = nullptr;
        return alive;
    }

private:
    HANDLE FRunning = nullptr;
    HANDLE FProcess = nullptr;
    bool FStarted = false;
#else
    Writer(const std::u16string& path, savegen::Mode mode) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        const pid_t parent = ::getpid();
        FPid = ::fork();
        if (FPid == 0) {
            ::close(fds[0]);
            const char ready = 1;
            if (::write(fds[1], &ready, 1) != 1) ::_exit(3);
            // Stops on its own should the test die before it can kill this process.
            while (::getppid() == parent)
                if (savegen::SaveNext(path, mode) < 0) ::_exit(4);
            ::_exit(0);
        }
        ::close(fds[1]);
        char ready = 0;
        FStarted = FPid > 0 && ::read(fds[0], &ready, 1) == 1;
        ::close(fds[0]);
    }
    ~Writer() { Kill(); }
    bool Started() const { return FStarted; }
    bool Kill() {
        if (FPid <= 0) return false;
        int status = 0;
        const bool alive = ::waitpid(FPid, &status, WNOHANG) == 0;
        if (alive) {
            ::kill(FPid, SIGKILL);
            ::waitpid(FPid, &status, 0);
        }
        FPid = -1;
        return alive;
    }

private:
    pid_t FPid = -1;
    bool FStarted = false;
#endif
};

struct RunResult {
    int kills = 0;
    int torn = 0;
    int generations = 0;
    // Kills after which a temporary file had changed and was still there: kills that met a write.
    int midWrite = 0;
    // Temporary files beside the settings file after the last kill.
    int leftovers = 0;
};

// The files beside dir's Zib.ini that saves made, whatever their names: each with its content.
std::map<std::u16string, std::string> tempFiles(const std::u16string& dir) {
    std::map<std::u16string, std::string> files;
    for (const auto& e : platform::FindEntries(dir + u"*"))
        if (!e.isDirectory && e.name.starts_with(u"Zib.ini") && e.name != u"Zib.ini")
            platform::ReadFileBytes(dir + e.name, files[e.name]);
    return files;
}

void removeTempFiles(const std::u16string& dir) {
    for (const auto& [name, bytes] : tempFiles(dir)) platform::RemoveFile(dir + name);
}

// Time of one writer step here, so that the kills spread over a few steps on any machine.
int stepMicroseconds(const std::u16string& path) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) savegen::SaveNext(path, savegen::Mode::Atomic);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    return static_cast<int>(us.count() / 3) + 1;
}

// Starts the writer iterations times, kills it after a random delay and checks the file after
// each kill. A file that is not byte for byte one of the generations counts as torn; it is
// put back to the last good generation before the next round.
RunResult killRepeatedly(const char* name, savegen::Mode mode, int iterations, std::uint32_t seed) {
    const std::u16string dir = scratchDir(name);
    const std::u16string path = dir + u"Zib.ini";
    const std::u16string scratch = dir + u"expected.ini";
    std::mt19937 rng(seed);
    platform::RemoveFile(path);
    removeTempFiles(dir);
    EXPECT_TRUE(platform::WriteFileAtomic(path, savegen::ExpectedBytes(0, scratch)));
    const int step = stepMicroseconds(path);
    std::printf("one save step takes %d us here\n", step);
    // Kills from the start of the first step to the end of the third.
    std::uniform_int_distribution<int> delayUs(0, 3 * step);
    std::string good;
    platform::ReadFileBytes(path, good);
    int lastGen = savegen::StoredGeneration(path);
    RunResult r;
    for (int i = 0; i < iterations; ++i) {
        SCOPED_TRACE("round " + std::to_string(i));
        // What saves cut short left stays: the next save has to take care of it.
        const auto tempBefore = tempFiles(dir);
        {
            Writer w(path, mode);
            if (!w.Started()) {
                ADD_FAILURE() << "writer did not start";
                return r;
            }
#ifdef _WIN32
            Sleep(static_cast<DWORD>((delayUs(rng) + 500) / 1000));
#else
            ::usleep(static_cast<useconds_t>(delayUs(rng)));
#endif
            if (!w.Kill()) ADD_FAILURE() << "writer ended before it was killed";
        }
        ++r.kills;
        const auto tempAfter = tempFiles(dir);
        r.midWrite += !tempAfter.empty() && tempAfter != tempBefore ? 1 : 0;
        std::string bytes;
        const bool read = platform::ReadFileBytes(path, bytes);
        const int gen = read ? savegen::StoredGeneration(path) : -1;
        if (gen >= lastGen && bytes == savegen::ExpectedBytes(gen, scratch)) {
            r.generations += gen - lastGen;
            lastGen = gen;
            good = std::move(bytes);
        } else {
            ++r.torn;
            platform::WriteFileAtomic(path, good);
        }
    }
    r.leftovers = static_cast<int>(tempFiles(dir).size());
    return r;
}

class SaveCrashTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartCommonUnit(); }
    static void TearDownTestSuite() { EndCommonUnit(); }
};

TEST_F(SaveCrashTest, KilledSavesLeaveTheOldOrTheNewFileWhole) {
    const RunResult r = killRepeatedly("atomic", savegen::Mode::Atomic, 100, testsupport::freshSeed());
    std::printf("atomic saves: %d kills (%d in the middle of a write), %d torn files, %d generations saved, "
                "%d temporary files left\n",
                r.kills, r.midWrite, r.torn, r.generations, r.leftovers);
    EXPECT_EQ(r.kills, 100);
    EXPECT_EQ(r.torn, 0);
    // Saves cut short do not pile up files beside the settings.
    EXPECT_LE(r.leftovers, 1);
    // The kills must have met the writer at work, or the test proves nothing.
    EXPECT_GT(r.generations, 0);
    EXPECT_GT(r.midWrite, 0);
}

// What the atomic save protects against: the same writer overwriting the file in place. Only
// measured; how often a kill tears the file depends on the machine.
TEST_F(SaveCrashTest, InPlaceWritesTearFiles) {
    const RunResult r = killRepeatedly("inplace", savegen::Mode::InPlace, 30, testsupport::freshSeed());
    std::printf("in-place writes: %d kills, %d torn files (%.0f %%), %d generations saved\n", r.kills, r.torn,
                100.0 * r.torn / (r.kills ? r.kills : 1), r.generations);
    EXPECT_EQ(r.kills, 30);
}

}  // namespace

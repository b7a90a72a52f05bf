// The kill harness of the crash tests: a writer process killed at random moments.
#include "tests/settings/save_kills.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "common/platform.h"

#ifdef _WIN32
#include <windows.h>

#include "common/wtext.h"
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace savegen {

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
    Writer(const std::u16string& path, Mode mode) {
        std::u16string exe = platform::ModulePath();
        exe.resize(exe.rfind(u'\\') + 1);
        exe += u"tess_save_writer.exe";
        const std::u16string eventName = u"tess_save_writer_" + platform::FromUtf8(std::to_string(GetCurrentProcessId()));
        FRunning = CreateEventW(nullptr, TRUE, FALSE, W(eventName));
        // The event of the previous round may still be around, signalled.
        if (FRunning) ResetEvent(FRunning);
        std::u16string cmd = u"\"" + exe + u"\" \"" + path + u"\" " +
                             (mode == Mode::Atomic ? u"atomic " : u"inplace ") + eventName;
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
    Writer(const std::u16string& path, Mode mode) {
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
                if (SaveNext(path, mode) < 0) ::_exit(4);
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
    for (int i = 0; i < 3; ++i) SaveNext(path, Mode::Atomic);
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0);
    return static_cast<int>(us.count() / 3) + 1;
}

}  // namespace

bool IsGeneration(const std::string& bytes, int n, const std::u16string& scratchPath) {
    return n >= 0 && bytes == ExpectedBytes(n, scratchPath);
}

RunResult KillRepeatedly(const char* name, Mode mode, int iterations, std::uint32_t seed) {
    const std::u16string dir = scratchDir(name);
    const std::u16string path = dir + u"Zib.ini";
    const std::u16string scratch = dir + u"expected.ini";
    std::mt19937 rng(seed);
    platform::RemoveFile(path);
    removeTempFiles(dir);
    RunResult r;
    if (!platform::WriteFileAtomic(path, ExpectedBytes(0, scratch))) {
        r.failure = "the first generation could not be written";
        return r;
    }
    const int step = stepMicroseconds(path);
    std::printf("one save step takes %d us here\n", step);
    // Kills from the start of the first step to the end of the third.
    std::uniform_int_distribution<int> delayUs(0, 3 * step);
    std::string good;
    platform::ReadFileBytes(path, good);
    int lastGen = StoredGeneration(path);
    for (int i = 0; i < iterations; ++i) {
        // What saves cut short left stays: the next save has to take care of it.
        const auto tempBefore = tempFiles(dir);
        {
            Writer w(path, mode);
            if (!w.Started()) {
                r.failure = "the writer did not start in round " + std::to_string(i);
                return r;
            }
#ifdef _WIN32
            Sleep(static_cast<DWORD>((delayUs(rng) + 500) / 1000));
#else
            ::usleep(static_cast<useconds_t>(delayUs(rng)));
#endif
            if (!w.Kill() && r.failure.empty()) r.failure = "the writer ended before it was killed in round " + std::to_string(i);
        }
        ++r.kills;
        const auto tempAfter = tempFiles(dir);
        r.midWrite += !tempAfter.empty() && tempAfter != tempBefore ? 1 : 0;
        std::string bytes;
        const bool read = platform::ReadFileBytes(path, bytes);
        const int gen = read ? StoredGeneration(path) : -1;
        if (gen >= lastGen && IsGeneration(bytes, gen, scratch)) {
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


}  // namespace savegen

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts every benchmark of the programs shares: a scratch Windows machine
// in a temporary folder, a run of a program on it with its wall time and peak
// memory, and a table of the results. Header-only; Linux only (fork, execve,
// wait4), as the programs are.

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kor::bench {

// The sizes of a "--sizes 100,1000,10000" option, each a positive whole
// number; nullopt when the list is empty or one of them is not.
inline std::optional<std::vector<std::size_t>> parseSizes(std::string_view text) {
    std::vector<std::size_t> sizes;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        std::size_t value = 0;
        const auto [rest, error] = std::from_chars(text.data() + start, text.data() + end, value);
        if (error != std::errc{} || rest != text.data() + end || value == 0)
            return std::nullopt;
        sizes.push_back(value);
        start = end + 1;
    }
    return sizes;
}

// A benchmark's command line, read option by option. A mistake (an unknown
// option, a missing or bad value) prints the usage and ends the program with
// status 2; --help or -h prints it and ends it with 0.
class OptionReader {
  public:
    OptionReader(int argc, char** argv, const char* usage)
        : m_argc(argc), m_argv(argv), m_usage(usage) {}

    // The next option's name; nullopt after the last.
    std::optional<std::string> next() {
        if (m_next >= m_argc)
            return std::nullopt;
        std::string option = m_argv[m_next++];
        if (option == "--help" || option == "-h")
            endWithUsage(0);
        return option;
    }
    // The value of the option just read, as given.
    std::string text() {
        if (m_next >= m_argc)
            mistake();
        return m_argv[m_next++];
    }
    // The value as a whole number from 1 to INT_MAX.
    int positive() {
        const std::string value = text();
        int number = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), number);
        if (error != std::errc{} || end != value.data() + value.size() || number < 1)
            mistake();
        return number;
    }
    // The value as a "1000,10000" list of sizes (parseSizes).
    std::vector<std::size_t> sizes() {
        auto sizes = parseSizes(text());
        if (!sizes)
            mistake();
        return *std::move(sizes);
    }
    [[noreturn]] void mistake() const { endWithUsage(2); }

  private:
    [[noreturn]] void endWithUsage(int status) const {
        std::fputs(m_usage, status == 0 ? stdout : stderr);
        std::exit(status);
    }

    int m_argc;
    char** m_argv;
    const char* m_usage;
    int m_next = 1;
};

// The length of a Windows 95 logo picture: a 320x400 bitmap with 256 colours.
inline constexpr std::uint64_t logoLength = 14 + 40 + 1024 + 128000;

[[noreturn]] inline void failWithErrno(const std::string& operation) {
    throw std::system_error(errno, std::generic_category(), operation);
}

// The first bytes of a 320x400, 256-colour bitmap of `length` bytes.
inline std::string bitmapHeader(std::uint64_t length) {
    std::string header(14 + 40, '\0');
    auto put = [&header](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    header[0] = 'B';
    header[1] = 'M';
    put(2, static_cast<std::uint32_t>(length), 4);
    put(10, 14 + 40 + 1024, 4);
    put(14, 40, 4);
    put(18, 320, 4);
    put(22, 400, 4);
    put(26, 1, 2);
    put(28, 8, 2);
    put(34, 128000, 4);
    put(46, 256, 4);
    return header;
}

// Writes a bitmap-like file of exactly `length` bytes: a header followed by a
// hole, so that thousands of them are made in a moment and take no disk room.
// `marker` is written after the header so that files can be told apart.
inline void writeSparsePicture(const std::filesystem::path& path, std::uint64_t length,
                               char marker = '\0') {
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        failWithErrno("cannot create " + path.string());
    std::string head = bitmapHeader(length);
    head.push_back(marker);
    if (head.size() > length)
        head.resize(length);
    if (::write(descriptor, head.data(), head.size()) != static_cast<ssize_t>(head.size()) ||
        ::ftruncate(descriptor, static_cast<off_t>(length)) != 0) {
        int savedErrno = errno;
        ::close(descriptor);
        errno = savedErrno;
        failWithErrno("cannot write " + path.string());
    }
    if (::close(descriptor) != 0)
        failWithErrno("cannot write " + path.string());
}

inline std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A Windows machine in a fresh temporary folder, in the layout KOR_ROOT
// describes: drive C: is the entry "c", with C:\WINDOWS and C:\WINDOWS\SYSTEM
// and the three logo files in place. Removed with everything in it when the
// object goes away.
class ScratchMachine {
  public:
    ScratchMachine() {
        std::filesystem::path base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "kor-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            failWithErrno("cannot create a temporary folder in " + base.string());
        m_root = pattern;
        std::filesystem::create_directories(host("C:\\WINDOWS\\SYSTEM"));
        writeSparsePicture(host("C:\\logo.sys"), logoLength, 'o');
        writeSparsePicture(host("C:\\WINDOWS\\logow.sys"), logoLength, 'w');
        writeSparsePicture(host("C:\\WINDOWS\\logos.sys"), logoLength, 's');
    }
    ~ScratchMachine() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    static std::string windowsDirectory() { return "C:\\WINDOWS"; }

    // The host path of a Windows path of this machine, taken as written
    // (the benchmarks use the exact names they created).
    std::filesystem::path host(std::string_view windowsPath) const {
        if (windowsPath.size() < 2 || windowsPath[1] != ':')
            throw std::invalid_argument("not a Windows path: " + std::string(windowsPath));
        char drive = static_cast<char>(windowsPath[0] | 0x20);
        std::filesystem::path path = m_root / std::string(1, drive);
        std::string rest(windowsPath.substr(2));
        std::size_t start = 0;
        while (start <= rest.size()) {
            std::size_t end = rest.find('\\', start);
            if (end == std::string::npos)
                end = rest.size();
            if (end > start)
                path /= rest.substr(start, end - start);
            start = end + 1;
        }
        return path;
    }

    // Writes C:\WINDOWS\KOR.INI: section [SaveDir] with the given keys, CRLF
    // line ends, bytes as given (the benchmarks use ASCII values).
    void writeSettings(std::span<const std::pair<std::string, std::string>> keys) const {
        std::string text = "[SaveDir]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
        std::ofstream out(host(windowsDirectory() + "\\KOR.INI"), std::ios::binary);
        out << text;
        out.flush();
        if (!out)
            throw std::runtime_error("cannot write KOR.INI in " + m_root.string());
    }

    // Fills a new folder with `count` pictures P00001.BMP, ... of `length`
    // bytes each; returns its host path.
    std::filesystem::path makePictureFolder(std::string_view windowsPath, std::size_t count,
                                            std::uint64_t length = logoLength) const {
        std::filesystem::path folder = host(windowsPath);
        std::filesystem::create_directories(folder);
        char name[32];
        for (std::size_t i = 1; i <= count; ++i) {
            std::snprintf(name, sizeof name, "P%05zu.BMP", i);
            writeSparsePicture(folder / name, length);
        }
        return folder;
    }

  private:
    std::filesystem::path m_root;
};

// One run of a program.
struct RunMeasurement {
    double seconds = 0;
    long peakKilobytes = 0; // the child's ru_maxrss
    int exitStatus = -1;    // -1 when a signal ended it
    int signal = 0;
    std::string errorOutput; // what it wrote to standard error
};

inline int makeUnlinkedTemporaryFile(const char* purpose) {
    char name[] = "/tmp/kor-bench-XXXXXX";
    const int file = ::mkstemp(name);
    if (file < 0)
        failWithErrno(std::string("cannot create a file for ") + purpose);
    ::unlink(name);
    return file;
}

inline std::string readFromStart(int file) {
    std::string text;
    ::lseek(file, 0, SEEK_SET);
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(file, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    return text;
}

// Runs `program` with `arguments`, its environment being this process's with
// `setVariables` set and `unsetVariables` removed, its standard output
// discarded and its standard error kept. Measures the wall time from the fork
// to the end of the wait, and the peak resident memory that wait4 reports for
// the child. Where the small launcher run_measured is built (KOR_RUN_MEASURED)
// the program is started through it, so that the peak is the program's own; a
// child forked from this process would count the pages it shared with it
// until exec, and runBaseline tells how much that is.
inline RunMeasurement runAndMeasure(
    const std::string& program, std::span<const std::pair<std::string, std::string>> setVariables,
    std::span<const std::string> unsetVariables = {}, std::span<const std::string> arguments = {}) {
    std::vector<std::string> environment;
    auto isReplaced = [&](std::string_view entry) {
        std::string_view name = entry.substr(0, entry.find('='));
        for (const auto& [key, value] : setVariables)
            if (name == key)
                return true;
        return std::find(unsetVariables.begin(), unsetVariables.end(), name) !=
               unsetVariables.end();
    };
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!isReplaced(*entry))
            environment.emplace_back(*entry);
    for (const auto& [key, value] : setVariables)
        environment.push_back(key + "=" + value);
    std::vector<char*> environmentPointers;
    for (auto& entry : environment)
        environmentPointers.push_back(entry.data());
    environmentPointers.push_back(nullptr);
#ifdef KOR_RUN_MEASURED
    std::string programCopy = KOR_RUN_MEASURED;
    std::vector<std::string> argumentCopies{program};
#else
    std::string programCopy = program;
    std::vector<std::string> argumentCopies;
#endif
    argumentCopies.insert(argumentCopies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argumentPointers{programCopy.data()};
    for (auto& argument : argumentCopies)
        argumentPointers.push_back(argument.data());
    argumentPointers.push_back(nullptr);

    const int errorFile = makeUnlinkedTemporaryFile("standard error");
    const int resultFile = makeUnlinkedTemporaryFile("the launcher's measurement");

    RunMeasurement result;
    auto started = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child < 0) {
        ::close(errorFile);
        ::close(resultFile);
        failWithErrno("cannot fork");
    }
    if (child == 0) {
        int nullDevice = ::open("/dev/null", O_RDWR);
        if (nullDevice >= 0) {
            ::dup2(nullDevice, STDIN_FILENO);
            ::dup2(nullDevice, STDOUT_FILENO);
        }
        ::dup2(errorFile, STDERR_FILENO);
        ::dup2(resultFile, 3);
        ::execve(programCopy.c_str(), argumentPointers.data(), environmentPointers.data());
        std::fprintf(stderr, "cannot run %s: %s\n", programCopy.c_str(), std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            ::close(errorFile);
            ::close(resultFile);
            failWithErrno("cannot wait for " + program);
        }
    }
    auto ended = std::chrono::steady_clock::now();
    result.seconds = std::chrono::duration<double>(ended - started).count();
    result.peakKilobytes = usage.ru_maxrss;
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);

    result.errorOutput = readFromStart(errorFile);
    ::close(errorFile);
#ifdef KOR_RUN_MEASURED
    const std::string measured = readFromStart(resultFile);
    if (result.exitStatus == 0 &&
        std::sscanf(measured.c_str(), "%lf %ld %d %d", &result.seconds, &result.peakKilobytes,
                    &result.exitStatus, &result.signal) != 4)
        result.exitStatus = 127;
#endif
    ::close(resultFile);
    return result;
}

// The floor under every peak that runAndMeasure reports: the peak of a run of
// /bin/true started the same way.
inline long runBaselineKilobytes() {
    return runAndMeasure("/bin/true", {}).peakKilobytes;
}

struct RunSummary {
    std::string label;
    std::size_t runs = 0;
    double minimumSeconds = 0;
    double medianSeconds = 0;
    double maximumSeconds = 0;
    long peakKilobytes = 0;
    // The median of the case it is compared with, measured in the same run;
    // 0 for none.
    double referenceMedianSeconds = 0;
};

inline RunSummary summarise(std::string label, const std::vector<RunMeasurement>& runs) {
    RunSummary summary;
    summary.label = std::move(label);
    summary.runs = runs.size();
    if (runs.empty())
        return summary;
    std::vector<double> times;
    for (const auto& run : runs) {
        times.push_back(run.seconds);
        summary.peakKilobytes = std::max(summary.peakKilobytes, run.peakKilobytes);
    }
    std::sort(times.begin(), times.end());
    summary.minimumSeconds = times.front();
    summary.maximumSeconds = times.back();
    std::size_t middle = times.size() / 2;
    summary.medianSeconds =
        times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
    return summary;
}

// One run of several programs one after the other, as one measurement: the
// times added up, the largest peak, the first failure.
inline RunMeasurement addedUp(const std::vector<RunMeasurement>& runs) {
    RunMeasurement total;
    total.exitStatus = 0;
    for (const RunMeasurement& run : runs) {
        total.seconds += run.seconds;
        total.peakKilobytes = std::max(total.peakKilobytes, run.peakKilobytes);
        if (total.exitStatus == 0 && total.signal == 0) {
            total.exitStatus = run.exitStatus;
            total.signal = run.signal;
            total.errorOutput = run.errorOutput;
        }
    }
    return total;
}

// The table of the cases; a case compared with another shows the ratio of
// their medians.
inline void printTable(std::FILE* out, const std::vector<RunSummary>& rows) {
    std::size_t width = 28;
    for (const auto& row : rows)
        width = std::max(width, row.label.size());
    const int labelWidth = static_cast<int>(width);
    std::fprintf(out, "%-*s %5s %11s %11s %11s %13s %7s\n", labelWidth, "case", "runs", "min (ms)",
                 "median (ms)", "max (ms)", "peak RSS (MB)", "ratio");
    for (const auto& row : rows) {
        std::fprintf(out, "%-*s %5zu %11.1f %11.1f %11.1f %13.1f", labelWidth, row.label.c_str(),
                     row.runs, row.minimumSeconds * 1000, row.medianSeconds * 1000,
                     row.maximumSeconds * 1000, static_cast<double>(row.peakKilobytes) / 1024);
        if (row.referenceMedianSeconds > 0)
            std::fprintf(out, " %6.2fx", row.medianSeconds / row.referenceMedianSeconds);
        std::fprintf(out, "\n");
    }
}

// Describes how a run ended when it did not end with status 0; empty when it
// did.
inline std::string describeFailure(const RunMeasurement& run) {
    if (run.signal != 0)
        return "ended by signal " + std::to_string(run.signal) + " (" + strsignal(run.signal) + ")";
    if (run.exitStatus != 0)
        return "ended with exit status " + std::to_string(run.exitStatus);
    return {};
}

} // namespace kor::bench

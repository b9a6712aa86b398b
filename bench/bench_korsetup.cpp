// SPDX-License-Identifier: GPL-3.0-or-later
// Times korsetup's windows on large folders and archives: the logo browser
// listing an archive, the browser opening a folder, and the start-up when the
// configured folder is large, each beside a reference measured in the same
// run (`lhasa l` on the archive, `ls` on the folder, and a Qt program that
// only paints one window). Each case runs in a child process of its own,
// forked before Qt starts, so that its peak memory is its own.
//
//   bench_korsetup [--runs N] [--sizes 1000,10000,100000] [--lhasa PATH]

#include "measure.h"

#include "file_controls.h"
#include "fonts.h"
#include "logo_browser.h"
#include "lzh_writer.h"
#include "main_window.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <sys/stat.h>

namespace {

using kor::bench::RunMeasurement;
using kor::bench::ScratchMachine;
using Clock = std::chrono::steady_clock;

struct Options {
    int runs = 5;
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    std::string lhasa = "/usr/bin/lhasa";
};

constexpr const char* Usage =
    "usage: bench_korsetup [--runs N] [--sizes 1000,10000,100000] [--lhasa PATH]\n";

Options parseOptions(int argc, char** argv) {
    Options options;
    kor::bench::OptionReader line(argc, argv, Usage);
    while (const auto option = line.next()) {
        if (*option == "--runs")
            options.runs = line.positive();
        else if (*option == "--sizes")
            options.sizes = line.sizes();
        else if (*option == "--lhasa")
            options.lhasa = line.text();
        else
            line.mistake();
    }
    return options;
}

// An archive of `count` small stored members.
std::string makeArchive(std::size_t count) {
    std::vector<kor::testing::LzhMember> members;
    members.reserve(count);
    char name[32];
    for (std::size_t i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, "M%06zu.BMP", i);
        members.push_back({name, std::string(64, static_cast<char>(i))});
    }
    return kor::testing::makeLzhArchive(members);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs Qt's event loop until `widget` has been painted once.
void waitForFirstPaint(QWidget& widget) {
    struct PaintWatch final : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override {
            painted = painted || event->type() == QEvent::Paint;
            return false;
        }
    } watch;
    widget.installEventFilter(&watch);
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    widget.removeEventFilter(&watch);
}

// What a case does in its child process, given when the child was forked;
// returns the seconds it measured, or a negative number when it failed.
using Case = std::function<double(Clock::time_point forked)>;

// Runs `work` in a forked child with a Qt application of its own; the child
// sends back its seconds through a pipe, wait4 gives its peak memory.
RunMeasurement runInChild(const char* label, const ScratchMachine& machine, const Case& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        kor::bench::failWithErrno("cannot make a pipe");
    const Clock::time_point forked = Clock::now();
    const pid_t child = ::fork();
    if (child < 0)
        kor::bench::failWithErrno("cannot fork");
    if (child == 0) {
        ::close(channel[0]);
        ::setenv("KOR_ROOT", machine.root().c_str(), 1);
        ::setenv("WINDIR", "C:\\WINDOWS", 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Qt wants a runtime folder of the user's alone.
        const std::filesystem::path runtime = machine.root() / "runtime";
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        int argc = 1;
        char name[] = "bench_korsetup";
        char* argv[] = {name, nullptr};
        double seconds = -1;
        {
            QApplication application(argc, argv);
            // As korsetup starts: its windows' Japanese face first.
            kor::setup::useJapaneseUiFont();
            seconds = work(forked);
        }
        const ssize_t written = ::write(channel[1], &seconds, sizeof seconds);
        ::_exit(written == sizeof seconds ? 0 : 1);
    }
    ::close(channel[1]);
    double seconds = -1;
    const ssize_t got = ::read(channel[0], &seconds, sizeof seconds);
    ::close(channel[0]);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0)
        if (errno != EINTR)
            kor::bench::failWithErrno("cannot wait for a case");
    RunMeasurement result;
    result.peakKilobytes = usage.ru_maxrss;
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (got != sizeof seconds || seconds < 0 || result.exitStatus != 0)
        throw std::runtime_error(std::string("the case \"") + label +
                                 "\" failed in its child process");
    result.seconds = seconds;
    return result;
}

// The logo browser of a main window started with no configured source: the
// time from picking the archive to its members listed and painted.
double browserListsArchive(Clock::time_point, std::size_t count) {
    kor::setup::MainWindow window;
    window.show();
    kor::setup::LogoBrowser& browser = window.logoBrowser();
    window.showLogoBrowser();
    if (!browser.showDirectory("C:\\ARC"))
        return -1;
    waitForFirstPaint(browser);
    const QList<QListWidgetItem*> found = browser.fileList->findItems("BIG.LZH", Qt::MatchExactly);
    if (found.isEmpty())
        return -1;
    const Clock::time_point start = Clock::now();
    browser.fileList->setCurrentItem(found.front());
    waitForFirstPaint(*browser.memberList->viewport());
    const double seconds = secondsSince(start);
    return browser.memberList->rowCount() == static_cast<int>(count) ? seconds : -1;
}

// The browser moving to a folder of `count` pictures, until it is painted.
double browserOpensFolder(Clock::time_point, std::size_t count) {
    kor::setup::MainWindow window;
    window.show();
    kor::setup::LogoBrowser& browser = window.logoBrowser();
    window.showLogoBrowser();
    waitForFirstPaint(browser);
    const Clock::time_point start = Clock::now();
    if (!browser.showDirectory("C:\\PICS"))
        return -1;
    waitForFirstPaint(*browser.fileList->viewport());
    const double seconds = secondsSince(start);
    return browser.fileList->count() == static_cast<int>(count) ? seconds : -1;
}

// From the fork to the main window's first paint, KOR.INI naming the folder.
double startUp(Clock::time_point forked) {
    kor::setup::MainWindow window;
    window.show();
    waitForFirstPaint(window);
    return secondsSince(forked);
}

// The floor of any Qt program: from the fork to one plain window painted,
// with the same font.
double plainWindow(Clock::time_point forked) {
    QWidget window;
    window.resize(440, 387);
    window.show();
    waitForFirstPaint(window);
    return secondsSince(forked);
}

struct Row {
    std::string label;
    std::vector<RunMeasurement> runs;
};

// The table of one size; each case shows its ratio to the reference above it.
void printRows(const std::vector<Row>& rows) {
    std::vector<kor::bench::RunSummary> summaries;
    for (const Row& row : rows)
        summaries.push_back(kor::bench::summarise(row.label, row.runs));
    for (std::size_t i = 1; i < summaries.size(); i += 2)
        summaries[i].referenceMedianSeconds = summaries[i - 1].medianSeconds;
    kor::bench::printTable(stdout, summaries);
}

void benchSize(const Options& options, std::size_t count) {
    ScratchMachine machine;
    std::filesystem::create_directories(machine.host("C:\\ARC"));
    {
        std::ofstream out(machine.host("C:\\ARC\\BIG.LZH"), std::ios::binary);
        out << makeArchive(count);
    }
    machine.makePictureFolder("C:\\PICS", count);
    const std::pair<std::string, std::string> archiveMode[] = {{"ArcCheck", "off"}};
    const std::pair<std::string, std::string> pictureMode[] = {{"ArcCheck", "on"}};
    const std::pair<std::string, std::string> folderConfigured[] = {
        {"ArcCheck", "on"}, {"DirOnly", "C:\\PICS"}, {"sizecheck", "off"}};

    const std::string archive = machine.host("C:\\ARC\\BIG.LZH").string();
    const std::string folder = machine.host("C:\\PICS").string();
    const std::pair<std::string, std::string> cLocale[] = {{"LC_ALL", "C"}};
    const std::string lhasaArguments[] = {"l", archive};
    const std::string lsArguments[] = {folder};

    std::vector<Row> rows{{"lhasa l (reference)", {}},
                          {"browser lists the archive", {}},
                          {"ls (reference)", {}},
                          {"browser opens the folder", {}},
                          {"Qt window alone (reference)", {}},
                          {"start-up, folder configured", {}}};
    // Interleaved, so that a slow moment of the machine weighs on every case.
    for (int run = 0; run <= options.runs; ++run) {
        std::vector<RunMeasurement> measured;
        measured.push_back(kor::bench::runAndMeasure(options.lhasa, cLocale, {}, lhasaArguments));
        machine.writeSettings(archiveMode);
        measured.push_back(
            runInChild(rows[1].label.c_str(), machine, [count](Clock::time_point forked) {
                return browserListsArchive(forked, count);
            }));
        measured.push_back(kor::bench::runAndMeasure("/bin/ls", cLocale, {}, lsArguments));
        machine.writeSettings(pictureMode);
        measured.push_back(
            runInChild(rows[3].label.c_str(), machine, [count](Clock::time_point forked) {
                return browserOpensFolder(forked, count);
            }));
        measured.push_back(runInChild(rows[4].label.c_str(), machine, plainWindow));
        machine.writeSettings(folderConfigured);
        measured.push_back(runInChild(rows[5].label.c_str(), machine, startUp));
        if (run == 0)
            continue; // the warm-up
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i].runs.push_back(measured[i]);
    }

    std::printf("\n%zu members in the archive, %zu pictures in the folder:\n", count, count);
    printRows(rows);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    try {
        std::printf("Each case: one warm-up run, then %d timed runs, each in a process of its own "
                    "(times in ms: the case's own part; peaks: the whole process).\n",
                    options.runs);
        for (const std::size_t count : options.sizes)
            benchSize(options, count);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_korsetup: %s\n", error.what());
        return 1;
    }
    return 0;
}

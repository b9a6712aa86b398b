// SPDX-License-Identifier: GPL-3.0-or-later
// How long an unattended run of KOR takes in BMP mode, and how much memory it
// needs, when the three logo screens draw from one folder of 1,000, 10,000
// and 100,000 pictures. Every run lists the folder once per screen, picks a
// picture at random and installs it, so the time grows with the folder.
//
//     bench_kor_bmp [--runs N] [--sizes 1000,10000,100000] [--program PATH]

#include "measure.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#ifndef KOR_PROGRAM
#error "KOR_PROGRAM must name the KOR program; bench/CMakeLists.txt defines it"
#endif

namespace {

using kor::bench::RunMeasurement;
using kor::bench::ScratchMachine;

struct Options {
    int runs = 5;
    std::vector<std::size_t> sizes{1000, 10000, 100000};
    std::string program = KOR_PROGRAM;
};

constexpr const char* Usage =
    "usage: bench_kor_bmp [--runs N] [--sizes 1000,10000,100000] [--program PATH]\n"
    "Times KOR in BMP mode on folders of that many 129078-byte pictures.\n";

Options parseOptions(int argc, char** argv) {
    Options options;
    kor::bench::OptionReader line(argc, argv, Usage);
    while (const auto option = line.next()) {
        if (*option == "--runs")
            options.runs = line.positive();
        else if (*option == "--sizes")
            options.sizes = line.sizes();
        else if (*option == "--program")
            options.program = line.text();
        else
            line.mistake();
    }
    return options;
}

// The settings of BMP mode with all three screens drawing from C:\PICTURES.
const std::pair<std::string, std::string> settings[] = {
    {"ArcCheck", "on"},           {"DirOnly", "C:\\PICTURES"}, {"MDirOnly", "C:\\PICTURES"},
    {"EDirOnly", "C:\\PICTURES"}, {"pc98Check", "off"},        {"sizecheck", "off"},
};

// The same with each screen drawing from a folder of its own.
const std::pair<std::string, std::string> threeFolderSettings[] = {
    {"ArcCheck", "on"},       {"DirOnly", "C:\\PIC1"}, {"MDirOnly", "C:\\PIC2"},
    {"EDirOnly", "C:\\PIC3"}, {"pc98Check", "off"},    {"sizecheck", "off"},
};

// Runs KOR once on the machine and checks that it did its work: exit status
// 0 and all three logo files now hold a picture of the folder. Returns the
// measurement; `failure` says what went wrong, and is empty when all is well.
RunMeasurement runOnce(const Options& options, const ScratchMachine& machine,
                       const std::string& picture, std::string& failure) {
    const std::pair<std::string, std::string> environment[] = {
        {"KOR_ROOT", machine.root().string()},
        {"WINDIR", ScratchMachine::windowsDirectory()},
    };
    // Without a display KOR reports to standard error instead of in a window.
    const std::string unset[] = {"DISPLAY", "WAYLAND_DISPLAY"};
    RunMeasurement run = kor::bench::runAndMeasure(options.program, environment, unset);
    failure = kor::bench::describeFailure(run);
    if (failure.empty()) {
        for (const char* logo :
             {"C:\\logo.sys", "C:\\WINDOWS\\logow.sys", "C:\\WINDOWS\\logos.sys"})
            if (failure.empty() && kor::bench::readWholeFile(machine.host(logo)) != picture)
                failure = std::string(logo) + " is not a picture of the folder after the run";
    }
    if (!failure.empty() && !run.errorOutput.empty())
        failure += "; it wrote: " + run.errorOutput;
    return run;
}

// What the three-folder case is compared with: copying a logo three times.
RunMeasurement copyLogoThreeTimes(const ScratchMachine& machine, const std::string& picture) {
    const std::string arguments[] = {picture, machine.host("C:\\WINDOWS\\COPY.SYS").string()};
    std::vector<RunMeasurement> copies;
    for (int copy = 0; copy < 3; ++copy)
        copies.push_back(kor::bench::runAndMeasure("/bin/cp", {}, {}, arguments));
    return kor::bench::addedUp(copies);
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    try {
        std::printf("KOR program: %s\n", options.program.c_str());
        std::printf("Each case: one warm-up run, then %d timed runs, the cases taking turns. The "
                    "three logo\nscreens share one folder, or draw from three folders of that "
                    "size; the ratio is to\nthree runs of cp copying a logo.\n\n",
                    options.runs);
        std::vector<kor::bench::RunSummary> rows;
        for (std::size_t count : options.sizes) {
            ScratchMachine shared;
            ScratchMachine separate;
            auto madeStart = std::chrono::steady_clock::now();
            std::filesystem::path folder = shared.makePictureFolder("C:\\PICTURES", count);
            for (const char* own : {"C:\\PIC1", "C:\\PIC2", "C:\\PIC3"})
                separate.makePictureFolder(own, count);
            double madeSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - madeStart).count();
            shared.writeSettings(settings);
            separate.writeSettings(threeFolderSettings);
            std::string picture = kor::bench::readWholeFile(folder / "P00001.BMP");
            std::printf("4 x %zu pictures of %llu bytes made in %.2f s in %s and %s\n", count,
                        static_cast<unsigned long long>(kor::bench::logoLength), madeSeconds,
                        shared.root().c_str(), separate.root().c_str());
            std::fflush(stdout);

            std::vector<RunMeasurement> sharedRuns;
            std::vector<RunMeasurement> separateRuns;
            std::vector<RunMeasurement> copyRuns;
            for (int i = 0; i <= options.runs; ++i) {
                std::string failure;
                RunMeasurement sharedRun = runOnce(options, shared, picture, failure);
                RunMeasurement separateRun;
                if (failure.empty())
                    separateRun = runOnce(options, separate, picture, failure);
                RunMeasurement copies = copyLogoThreeTimes(separate, folder / "P00001.BMP");
                if (failure.empty())
                    failure = kor::bench::describeFailure(copies);
                if (!failure.empty()) {
                    std::fprintf(stderr, "bench_kor_bmp: %zu pictures, run %d: %s\n", count, i,
                                 failure.c_str());
                    return 1;
                }
                if (i > 0) { // the first run warms the caches
                    sharedRuns.push_back(std::move(sharedRun));
                    separateRuns.push_back(std::move(separateRun));
                    copyRuns.push_back(std::move(copies));
                }
            }
            const std::string pictures = std::to_string(count) + " pictures";
            rows.push_back(kor::bench::summarise("3 x cp of a logo", copyRuns));
            const double reference = rows.back().medianSeconds;
            rows.push_back(
                kor::bench::summarise("BMP mode, one folder of " + pictures, sharedRuns));
            rows.back().referenceMedianSeconds = reference;
            rows.push_back(
                kor::bench::summarise("BMP mode, three folders of " + pictures, separateRuns));
            rows.back().referenceMedianSeconds = reference;
        }
        std::printf("\n");
        kor::bench::printTable(stdout, rows);
        std::printf("\nPeak RSS is the largest of the runs (ru_maxrss of wait4); a process started "
                    "this way\nshows at least %.1f MB (the same measure for /bin/true).\n",
                    static_cast<double>(kor::bench::runBaselineKilobytes()) / 1024);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_kor_bmp: %s\n", error.what());
        return 1;
    }
    return 0;
}

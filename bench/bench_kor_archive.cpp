// SPDX-License-Identifier: GPL-3.0-or-later
// How long listing an LZH archive takes when it is listed the way the programs
// list one (one pass over the members, each row from its own record), for
// archives of 1,000, 10,000 and 100,000 members, beside `lhasa l` on the same
// archives; and how long a whole archive-mode run of KOR takes on them, with
// its peak memory.
//
//     bench_kor_archive [--runs N] [--sizes 1000,10000,100000] [--program PATH] [--lhasa PATH]

#include "measure.h"

#include "core/archive.h"
#include "lzh_writer.h"
#include "platform/machine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
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
    std::string lhasa = "/usr/bin/lhasa";
};

constexpr const char* Usage =
    "usage: bench_kor_archive [--runs N] [--sizes 1000,10000,100000] [--program PATH] "
    "[--lhasa PATH]\n"
    "Times the archive listing and KOR in archive mode on archives of that many "
    "members.\n";

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
        else if (*option == "--lhasa")
            options.lhasa = line.text();
        else
            line.mistake();
    }
    return options;
}

// An archive of `count` stored members of 1,024 bytes each.
std::string makeArchive(std::size_t count) {
    std::vector<kor::testing::LzhMember> members;
    members.reserve(count);
    char name[32];
    for (std::size_t i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, "M%05zu.BMP", i);
        std::string data(1024, static_cast<char>(i));
        data[0] = 'B';
        data[1] = 'M';
        members.push_back({name, std::move(data)});
    }
    return kor::testing::makeLzhArchive(members);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Lists the archive in this process, the first time (its directory read from
// the file) and then again (the unchanged archive's directory kept).
void timeListing(const ScratchMachine& machine, std::size_t count, int runs) {
    kor::platform::Machine::setCurrent(
        kor::platform::Machine(machine.root(), ScratchMachine::windowsDirectory()));
    if (!kor::platform::Machine::current().setCurrentDirectory("C:\\ARC"))
        throw std::runtime_error("cannot change to C:\\ARC");
    std::vector<double> seconds;
    for (int run = 0; run <= runs; ++run) {
        kor::core::ArchiveListing listing;
        const auto start = std::chrono::steady_clock::now();
        if (!kor::core::fillArchiveList(listing, "LOGOS.LZH") || listing.size() != count)
            throw std::runtime_error("the listing of " + std::to_string(count) + " members failed");
        seconds.push_back(secondsSince(start));
    }
    std::sort(seconds.begin() + 1, seconds.end());
    std::printf("  listing in this process: first %.4f s, again (median of %d) %.4f s, "
                "%.2f us a member the first time\n",
                seconds[0], runs, seconds[1 + runs / 2],
                seconds[0] * 1e6 / static_cast<double>(count));
}

// KOR.INI of archive mode: every screen named in `screens` (1 to 3, in the
// order logo.sys, logow.sys, logos.sys) draws from C:\ARC\LOGOS.LZH.
void writeArchiveSettings(const ScratchMachine& machine, int screens) {
    std::vector<std::pair<std::string, std::string>> settings{{"ArcCheck", "off"},
                                                              {"sizecheck", "on"}};
    const char* prefixes[] = {"", "M", "E"};
    for (int screen = 0; screen < screens; ++screen) {
        settings.emplace_back(std::string(prefixes[screen]) + "Dir", "C:\\ARC");
        settings.emplace_back(std::string(prefixes[screen]) + "FileName", "LOGOS.LZH");
    }
    machine.writeSettings(settings);
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    try {
        std::printf("KOR program: %s\nlhasa: %s\n", options.program.c_str(), options.lhasa.c_str());
        std::printf("Each case: one warm-up run, then %d timed runs, the cases taking turns. KOR "
                    "draws all three\nlogos, or one, from the one archive; the ratio is to "
                    "`lhasa l` on it.\n\n",
                    options.runs);
        const std::string unset[] = {"DISPLAY", "WAYLAND_DISPLAY"};
        std::vector<kor::bench::RunSummary> rows;
        for (const std::size_t count : options.sizes) {
            // Two machines with the same archive: all three logos from it, and one.
            ScratchMachine three;
            ScratchMachine one;
            std::filesystem::path archivePath;
            {
                const std::string archive = makeArchive(count);
                for (const ScratchMachine* machine : {&three, &one}) {
                    std::filesystem::create_directories(machine->host("C:\\ARC"));
                    archivePath = machine->host("C:\\ARC\\LOGOS.LZH");
                    std::ofstream out(archivePath, std::ios::binary);
                    out << archive;
                }
            }
            writeArchiveSettings(three, 3);
            writeArchiveSettings(one, 1);
            std::printf("%zu members (%ju bytes of archive):\n", count,
                        static_cast<std::uintmax_t>(std::filesystem::file_size(archivePath)));
            timeListing(three, count, options.runs);
            std::fflush(stdout);

            auto environmentOf = [](const ScratchMachine& machine) {
                return std::vector<std::pair<std::string, std::string>>{
                    {"KOR_ROOT", machine.root().string()},
                    {"WINDIR", ScratchMachine::windowsDirectory()},
                };
            };
            const auto threeEnvironment = environmentOf(three);
            const auto oneEnvironment = environmentOf(one);
            const std::string listArguments[] = {"l", archivePath.string()};
            std::vector<RunMeasurement> threeRuns;
            std::vector<RunMeasurement> oneRuns;
            std::vector<RunMeasurement> lhasaRuns;
            for (int run = 0; run <= options.runs; ++run) {
                RunMeasurement korThree =
                    kor::bench::runAndMeasure(options.program, threeEnvironment, unset);
                RunMeasurement lhasa =
                    kor::bench::runAndMeasure(options.lhasa, {}, {}, listArguments);
                RunMeasurement korOne =
                    kor::bench::runAndMeasure(options.program, oneEnvironment, unset);
                for (const RunMeasurement* measured : {&korThree, &lhasa, &korOne})
                    if (const auto failure = kor::bench::describeFailure(*measured);
                        !failure.empty())
                        throw std::runtime_error(std::to_string(count) + " members: " + failure +
                                                 " " + measured->errorOutput);
                if (run > 0) { // the first run warms the caches
                    threeRuns.push_back(std::move(korThree));
                    lhasaRuns.push_back(std::move(lhasa));
                    oneRuns.push_back(std::move(korOne));
                }
            }
            const std::string members = ", " + std::to_string(count) + " members";
            rows.push_back(kor::bench::summarise("lhasa l" + members, lhasaRuns));
            const double reference = rows.back().medianSeconds;
            rows.push_back(
                kor::bench::summarise("KOR archive mode, three logos" + members, threeRuns));
            rows.back().referenceMedianSeconds = reference;
            rows.push_back(kor::bench::summarise("KOR archive mode, one logo" + members, oneRuns));
            rows.back().referenceMedianSeconds = reference;
        }
        std::printf("\n");
        kor::bench::printTable(stdout, rows);
        std::printf("\nPeak RSS is the largest of the runs (ru_maxrss of wait4); a process started "
                    "this way\nshows at least %.1f MB (the same measure for /bin/true).\n",
                    static_cast<double>(kor::bench::runBaselineKilobytes()) / 1024);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_kor_archive: %s\n", error.what());
        return 1;
    }
    return 0;
}

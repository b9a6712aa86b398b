// SPDX-License-Identifier: GPL-3.0-or-later
// How long the read-only check of a FAT volume takes, the check that comes
// before the first change of an image: a 2 GB FAT32 volume holding 20,000
// files, checked in this process, beside `fsck.fat -n` on the same image.
// The image is built here: mkfs.fat on a sparse file, then one mcopy per
// folder of 1,000 small files (half of them with long names).
//
//     bench_fat_check [--runs N] [--count 20000] [--fsck PATH]

#include "measure.h"

#include "disk_image.h"
// The reader inside the platform library, by its path: the image builder's
// disk_image.h would shadow the library's.
#include "../diskimage/src/fat_reader.h"
#include "platform/host_files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using kor::bench::RunMeasurement;

struct Options {
    int runs = 11;
    std::size_t count = 20000;
    std::string fsck = "/usr/sbin/fsck.fat";
};

constexpr const char* Usage =
    "usage: bench_fat_check [--runs N] [--count 20000] [--fsck PATH]\n"
    "Times the check of a 2 GB FAT32 volume of COUNT files, beside fsck.fat -n.\n";

Options parseOptions(int argc, char** argv) {
    Options options;
    kor::bench::OptionReader line(argc, argv, Usage);
    while (const auto option = line.next()) {
        if (*option == "--runs")
            options.runs = line.positive();
        else if (*option == "--count")
            options.count = static_cast<std::size_t>(line.positive());
        else if (*option == "--fsck")
            options.fsck = line.text();
        else
            line.mistake();
    }
    return options;
}

// Folders of 1,000 files of 1 to 12 KiB, every other one with a long name
// that starts with its number (so that mtools finds its 8.3 name at the first
// try; "Picture 1", "Picture 2"... would make each copy try hundreds). The
// files are sparse, so the host folder takes no room.
fs::path makeHostTree(const fs::path& root, std::size_t count) {
    const fs::path tree = root / "tree";
    char name[48];
    for (std::size_t i = 0; i < count; ++i) {
        const fs::path folder = tree / ("DIR" + std::to_string(i / 1000));
        if (i % 1000 == 0)
            fs::create_directories(folder);
        if (i % 2)
            std::snprintf(name, sizeof name, "P%06zu.BMP", i);
        else
            std::snprintf(name, sizeof name, "%06zu picture of the trip.bmp", i);
        kor::bench::writeSparsePicture(folder / name, 1024 * (1 + i % 12));
    }
    return tree;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The check alone, in a process of its own as a run of the programs makes it
// once, with no memory shared with a parent (after a fork every page the
// check writes would first be copied): the seconds it took on standard error,
// status 0 when it found the volume sound.
int checkOnce(const std::string& image, std::uint64_t offset, std::uint64_t length) {
    const kor::platform::FileDescriptor file(::open(image.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.isOpen())
        kor::bench::failWithErrno("cannot open " + image);
    const kor::diskimage::ImageReader read = [&](std::uint64_t at, std::size_t bytes) {
        std::string read(bytes, '\0');
        const ssize_t got = ::pread(file.get(), read.data(), bytes, static_cast<off_t>(at));
        read.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return read;
    };
    const auto started = std::chrono::steady_clock::now();
    const std::vector<kor::diskimage::FatFault> faults =
        kor::diskimage::checkFatVolume(read, {offset, length});
    const double seconds = secondsSince(started);
    std::fprintf(stderr, "%.9f\n", seconds);
    for (const kor::diskimage::FatFault& fault : faults)
        std::fprintf(stderr, "%s\n", fault.english().c_str());
    return faults.empty() ? 0 : 1;
}

// Stops the benchmark when a run did not end as it should.
void expectSuccess(const RunMeasurement& run, const std::string& what) {
    if (run.exitStatus == 0 && run.signal == 0)
        return;
    throw std::runtime_error(what + " " + kor::bench::describeFailure(run) + ": " +
                             run.errorOutput);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "--check-once")
        return checkOnce(argv[2], std::strtoull(argv[3], nullptr, 10),
                         std::strtoull(argv[4], nullptr, 10));
    const Options options = parseOptions(argc, argv);
    try {
        const kor::bench::ScratchMachine scratch;
        const fs::path image = scratch.root() / "fat32.img";

        const auto building = std::chrono::steady_clock::now();
        const kor::testing::FatVolume volume =
            kor::testing::makeUnpartitionedVolume(image, kor::testing::FatType::Fat32, 2048);
        kor::testing::copyTree(volume, makeHostTree(scratch.root(), options.count));
        const double built = secondsSince(building);

        const std::string self = fs::read_symlink("/proc/self/exe").string();
        const std::string checkArguments[] = {"--check-once", image.string(),
                                              std::to_string(volume.offset),
                                              std::to_string(volume.length)};
        const std::string fsckArguments[] = {"-n", image.string()};
        std::vector<RunMeasurement> checks, checkProcesses, references;
        // One warm-up round, then the two take turns.
        for (int run = 0; run <= options.runs; ++run) {
            const RunMeasurement process = kor::bench::runAndMeasure(
                self, {}, {}, std::span<const std::string>(checkArguments));
            expectSuccess(process, "the check of the sound volume");
            const RunMeasurement reference = kor::bench::runAndMeasure(
                options.fsck, {}, {}, std::span<const std::string>(fsckArguments));
            expectSuccess(reference, options.fsck);
            if (run == 0)
                continue;
            RunMeasurement check = process;
            check.seconds = std::strtod(process.errorOutput.c_str(), nullptr);
            checks.push_back(check);
            checkProcesses.push_back(process);
            references.push_back(reference);
        }

        std::printf("2 GB FAT32 volume, %zu files in %zu folders; image built in %.1f s\n",
                    options.count, (options.count + 999) / 1000, built);
        const kor::bench::RunSummary reference =
            kor::bench::summarise("fsck.fat -n (reference)", references);
        kor::bench::RunSummary checked = kor::bench::summarise("FAT check alone", checks);
        kor::bench::RunSummary wholeProcess =
            kor::bench::summarise("its process, start to end", checkProcesses);
        checked.referenceMedianSeconds = wholeProcess.referenceMedianSeconds =
            reference.medianSeconds;
        kor::bench::printTable(stdout, {checked, wholeProcess, reference});
        std::printf("(the floor under a peak is %.1f MB)\n",
                    static_cast<double>(kor::bench::runBaselineKilobytes()) / 1024);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_fat_check: %s\n", error.what());
        return 1;
    }
    return 0;
}

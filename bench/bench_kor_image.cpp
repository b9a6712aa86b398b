// SPDX-License-Identifier: GPL-3.0-or-later
// How much an image drive costs: a whole unattended run of KOR when drive C:
// is a FAT16 disk image (read and written through mtools) against the same
// run when drive C: is a folder holding the same files. Both machines are
// made in this run from the same files, and their runs take turns, so that
// the ratio is not skewed by a cache or a busy machine. In BMP mode the three
// logo screens draw from one folder of 1,000 pictures; in archive mode from
// one archive of 1,000 members.
//
//     bench_kor_image [--runs N] [--count 1000] [--program PATH]

#include "measure.h"

#include "disk_image.h"
#include "lzh_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#ifndef KOR_PROGRAM
#error "KOR_PROGRAM must name the KOR program; bench/CMakeLists.txt defines it"
#endif

namespace {

namespace fs = std::filesystem;
using kor::bench::RunMeasurement;
using kor::bench::ScratchMachine;

struct Options {
    int runs = 5;
    std::size_t count = 1000;
    std::string program = KOR_PROGRAM;
};

constexpr const char* Usage =
    "usage: bench_kor_image [--runs N] [--count 1000] [--program PATH]\n"
    "Times KOR in BMP and archive mode with drive C: a disk image, against drive C: "
    "a folder of the same files.\n";

Options parseOptions(int argc, char** argv) {
    Options options;
    kor::bench::OptionReader line(argc, argv, Usage);
    while (const auto option = line.next()) {
        if (*option == "--runs")
            options.runs = line.positive();
        else if (*option == "--count")
            options.count = static_cast<std::size_t>(line.positive());
        else if (*option == "--program")
            options.program = line.text();
        else
            line.mistake();
    }
    return options;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A machine whose drive C: is a disk image made from the files of a folder
// machine's drive C:: an MBR disk with one FAT16 partition from sector 63,
// as an emulator's Windows 95 disk, and $KOR_ROOT/c a link to it.
class ImageMachine {
  public:
    explicit ImageMachine(const ScratchMachine& folderMachine) {
        std::string pattern = (fs::temp_directory_path() / "kor-bench-image-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            kor::bench::failWithErrno("cannot create a temporary folder");
        m_root = pattern;
        const fs::path drive = folderMachine.root() / "c";
        std::uintmax_t bytes = 0;
        for (const auto& entry : fs::recursive_directory_iterator(drive))
            if (entry.is_regular_file())
                bytes += entry.file_size();
        // Room for the files, their clusters' slack and the staged logos.
        const std::uint64_t megabytes = bytes / (1024 * 1024) * 5 / 4 + 16;
        if (megabytes > 2047)
            throw std::runtime_error("the files do not fit a FAT16 partition");
        m_volume = kor::testing::makeMbrDisk(m_root / "win95.img", kor::testing::FatType::Fat16, 63,
                                             megabytes);
        kor::testing::copyTree(m_volume, drive);
        fs::create_symlink("win95.img", m_root / "c");
    }
    ~ImageMachine() {
        std::error_code ignored;
        fs::remove_all(m_root, ignored);
    }
    ImageMachine(const ImageMachine&) = delete;
    ImageMachine& operator=(const ImageMachine&) = delete;

    const fs::path& root() const { return m_root; }
    const kor::testing::FatVolume& volume() const { return m_volume; }

  private:
    fs::path m_root;
    kor::testing::FatVolume m_volume;
};

const char* const logos[] = {"/logo.sys", "/WINDOWS/logow.sys", "/WINDOWS/logos.sys"};

// One mode of KOR on the two kinds of drive: the folder machine, the image
// made from it, and what every logo file must equal after a run.
struct Case {
    std::string label;
    ScratchMachine folder;
    std::unique_ptr<ImageMachine> image;
    std::function<bool(const std::string&)> isAPicture;
};

// Runs KOR once on the machine at `root` and says what went wrong, or nothing
// when it ended with status 0 and every logo is a picture of the mode.
std::string runOnce(const Options& options, const fs::path& root, const Case& mode,
                    const std::function<std::string(const char*)>& readLogo, RunMeasurement& run) {
    const std::pair<std::string, std::string> environment[] = {
        {"KOR_ROOT", root.string()},
        {"WINDIR", ScratchMachine::windowsDirectory()},
    };
    // Without a display KOR reports to standard error instead of in a window.
    const std::string unset[] = {"DISPLAY", "WAYLAND_DISPLAY"};
    run = kor::bench::runAndMeasure(options.program, environment, unset);
    std::string failure = kor::bench::describeFailure(run);
    for (const char* logo : logos)
        if (failure.empty() && !mode.isAPicture(readLogo(logo)))
            failure = std::string(logo) + " is not a picture of the mode after the run";
    if (!failure.empty() && !run.errorOutput.empty())
        failure += "; it wrote: " + run.errorOutput;
    return failure;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    try {
        std::printf("KOR program: %s\n", options.program.c_str());
        std::printf("Each case: one warm-up run on each drive, then %d timed runs on each, taking "
                    "turns.\n\n",
                    options.runs);
        Case bmp, archive;
        Case* const cases[] = {&bmp, &archive};

        // BMP mode: the three screens draw from C:\PICTURES.
        {
            bmp.label = "BMP mode";
            const fs::path folder = bmp.folder.makePictureFolder("C:\\PICTURES", options.count);
            const std::pair<std::string, std::string> settings[] = {
                {"ArcCheck", "on"},           {"DirOnly", "C:\\PICTURES"},
                {"MDirOnly", "C:\\PICTURES"}, {"EDirOnly", "C:\\PICTURES"},
                {"pc98Check", "off"},         {"sizecheck", "off"},
            };
            bmp.folder.writeSettings(settings);
            bmp.isAPicture = [picture = kor::bench::readWholeFile(folder / "P00001.BMP")](
                                 const std::string& logo) { return logo == picture; };
        }
        // Archive mode: the three screens draw from C:\ARC\LOGOS.LZH.
        {
            archive.label = "archive mode";
            constexpr std::size_t memberLength = 1024;
            std::vector<kor::testing::LzhMember> members;
            char name[32];
            for (std::size_t i = 1; i <= options.count; ++i) {
                std::snprintf(name, sizeof name, "M%05zu.BMP", i);
                std::string data(memberLength, static_cast<char>(i));
                data[0] = 'B';
                data[1] = 'M';
                members.push_back({name, std::move(data)});
            }
            fs::create_directories(archive.folder.host("C:\\ARC"));
            {
                std::ofstream out(archive.folder.host("C:\\ARC\\LOGOS.LZH"), std::ios::binary);
                out << kor::testing::makeLzhArchive(members);
                if (!out.flush())
                    throw std::runtime_error("cannot write the archive");
            }
            const std::pair<std::string, std::string> settings[] = {
                {"ArcCheck", "off"},        {"Dir", "C:\\ARC"},         {"FileName", "LOGOS.LZH"},
                {"MDir", "C:\\ARC"},        {"MFileName", "LOGOS.LZH"}, {"EDir", "C:\\ARC"},
                {"EFileName", "LOGOS.LZH"}, {"sizecheck", "on"},
            };
            archive.folder.writeSettings(settings);
            archive.isAPicture = [](const std::string& logo) {
                return logo.size() == memberLength && logo.compare(0, 2, "BM") == 0;
            };
        }
        for (Case* mode : cases) {
            const auto started = std::chrono::steady_clock::now();
            mode->image = std::make_unique<ImageMachine>(mode->folder);
            std::printf("%s: %zu files made into %s in %.2f s\n", mode->label.c_str(),
                        options.count, mode->image->volume().mtoolsImage().c_str(),
                        secondsSince(started));
            std::fflush(stdout);
        }

        std::vector<kor::bench::RunSummary> rows;
        std::vector<std::string> ratios;
        for (const Case* modePointer : cases) {
            const Case& mode = *modePointer;
            auto readFolderLogo = [&](const char* logo) {
                return kor::bench::readWholeFile(mode.folder.root() / "c" /
                                                 fs::path(logo).relative_path());
            };
            auto readImageLogo = [&](const char* logo) {
                return kor::testing::readFile(mode.image->volume(), logo);
            };
            std::vector<RunMeasurement> folderRuns, imageRuns;
            for (int i = 0; i <= options.runs; ++i) {
                RunMeasurement onFolder, onImage;
                std::string failure =
                    runOnce(options, mode.folder.root(), mode, readFolderLogo, onFolder);
                if (failure.empty())
                    failure = runOnce(options, mode.image->root(), mode, readImageLogo, onImage);
                if (!failure.empty()) {
                    std::fprintf(stderr, "bench_kor_image: %s, run %d: %s\n", mode.label.c_str(), i,
                                 failure.c_str());
                    return 1;
                }
                if (i > 0) { // the first runs warm the caches
                    folderRuns.push_back(std::move(onFolder));
                    imageRuns.push_back(std::move(onImage));
                }
            }
            const std::string count = std::to_string(options.count);
            rows.push_back(
                kor::bench::summarise(mode.label + ", folder, " + count + " files", folderRuns));
            rows.push_back(
                kor::bench::summarise(mode.label + ", image, " + count + " files", imageRuns));
            char ratio[128];
            std::snprintf(ratio, sizeof ratio, "%s: the image drive takes %.2f times as long",
                          mode.label.c_str(),
                          rows.back().medianSeconds / rows[rows.size() - 2].medianSeconds);
            ratios.push_back(ratio);
        }
        std::printf("\n");
        kor::bench::printTable(stdout, rows);
        std::printf("\nMedians compared:\n");
        for (const auto& ratio : ratios)
            std::printf("  %s\n", ratio.c_str());
        std::printf("\nPeak RSS is the largest of the runs (ru_maxrss of wait4); a process started "
                    "this way\nshows at least %.1f MB (the same measure for /bin/true).\n",
                    static_cast<double>(kor::bench::runBaselineKilobytes()) / 1024);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_kor_image: %s\n", error.what());
        return 1;
    }
    return 0;
}

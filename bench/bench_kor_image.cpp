// SPDX-License-Identifier: GPL-3.0-or-later
// How much an image drive costs: a whole unattended run of KOR when drive C:
// is a FAT16 disk image (read in the process, written through mtools) against
// the same run when drive C: is a folder holding the same files, and when it
// is the same image converted to QEMU's qcow2 format. The machines are made in
// this run from the same files, and their runs take turns, so that the ratios
// are not skewed by a cache or a busy machine. Where KOR refuses the qcow2
// image, the benchmark says so and times the other two. In BMP mode the three
// logo screens draw from one folder of 1,000 pictures; in archive mode from
// one archive of 1,000 members.
//
//     bench_kor_image [--runs N] [--count 1000] [--program PATH]

#include "measure.h"

#include "disk_image.h"
#include "lzh_writer.h"

#include <algorithm>
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
using kor::bench::RunSummary;
using kor::bench::ScratchMachine;

struct Options {
    int runs = 5;
    std::size_t count = 1000;
    std::string program = KOR_PROGRAM;
};

constexpr const char* Usage =
    "usage: bench_kor_image [--runs N] [--count 1000] [--program PATH]\n"
    "Times KOR in BMP and archive mode with drive C: a raw disk image and a qcow2 one, "
    "against drive C: a folder of the same files.\n";

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

// The same machine with its disk in QEMU's qcow2 format, converted from the
// raw image by qemu-img, and $KOR_ROOT/c a link to it: a machine of its own
// in a folder of the raw one's, which goes with it.
class Qcow2Machine {
  public:
    explicit Qcow2Machine(const ImageMachine& raw)
        : m_root(raw.root() / "qcow2"), m_volume(raw.volume()) {
        fs::create_directory(m_root);
        kor::testing::qemuImg({"convert", "-f", "raw", "-O", "qcow2", raw.volume().image.string(),
                               (m_root / "win95.qcow2").string()});
        fs::create_symlink("win95.qcow2", m_root / "c");
    }

    const fs::path& root() const { return m_root; }

    // A file of the volume, read from a raw copy of the image as it is now.
    std::string readFile(const char* path) const {
        const fs::path copy = m_root / "now.img";
        kor::testing::qemuImg({"convert", "-f", "qcow2", "-O", "raw",
                               (m_root / "win95.qcow2").string(), copy.string()});
        kor::testing::FatVolume volume = m_volume;
        volume.image = copy;
        return kor::testing::readFile(volume, path);
    }

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
    std::unique_ptr<Qcow2Machine> qcow2;
    std::string qcow2Missing; // why there is none
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
            try {
                mode->qcow2 = std::make_unique<Qcow2Machine>(*mode->image);
            } catch (const std::runtime_error& error) {
                mode->qcow2Missing = error.what();
            }
            std::printf("%s: %zu files made into %s in %.2f s\n", mode->label.c_str(),
                        options.count, mode->image->volume().mtoolsImage().c_str(),
                        secondsSince(started));
            std::fflush(stdout);
        }

        std::vector<RunSummary> rows;
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
            auto readQcow2Logo = [&](const char* logo) { return mode.qcow2->readFile(logo); };
            std::vector<RunMeasurement> folderRuns, imageRuns, qcow2Runs;
            std::string qcow2Refused = mode.qcow2Missing;
            for (int i = 0; i <= options.runs; ++i) {
                RunMeasurement onFolder, onImage, onQcow2;
                std::string failure =
                    runOnce(options, mode.folder.root(), mode, readFolderLogo, onFolder);
                if (failure.empty())
                    failure = runOnce(options, mode.image->root(), mode, readImageLogo, onImage);
                if (failure.empty() && qcow2Refused.empty()) {
                    const std::string qcow2Failure =
                        runOnce(options, mode.qcow2->root(), mode, readQcow2Logo, onQcow2);
                    // The first run tells whether this KOR takes a qcow2 image at all.
                    if (i == 0) {
                        qcow2Refused = qcow2Failure;
                        std::ranges::replace(qcow2Refused, '\n', ' ');
                        qcow2Refused.erase(qcow2Refused.find_last_not_of(' ') + 1);
                    } else
                        failure = qcow2Failure;
                }
                if (!failure.empty()) {
                    std::fprintf(stderr, "bench_kor_image: %s, run %d: %s\n", mode.label.c_str(), i,
                                 failure.c_str());
                    return 1;
                }
                if (i > 0) { // the first runs warm the caches
                    folderRuns.push_back(std::move(onFolder));
                    imageRuns.push_back(std::move(onImage));
                    if (qcow2Refused.empty())
                        qcow2Runs.push_back(std::move(onQcow2));
                }
            }
            const std::string count = std::to_string(options.count);
            const RunSummary folder =
                kor::bench::summarise(mode.label + ", folder, " + count + " files", folderRuns);
            rows.push_back(folder);
            const auto compare = [&](const char* drive, const std::vector<RunMeasurement>& runs) {
                rows.push_back(kor::bench::summarise(
                    mode.label + ", " + drive + ", " + count + " files", runs));
                char ratio[128];
                std::snprintf(ratio, sizeof ratio, "%s: the %s drive takes %.2f times as long",
                              mode.label.c_str(), drive,
                              rows.back().medianSeconds / folder.medianSeconds);
                ratios.push_back(ratio);
            };
            compare("image", imageRuns);
            if (qcow2Refused.empty())
                compare("qcow2 image", qcow2Runs);
            else if (!mode.qcow2Missing.empty())
                ratios.push_back(mode.label + ": no qcow2 image to time (" + mode.qcow2Missing +
                                 ")");
            else
                ratios.push_back(mode.label + ": KOR refused the qcow2 image (" + qcow2Refused +
                                 ")");
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

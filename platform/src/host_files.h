// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>

// Small tools for the host's file system, shared by the files, the machine and
// the profile strings.
namespace kor::platform {

// A file descriptor, closed when it goes out of scope unless closed before.
class FileDescriptor {
  public:
    explicit FileDescriptor(int descriptor = -1) : m_descriptor(descriptor) {}
    ~FileDescriptor() {
        if (isOpen())
            ::close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_descriptor(std::exchange(other.m_descriptor, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            if (isOpen())
                ::close(m_descriptor);
            m_descriptor = std::exchange(other.m_descriptor, -1);
        }
        return *this;
    }

    bool isOpen() const { return m_descriptor >= 0; }
    int get() const { return m_descriptor; }
    // Hands the descriptor to the caller, who closes it.
    int release() { return std::exchange(m_descriptor, -1); }

    // Closes now so that a failure of the last write shows; the errno of that
    // failure, or 0.
    int close() {
        const int result = ::close(m_descriptor);
        m_descriptor = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int m_descriptor;
};

// The text of an errno value as it reads inside a sentence: "no such file or
// directory".
std::string describeError(int error);

// A whole host file, or the errno that prevented reading it.
struct HostFile {
    std::string bytes;
    int error = 0;
};
HostFile readHostFile(const std::filesystem::path& host);

// Writes all of `bytes`; an errno or 0.
int writeAll(int descriptor, std::string_view bytes);

class ImageDrive;

// A Windows path as the caller means it (or a host path outside every drive),
// with the host file it names, or the disk image it lies in (and no host path).
struct Location {
    std::string windowsPath;
    std::filesystem::path host;
    std::shared_ptr<ImageDrive> image;
};
Result<Location> locate(Operation operation, std::string_view path);

// The whole file at a location, a host file or one in a disk image.
Result<std::string> readLocatedFile(Operation operation, const Location& location);

// The folder of a full path as Location gives it: "C:\WINDOWS" for
// "C:\WINDOWS\KOR.INI", "C:\" for "C:\logo.sys", "/tmp" for "/tmp/x".
std::string parentFolder(std::string_view fullPath);

// FAT's read-only attribute, kept as a FAT mount shows it: a file without any
// write permission bit. The bits decide rather than access(2), which lets root
// write anything; Windows refuses to delete or replace such a file.
bool isReadOnlyFile(const std::filesystem::path& host);
inline constexpr std::string_view ReadOnlyDetail = "the file is read-only";

// Flushes the folder holding `host` to the disk, so that a rename into it
// survives a power cut. A file system that cannot is no failure.
void syncFolderOf(const std::filesystem::path& host);

} // namespace kor::platform

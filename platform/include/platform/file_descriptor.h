// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

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

} // namespace kor::platform

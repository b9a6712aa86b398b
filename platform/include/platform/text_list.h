// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kor::platform {

// Texts kept end to end in one buffer, as long lists of names hold them: a
// folder of a hundred thousand files or an archive of a million members costs
// two allocations that grow, not one for each name.
class TextList {
  public:
    void clear() {
        m_text.clear();
        m_ends.clear();
    }
    void push_back(std::string_view text) {
        m_text += text;
        m_ends.push_back(m_text.size());
    }
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    // Valid until the list changes.
    std::string_view operator[](std::size_t index) const {
        const std::size_t start = index == 0 ? 0 : m_ends[index - 1];
        return std::string_view(m_text).substr(start, m_ends[index] - start);
    }

  private:
    std::string m_text;
    std::vector<std::size_t> m_ends;
};

} // namespace kor::platform

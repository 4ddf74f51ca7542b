// GrowableArray: a vector for the per-node lists of mesh preparation. It grows in steps that
// depend on its capacity (4 entries while small, up to 131072 when large) instead of doubling,
// so that the many lists of many nodes waste little memory.
#pragma once

#include <cstddef>
#include <vector>

namespace Vaq::GCAD {

template<typename T> class GrowableArray
{
public:
    // The entries added when a full array of this capacity grows: below 16 entries 4, below
    // 64 entries 16, and so on by fours up to 65536 below 262144; from there 131072.
    static std::size_t growthStep(std::size_t capacity)
    {
        std::size_t step = 4;
        for (std::size_t limit = 16; limit <= 262144 && capacity >= limit; limit *= 4)
            step *= 4;
        return capacity >= 262144 ? 131072 : step;
    }

    std::size_t size() const { return m_data.size(); }
    std::size_t capacity() const { return m_data.capacity(); }
    bool empty() const { return m_data.empty(); }
    T *data() { return m_data.data(); }
    const T *data() const { return m_data.data(); }
    T &operator[](std::size_t i) { return m_data[i]; }
    const T &operator[](std::size_t i) const { return m_data[i]; }
    const T *begin() const { return m_data.data(); }
    const T *end() const { return m_data.data() + m_data.size(); }

    void push_back(const T &value)
    {
        if (m_data.size() == m_data.capacity())
            m_data.reserve(m_data.capacity() + growthStep(m_data.capacity()));
        m_data.push_back(value);
    }
    void append(const GrowableArray &other)
    {
        for (const T &value : other)
            push_back(value);
    }
    // Exact sizes for lists whose length is known in advance.
    void reserve(std::size_t count) { m_data.reserve(count); }
    void resize(std::size_t count) { m_data.resize(count); }
    // Empties the array and gives its memory back.
    void release() { std::vector<T>().swap(m_data); }

private:
    std::vector<T> m_data;
};

} // namespace Vaq::GCAD

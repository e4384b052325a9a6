#pragma once
// The lines a benchmark program prints after its runs: each goal's figure, ready to be pasted
// into a note. Benchmarks add lines as they finish; main prints them at the end.

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace luxbench {

class Summary
{
public:
    void add(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char line[4096];
        va_list args;
        va_start(args, format);
        std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        m_lines.emplace_back(line);
    }
    void print(const char* title) const
    {
        if (m_lines.empty())
            return;
        std::printf("\n---- summary: %s\n", title);
        for (const std::string& l : m_lines)
            std::printf("%s\n", l.c_str());
        std::printf("\n"); // the block ends at an empty line
        std::fflush(stdout);
    }

private:
    std::vector<std::string> m_lines;
};

inline Summary& summary()
{
    static Summary s;
    return s;
}

} // namespace luxbench

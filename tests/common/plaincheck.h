#pragma once

// A tally for the Qt-free test programs, which also run cross-compiled under
// Wine where no test framework is at hand. Failures are printed as they
// happen; the closing line is the plain "N passed, N failed" that CI reads.
#include <cstdio>

class PlainCheck
{
public:
    // Names the group the following checks belong to, in failure lines.
    void group(const char* name) { std::printf("-- %s\n", m_group = name); }

    bool check(bool ok, const char* what)
    {
        ++(ok ? m_passed : m_failed);
        if (!ok)
            std::printf("FAIL: %s: %s\n", m_group, what);
        return ok;
    }

    bool equal(long actual, long expected, const char* what)
    {
        if (actual != expected)
            std::printf("  actual %ld, expected %ld\n", actual, expected);
        return check(actual == expected, what);
    }

    // Prints the closing line; the result is the program's exit code.
    int finish() const
    {
        std::printf("%d passed, %d failed\n", m_passed, m_failed);
        std::fflush(stdout);
        return m_failed == 0 ? 0 : 1;
    }

private:
    const char* m_group = "";
    int m_passed = 0;
    int m_failed = 0;
};

#ifndef VQTINTWELL_TESTS_PLAINCHECK_H
#define VQTINTWELL_TESTS_PLAINCHECK_H

// A tally for the Qt-free test programs, which also run cross-compiled under
// Wine where no test framework is at hand. Failures are printed as they
// happen; the closing line is the plain "N passed, N failed" that CI reads.
#include <cstdio>

class PlainCheck
{
public:
    // Names the group the following checks belong to, in failure lines.
    void group(const char* name)
    {
        m_group = name;
        std::printf("-- %s\n", name);
    }

    bool check(bool ok, const char* what)
    {
        if (ok) {
            ++m_passed;
        } else {
            ++m_failed;
            std::printf("FAIL: %s: %s\n", m_group, what);
        }
        return ok;
    }

    template <typename A, typename B>
    bool equal(const A& actual, const B& expected, const char* what)
    {
        const bool ok = actual == expected;
        if (!ok)
            std::printf("  actual %ld, expected %ld\n", static_cast<long>(actual),
                        static_cast<long>(expected));
        return check(ok, what);
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

#endif

// system_facts.cpp: processor, memory and kernel facts, the command line, and random integers.
#include <gtest/gtest.h>

#include "platform.h"

#include <sched.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

TEST(SystemFacts, ProcessorsAndMemory) {
    std::string cpu = CpuName();
    ASSERT_FALSE(cpu.empty());
    EXPECT_NE(cpu.front(), ' ');
    EXPECT_NE(cpu.front(), '\t');

    int system = CpuCountSystem();
    int process = CpuCountProcess();
    EXPECT_GE(system, 1);
    EXPECT_LE(system, 32);
    EXPECT_GE(process, 1);
    long online = sysconf(_SC_NPROCESSORS_ONLN);
    EXPECT_EQ(system, online < 32 ? int(online) : 32);
    cpu_set_t set;
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    EXPECT_EQ(process, CPU_COUNT(&set));

    int64_t total = TotalMemory();
    int64_t free = FreeMemory();
    EXPECT_GT(total, int64_t(64) << 20);
    EXPECT_GT(free, 0);
    EXPECT_LE(free, total);
    EXPECT_EQ(total % 1024, 0);  // reported in KiB by the kernel
}

TEST(SystemFacts, OsVersionCodeIsMajorTimesHundredPlusMinor) {
    utsname u;
    ASSERT_EQ(uname(&u), 0);
    int major = 0;
    int minor = 0;
    ASSERT_EQ(std::sscanf(u.release, "%d.%d", &major, &minor), 2);
    EXPECT_EQ(OsVersionCode(), major * 100 + minor);
}

TEST(CommandLine, ParametersAfterTheProgram) {
    char program[] = "prismoria";
    char log[] = "/LOG";
    char other[] = "two words";
    char* argv[] = {program, log, other, nullptr};
    SetCommandLine(3, argv);
    ASSERT_EQ(CountParameters(), 2);
    EXPECT_EQ(Parameter(0), "/LOG");
    EXPECT_EQ(Parameter(1), "two words");
    EXPECT_EQ(Parameter(2), "");
    EXPECT_EQ(Parameter(-1), "");
    SetCommandLine(1, argv);
    EXPECT_EQ(CountParameters(), 0);
}

TEST(Random, StaysInRangeAndReachesBothEnds) {
    std::map<int, int> seen;
    for (int i = 0; i < 4000; i++) {
        int v = RandomInt(11, 1);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 11);
        seen[v]++;
    }
    EXPECT_EQ(seen.size(), 11u);
    for (int i = 0; i < 200; i++) {
        EXPECT_EQ(RandomInt(5, 5), 5);
        int swapped = RandomInt(0, 3);  // bounds given the wrong way round
        EXPECT_GE(swapped, 0);
        EXPECT_LE(swapped, 3);
        int wide = RandomInt(INT32_MAX, INT32_MIN);
        (void)wide;  // the whole range is valid; this must simply not overflow
    }
}

TEST(Random, SeededSequencesRepeat) {
    PfSeedRandomForTests(42);
    std::vector<int> first;
    for (int i = 0; i < 100; i++) first.push_back(RandomInt(1000, 0));
    PfSeedRandomForTests(42);
    std::vector<int> second;
    for (int i = 0; i < 100; i++) second.push_back(RandomInt(1000, 0));
    EXPECT_EQ(first, second);
    PfSeedRandomForTests(43);
    std::vector<int> other;
    for (int i = 0; i < 100; i++) other.push_back(RandomInt(1000, 0));
    EXPECT_NE(first, other);
}

TEST(Random, SeededValuesAreEvenlySpread) {
    PfSeedRandomForTests(7);
    int counts[3] = {};
    for (int i = 0; i < 30000; i++) counts[RandomInt(2, 0)]++;
    for (int c : counts) {
        EXPECT_GT(c, 9400);
        EXPECT_LT(c, 10600);
    }
}

}  // namespace

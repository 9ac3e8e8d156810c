// pf_random.cpp: uniform random integers from the kernel, or from a seeded generator in tests.
#include "platform.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {

struct PfRandomState {
    bool seeded = false;
    bool kernelFailed = false;  // getrandom() unusable: the seeded generator stands in
    uint64_t state[4] = {};    // xoshiro256** after PfSeedRandomForTests
    uint8_t pool[256] = {};    // kernel bytes not used yet
    size_t poolLeft = 0;
};
PfRandomState Random;

uint64_t SplitMix64(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t SeededNext() {
    uint64_t* s = Random.state;
    uint64_t result = Rotl(s[1] * 5, 7) * 9;
    uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = Rotl(s[3], 45);
    return result;
}

// Refills the pool from getrandom(); the calls block only until the kernel's
// generator is first initialised at boot.
uint64_t KernelNext() {
    if (Random.kernelFailed) return SeededNext();
    if (Random.poolLeft < 8) {
        size_t filled = 0;
        while (filled < sizeof Random.pool) {
            ssize_t n = getrandom(Random.pool + filled, sizeof Random.pool - filled, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            filled += size_t(n);
        }
        if (filled < 8) {
            // No kernel randomness at all: fall back to a generator seeded from the
            // address space and clock rather than returning a constant.
            uint64_t seed = uint64_t(reinterpret_cast<uintptr_t>(&filled)) ^ uint64_t(time(nullptr));
            for (uint64_t& word : Random.state) word = SplitMix64(seed);
            Random.kernelFailed = true;
            return SeededNext();
        }
        Random.poolLeft = filled;
    }
    uint64_t v;
    std::memcpy(&v, Random.pool + (sizeof Random.pool - Random.poolLeft), 8);
    Random.poolLeft -= 8;
    return v;
}

uint64_t Next64() { return Random.seeded ? SeededNext() : KernelNext(); }

}  // namespace

// Uniform in [minimum, maximum] (the bounds are swapped when given the wrong way
// round); values above the largest multiple of the range are drawn again, so no
// value is favoured.
int RandomInt(int maximum, int minimum) {
    if (maximum < minimum) {
        int t = maximum;
        maximum = minimum;
        minimum = t;
    }
    uint64_t range = uint64_t(int64_t(maximum) - int64_t(minimum)) + 1;
    uint64_t limit = UINT64_MAX - UINT64_MAX % range;
    uint64_t v;
    do {
        v = Next64();
    } while (v >= limit);
    return int(int64_t(minimum) + int64_t(v % range));
}

void PfSeedRandomForTests(uint64_t seed) {
    Random.seeded = true;
    for (uint64_t& word : Random.state) word = SplitMix64(seed);
}

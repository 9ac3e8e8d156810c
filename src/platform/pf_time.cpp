// pf_time.cpp: the current time, dates formatted with a mask, and sleeping.
#include "platform.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace {

std::string Digits(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

}  // namespace

int64_t CurrentTime() { return int64_t(std::time(nullptr)); }

// Local time of `time`: "%yyyy" is the four-digit year, "%mm" "%dd" "%hh" "%ii" "%ss"
// the two-digit month, day, hour, minute and second; any other text is copied.
std::string FormatDate(const std::string& mask, int64_t time) {
    std::time_t t = std::time_t(time);
    std::tm local{};
    if (!localtime_r(&t, &local)) return mask;
    struct Field {
        const char* token;
        std::string text;
    };
    const Field fields[] = {
        {"%yyyy", Digits(local.tm_year + 1900, 4)}, {"%mm", Digits(local.tm_mon + 1, 2)},
        {"%dd", Digits(local.tm_mday, 2)},          {"%hh", Digits(local.tm_hour, 2)},
        {"%ii", Digits(local.tm_min, 2)},           {"%ss", Digits(local.tm_sec, 2)}};
    std::string out;
    size_t i = 0;
    while (i < mask.size()) {
        bool replaced = false;
        if (mask[i] == '%') {
            for (const Field& f : fields) {
                std::string token = f.token;
                if (mask.compare(i, token.size(), token) == 0) {
                    out += f.text;
                    i += token.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += mask[i++];
    }
    return out;
}

void SleepMs(int milliseconds) {
    if (milliseconds <= 0) return;
    timespec left{milliseconds / 1000, long(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// pf_system.cpp: facts about the machine (processor, memory, kernel version) and the command line.
#include "platform.h"

#include <sched.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

struct PfCommandLine {
    std::vector<std::string> parameters;  // without the program itself
};
PfCommandLine CommandLine;

// Value of the first "label : value" line of a /proc file whose label matches.
std::string ProcField(const char* path, const std::string& label) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        size_t end = colon;
        while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) end--;
        if (line.compare(0, end, label) == 0 && end == label.size()) return line.substr(colon + 1);
    }
    return "";
}

// /proc/meminfo gives kibibytes ("MemTotal:  16318480 kB"); -1 when absent.
int64_t MemInfoBytes(const char* label) {
    std::string value = ProcField("/proc/meminfo", label);
    if (value.empty()) return -1;
    char* end = nullptr;
    long long kib = std::strtoll(value.c_str(), &end, 10);
    if (end == value.c_str() || kib < 0) return -1;
    return int64_t(kib) * 1024;
}

}  // namespace

std::string CpuName() {
    std::string name = ProcField("/proc/cpuinfo", "model name");
    size_t start = name.find_first_not_of(" \t");
    if (start == std::string::npos) return "Unknown";
    return name.substr(start);
}

// The system's logical processors as listed in /sys ("0-3,8-11"), counting only
// processors 0..31 like a 32-bit affinity mask would; 1 when nothing can be read.
int CpuCountSystem() {
    std::ifstream in("/sys/devices/system/cpu/online");
    std::string list;
    int count = 0;
    if (in && std::getline(in, list)) {
        const char* p = list.c_str();
        while (*p) {
            char* end = nullptr;
            long first = std::strtol(p, &end, 10);
            if (end == p) break;
            long last = first;
            p = end;
            if (*p == '-') {
                last = std::strtol(p + 1, &end, 10);
                if (end == p + 1) break;
                p = end;
            }
            for (long cpu = first; cpu <= last && cpu < 32; cpu++) count++;
            if (*p == ',') p++;
        }
    }
    if (count == 0) {
        long online = sysconf(_SC_NPROCESSORS_ONLN);
        count = online > 0 ? int(online < 32 ? online : 32) : 1;
    }
    return count;
}

int CpuCountProcess() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    int count = CPU_COUNT(&set);
    return count > 0 ? count : 1;
}

int64_t TotalMemory() { return MemInfoBytes("MemTotal"); }
int64_t FreeMemory() { return MemInfoBytes("MemAvailable"); }

// Kernel version as major * 100 + minor: "6.1.0-18-amd64" gives 601; 0 when unknown.
int OsVersionCode() {
    utsname u;
    if (uname(&u) != 0) return 0;
    int major = 0;
    int minor = 0;
    if (std::sscanf(u.release, "%d.%d", &major, &minor) < 1 || major < 0) return 0;
    if (minor < 0) minor = 0;
    if (minor > 99) minor = 99;
    return major * 100 + minor;
}

void SetCommandLine(int argc, char** argv) {
    CommandLine.parameters.clear();
    for (int i = 1; i < argc && argv; i++) {
        CommandLine.parameters.push_back(argv[i] ? argv[i] : "");
    }
}

int CountParameters() { return int(CommandLine.parameters.size()); }

std::string Parameter(int index) {
    if (index < 0 || size_t(index) >= CommandLine.parameters.size()) return "";
    return CommandLine.parameters[size_t(index)];
}

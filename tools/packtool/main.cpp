// packtool: writes, lists and extracts the game's "2zlp" data packs from the command line.
#include "pack_format.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: packtool OUTPUT.data FILE|NAME=PATH...\n"
                 "       packtool --list PACK\n"
                 "       packtool --extract PACK NAME OUT\n");
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadInput(const std::string& path, std::vector<uint8_t>& bytes) {
    if (!IsRegularFile(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An argument that names an existing file is that file under its base name;
// otherwise "NAME=PATH" stores PATH under NAME.
bool ParseInput(const std::string& arg, PackFileEntry& entry, std::string& path) {
    path = arg;
    entry.name = BaseName(arg);
    if (!IsRegularFile(arg)) {
        size_t eq = arg.find('=');
        if (eq != std::string::npos && eq > 0) {
            entry.name = arg.substr(0, eq);
            path = arg.substr(eq + 1);
        }
    }
    return !entry.name.empty() && ReadInput(path, entry.bytes);
}

int WritePack(int argc, char** argv) {
    std::string output = argv[1];
    std::vector<PackFileEntry> entries;
    for (int i = 2; i < argc; i++) {
        PackFileEntry entry;
        std::string path;
        if (!ParseInput(argv[i], entry, path)) {
            std::fprintf(stderr, "packtool: cannot read '%s'\n", path.c_str());
            return 1;
        }
        for (const PackFileEntry& other : entries) {
            if (other.name == entry.name) {
                std::fprintf(stderr, "packtool: entry '%s' given twice\n", entry.name.c_str());
                return 1;
            }
        }
        entries.push_back(std::move(entry));
    }
    if (!WritePackFile(output, entries)) {
        std::fprintf(stderr, "packtool: cannot write '%s'\n", output.c_str());
        return 1;
    }
    return 0;
}

int ListPack(const std::string& packPath) {
    PackReader reader;
    if (!PackOpen(reader, packPath)) {
        std::fprintf(stderr, "packtool: '%s' is not an intact pack\n", packPath.c_str());
        return 1;
    }
    for (const PackIndexEntry& e : reader.entries) {
        std::printf("%llu\t%s\n", static_cast<unsigned long long>(e.size), e.name.c_str());
    }
    PackClose(reader);
    return 0;
}

int ExtractEntry(const std::string& packPath, const std::string& name, const std::string& out) {
    PackReader reader;
    if (!PackOpen(reader, packPath)) {
        std::fprintf(stderr, "packtool: '%s' is not an intact pack\n", packPath.c_str());
        return 1;
    }
    int index = PackFind(reader, name);
    bool ok = index >= 0 && PackExtractToFile(reader, index, out);
    PackClose(reader);
    if (index < 0) std::fprintf(stderr, "packtool: no entry '%s'\n", name.c_str());
    else if (!ok) std::fprintf(stderr, "packtool: entry '%s' is damaged or '%s' cannot be written\n",
                               name.c_str(), out.c_str());
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--list") {
        if (argc != 3) { PrintUsage(); return 2; }
        return ListPack(argv[2]);
    }
    if (argc >= 2 && std::string(argv[1]) == "--extract") {
        if (argc != 5) { PrintUsage(); return 2; }
        return ExtractEntry(argv[2], argv[3], argv[4]);
    }
    if (argc < 2 || std::string(argv[1]).rfind("--", 0) == 0) {
        PrintUsage();
        return 2;
    }
    return WritePack(argc, argv);
}

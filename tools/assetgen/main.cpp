// main.cpp: the asset generator: makes every pack entry, checks it, writes the data pack, cursor and licence.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "assetgen.h"
#include "pack_format.h"

namespace {

const char* const kFontEntry = "TimeandSpace-Regular.ttf";
struct Options {
    std::string out, work, font, fontLicence;
};

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: assetgen --out <folder> --work <folder> --font <TrueType file> "
                 "--font-licence <text file>\n"
                 "       assetgen --icon <size> <PNG file>\n");
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string key = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "assetgen: %s needs a value\n", key.c_str());
            return false;
        }
        std::string value = argv[++i];
        if (key == "--out") o.out = value;
        else if (key == "--work") o.work = value;
        else if (key == "--font") o.font = value;
        else if (key == "--font-licence") o.fontLicence = value;
        else {
            std::fprintf(stderr, "assetgen: unknown option %s\n", key.c_str());
            return false;
        }
    }
    if (o.out.empty() || o.work.empty() || o.font.empty() || o.fontLicence.empty()) {
        std::fprintf(stderr, "assetgen: --out, --work, --font and --font-licence are all required\n");
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes beside the final name first, so a failed run never leaves a half-written file
// under the name the game reads.
bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) std::remove(temp.c_str());
    return !ec;
}

struct KindTotal {
    const char* label;
    size_t count = 0, bytes = 0, largest = 0;
};

void PrintSizes(const std::vector<PackFileEntry>& entries, size_t cursorBytes) {
    KindTotal kinds[] = {{"images"}, {"studio logos"}, {"font"}, {"music"}, {"sound effects"}};
    for (const PackFileEntry& e : entries) {
        int k = 0;
        if (e.name.rfind("brk_", 0) == 0) k = 1;
        else if (e.name == kFontEntry) k = 2;
        else if (e.name.rfind("music", 0) == 0) k = 3;
        else if (e.name.size() > 4 && e.name.substr(e.name.size() - 4) == ".ogg") k = 4;
        kinds[k].count++;
        kinds[k].bytes += e.bytes.size();
        kinds[k].largest = std::max(kinds[k].largest, e.bytes.size());
    }
    for (const KindTotal& k : kinds)
        std::printf("  %-14s %3zu entries %10zu bytes (largest %zu)\n", k.label, k.count, k.bytes, k.largest);
    std::printf("  %-14s %3d file    %10zu bytes\n", "cursor", 1, cursorBytes);
}

}  // namespace

int main(int argc, char** argv) {
    // The application icon alone, one size per run.
    if (argc == 4 && std::strcmp(argv[1], "--icon") == 0) {
        const std::vector<uint8_t> png = GenerateIconPng(std::atoi(argv[2]));
        if (png.empty() || !WriteFileReplacing(argv[3], png)) {
            std::fprintf(stderr, "assetgen: cannot make the %s pixel icon %s\n", argv[2], argv[3]);
            return 1;
        }
        return 0;
    }
    Options opt;
    if (!ParseOptions(argc, argv, opt)) {
        PrintUsage();
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();

    // Audio synthesis is the longest task; it runs beside the artwork.
    std::vector<GeneratedFile> audio;
    std::thread audioThread([&audio] { audio = GenerateAudio(); });
    std::vector<GeneratedFile> art = GenerateArtwork();
    // The review pictures only read the artwork: they are drawn while audio finishes.
    std::thread reviewThread([&art, &opt] { WriteArtReview(art, opt.work + "/review"); });
    std::vector<uint8_t> font = PrepareFont(opt.font);
    std::vector<uint8_t> cursor = GenerateCursor();
    audioThread.join();
    reviewThread.join();

    if (font.empty()) {
        std::fprintf(stderr, "assetgen: the typeface %s could not be read or prepared\n", opt.font.c_str());
        return 1;
    }
    std::vector<GeneratedFile> all;
    all.push_back(GeneratedFile{kFontEntry, std::move(font)});
    for (GeneratedFile& f : audio) all.push_back(std::move(f));
    for (const GeneratedFile& f : art) all.push_back(f);
    // A picture or sound larger than the buffer the game reads it into would be
    // missing in the game: refuse to ship it.
    std::vector<std::string> problems = EntryProblems(all);
    for (const std::string& p : problems) std::fprintf(stderr, "assetgen: %s\n", p.c_str());
    if (!problems.empty()) {
        std::fprintf(stderr, "assetgen: nothing written\n");
        return 1;
    }
    std::vector<PackFileEntry> entries;
    for (GeneratedFile& f : all) entries.push_back(PackFileEntry{f.name, std::move(f.bytes)});
    if (cursor.empty()) {
        std::fprintf(stderr, "assetgen: the cursor could not be made\n");
        return 1;
    }
    std::vector<uint8_t> licence;
    if (!ReadWholeFile(opt.fontLicence, licence)) {
        std::fprintf(stderr, "assetgen: cannot read the font licence %s\n", opt.fontLicence.c_str());
        return 1;
    }

    std::error_code ec;
    std::filesystem::create_directories(opt.out, ec);
    std::filesystem::create_directories(opt.work, ec);
    const std::string pack = opt.out + "/Prismoria.data";
    // The pack writer itself writes beside the final name and renames on success.
    if (!WritePackFile(pack, entries)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", pack.c_str());
        return 1;
    }
    if (!WriteFileReplacing(opt.out + "/Prismoria.pointer", cursor) ||
        !WriteFileReplacing(opt.out + "/Time and Space licence.txt", licence)) {
        std::fprintf(stderr, "assetgen: cannot write the cursor or the licence into %s\n", opt.out.c_str());
        return 1;
    }

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("assetgen: %zu entries written to %s\n", entries.size(), pack.c_str());
    PrintSizes(entries, cursor.size());
    std::printf("  pack total     %10llu bytes\n",
                static_cast<unsigned long long>(std::filesystem::file_size(pack, ec)));
    std::printf("  generation time %.2f s\n", seconds);
    return 0;
}

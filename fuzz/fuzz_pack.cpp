// fuzz_pack.cpp: fuzzes the data-pack reader: opening a pack file and extracting every entry it lists.
//
// The reader only opens paths, so each input is written to a scratch file first.
// Header and index carry CRCs that almost every mutation breaks; each input is
// also tried with both mended, so the fuzzer reaches the index parser and the
// decompressor instead of stopping at the checksums.
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform.h"

namespace {

constexpr int64_t MaxEntryBuffer = int64_t(8) << 20;

// Extracts into a heap block of exactly `room` bytes, so a write past it is caught.
int64_t ExtractInto(int pack, const std::string& name, int64_t room) {
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[size_t(std::max<int64_t>(room, 1))]);
    return ExtractPackEntry(pack, buffer.get(), room, name);
}

void ExercisePack(const uint8_t* data, size_t size) {
    const std::string path = FuzzWriteScratch("fuzz.data", data, size);
    const int pack = OpenDataPack(PF_ANY, path, PACK_NATIVE);
    if (pack == 0) return;
    for (const PackEntryInfo& entry : ListPackEntries(pack)) {
        FUZZ_CHECK(entry.size >= 0 && !entry.name.empty() && entry.isFolder == 0);
        const int64_t room = std::min(entry.size, MaxEntryBuffer);
        const int64_t got = ExtractInto(pack, entry.name, room);
        // The whole entry or a failure, never a part of it.
        FUZZ_CHECK(got == -1 || (got == entry.size && got <= room));
        if (entry.size > 0 && entry.size <= MaxEntryBuffer) {
            FUZZ_CHECK(ExtractInto(pack, entry.name, entry.size - 1) == -1);
        }
        const std::string out = FuzzScratchFolder() + "entry.out";
        if (ExtractPackEntryToFile(pack, entry.name, out)) {
            FUZZ_CHECK((got == entry.size || entry.size > MaxEntryBuffer) && FileSize(out) == entry.size);
        } else {
            FUZZ_CHECK(FileSize(out) == -1);
        }
        DeleteFile(out);
    }
    FUZZ_CHECK(ExtractInto(pack, std::string("\0", 1), 16) == -1);
    CloseDataPack(pack);
}

// Puts right CRCs into the header and, when the header points at one inside
// the file, the index; false when there is no header at all.
bool MendChecksums(std::vector<uint8_t>& pack) {
    if (pack.size() < 28) return false;
    const uint64_t indexOffset = FuzzLe(pack.data() + 8, 8);
    const uint64_t indexSize = FuzzLe(pack.data() + 16, 4);
    if (indexOffset <= pack.size() && indexSize <= pack.size() - indexOffset) {
        FuzzPutLe(pack.data() + 20, uint32_t(crc32(0, pack.data() + indexOffset, uInt(indexSize))));
    }
    FuzzPutLe(pack.data() + 24, uint32_t(crc32(0, pack.data(), 24)));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExercisePack(data, size);
    std::vector<uint8_t> mended(data, data + size);
    if (MendChecksums(mended) && !std::equal(mended.begin(), mended.end(), data)) {
        ExercisePack(mended.data(), mended.size());
    }
    return 0;
}

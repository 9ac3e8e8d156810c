// fuzz_language_zip.cpp: fuzzes the ZIP language pack: scanning its languages and loading each one.
//
// The language pack is opened by path, so each input is written to a scratch
// ZIP file first. Every entry carries a CRC that almost every mutation of its
// bytes breaks; each input is also tried with the CRCs of its stored
// (uncompressed) entries mended, so the fuzzer reaches the language files inside.
#include <zlib.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "data/text.h"
#include "fuzz_support.h"
#include "platform.h"

namespace {

void ExerciseLanguagePack(const uint8_t* data, size_t size) {
    const std::string path = FuzzWriteScratch("Prismoria.languages", data, size);
    if (ScanLanguages(path)) {
        for (const LanguageListEntry& language : Languages.List) {
            LoadLanguage(path, language.code);
        }
        LoadLanguage(path, DefaultLanguage);
        // Codes never reach outside the pack, whatever a caller passes.
        FUZZ_CHECK(LoadLanguage(path, "../en_GB") == 0);
    } else {
        FUZZ_CHECK(Languages.List.empty());
    }
    ResetLanguages();
    ResetTextTable();
}

bool SignatureAt(const std::vector<uint8_t>& zip, size_t at, const char* signature) {
    return zip.size() - at >= 4 && std::equal(zip.begin() + at, zip.begin() + at + 4, signature);
}

// Rewrites the CRC of every stored entry whose local header gives its sizes, in
// the local header and in the central directory record that points at it.
bool MendStoredCrcs(std::vector<uint8_t>& zip) {
    std::map<uint64_t, uint32_t> crcs;  // local header offset -> CRC of the data
    size_t at = 0;
    while (zip.size() - at >= 30 && SignatureAt(zip, at, "PK\x03\x04")) {
        const uint8_t* header = zip.data() + at;
        const uint64_t flags = FuzzLe(header + 6, 2);
        const uint64_t method = FuzzLe(header + 8, 2);
        const uint64_t stored = FuzzLe(header + 18, 4);
        const uint64_t dataAt = at + 30 + FuzzLe(header + 26, 2) + FuzzLe(header + 28, 2);
        if (dataAt > zip.size() || stored > zip.size() - dataAt) break;
        if (method == 0 && !(flags & 8) && stored == FuzzLe(header + 22, 4)) {
            const uint32_t crc = uint32_t(crc32(0, zip.data() + dataAt, uInt(stored)));
            FuzzPutLe(zip.data() + at + 14, crc);
            crcs[at] = crc;
        }
        at = size_t(dataAt + stored);
    }
    for (at = 0; at + 46 <= zip.size(); at++) {
        if (!SignatureAt(zip, at, "PK\x01\x02")) continue;
        auto found = crcs.find(FuzzLe(zip.data() + at + 42, 4));
        if (found != crcs.end()) FuzzPutLe(zip.data() + at + 16, found->second);
    }
    return !crcs.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExerciseLanguagePack(data, size);
    std::vector<uint8_t> mended(data, data + size);
    if (MendStoredCrcs(mended) && !std::equal(mended.begin(), mended.end(), data)) {
        ExerciseLanguagePack(mended.data(), mended.size());
    }
    return 0;
}

// fuzz_keyfile.cpp: fuzzes the key/value reader: opening bytes, then listing and reading everything found.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Any bytes make a key file; there is no such thing as a damaged one.
    const int file = OpenKeyBytes(PF_ANY, data, size);
    FUZZ_CHECK(file != 0);
    std::vector<std::string> groups = ListGroups(file);
    groups.insert(groups.begin(), "");  // the entries before the first group
    for (const std::string& group : groups) {
        FUZZ_CHECK(SelectGroup(file, group) == 1);
        for (const std::string& key : ListKeys(file, group)) {
            // A value never holds a line break, so getting the fallback back
            // means a listed key could not be read.
            const std::string value = ReadKeyText(file, key, "\n");
            FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos);
            ReadKeyNumber(file, key, -1);
        }
    }
    // A group that cannot exist (names end at a line break) selects nothing.
    FUZZ_CHECK(SelectGroup(file, "\n") == 0);
    FUZZ_CHECK(ReadKeyText(file, "", "fallback") == "fallback");
    FUZZ_CHECK(ReadKeyNumber(file, "", 7) == 7);
    FUZZ_CHECK(CloseKeyFile(file) == 1);
    return 0;
}

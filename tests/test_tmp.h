// test_tmp.h: a scratch folder of this test process's own, so tests run in parallel never share files.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

// Every test case runs as its own process under CTest; the process id keeps their
// files apart when several run at once. Children (death tests fork or re-run the
// binary) inherit the folder through the environment and leave it alone; the
// process that made it removes it when it ends.
struct PrismoriaTestFolder {
    bool owner = false;
    pid_t ownerPid = getpid();
    std::string path;
    PrismoriaTestFolder() {
        if (const char* inherited = std::getenv("PRISMORIA_TEST_TMP_DIR")) {
            path = inherited;
            return;
        }
        owner = true;
        path = std::string(PRISMORIA_TEST_TMP_ROOT) + "/" + std::to_string(static_cast<long>(getpid()));
        setenv("PRISMORIA_TEST_TMP_DIR", path.c_str(), 1);
    }
    ~PrismoriaTestFolder() {
        if (!owner || getpid() != ownerPid) return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

inline const char* PrismoriaTestTmp() {
    static const PrismoriaTestFolder folder;
    return folder.path.c_str();
}

#define PRISMORIA_TEST_TMP PrismoriaTestTmp()

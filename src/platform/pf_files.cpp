// pf_files.cpp: the program's folders, folder creation and listing, whole-file and sequential file I/O.
#include "pf_internal.h"
#include "platform.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <map>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PfFileState {
    std::map<int, int> open;  // handle -> file descriptor
    int nextHandle = 1;
};
PfFileState Files;

std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// write(2) until everything is out; false on any error (disk full, bad descriptor).
bool WriteFully(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string ProgramFolder() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    std::string path(buffer, size_t(n));
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string UserDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return WithSlash(xdg);
    const char* home = std::getenv("HOME");
    if (home && home[0]) return WithSlash(home) + ".local/share/";
    return "";
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0]) return WithSlash(home);
    const passwd* pw = getpwuid(getuid());
    if (pw && pw->pw_dir && pw->pw_dir[0]) return WithSlash(pw->pw_dir);
    return "";
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    if (tmp && tmp[0] == '/') return WithSlash(tmp);
    return "/tmp/";
}

int CreateFolder(const std::string& path) {
    if (path.empty()) return 0;
    return mkdir(path.c_str(), 0755) == 0 ? 1 : 0;
}

// 1 when the whole path exists as a folder afterwards.
int CreateFolderPath(const std::string& path) {
    if (path.empty()) return 0;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        std::string level = path.substr(0, pos);
        if (!level.empty() && !IsFolder(level)) mkdir(level.c_str(), 0755);
    }
    return IsFolder(path) ? 1 : 0;
}

int64_t FileSize(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
    if (S_ISDIR(st.st_mode)) return -2;
    return int64_t(st.st_size);
}

int DeleteFile(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 0;
    return unlink(path.c_str()) == 0 ? 1 : 0;
}

// Names (not paths) of the folder's entries matching the wildcard pattern, sorted.
std::vector<std::string> ListFolder(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0) names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

int ReadWholeFile(const std::string& path, std::string& bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return 0;
    }
    // Read to the end rather than trusting the size, which may change meanwhile.
    std::string data;
    data.reserve(size_t(st.st_size));
    char chunk[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) { ok = false; break; }
        if (n == 0) break;
        data.append(chunk, size_t(n));
    }
    close(fd);
    if (ok) bytes = std::move(data);
    return ok ? 1 : 0;
}

int WriteWholeFile(const std::string& path, const void* data, size_t size) {
    if (!data && size > 0) return 0;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    bool ok = WriteFully(fd, data, size);
    ok = (close(fd) == 0) && ok;
    return ok ? 1 : 0;
}

// The bytes go to a temporary file beside the target, are forced to disk, and only
// then is the temporary file renamed over the target: whatever fails or however the
// process ends, the target is the complete old file or the complete new one.
int PfCreateFileBeside(const std::string& path, std::string& tempPath) {
    // A name of this process's own: two running copies of the game saving at
    // the same moment never write into one temporary file.
    std::string name = path + ".XXXXXX";
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    fchmod(fd, 0644);
    tempPath = name;
    return fd;
}

int ReplaceWholeFile(const std::string& path, const void* data, size_t size) {
    if (path.empty() || (!data && size > 0)) return 0;
    std::string temp;
    int fd = PfCreateFileBeside(path, temp);
    if (fd < 0) return 0;
    bool ok = WriteFully(fd, data, size) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok ? 1 : 0;
}

void RemoveUnfinishedReplacements(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string file = path.substr(folder.size());
    for (const std::string& name : ListFolder(folder, file + ".??????")) {
        // Only names mkostemp could have made: anything else is not ours to remove.
        const std::string tail = name.substr(file.size() + 1);
        if (std::all_of(tail.begin(), tail.end(), [](unsigned char c) { return std::isalnum(c) != 0; })) {
            DeleteFile(folder + name);
        }
    }
}

int CreateFileForWriting(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 0;
    int handle = Files.nextHandle++;
    Files.open[handle] = fd;
    return handle;
}

// Unbuffered, so a failing write (disk full) is seen by the call that made it.
int WriteToFile(int handle, const void* data, size_t size) {
    auto it = Files.open.find(handle);
    if (it == Files.open.end() || (!data && size > 0)) return 0;
    return WriteFully(it->second, data, size) ? 1 : 0;
}

void CloseFile(int handle) {
    auto it = Files.open.find(handle);
    if (it == Files.open.end()) return;
    close(it->second);
    Files.open.erase(it);
}

void PfFilesShutdown() {
    for (auto& [handle, fd] : Files.open) close(fd);
    Files.open.clear();
}

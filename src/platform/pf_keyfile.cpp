// pf_keyfile.cpp: grouped "key = value" text files (preferences, language files): reading and writing.
//
// Reading rules:
// - A file starting with the bytes EF BB BF is UTF-8 and the mark is skipped. Without
//   the mark the bytes are kept as they are when the whole file is well-formed UTF-8,
//   and are read as Windows-1252 (converted to UTF-8) otherwise.
// - Any run of CR and LF ends a line; empty lines are ignored; leading blanks and tabs
//   are skipped. ";" starts a comment. "[" starts a group whose name runs to the next
//   "]" or the end of the line. Any other line holding "=" is an entry: the key is the
//   text before the first "=" less trailing blanks and tabs, the value the rest with
//   leading blanks and tabs skipped (trailing blanks kept). Other lines are ignored.
// - Groups and keys compare without regard to ASCII case; the first group of a name,
//   and inside it the first key of a name, wins. Entries before the first group
//   belong to no group, which is what is selected until SelectGroup is called.
//
// Writing: CreateKeyFile opens a temporary file beside the target, the Write calls
// collect lines, and CloseKeyFile writes them (the byte-order mark and CR LF first,
// then every line followed by CR LF), flushes them to disk and only then renames the
// temporary file over the target, so a write that fails part-way, or a process that
// ends during it, leaves the previous file intact.
#include "pf_internal.h"
#include "pf_text.h"
#include "platform.h"

#include <cstdio>
#include <map>
#include <unordered_map>

#include <unistd.h>

namespace {

constexpr int PfKeyFileFirstAnyHandle = 0x100000;

struct KeyEntry {
    std::string key;
    std::string value;
};

struct KeyGroup {
    std::string name;
    std::vector<KeyEntry> entries;
    std::unordered_map<std::string, size_t> firstEntry;  // folded key -> index in entries
};

struct KeyFile {
    // Reading: groups[0] holds the entries before the first group line.
    std::vector<KeyGroup> groups;
    std::unordered_map<std::string, size_t> firstGroup;  // folded name -> index in groups
    int selected = 0;                                    // -1: the selected group does not exist
    // Writing
    std::FILE* output = nullptr;
    std::string path;      // the file to replace
    std::string tempPath;  // written first, renamed over path when complete
    std::string text;
};

struct PfKeyFileState {
    std::map<int, KeyFile> files;
};
PfKeyFileState KeyFiles;

std::string FoldCase(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void AddGroup(KeyFile& file, std::string name) {
    size_t index = file.groups.size();
    file.firstGroup.try_emplace(FoldCase(name), index);
    file.groups.push_back(KeyGroup{std::move(name), {}, {}});
}

void ParseLine(KeyFile& file, const char* line, size_t length) {
    size_t i = 0;
    while (i < length && IsBlank(line[i])) i++;
    if (i == length || line[i] == ';') return;
    if (line[i] == '[') {
        size_t start = i + 1;
        size_t end = start;
        while (end < length && line[end] != ']') end++;
        AddGroup(file, std::string(line + start, end - start));
        return;
    }
    size_t equals = i;
    while (equals < length && line[equals] != '=') equals++;
    if (equals == length) return;
    size_t keyEnd = equals;
    while (keyEnd > i && IsBlank(line[keyEnd - 1])) keyEnd--;
    size_t valueStart = equals + 1;
    while (valueStart < length && IsBlank(line[valueStart])) valueStart++;
    KeyGroup& group = file.groups.back();
    KeyEntry entry{std::string(line + i, keyEnd - i), std::string(line + valueStart, length - valueStart)};
    group.firstEntry.try_emplace(FoldCase(entry.key), group.entries.size());
    group.entries.push_back(std::move(entry));
}

void ParseKeyText(KeyFile& file, const char* data, size_t size) {
    std::string converted;
    if (size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
        static_cast<unsigned char>(data[1]) == 0xBB && static_cast<unsigned char>(data[2]) == 0xBF) {
        data += 3;
        size -= 3;
    } else if (!PfIsValidUtf8(data, size)) {
        converted = PfWindows1252ToUtf8(data, size);
        data = converted.data();
        size = converted.size();
    }
    file.groups.clear();
    file.firstGroup.clear();
    file.groups.push_back(KeyGroup{});  // the entries before the first group
    file.selected = 0;
    size_t pos = 0;
    while (pos < size) {
        size_t end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n') end++;
        if (end > pos) ParseLine(file, data + pos, end - pos);
        pos = end;
        while (pos < size && (data[pos] == '\r' || data[pos] == '\n')) pos++;
    }
}

// The group of that name (first wins); "" also finds the entries before any group.
int FindGroup(const KeyFile& file, const std::string& name) {
    auto it = file.firstGroup.find(FoldCase(name));
    if (it != file.firstGroup.end()) return int(it->second);
    return name.empty() ? 0 : -1;
}

KeyFile* FindKeyFile(int number) {
    auto it = KeyFiles.files.find(number);
    return it == KeyFiles.files.end() ? nullptr : &it->second;
}

const KeyEntry* FindEntry(int file, const std::string& key) {
    KeyFile* f = FindKeyFile(file);
    if (!f || f->output || f->selected < 0) return nullptr;
    const KeyGroup& group = f->groups[size_t(f->selected)];
    auto it = group.firstEntry.find(FoldCase(key));
    return it == group.firstEntry.end() ? nullptr : &group.entries[it->second];
}

// A line break inside written text would turn the rest into a line of its own
// (a new group or entry); it is written as a blank instead.
std::string OneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

void AppendLine(int file, const std::string& line) {
    KeyFile* f = FindKeyFile(file);
    if (!f || !f->output) return;
    f->text += line;
    f->text += "\r\n";
}

// Registers a file under its number; returns what the creating call returns.
int StoreKeyFile(int number, KeyFile&& file) {
    int handle = number;
    if (number == PF_ANY) {
        handle = PfKeyFileFirstAnyHandle;
        while (KeyFiles.files.count(handle)) handle++;
    }
    KeyFiles.files[handle] = std::move(file);
    return number == PF_ANY ? handle : 1;
}

bool ValidNewNumber(int number) {
    if (number != PF_ANY && (number < 0 || number >= PfKeyFileFirstAnyHandle)) return false;
    if (number != PF_ANY) CloseKeyFile(number);
    return true;
}

}  // namespace

int OpenKeyBytes(int number, const void* data, size_t size) {
    if (!ValidNewNumber(number) || (!data && size > 0)) return 0;
    KeyFile file;
    ParseKeyText(file, static_cast<const char*>(data), size);
    return StoreKeyFile(number, std::move(file));
}

int OpenKeyFile(int number, const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return 0;
    return OpenKeyBytes(number, bytes.data(), bytes.size());
}

int CreateKeyFile(int number, const std::string& path) {
    if (!ValidNewNumber(number)) return 0;
    KeyFile file;
    file.path = path;
    const int fd = PfCreateFileBeside(path, file.tempPath);
    if (fd < 0) return 0;
    file.output = fdopen(fd, "wb");
    if (!file.output) {
        close(fd);
        std::remove(file.tempPath.c_str());
        return 0;
    }
    file.text = "\xEF\xBB\xBF\r\n";
    return StoreKeyFile(number, std::move(file));
}

int CloseKeyFile(int number) {
    KeyFile* f = FindKeyFile(number);
    if (!f) return 0;
    int written = 1;
    if (f->output) {
        bool ok = std::fwrite(f->text.data(), 1, f->text.size(), f->output) == f->text.size();
        ok = ok && std::fflush(f->output) == 0 && fsync(fileno(f->output)) == 0;  // on disk before the rename
        ok = (std::fclose(f->output) == 0) && ok;
        ok = ok && std::rename(f->tempPath.c_str(), f->path.c_str()) == 0;
        if (!ok) std::remove(f->tempPath.c_str());
        written = ok ? 1 : 0;
    }
    KeyFiles.files.erase(number);
    return written;
}

int SelectGroup(int file, const std::string& group) {
    KeyFile* f = FindKeyFile(file);
    if (!f || f->output) return 0;
    f->selected = FindGroup(*f, group);
    return f->selected >= 0 ? 1 : 0;
}

std::string ReadKeyText(int file, const std::string& key, const std::string& fallback) {
    const KeyEntry* e = FindEntry(file, key);
    return e ? e->value : fallback;
}

int64_t ReadKeyNumber(int file, const std::string& key, int64_t fallback) {
    const KeyEntry* e = FindEntry(file, key);
    if (!e) return fallback;
    const std::string& v = e->value;
    size_t i = 0;
    while (i < v.size() && IsBlank(v[i])) i++;
    bool negative = false;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) negative = v[i++] == '-';
    // Accumulated as a negative number so INT64_MIN fits; too many digits saturate.
    int64_t n = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; i++) {
        int digit = v[i] - '0';
        if (n < (INT64_MIN + digit) / 10) n = INT64_MIN;
        else n = n * 10 - digit;
    }
    if (negative) return n;
    return n == INT64_MIN ? INT64_MAX : -n;
}

void WriteKeyGroup(int file, const std::string& group) { AppendLine(file, "[" + OneLine(group) + "]"); }

void WriteKeyText(int file, const std::string& key, const std::string& value) {
    AppendLine(file, OneLine(key) + " = " + OneLine(value));
}

void WriteKeyNumber(int file, const std::string& key, int64_t value) {
    AppendLine(file, OneLine(key) + " = " + std::to_string(value));
}

void WriteComment(int file, const std::string& text) { AppendLine(file, "; " + OneLine(text)); }

std::vector<std::string> ListGroups(int file) {
    std::vector<std::string> names;
    KeyFile* f = FindKeyFile(file);
    if (!f || f->output) return names;
    // A repeated name is listed once: only its first group can be read.
    for (size_t i = 1; i < f->groups.size(); i++) {
        if (f->firstGroup[FoldCase(f->groups[i].name)] == i) names.push_back(f->groups[i].name);
    }
    return names;
}

std::vector<std::string> ListKeys(int file, const std::string& group) {
    std::vector<std::string> keys;
    KeyFile* f = FindKeyFile(file);
    if (!f || f->output) return keys;
    int index = FindGroup(*f, group);
    if (index < 0) return keys;
    KeyGroup& g = f->groups[size_t(index)];
    for (size_t i = 0; i < g.entries.size(); i++) {
        if (g.firstEntry[FoldCase(g.entries[i].key)] == i) keys.push_back(g.entries[i].key);
    }
    return keys;
}

std::vector<std::pair<std::string, std::string>> ListGroupEntries(int file) {
    std::vector<std::pair<std::string, std::string>> entries;
    KeyFile* f = FindKeyFile(file);
    if (!f || f->output) return entries;
    for (size_t i = 1; i < f->groups.size(); i++) {
        for (const KeyEntry& e : f->groups[i].entries) entries.emplace_back(e.key, e.value);
    }
    return entries;
}

// A created file still open is written out rather than left truncated.
void PfKeyFilesShutdown() {
    while (!KeyFiles.files.empty()) CloseKeyFile(KeyFiles.files.begin()->first);
}

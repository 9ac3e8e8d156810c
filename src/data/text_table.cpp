// text_table.cpp: the language pack: finding its languages and merging one into the text table.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/text.h"
#include "platform.h"

LanguageState Languages;

namespace {

constexpr int64_t FlagBufferSize = 16000;

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasLanguageExtension(const std::string& name) {
    size_t dot = name.find_last_of('.');
    return dot != std::string::npos && name.substr(dot + 1) == "language";
}

std::string WithoutExtension(const std::string& name) {
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// Reads the header group of an opened language file into the map, keyed by its
// display name, and closes the file.
void ReadLanguageHeader(int file, const std::string& code) {
    if (file == 0) {
        return;
    }
    SelectGroup(file, "LANGUAGE FILE");
    LanguageInfo info;
    info.name = ReadKeyText(file, "tLangFileNAME", "");
    info.code = code;
    info.version = ReadKeyText(file, "tLangFileVERSION", "");
    info.date = ReadKeyText(file, "tLangFileDATE", "");
    info.author = ReadKeyText(file, "tLangFileAUTHOR", "");
    info.langId = ReadKeyText(file, "tLangFileLANGID", "");
    info.software = ReadKeyText(file, "tLangFileSOFTWARE", "");
    CloseKeyFile(file);
    LanguageInfo& slot = Languages.Info[info.name];
    if (slot.flagImage != 0) {
        FreeImage(slot.flagImage);
    }
    slot = info;
}

void RebuildLanguageList() {
    Languages.List.clear();
    for (const auto& [name, info] : Languages.Info) {
        Languages.List.push_back({info.code, info.name});
    }
    if (Languages.Current >= int(Languages.List.size())) {
        Languages.Current = 0;
    }
}

// Every key of every group of an opened file, in file order; a later occurrence
// overwrites an earlier one, also in a repeated group or a second group of the
// same name (a file merged by hand). Closes the file.
int MergeKeyFile(int file) {
    if (file == 0) {
        return 0;
    }
    for (const auto& [key, value] : ListGroupEntries(file)) {
        SetText(key, value);
    }
    CloseKeyFile(file);
    return 1;
}

// A language file inside a ZIP pack is read straight from memory: nothing is
// extracted to disk, so no entry name can reach outside a folder and two running
// copies of the game never share a half-written file. Entry names that hold a
// path are refused all the same: the game only knows languages by their code.
constexpr int64_t MaxLanguageFileSize = 4 * 1024 * 1024;

bool PlainEntryName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\") == std::string::npos && name.find("..") == std::string::npos;
}

int OpenArchivedKeyFile(int pack, const std::string& entry) {
    if (!PlainEntryName(entry)) {
        return 0;
    }
    // Left unfilled: only the bytes the extraction writes are ever read.
    const std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(size_t(MaxLanguageFileSize));
    const int64_t size = ExtractPackEntry(pack, bytes.get(), MaxLanguageFileSize, entry);
    if (size < 0) {
        return 0;
    }
    return OpenKeyBytes(PF_ANY, bytes.get(), size_t(size));
}

bool IsFolder(const std::string& path) {
    return FileSize(path) == -2;
}

}  // namespace

std::string DetectUserLanguage(int part) {
    std::string locale = UserLocale();
    if (locale.empty()) {
        // No locale at all (unset, "C", "POSIX"): British English, in its three parts.
        locale = "en-GB";
    }
    if (part == 0) {
        for (char& c : locale) {
            if (c == '-') c = '_';
        }
        return locale;
    }
    if (part == 1 || part == 2) {
        size_t dash = locale.find('-');
        if (part == 1) {
            return locale.substr(0, dash);
        }
        if (dash == std::string::npos) {
            return "";
        }
        size_t next = locale.find('-', dash + 1);
        return locale.substr(dash + 1, next == std::string::npos ? std::string::npos : next - dash - 1);
    }
    return "";
}

int ScanLanguages(const std::string& packPath) {
    if (IsFolder(packPath)) {
        const std::string folder = packPath + "/";
        for (const std::string& listed : ListFolder(folder, "*.language")) {
            std::string entry = BaseName(listed);
            if (FileSize(folder + entry) < 0) {
                continue;  // a folder that happens to match the pattern
            }
            ReadLanguageHeader(OpenKeyFile(PF_ANY, folder + entry), WithoutExtension(entry));
        }
        RebuildLanguageList();
        for (auto& [name, info] : Languages.Info) {
            std::string flagPath = folder + info.code + ".flag";
            std::string bytes;
            if (info.flagImage == 0 && FileSize(flagPath) > 0 && ReadWholeFile(flagPath, bytes)) {
                info.flagImage = LoadImageBytes(PF_ANY, bytes.data(), bytes.size());
            }
        }
        return 1;
    }
    if (FileSize(packPath) <= 0) {
        return 0;
    }
    int pack = OpenDataPack(PF_ANY, packPath, PACK_ZIP);
    if (pack == 0) {
        return 0;
    }
    for (const PackEntryInfo& entry : ListPackEntries(pack)) {
        if (entry.isFolder || !HasLanguageExtension(entry.name) || !PlainEntryName(entry.name)) {
            continue;
        }
        ReadLanguageHeader(OpenArchivedKeyFile(pack, entry.name), WithoutExtension(entry.name));
    }
    RebuildLanguageList();
    std::vector<char> buffer(FlagBufferSize);
    for (auto& [name, info] : Languages.Info) {
        int64_t size = ExtractPackEntry(pack, buffer.data(), FlagBufferSize, info.code + ".flag");
        if (info.flagImage == 0 && size > 0) {
            info.flagImage = LoadImageBytes(PF_ANY, buffer.data(), size_t(size));
        }
    }
    CloseDataPack(pack);
    return 1;
}

int LoadLanguage(const std::string& packPath, const std::string& code) {
    if (IsFolder(packPath)) {
        return MergeKeyFile(OpenKeyFile(PF_ANY, packPath + "/" + code + ".language"));
    }
    if (FileSize(packPath) <= 0) {
        return 0;
    }
    int pack = OpenDataPack(PF_ANY, packPath, PACK_ZIP);
    if (pack == 0) {
        return 0;
    }
    const int result = MergeKeyFile(OpenArchivedKeyFile(pack, code + ".language"));
    CloseDataPack(pack);
    return result;
}

int FindLanguage(const std::string& code) {
    for (size_t i = 0; i < Languages.List.size(); ++i) {
        if (Languages.List[i].code == code) {
            Languages.Current = int(i);
            return int(i);
        }
    }
    Languages.Current = Languages.List.empty() ? 0 : int(Languages.List.size()) - 1;
    return 0;
}

bool LanguageAvailable(const std::string& code) {
    for (const LanguageListEntry& entry : Languages.List) {
        if (entry.code == code) {
            return true;
        }
    }
    return false;
}

std::string ClosestLanguage(const std::string& code) {
    if (code.empty() || LanguageAvailable(code)) {
        return code.empty() ? "" : code;
    }
    const std::string language = code.substr(0, code.find('_'));
    for (const LanguageListEntry& entry : Languages.List) {
        if (entry.code.substr(0, entry.code.find('_')) == language) {
            return entry.code;
        }
    }
    return "";
}

void ResetLanguages() {
    for (auto& [name, info] : Languages.Info) {
        if (info.flagImage != 0) {
            FreeImage(info.flagImage);
        }
    }
    Languages = LanguageState{};
}

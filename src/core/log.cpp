// log.cpp: the optional diagnostic log: one file, written line by line, switched off for good when a write fails.
#include <string>

#include "core/log.h"
#include "platform.h"

namespace {

struct LogState {
    int File = 0;         // platform file handle, 0 when no file is open
    bool Enabled = false; // cleared for good when a write fails
};

LogState Log;

bool WriteLine(const std::string& text) {
    std::string line = text;
    line += "\r\n";
    return WriteToFile(Log.File, line.data(), line.size()) != 0;
}

}  // namespace

bool OpenLog(const std::string& path, const std::string& firstLine) {
    if (Log.File != 0) {
        return false;  // a run writes at most one log
    }
    int file = CreateFileForWriting(path);
    if (file == 0) {
        return false;
    }
    Log.File = file;
    if (!WriteLine(firstLine)) {
        CloseFile(Log.File);
        Log.File = 0;
        return false;
    }
    return true;
}

void EnableLog() {
    Log.Enabled = Log.File != 0;
}

void WriteLogLine(const std::string& text) {
    if (!Log.Enabled) {
        return;
    }
    if (!WriteLine(text)) {
        // The file went away (disk full, handle closed): stop trying for the rest of the run.
        Log.Enabled = false;
    }
}

std::string LogTabs(int count) {
    return std::string(count > 0 ? size_t(count) : 0, '\t');
}

void LogValue(const std::string& label, const std::string& value) {
    WriteLogLine(label + LogTabs(2) + value);
}

bool LogEnabled() {
    return Log.Enabled;
}

void CloseLog() {
    if (Log.File != 0) {
        CloseFile(Log.File);
    }
    Log = LogState{};
}

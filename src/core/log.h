// log.h: the optional diagnostic log written when the game starts with "/LOG".
#pragma once

#include <string>

bool OpenLog(const std::string& path, const std::string& firstLine);
void EnableLog();
// Writes text and CR LF when logging is on; does nothing otherwise.
void WriteLogLine(const std::string& text);
std::string LogTabs(int count);
// "label" + two tabs + value: the shape of almost every log line.
void LogValue(const std::string& label, const std::string& value);
bool LogEnabled();
void CloseLog();  // for tests; the game leaves the file open until it ends

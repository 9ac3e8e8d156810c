// log_report.cpp: the machine, game, path and settings report the log opens with, and its language section.
#include <string>

#include "app/spine.h"
#include "core/log.h"
#include "core/state.h"
#include "data/text.h"
#include "platform.h"

SystemFacts ReadSystemFacts() {
    SystemFacts facts;
    facts.CpuName = CpuName();
    facts.TotalCores = CpuCountSystem();
    facts.AvailableCores = CpuCountProcess();
    facts.TotalMemory = TotalMemory();
    facts.FreeMemory = FreeMemory();
    facts.Desktops = MonitorCount();
    facts.OsVersion = OsVersionCode();
    return facts;
}

std::string LogFileName(int64_t startTime) {
    return "Log " + FormatDate("%yyyy-%mm-%dd--%hh-%ii-%ss", startTime) + ".log";
}

std::string ScreenModeName(int gameScreen) {
    switch (gameScreen) {
        case ScreenFullscreen: return "Fullscreen";
        case ScreenWindowed: return "Windowed";
        case ScreenBorderless: return "Borderless";
        default: return std::to_string(gameScreen);
    }
}

namespace {

std::string TrimLeadingBlanks(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    return start == std::string::npos ? std::string() : text.substr(start);
}

}  // namespace

void WriteSystemReport(const SystemFacts& facts) {
    WriteLogLine("[SYSTEM DETAILS]");
    LogValue("CPU Name:", TrimLeadingBlanks(facts.CpuName));
    LogValue("Total CPU cores:", std::to_string(facts.TotalCores));
    LogValue("Available CPU cores:", std::to_string(facts.AvailableCores));
    LogValue("Total physical memory:", std::to_string(facts.TotalMemory));
    LogValue("Free physical memory:", std::to_string(facts.FreeMemory));
    LogValue("Number of desktops:", std::to_string(facts.Desktops));
    LogValue("Operating system:", std::to_string(facts.OsVersion));
    WriteLogLine("");

    WriteLogLine("[GAME DETAILS]");
    LogValue("Title:", "Prismoria");
    LogValue("Family:", "KX Games");
    LogValue("Version:", "1.0.0.0");
    // The folder below the per-user data folder, written the way the game has always named it.
    LogValue("Directory:", "dawnwhistle game studio\\Prismoria");
    LogValue("Bit:", "(x86)");
    WriteLogLine("");

    WriteLogLine("[CODE SUBSYSTEMS]");
    LogValue("Language:", LanguageComponentVersion);
    LogValue("Log:", "1.2");
    WriteLogLine("");

    WriteLogLine("[PATHS]");
    LogValue("GameDir:", App.GameDir);
    LogValue("UserDir:", App.UserDir);
    LogValue("SaveTo:", App.SaveTo);
    WriteLogLine("");

    WriteLogLine("[INITIAL SETTINGS]");
    LogValue("Language:", App.Settings.Language);
    LogValue("GameScreen:", ScreenModeName(App.Settings.GameScreen));
    LogValue("Music:", App.Settings.Music ? "On" : "Off");
    LogValue("ScreenMode:", std::to_string(App.Settings.Resolution));
    WriteLogLine("");
}

bool StartLogReport(const SystemFacts& facts, int64_t startTime) {
    if (!OpenLog(App.SaveTo + LogFileName(startTime), "Prismoria")) {
        return false;
    }
    EnableLog();
    WriteLogLine(FormatDate("%yyyy-%mm-%dd--%hh-%ii-%ss", startTime));
    WriteLogLine("");
    WriteSystemReport(facts);
    return true;
}

void LogAvailableLanguages() {
    WriteLogLine("[AVAILABLE LANGUAGES]");
    for (const LanguageListEntry& entry : Languages.List) {
        LogValue("Language:", entry.name);
    }
    WriteLogLine("");
    WriteLogLine("[STARTING GAME]");
}

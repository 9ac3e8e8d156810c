// preferences.h: the settings file "Prismoria.prefs": read once at start-up, written once at the end.
#pragma once

#include <string>

// Reads folder + "Prismoria.prefs" into App.Settings (and its pending copy).
// 1 when the file could be opened; 0 leaves every setting as it was.
// Values outside their ranges are brought to the nearest allowed one.
int ReadPreferences(const std::string& folder);

// Removes the temporary files a save of the preferences in the folder left
// behind when it was cut short (a second signal while the game was saving).
void RemoveUnfinishedPreferences(const std::string& folder);

// Writes the six settings in force to folder + "Prismoria.prefs", replacing the
// file; 1 when it was created and written completely.
int WritePreferences(const std::string& folder);

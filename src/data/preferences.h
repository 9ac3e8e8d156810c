// preferences.h: the settings file "Prismoria.prefs": read once at start-up, written once at the end.
#pragma once

#include <string>

// Reads folder + "Prismoria.prefs" into App.Settings (and its pending copy).
// 1 when the file could be opened; 0 leaves every setting as it was.
// Values outside their ranges are brought to the nearest allowed one.
int ReadPreferences(const std::string& folder);

// Writes the six settings in force to folder + "Prismoria.prefs", replacing the
// file; 1 when it was created and written completely.
int WritePreferences(const std::string& folder);

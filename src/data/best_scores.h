// best_scores.h: the high-score file "Prismoria.scores": the nine best scores kept between runs.
#pragma once

#include <string>

// Reads folder + "Prismoria.scores" into the best-score table: nine little-endian
// 32-bit signed numbers, game mode outer, board size inner. Bytes missing at the
// end read as 0 (a part of an entry gives its low-order bytes); bytes after the
// 36th are ignored. 1 when the file could be read; 0 leaves the table unchanged.
int LoadBestScores(const std::string& folder);

// Removes the temporary files a save of the scores in the folder left behind
// when it was cut short.
void RemoveUnfinishedScores(const std::string& folder);

// Writes the table to folder + "Prismoria.scores" as exactly those 36 bytes,
// replacing the file atomically. 1 when the new file is in place; 0 leaves any
// old file as it was. A file that was there at the last load but could not be
// read is never written over.
int SaveBestScores(const std::string& folder);

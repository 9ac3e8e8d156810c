// pf_internal.h: what the platform layer's own files share with each other (never the game).
#pragma once

// Each area frees its objects; PfShutdown calls them all.
void PfVideoShutdown();
void PfAudioShutdown();
void PfArchivesShutdown();
void PfKeyFilesShutdown();
void PfFilesShutdown();

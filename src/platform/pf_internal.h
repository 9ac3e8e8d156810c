// pf_internal.h: what the platform layer's own files share with each other (never the game).
#pragma once

// Each area frees its objects; PfShutdown calls them all.
void PfVideoShutdown();
void PfAudioShutdown();
void PfArchivesShutdown();
void PfKeyFilesShutdown();
void PfFilesShutdown();

// True for the renderer names of OpenGL implementations that rasterise on the CPU
// (Mesa's llvmpipe and softpipe, the classic software rasteriser).
bool PfIsSoftwareOpenGl(const char* rendererName);

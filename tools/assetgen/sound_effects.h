// sound_effects.h: the six short game sounds, synthesised before level setting and encoding.
#pragma once

#include "synth.h"

Track RenderRefusedDrop();  // a soft falling "bonk": the piece does not fit
Track RenderPiecePlaced();  // a small gem clink
Track RenderLinesCleared(); // a bright rising chime
Track RenderGameOver();     // a low dark bell, struck twice a third apart, falling
Track RenderMenuClick();    // a tiny soft pop
Track RenderNewBest();      // a sparkling ticker up to a bright chord

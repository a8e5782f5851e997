// The game's music: an original loop in D minor at 150 beats a minute, written
// as readable note and drum tables and rendered by the instruments.
#pragma once

#include "synth.h"

// Renders the whole loop, 44100 Hz stereo; its end joins its start seamlessly.
Sound music_render();

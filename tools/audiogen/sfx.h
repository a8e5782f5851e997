// The game's sound effects, each synthesized from a recipe of oscillators,
// seeded noise, envelopes and filters, in the rate and layout the game ships.
#pragma once

#include "synth.h"

enum EngineLevel { ENGINE_SLOW = 0, ENGINE_CRUISE = 1, ENGINE_AFTERBURNER = 2 };

Sound sfx_shot();                 // 44100 Hz stereo: one gun round
Sound sfx_engine_loop(int level); // 11025 Hz mono: a seamless two-second loop
Sound sfx_engine_start();         // 11025 Hz mono: the turbine spooling up
Sound sfx_missile();              // 44100 Hz stereo: launch and whoosh away
Sound sfx_lockon();               // 44100 Hz stereo: the lock-on double beep
Sound sfx_explosion();            // 44100 Hz stereo: a missile hit
Sound sfx_rocket();               // 22050 Hz mono: a rocket motor burn

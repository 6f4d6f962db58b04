// Synthesised instruments for the music modules. Pitched instruments record an exact
// whole number of samples per cycle, so their loops are seamless.
#pragma once

#include "tools/soundgen/Module.h"

namespace soundgen {

Instrument MakeHarp();        // plucked string, decays by itself
Instrument MakeFlute();       // breathy lead, sustains (looped)
Instrument MakeStrings();     // slow, detuned pad (looped)
Instrument MakeBass();        // round plucked bass (looped)
Instrument MakeSquareLead();  // bright pulse lead (looped)
Instrument MakeMarimba();     // wooden mallet, decays by itself
Instrument MakePluckBass();   // short bass pluck for trackers without envelopes
Instrument MakeKick();
Instrument MakeSnare();
Instrument MakeClosedHat();
Instrument MakeOpenHat();
Instrument MakeFrameDrum();   // low hand drum
Instrument MakeShaker();

} // namespace soundgen

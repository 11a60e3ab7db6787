// The voicing engine: everything that turns a trigger note into voiced, scale-snapped, delayed output notes and
// releases them again, with no host, no plug-in base and no editor. It needs only the standard library.
//
//   Voice           an output voice: channel, intervals, velocity offset, delay, mutes; rotation by algorithm
//   ScaleMap        snapping of a note to the nearest degree of a scale on a tonic
//   DelayDivisions  the tempo-synchronised note values and their length in samples
//   NoteTracker     the time-ordered queue of scheduled note events and the table of sounding notes
//   TriggerTracker  the notes each trigger produced, so that its release ends exactly those
//   MidiLimits      the note and channel ranges the tables are built on
//
// All times are integer sample counts.
#pragma once

#include "DelayDivisions.h"
#include "MidiLimits.h"
#include "NoteTracker.h"
#include "ScaleMap.h"
#include "TriggerTracker.h"
#include "Voice.h"

#pragma once
// Keeps the platform from showing its fault box while the program ends.

namespace ModPreventCrash {

// SetErrorMode(SEM_NOGPFAULTERRORBOX), called just before the program ends.
void PreventCrashOnExit();

}  // namespace ModPreventCrash

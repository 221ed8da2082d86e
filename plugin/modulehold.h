// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_MODULEHOLD_H
#define VQTINTWELL_MODULEHOLD_H

// Keeps the library's code in the process for the time of a host's call that
// runs an event loop or the host's callbacks, from which the host may unload
// the library: its code must still be there when the call returns into it.
//
// The library's reference on itself outlives the call: dropped as the call
// returns, it could be the last one, and the code dropping it would return
// into pages that are gone. It is dropped at the host's next ReleaseInterface
// instead, which the host can only call while it holds the library itself.
class ModuleHold
{
public:
    ModuleHold();
    ~ModuleHold();
    ModuleHold(const ModuleHold&) = delete;
    ModuleHold& operator=(const ModuleHold&) = delete;

    // Drops the reference that earlier calls left, unless a call holds it.
    static void dropLeftover();
};

#endif

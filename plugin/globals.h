// SPDX-License-Identifier: MIT
#ifndef VQTINTWELL_GLOBALS_H
#define VQTINTWELL_GLOBALS_H

class IInkHost;

// The host's callback interface, shared by every interface object. Set by the
// first successful SetHost, replaced by later ones, never cleared or deleted.
extern IInkHost* g_host;

// True while a show operation owns the one ink management dialog of the process.
extern bool g_dialogOpen;

#endif

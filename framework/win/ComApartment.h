#pragma once

#include <windows.h>

// COM for the few calls that need it, with ole32 loaded from the system folder on first use
// rather than imported, so it stays out of start-up.

// Gives the calling thread a single-threaded apartment (OLE1 DDE off) before its first COM
// use; once per thread, kept until the process ends. False when COM cannot be had.
bool EnterComApartment();

// CoCreateInstance of an in-process server, in the calling thread's apartment.
HRESULT CreateComInstance(REFCLSID server, REFIID interfaceId, void** object);

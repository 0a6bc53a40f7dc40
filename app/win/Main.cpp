#include "app/win/ClientApp.h"

// The one application object, made before the entry point runs.
CClientApp theApp;

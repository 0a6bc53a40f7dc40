// Linked into the Qt baseline's second build only: one reference into libcurl, the library
// the Linux tarnftp links beside Qt, so that the loader maps and starts the same libraries
// and the start-up comparison can tell their cost from the program's own.
#include <curl/curl.h>

using AnyFunction = void (*)();

extern AnyFunction const volatile sameLibraries[];
AnyFunction const volatile sameLibraries[] = {
    reinterpret_cast<AnyFunction>(&curl_easy_init),
};

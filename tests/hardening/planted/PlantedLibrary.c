/* A library planted beside a program under the name of a system library: it exports
   only a marker, so a test can tell it from the system's own. */
__declspec(dllexport) int KestrelPlantedMarker(void) { return 1; }

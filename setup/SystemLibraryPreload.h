// System libraries loaded early from the system folder by full path, so that
// system code that later loads them by bare name gets the loaded module and
// never a file of that name planted beside the program.
#pragma once

// Loads every library of the preload list that exists in the system folder,
// by full path and with its own dependencies searched for in the system folder
// rather than beside the program. The modules stay loaded for the life of the
// process: keeping them is the point.
// Returns how many libraries were loaded (those the system lacks are skipped).
int PreloadSystemLibraries();

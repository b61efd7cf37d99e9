// StartupBench: the programs are started in rounds, so that each round meets the
// machine in the same state for all of them; the median hides a slow round.
#include "tests/gui/StartupBench.h"

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/gui/WizardProbe.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// Milliseconds until the program's first visible window, or -1.
double TimeToWindow(const wchar_t* program) {
  StartedProgram started;
  LARGE_INTEGER from, to;
  QueryPerformanceCounter(&from);
  if (!started.start(program)) return -1;
  if (!WaitUntil(kWindowWait, [&] { return TopWindowOf(started.id(), nullptr) != nullptr; })) {
    return -1;
  }
  QueryPerformanceCounter(&to);
  return Milliseconds(from, to);  // the program is ended as `started` goes
}

const wchar_t* BaseName(const wchar_t* path) {
  const wchar_t* name = wcsrchr(path, L'\\');
  return name != nullptr ? name + 1 : path;
}

}  // namespace

int StartupBench(int runs, int count, wchar_t** programs) {
  if (runs < 1 || count < 1) return 1;
  std::vector<std::vector<double>> times(static_cast<size_t>(count));
  for (int run = 0; run < runs; ++run) {
    for (int i = 0; i < count; ++i) {
      const double ms = TimeToWindow(programs[i]);
      if (ms < 0) {
        fprintf(stderr, "bench: %ls showed no window\n", programs[i]);
        return 1;
      }
      times[static_cast<size_t>(i)].push_back(ms);
    }
  }
  double first = 0;
  for (int i = 0; i < count; ++i) {
    std::vector<double>& t = times[static_cast<size_t>(i)];
    std::sort(t.begin(), t.end());
    const double median = t[t.size() / 2];
    if (i == 0) first = median;
    printf("bench: %-24ls median %7.1f ms (min %7.1f, max %7.1f, %d runs)  %s%.2f\n",
           BaseName(programs[i]), median, t.front(), t.back(), runs,
           i == 0 ? "" : "its median / the first's = ", first > 0 && i > 0 ? median / first : 1.0);
  }
  if (count > 1) printf("bench: the first is %ls\n", BaseName(programs[0]));
  fflush(stdout);
  return 0;
}

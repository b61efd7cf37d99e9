// Throughput of Format against the C library's snprintf on two mixes of
// conversions: integers with texts, and floating-point values. Prints calls
// per second for each; it asserts nothing (run it, read the numbers).
// usage: format_bench [iterations, default 2000000]
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "text/Format.h"

namespace {

double Seconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

volatile size_t checksum = 0;

template <typename Body>
double CallsPerSecond(long iterations, Body body) {
  double start = Seconds();
  for (long i = 0; i < iterations; ++i) body(i);
  double elapsed = Seconds() - start;
  return elapsed > 0 ? iterations / elapsed : 0;
}

void Report(const char* mix, double ours, double theirs) {
  printf("%-22s Format %12.0f calls/s   snprintf %12.0f calls/s   ratio %.2f\n", mix, ours,
         theirs, theirs > 0 ? ours / theirs : 0);
}

}  // namespace

int main(int argc, char** argv) {
  long iterations = argc > 1 ? strtol(argv[1], nullptr, 10) : 2000000;
  WString target;
  char buffer[512];

  double ours = CallsPerSecond(iterations, [&](long i) {
    Format(&target, WTEXT("%d items in %s (%5u, %#x, %-8s|) %s"), static_cast<int>(i),
           WTEXT("C:\\Program Files\\Kestrel"), static_cast<unsigned>(i * 7), static_cast<unsigned>(i),
           WTEXT("kbd"), WTEXT("done"));
    checksum = checksum + static_cast<size_t>(target.Length());
  });
  double theirs = CallsPerSecond(iterations, [&](long i) {
    int n = snprintf(buffer, sizeof buffer, "%d items in %s (%5u, %#x, %-8s|) %s",
                     static_cast<int>(i), "C:\\Program Files\\Kestrel",
                     static_cast<unsigned>(i * 7), static_cast<unsigned>(i), "kbd", "done");
    checksum = checksum + static_cast<size_t>(n);
  });
  Report("integers and texts", ours, theirs);

  long floatIterations = iterations / 4;
  ours = CallsPerSecond(floatIterations, [&](long i) {
    double x = 1234.5678 + i * 0.001;
    Format(&target, WTEXT("%.3f %e %.6g %.10f"), x, x / 7, x * 1e-9, 1.0 / (i + 3));
    checksum = checksum + static_cast<size_t>(target.Length());
  });
  theirs = CallsPerSecond(floatIterations, [&](long i) {
    double x = 1234.5678 + i * 0.001;
    int n = snprintf(buffer, sizeof buffer, "%.3f %e %.6g %.10f", x, x / 7, x * 1e-9,
                     1.0 / (i + 3));
    checksum = checksum + static_cast<size_t>(n);
  });
  Report("floating point", ours, theirs);
  return 0;
}

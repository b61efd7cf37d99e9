// The debugger output channel and its replaceable sink.
#include "text/DebugOutput.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <stdio.h>
#endif

namespace {

void DefaultSink(const WChar* text) {
#if defined(_WIN32)
  OutputDebugStringW(text);
#else
  // Plain UTF-8 for a terminal; surrogates are written one by one, as the text class does.
  for (const WChar* p = text; *p != 0; ++p) {
    unsigned u = *p;
    if (u < 0x80) {
      fputc(static_cast<int>(u), stderr);
    } else if (u < 0x800) {
      fputc(static_cast<int>(0xC0 | (u >> 6)), stderr);
      fputc(static_cast<int>(0x80 | (u & 0x3F)), stderr);
    } else {
      fputc(static_cast<int>(0xE0 | (u >> 12)), stderr);
      fputc(static_cast<int>(0x80 | ((u >> 6) & 0x3F)), stderr);
      fputc(static_cast<int>(0x80 | (u & 0x3F)), stderr);
    }
  }
#endif
}

DebugTextSink currentSink = DefaultSink;

}  // namespace

void SendDebugText(const WChar* text) {
  if (text != nullptr) currentSink(text);
}

DebugTextSink SetDebugTextSink(DebugTextSink sink) {
  DebugTextSink previous = currentSink;
  currentSink = sink != nullptr ? sink : DefaultSink;
  return previous;
}

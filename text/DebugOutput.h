// The debugger output channel: OutputDebugStringW on Windows, standard error
// elsewhere. Tests can redirect it to capture what a unit sends.
#pragma once

#include "text/WChar.h"

typedef void (*DebugTextSink)(const WChar* text);

// Sends one terminated UTF-16 text to the current sink.
void SendDebugText(const WChar* text);
// Replaces the sink (null restores the default); returns the previous one.
DebugTextSink SetDebugTextSink(DebugTextSink sink);

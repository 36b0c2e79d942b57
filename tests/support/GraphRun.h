#pragma once
// Runs a DirectShow graph as a player would, for the tests that judge a
// filter by what passes through it.

#include <dshow.h>

// Runs graph until it completes, then stops it: the event code that ended the
// wait (EC_COMPLETE, EC_ERRORABORT...), -1 when it could not run, -2 when no
// end came within timeoutMs.
long RunToCompletion(IGraphBuilder* graph, long timeoutMs = 30000);

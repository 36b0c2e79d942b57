#pragma once
// Runs a DirectShow graph as a player would, for the tests that judge a
// filter by what passes through it.

#include <dshow.h>

#include <utility>
#include <vector>

// The codes and first parameters of a graph's events, in order.
using GraphEvents = std::vector<std::pair<long, LONG_PTR>>;

// Runs graph until EC_COMPLETE, then stops it: the events on the way. A test
// failure when no EC_COMPLETE came within timeoutMs.
GraphEvents RunToCompletion(IGraphBuilder* graph, DWORD timeoutMs = 60000);

// Whether events hold code with that first parameter.
bool HasEvent(const GraphEvents& events, long code, LONG_PTR param);

#pragma once
// The file a graph plays: the one its file source filter names. The source
// filter's own name need not be the path.

#include <string>

struct IFilterGraph;

// Empty when no filter of the graph names a file.
std::wstring SourceFileOf(IFilterGraph* graph);

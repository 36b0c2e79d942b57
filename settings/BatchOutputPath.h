#pragma once
// Naming the outputs of a batch conversion, which never replaces a file.

#include <string>

#include "settings/OutputFormat.h"

// The output of source in a batch: the source's file name with the format's
// extension, in folder (empty: the source's own folder), numbered " (2)",
// " (3)" ... before the extension while a file or folder of that name
// exists. False after a message (no owner window) when the format has no
// extension or no free name fits a path buffer; output is then unchanged.
bool BatchOutputPath(OutputFormat format, const char* source, const std::string& folder,
                     std::string& output);

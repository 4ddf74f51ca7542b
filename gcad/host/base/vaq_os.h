// Operating-system services the libraries need: processor count and standard streams
// opened on files with UTF-8 names.
#pragma once

#include <QString>

#include <fstream>
#include <ios>

namespace Vaq::OS {

// Number of processors the process may run on, at least 1.
unsigned getNumberOfCPUs();

// Opens a file stream in the given mode (std::ios::in or std::ios::out, binary added).
// The caller checks good() to see whether it opened.
void openStdStream(std::fstream &stream, const QString &fileName, std::ios::openmode mode);

} // namespace Vaq::OS

#pragma once
// The sample add-on's user manual, a short PDF.

#include <QString>

namespace sample {

// Writes the manual to path. Throws on failure.
void WriteManual(const QString& path);

}  // namespace sample

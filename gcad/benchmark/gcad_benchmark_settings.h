// MeshBenchmarkSettings: how one run of the mesh benchmark is made, read from the command's
// parameter text. The empty text is the standard run (the view sized from the screen, at least
// 0.5 s and 5 frames per measurement, the 1001 x 1001 dome); programs and tests ask for a
// given view size, shorter measurements, a smaller dome or the measurement lines.
#pragma once

#include <QString>

namespace Vaq::GCAD {

struct MeshBenchmarkSettings
{
    static constexpr unsigned DOME_SIZE = 1001;
    static constexpr unsigned MAX_WIDGET_SIZE = 16384;

    unsigned widgetSize = 0; // edge of the square view in pixels; 0: from the screen
    double minSeconds = 0.5; // each measurement lasts at least this long...
    unsigned minFrames = 5; // ...and this many frames
    unsigned domeSize = DOME_SIZE; // vertices per side of the test meshes
    bool verbose = false; // the measurement lines on standard output

    // The standard run: the view sized from the screen, full measurements of the full dome.
    // Only its rates stand for the configuration; verbose output does not change them.
    bool isFullRun() const;

    // Reads blank-separated items: "size=N" (N from 1 to 16384), "quick" (0.1 s and 2 frames
    // per measurement), "dome=N" (N from 2 to 1001) and "verbose"; a later item wins over an
    // earlier one of its kind. False, with the reason in *error and *this unchanged, for
    // anything else: "unknown parameter: '<item>'", "size: '<N>' is not a whole number from
    // 1 to 16384", "dome: '<N>' is not a whole number from 2 to 1001".
    bool parse(const QString &parameters, QString *error);
};

} // namespace Vaq::GCAD

// The subcommands of the gcad program. Each takes the arguments after its name and returns
// the exit status; bad input is thrown as UsageError.
#pragma once

#include <QStringList>

namespace Gcad {

// Prints the graphics configuration the library sees and the stored performance index of
// it, one "label: value" per line.
int runInfo(const QStringList &arguments);

// gcad check: runs the library's start-up check of the graphics board, prints what it would
// tell the user instead of showing it, and saves the states it stores.
int runCheck(const QStringList &arguments);

// gcad render [FILE...] [-o PICTURE] [--size WxH] [--view DIR] [--flat] [--edges] [--points]
// [--crease DEG] [--labels] [--raster] [--point-mark X,Y,Z[:TEXT]]... [--cross X,Y,Z]:
// draws the files (or the demo scene), with the 2-D overlay asked for, into a picture and
// prints one summary line, unless the picture goes to standard output.
int runRender(const QStringList &arguments);

// gcad pick [FILE...] (--at X,Y | --rect X0,Y0,X1,Y1) [--json] and the view options of render:
// draws the scene as render does and prints the elements drawn at the pixel or in the
// rectangle (pixels of the picture, from its upper left corner), for --at also the rotation
// centre under the pixel with its depth, or "nothing".
int runPick(const QStringList &arguments);
// gcad view [FILE...|SCENE.json] [--size WxH] [--view DIR] [--crease DEG] [--snapshot N]
// [--benchmark-frames N] [--screenshot-on-exit PNG] [--no-check]: shows the files (or the demo scene) in a
// window until it is closed, after the graphics board check of an application's start (unless
// --no-check). Files that cannot be read are reported and the rest is shown; no display is a UsageError.
int runView(const QStringList &arguments);

// gcad bench [--size N] [--quick] [--dome N] [--baseline] [--json FILE] [--verbose]: runs the library's
// mesh benchmark (whose full run stores its result), prints the rates, the performance index and
// whether they were stored, with --baseline also each rate's ratio to the same meshes drawn from
// plain buffers. With --vertex-cache (and only --size and --quick): the vertex cache benchmark
// on the demo scene instead.
int runBench(const QStringList &arguments);

} // namespace Gcad

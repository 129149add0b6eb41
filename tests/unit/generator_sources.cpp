// Compiles the generator's writer, canvas and lettering into the unit tests once: the generator is a program of
// its own, not part of the kelvara library, and these three files need nothing from its other sources.
#include "tools/generate/canvas.cpp"
#include "tools/generate/image_io.cpp"
#include "tools/generate/text.cpp"

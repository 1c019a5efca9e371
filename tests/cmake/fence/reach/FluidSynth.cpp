// Must not compile in a headless library.
#include <fluidsynth.h>

// Must not compile in a headless library.
#include <aubio/aubio.h>

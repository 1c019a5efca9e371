// Must not compile in a headless library.
#include <rtmidi/RtMidi.h>

// Must not compile in a headless library.
#include <QtMultimedia/QMediaPlayer>

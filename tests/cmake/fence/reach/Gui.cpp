// Must not compile in a headless library.
#include <QtGui/QColor>

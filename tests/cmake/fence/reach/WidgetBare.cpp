// Must not compile in a headless library.
#include <QWidget>

// Must not compile in a headless library.
#include <QtWidgets/QWidget>

// Composition root of Pellivark: builds the real services and starts the main window.
#include <cstdio>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Pellivark"));
    std::puts("Pellivark: the main window is not built yet; the libraries and their tests are.");
    return 0;
}

// Opening an address through the desktop.
#include "shell/links/ui/DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace pv {

bool DesktopOpener::OpenDocument(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace pv

// The desktop's "open": addresses go to the user's browser, mail program or file manager.
#pragma once

#include "shell/links/TURL.h"

namespace pv {

class DesktopOpener final : public IDocumentOpener
{
public:
    bool OpenDocument(const QString& address) override;
};

} // namespace pv

// A system library opened on first use.
#include "music/devices/OnDemandLibrary.h"

#include <dlfcn.h>

namespace pv {

namespace {

QString LoaderError(const QString& otherwise)
{
    const char* error = dlerror();
    return error != nullptr ? QString::fromLocal8Bit(error) : otherwise;
}

} // namespace

OnDemandLibrary::OnDemandLibrary(const char* fileName)
{
    // Local: the library's names must not stand in for those of libraries loaded after it.
    // Now: a missing function of the library's own dependencies shows here, not at a call.
    m_handle = dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr)
        m_error =
            LoaderError(QStringLiteral("%1 could not be loaded").arg(QString::fromUtf8(fileName)));
}

void* OnDemandLibrary::Symbol(const char* name)
{
    if (m_handle == nullptr)
        return nullptr;
    dlerror();
    void* symbol = dlsym(m_handle, name);
    if (symbol == nullptr)
        m_error = LoaderError(QStringLiteral("%1 is missing").arg(QString::fromUtf8(name)));
    return symbol;
}

} // namespace pv

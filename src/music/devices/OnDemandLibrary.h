// A system library opened when its functions are first needed rather than linked.
#pragma once

#include <QString>

namespace pv {

/// Every library the program links is mapped and relocated before main(), with each library
/// it links in turn; one opened here costs nothing until it is used. It stays loaded until the
/// process ends: threads it started and objects made with it may outlive any owner.
class OnDemandLibrary
{
public:
    /// Opens the library; fileName is the name it is loaded by at run time (its SONAME).
    explicit OnDemandLibrary(const char* fileName);
    OnDemandLibrary(const OnDemandLibrary&) = delete;
    OnDemandLibrary& operator=(const OnDemandLibrary&) = delete;
    ~OnDemandLibrary() = default;

    bool IsLoaded() const { return m_handle != nullptr; }
    /// Why the library or the last function asked for could not be found; empty when all were.
    const QString& Error() const { return m_error; }

    /// Sets function to the library's function of that name (null, with Error() set, when the
    /// library is not loaded or has no such function). Function is the pointer type of the
    /// function's own declaration, so a call through it is checked like a direct one.
    template <typename Function> bool Resolve(const char* name, Function& function)
    {
        function = reinterpret_cast<Function>(Symbol(name));
        return function != nullptr;
    }

private:
    void* Symbol(const char* name);

    void* m_handle = nullptr;
    QString m_error;
};

} // namespace pv

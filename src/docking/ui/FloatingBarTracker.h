// Keeps floating bars shown or hidden as their forms and the program change: the program
// becoming active or inactive, a form shown, hidden, moved or minimised. Qt's application
// and window events tell us, where a system hook would have been needed.
#pragma once

#include <vector>

#include <QObject>
#include <QPointer>

namespace pv::docking {

class TCustomToolWindow;

class FloatingBarTracker final : public QObject
{
    Q_OBJECT
public:
    /// The one tracker of the program (it lives as long as the application object).
    static FloatingBarTracker& Instance();

    /// `FloatingToolWindows`: the bars that float now.
    std::vector<TCustomToolWindow*> FloatingToolWindows() const;
    void Add(TCustomToolWindow& bar);
    void Remove(TCustomToolWindow& bar);

    /// The program's activity as its last change said.
    bool ApplicationActive() const { return m_applicationActive; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FloatingBarTracker();
    void ApplicationStateChanged(Qt::ApplicationState state);
    void UpdateBarsOf(const QObject* form);

    std::vector<QPointer<TCustomToolWindow>> m_bars;
    bool m_applicationActive = true;
};

} // namespace pv::docking

// Opening the help window, from a button, a menu or F1.
#include "shell/help/ui/HelpDesk.h"

#include "music/base/Prompts.h"
#include "music/strings/UIStrings.h"
#include "shell/help/HelpService.h"
#include "shell/help/ui/THelpViewer.h"

#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>

namespace pv {

HelpDesk::HelpDesk(IPrompts& prompts, const UIStringTable& strings, QWidget& owner)
    : m_prompts(prompts), m_strings(strings), m_owner(owner)
{
    qApp->installEventFilter(this);
}

HelpDesk::~HelpDesk()
{
    qApp->removeEventFilter(this);
}

void HelpDesk::Show(const QString& helpFile, std::optional<int> context)
{
    m_helpFile = helpFile;
    auto topic = OpenHelpTopic(helpFile, context);
    if (!topic) {
        m_prompts.ShowError(HelpFailureText(helpFile, topic.Err(), m_strings),
                            m_strings.StrHelp.isEmpty() ? QStringLiteral("Help")
                                                        : m_strings.StrHelp);
        return;
    }
    if (m_viewer == nullptr)
        m_viewer = new THelpViewer(m_strings, &m_owner);
    // Asked from a modal dialog, the window would be blocked by it: it is then modal itself,
    // above the dialog, which the user returns to on closing it.
    const QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted =
        modal != nullptr && modal != m_viewer ? Qt::ApplicationModal : Qt::NonModal;
    if (m_viewer->windowModality() != wanted) {
        // The modality of a shown window does not change until it is shown again.
        m_viewer->hide();
        m_viewer->setWindowModality(wanted);
    }
    m_viewer->ShowTopic(std::move(topic.Value()));
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
}

bool HelpDesk::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || widget == nullptr)
        return QObject::eventFilter(watched, event);
    const QWidget* window = widget->window();
    // The main window and its tool windows have F1 in their Help menu; the help window has
    // no help of its own.
    if (window == m_owner.window() || window == m_viewer || window->windowType() == Qt::Popup ||
        (window->windowType() == Qt::Tool && window->parentWidget() != nullptr &&
         window->parentWidget()->window() == m_owner.window()) ||
        qobject_cast<const QDockWidget*>(window) != nullptr)
        return QObject::eventFilter(watched, event);
    std::optional<int> context;
    for (const QWidget* w = widget; w != nullptr; w = w->isWindow() ? nullptr : w->parentWidget()) {
        bool ok = false;
        const int own = w->property(kHelpContextProperty).toInt(&ok);
        if (ok && own > 0) {
            context = own;
            break;
        }
    }
    Show(m_helpFile, context);
    return true;
}

} // namespace pv

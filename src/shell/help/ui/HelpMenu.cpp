// The Help menu's help entries, named as the language file names them.
#include "shell/help/ui/HelpMenu.h"

#include "shell/help/HelpContexts.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace pv {

namespace {

/// An entry that opens one topic: the topic is the entry's tag.
QAction* AddTopic(QMenu& menu, const char* name, const char* text, int context,
                  const std::function<void(std::optional<int>)>& show)
{
    QAction* action = menu.addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("tag", context);
    QObject::connect(action, &QAction::triggered, &menu, [show, context] { show(context); });
    return action;
}

} // namespace

HelpMenuEntries AddHelpEntries(QMenu& menu, std::function<void(std::optional<int>)> show,
                               std::function<void()> contextHelp)
{
    AddTopic(menu, "Keyboardshortcuts1", "&Keyboard shortcuts...", kKeyboardShortcutsHelp, show);
    AddTopic(menu, "Usingthemicrophone1", "Using the &microphone...", kMicrophoneHelp, show);
    QMenu* theory = menu.addMenu(QStringLiteral("&Theory"));
    theory->setObjectName(QStringLiteral("Theory1Menu"));
    theory->menuAction()->setObjectName(QStringLiteral("Theory1"));
    AddTopic(*theory, "Intervals1", "&Intervals", kIntervalTheoryHelp, show);
    AddTopic(*theory, "Chords1", "&Chords", kChordTheoryHelp, show);
    AddTopic(*theory, "Scales2", "&Scales", kScaleTheoryHelp, show);
    menu.addSeparator();

    HelpMenuEntries entries;
    entries.Contents = menu.addAction(QStringLiteral("&Contents..."));
    entries.Contents->setObjectName(QStringLiteral("Indhold1"));
    entries.Contents->setShortcut(QKeySequence(Qt::Key_F1));
    QObject::connect(entries.Contents, &QAction::triggered, &menu, [show] { show(std::nullopt); });
    entries.ContextHelp = menu.addAction(QStringLiteral("Help on &this window..."));
    entries.ContextHelp->setObjectName(QStringLiteral("Contexthelp1"));
    entries.ContextHelp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    QObject::connect(entries.ContextHelp, &QAction::triggered, &menu,
                     [contextHelp = std::move(contextHelp)] { contextHelp(); });
    return entries;
}

} // namespace pv

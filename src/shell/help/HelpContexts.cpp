// The context rule of the main window's help button.
#include "shell/help/HelpContexts.h"

namespace pv {

int ContextHelpFor(std::optional<ExerciseKind> kind, MainView view, bool tutorActive)
{
    if (!kind)
        return kStartMenuHelp;
    switch (view) {
    case MainView::Exercise:
        return tutorActive ? kTutorHelp : KindViewHelp(*kind, view);
    case MainView::Results:
        return kResultsViewHelp;
    case MainView::ExerciseSetup:
    case MainView::UserOverview:
        return KindViewHelp(*kind, view);
    }
    // A view value of no view (a damaged byte) opens the exercise's own page.
    return KindViewHelp(*kind, MainView::Exercise);
}

} // namespace pv

// Where the program's help is asked for: every Help button, the Help menu and F1 in the
// program's dialogs come here, and the help window opens at the page of the help context.
#pragma once

#include "shell/help/ui/THelpViewer.h"

#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace pv {

class IPrompts;
struct UIStringTable;

/// The name of the property by which a dialog or one of its controls names its help context;
/// F1 there opens that page (the nearest control up from the focus that names one).
inline constexpr const char* kHelpContextProperty = "helpContext";

class HelpDesk final : public QObject
{
    Q_OBJECT

public:
    /// prompts, strings and owner must outlive the desk; the help window is kept above owner,
    /// whose own F1 is its Help menu's.
    HelpDesk(IPrompts& prompts, const UIStringTable& strings, QWidget& owner);
    ~HelpDesk() override;

    /// Opens the help file at the page of context (no context: the contents). A file that
    /// cannot be read is said in a message, and the help window stays as it was.
    void Show(const QString& helpFile, std::optional<int> context);
    /// The help window once it was made.
    THelpViewer* Viewer() const { return m_viewer; }
    /// The help file F1 in a dialog opens.
    void SetHelpFile(const QString& path) { m_helpFile = path; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IPrompts& m_prompts;
    const UIStringTable& m_strings;
    QWidget& m_owner;
    QString m_helpFile;
    QPointer<THelpViewer> m_viewer;
};

} // namespace pv

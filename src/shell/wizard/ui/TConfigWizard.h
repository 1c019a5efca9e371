// The first-run wizard's window: the sound page and the instrument page over the wizard's
// model, which it only mirrors, with the back and forward buttons under them.
#pragma once

#include "shell/wizard/ConfigWizardService.h"

#include <functional>

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;
class QToolButton;

namespace pv {

struct UIStringTable;

class TConfigWizard final : public QDialog, public IConfigWizardDialog
{
    Q_OBJECT

public:
    using Runner = std::function<int(QDialog&)>;

    /// model and strings must outlive the window; run shows it modally (empty: exec()).
    TConfigWizard(ConfigWizardModel& model, const UIStringTable& strings, Runner run = {},
                  QWidget* parent = nullptr);

    bool Exec() override;
    void Mirror();

    /// Announces the captions of the pages, labels and buttons by the language file's keys.
    void RegisterTexts(
        const std::function<void(const QString& key, std::function<void(const QString&)>)>& sink);

    ConfigWizardModel& Model() { return m_model; }

    QStackedWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; ///< the instrument
    QWidget* TabSheet2 = nullptr; ///< the sound
    QLabel* Caption1 = nullptr;   ///< TabSheet1's caption over its page
    QLabel* Caption2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr; ///< piano
    QToolButton* SpeedButton2 = nullptr; ///< guitar
    QToolButton* SpeedButton3 = nullptr; ///< other: by name
    QToolButton* SpeedButton4 = nullptr; ///< play
    QPushButton* Button1 = nullptr;      ///< back
    QPushButton* Button2 = nullptr;      ///< forward or finish
    QTimer* Timer1 = nullptr;            ///< the test note's 500 ms

private:
    QToolButton* MakeInstrumentButton(const char* name, const QString& text,
                                      WizardInstrument instrument);

    ConfigWizardModel& m_model;
    const UIStringTable& m_strings;
    Runner m_run;
    QButtonGroup* m_instruments = nullptr;
    bool m_mirroring = false;
};

} // namespace pv

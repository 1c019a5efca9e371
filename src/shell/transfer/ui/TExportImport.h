// The export and import dialog: an Import and an Export tab, the folder, the user, and a busy
// display while one runs.
#pragma once

#include "shell/transfer/ExportImport.h"

#include <functional>

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace pv {

class TExportImport final : public QDialog
{
    Q_OBJECT

public:
    using TextSink = std::function<void(const QString& key, std::function<void(const QString&)>)>;

    /// services must outlive the dialog.
    explicit TExportImport(TransferServices services, QWidget* parent = nullptr);

    ExportImportModel& Model() { return m_model; }

    /// Lists the users (the user shown selected) before the dialog is shown.
    void FillUsers();
    /// Whether the user may be chosen (the right to other users' data).
    void SetUserChoiceAllowed(bool on);
    bool ImportUser();
    bool ExportUser();

    void RegisterTextTargets(const TextSink& sink);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;   ///< Import
    QWidget* TabSheet2 = nullptr;   ///< Export
    QPushButton* BitBtn1 = nullptr; ///< import
    QPushButton* BitBtn2 = nullptr; ///< export
    QPushButton* BitBtn3 = nullptr; ///< close
    QLabel* Label6 = nullptr;       ///< exporting...
    QLabel* Label7 = nullptr;       ///< importing...
    QLabel* Label1 = nullptr;       ///< user
    QLabel* Label2 = nullptr;       ///< folder
    QLineEdit* Edit1 = nullptr;
    QComboBox* ComboBox1 = nullptr;

    /// Help topics of the user list and the folder on the Import and the Export tab.
    static constexpr int kImportUsersHelp = 255;
    static constexpr int kImportFolderHelp = 256;
    static constexpr int kExportUsersHelp = 257;
    static constexpr int kExportFolderHelp = 258;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowBusy(bool busy);
    void TabChanged(int index);

    ExportImportModel m_model;
    bool m_userChoiceAllowed = false;
    bool m_filling = false;
};

} // namespace pv

// The tutor list dialog's rules: the folder it shows, its tutors and the one selected.
#pragma once

#include "shell/tutor/TPathDialog.h"
#include "shell/tutor/TutorList.h"

#include <optional>
#include <vector>

#include <QString>

namespace pv {

class TutorListModel
{
public:
    explicit TutorListModel(const Folders& folders) : m_folders(folders) {}

    /// Prepares a showing on startFolder, or on the program folder when that is empty or no
    /// folder; nothing is selected.
    void Show(const QString& startFolder = {});
    /// Lists the tutors of the folder shown again.
    void ScanFolder();
    /// Lets the user pick another folder through dialog, starting at the one shown; a folder
    /// chosen is shown and scanned. True when one was chosen.
    bool ChooseFolder(TPathDialog& dialog);
    /// index -1 selects nothing.
    void Select(int index);

    const QString& Folder() const { return m_folder; }
    const std::vector<TAddInf>& Entries() const { return m_entries; }
    int Selected() const { return m_selected; }
    /// The selected tutor's description and author; empty without a selection.
    QString Description() const;
    QString Author() const;
    /// The selected tutor's path (a bare name in the program folder); nothing when none is.
    std::optional<QString> SelectedPath() const;

private:
    const Folders& m_folders;
    QString m_folder;
    std::vector<TAddInf> m_entries;
    int m_selected = -1;
};

} // namespace pv

// The tutor list dialog's rules.
#include "shell/tutor/TutorListModel.h"

#include <QFileInfo>

namespace pv {

void TutorListModel::Show(const QString& startFolder)
{
    m_folder = !startFolder.isEmpty() && QFileInfo(startFolder).isDir() ? startFolder
                                                                        : m_folders.ProgramFolder;
    ScanFolder();
}

void TutorListModel::ScanFolder()
{
    m_entries = pv::ScanFolder(m_folder, m_folders);
    m_selected = -1;
}

bool TutorListModel::ChooseFolder(TPathDialog& dialog)
{
    dialog.SetDirectory(m_folder);
    if (!dialog.Execute())
        return false;
    // Shown as the system spells it: another case would name another folder here.
    m_folder = dialog.Directory();
    ScanFolder();
    return true;
}

void TutorListModel::Select(int index)
{
    m_selected = index >= 0 && static_cast<std::size_t>(index) < m_entries.size() ? index : -1;
}

QString TutorListModel::Description() const
{
    return m_selected < 0 ? QString()
                          : m_entries[static_cast<std::size_t>(m_selected)].Header.Description;
}

QString TutorListModel::Author() const
{
    return m_selected < 0 ? QString()
                          : m_entries[static_cast<std::size_t>(m_selected)].Header.Author;
}

std::optional<QString> TutorListModel::SelectedPath() const
{
    return pv::SelectedPath(m_entries, m_selected);
}

} // namespace pv

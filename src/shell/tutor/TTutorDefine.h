// The loaded tutor: its header, its steps per exercise kind, and the custom item tables it may
// install in place of the program's, with the one backup that brings them back.
#pragma once

#include "exercises/items/ItemTables.h"
#include "music/files/Folders.h"
#include "shell/tutor/TutorFile.h"

#include <array>
#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// One step of a loaded tutor: the record as read and its extra text.
class TTutorObject
{
public:
    TTutorObject() = default;
    TTutorObject(TutorStepRecord record, QString extraText)
        : Record(std::move(record)), ExtraText(std::move(extraText))
    {
    }

    TutorStepRecord Record;
    QString ExtraText;
};

/// The tutor in memory. It reads and installs; running the steps is its caller's.
class TTutorDefine
{
public:
    /// exerciseItems: the program's item tables, which a tutor with items of its own replaces
    /// until `Clear`; folders: where bare file names are looked for.
    TTutorDefine(ItemTables& exerciseItems, const Folders& folders);

    /// Reads the tutor of path (a bare name lies in the program folder). On failure the
    /// previous tutor stays loaded and nothing changed; the caller refreshes the setup page of
    /// the current kind after a success. With stepsRequired a tutor without any step fails
    /// with `TutorError::NoSteps`.
    Status<TutorError> LoadFromFile(const QString& path, bool stepsRequired = false);
    /// Forgets the tutor and puts the program's item tables back when a tutor had replaced
    /// them (the backup is kept until dropped). Always true.
    bool Clear();
    void UpdateCaption();

    const TutorHeader& Header() const { return m_header; }
    /// The tutor's path as loaded; empty when none is.
    const QString& FileName() const { return m_fileName; }
    const QString& Caption() const { return m_caption; }
    bool Loaded() const { return !m_fileName.isEmpty(); }

    int StepCount(ExerciseKind kind) const;
    /// Some kind has a step: a tutor without any has nothing to teach.
    bool HasSteps() const;
    /// Step 1..StepCount(kind) of kind; nothing for any other number, so a step stored for a
    /// longer tutor or a kind without steps never reaches past the list.
    const TTutorObject* Step(ExerciseKind kind, int stepNumber) const;
    const std::vector<TTutorObject>& Steps(ExerciseKind kind) const;

    /// The selected step index per kind (zero-based); -1 after `Clear`.
    int SelectedStep(ExerciseKind kind) const;
    void SetSelectedStep(ExerciseKind kind, int index);

    /// The program's item tables were saved away while a tutor's were installed.
    bool ItemTablesBackedUp() const { return m_backup.has_value(); }
    /// Puts the saved tables back when a tutor's are in force (nothing otherwise); the backup
    /// stays.
    void RestoreItemTables();
    /// Forgets the saved tables.
    void DropItemTablesBackup() { m_backup.reset(); }
    /// The loaded tutor installed item tables of its own.
    bool CustomItemsInstalled() const { return m_customItems; }

private:
    ItemTables TutorItemTables(const TutorFileData& data) const;

    ItemTables& m_exerciseItems;
    const Folders& m_folders;
    TutorHeader m_header;
    QString m_fileName;
    QString m_caption;
    std::array<std::vector<TTutorObject>, 10> m_steps;
    std::array<int, 10> m_selected{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::optional<ItemTables> m_backup;
    bool m_customItems = false;
};

/// The numbers of the program's built-in items whose names a loaded tutor takes from the
/// running program (its own items behind them keep the tutor's names).
inline constexpr int kBuiltInChordNames = 27;
inline constexpr int kBuiltInInversionNames = 26;
inline constexpr int kBuiltInIntervalNames = 25;
inline constexpr int kBuiltInScaleNames = 31;

} // namespace pv

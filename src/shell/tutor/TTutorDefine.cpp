// Loading a tutor and installing (and taking back) its item tables.
#include "shell/tutor/TTutorDefine.h"

#include "exercises/items/OldItemConverter.h"

#include <algorithm>

namespace pv {

namespace {

std::size_t KindIndex(ExerciseKind kind)
{
    return static_cast<std::size_t>(std::clamp(KindNumber(kind), 1, 10) - 1);
}

void TakeNames(ItemTable& to, const ItemTable& from, int count)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        to.Names[i] = from.Names[i];
}

} // namespace

TTutorDefine::TTutorDefine(ItemTables& exerciseItems, const Folders& folders)
    : m_exerciseItems(exerciseItems), m_folders(folders)
{
}

ItemTables TTutorDefine::TutorItemTables(const TutorFileData& data) const
{
    if (!data.Header.IsCurrentFormat()) {
        // The old block holds only user items; the rest comes from the program's tables, which
        // are in force again once the previous tutor is cleared.
        ItemTables tables = m_exerciseItems;
        (void)ConvertOldItemTables(data.ItemBody, tables);
        return tables;
    }
    std::vector<std::uint8_t> bytes = EncodeItemTables(m_exerciseItems);
    std::copy(data.ItemBody.begin(), data.ItemBody.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(kItemTablesSize - kTutorItemBodySize));
    ItemTables tables = *DecodeItemTables(bytes);
    // The built-in items are named in the program's language, whatever the tutor's author
    // spoke; only the built-in ranges are taken, so a tutor's first own item keeps its name.
    TakeNames(tables.ChordIdentification, m_exerciseItems.ChordIdentification, kBuiltInChordNames);
    TakeNames(tables.ChordInversions, m_exerciseItems.ChordInversions, kBuiltInInversionNames);
    TakeNames(tables.IntervalIdentification, m_exerciseItems.IntervalIdentification,
              kBuiltInIntervalNames);
    TakeNames(tables.Scales, m_exerciseItems.Scales, kBuiltInScaleNames);
    return tables;
}

Status<TutorError> TTutorDefine::LoadFromFile(const QString& path, bool stepsRequired)
{
    if (NamesNoTutorFile(path))
        return Fail(TutorError::NoFile);
    const QString absolute = MakeAbsolutePath(m_folders, path);
    auto bytes = ReadTutorBytes(absolute);
    if (!bytes)
        return bytes.Err();
    auto parsed = ParseTutorFile(bytes.Value());
    if (!parsed)
        return parsed.Err();
    TutorFileData& data = parsed.Value();
    if (stepsRequired &&
        std::all_of(data.Steps.begin(), data.Steps.end(),
                    [](const std::vector<TutorStep>& steps) { return steps.empty(); }))
        return Fail(TutorError::NoSteps, data.Header.Title);

    Clear();
    m_header = data.Header;
    for (std::size_t k = 0; k < m_steps.size(); ++k) {
        m_steps[k].reserve(data.Steps[k].size());
        for (TutorStep& step : data.Steps[k])
            m_steps[k].emplace_back(std::move(step.Record), std::move(step.ExtraText));
    }
    if (data.CustomItems) {
        const ItemTables tables = TutorItemTables(data);
        // Only the program's own tables are ever backed up (Clear above took back any tutor's),
        // and they are taken afresh: items the user edited since an earlier tutor are kept.
        m_backup = m_exerciseItems;
        m_exerciseItems = tables;
        m_customItems = true;
    }
    UpdateCaption();
    m_fileName = absolute;
    return {};
}

bool TTutorDefine::Clear()
{
    for (auto& steps : m_steps)
        steps.clear();
    m_selected.fill(-1);
    m_header.Title.clear();
    m_header.Description.clear();
    m_header.Author.clear();
    m_header.StepIndex.fill(0);
    UpdateCaption();
    RestoreItemTables();
    m_fileName.clear();
    return true;
}

void TTutorDefine::UpdateCaption()
{
    if (m_header.Title.isEmpty())
        m_caption.clear();
    else if (m_header.Author.isEmpty())
        m_caption = m_header.Title;
    else
        m_caption = m_header.Title + QStringLiteral(" - ") + m_header.Author;
}

int TTutorDefine::StepCount(ExerciseKind kind) const
{
    return static_cast<int>(m_steps[KindIndex(kind)].size());
}

bool TTutorDefine::HasSteps() const
{
    return std::any_of(m_steps.begin(), m_steps.end(),
                       [](const std::vector<TTutorObject>& steps) { return !steps.empty(); });
}

const TTutorObject* TTutorDefine::Step(ExerciseKind kind, int stepNumber) const
{
    if (!IsKnownKind(kind) || stepNumber < 1 || stepNumber > StepCount(kind))
        return nullptr;
    return &m_steps[KindIndex(kind)][static_cast<std::size_t>(stepNumber - 1)];
}

const std::vector<TTutorObject>& TTutorDefine::Steps(ExerciseKind kind) const
{
    return m_steps[KindIndex(kind)];
}

int TTutorDefine::SelectedStep(ExerciseKind kind) const
{
    return m_selected[KindIndex(kind)];
}

void TTutorDefine::SetSelectedStep(ExerciseKind kind, int index)
{
    m_selected[KindIndex(kind)] = index >= 0 && index < StepCount(kind) ? index : -1;
}

void TTutorDefine::RestoreItemTables()
{
    // Only a tutor's tables are replaced: a backup kept from an earlier tutor must not undo
    // the items the user edited since.
    if (m_backup && m_customItems)
        m_exerciseItems = *m_backup;
    m_customItems = false;
}

} // namespace pv

// Class.dat routines.
#include "music/data/ClassFile.h"

namespace pv {

namespace {

// The message table has no line of its own for the class file, which the program only reads.
const QString kClassFileMessage = QStringLiteral("The class file cannot be read.");

} // namespace

void LoadClasses(DataFiles& data, std::optional<ClassEntries>& classList)
{
    if (!classList)
        classList.emplace();
    RecordReader reader(data.ClassFilePath(), kClassRecSize);
    if (!reader.IsOpen()) {
        // No classes, but a file that is there and cannot be read is said, once.
        CheckRead(data, data.ClassFilePath(), kClassFileMessage, reader);
        return;
    }
    ClassEntries& list = *classList;
    std::size_t used = 0;
    std::array<std::uint8_t, kClassRecSize> bytes{};
    while (reader.Next(bytes)) {
        const auto rec = DecodeClassRec(bytes);
        if (!rec || rec->ClassId <= 0)
            continue;
        if (used < list.size() && list[used].Object) {
            list[used].Object->Record = *rec;
            list[used].Key = rec->Name;
        } else if (used < list.size()) {
            list[used] = {rec->Name, std::make_shared<TClassInfo>(TClassInfo{*rec})};
        } else {
            list.push_back({rec->Name, std::make_shared<TClassInfo>(TClassInfo{*rec})});
        }
        ++used;
    }
    list.resize(used);
    CheckRead(data, data.ClassFilePath(), kClassFileMessage, reader);
}

QString ClassNameById(DataFiles& data, std::optional<ClassEntries>& classList,
                      std::uint16_t classId)
{
    if (!classList)
        LoadClasses(data, classList);
    for (const auto& entry : *classList) {
        if (entry.Object && static_cast<std::uint16_t>(entry.Object->Record.ClassId) == classId)
            return entry.Object->Record.Name;
    }
    return {};
}

} // namespace pv

// Feeds arbitrary bytes to the language loader as a file, with every target of the id tables
// registered, and then formats the texts that later messages build from: a damaged or
// hostile file must neither crash the load nor any message made from what it left behind.
#include "exercises/items/ItemTables.h"
#include "music/base/Prompts.h"
#include "music/notation/NotationTables.h"
#include "music/strings/Format.h"
#include "music/strings/UIStrings.h"
#include "shell/language/LanguageIdTable.h"
#include "shell/language/LanguageLoader.h"
#include "shell/language/LanguageTargets.h"
#include "shell/language/StartMenuText.h"

#include <cstdint>
#include <cstdlib>
#include <stdlib.h>

#include <QFile>
#include <QString>

namespace {

class CountingStartMenu final : public pv::IStartMenuText
{
public:
    void ClearDescriptions() override { lines = 0; }
    void AddLine(const QString&) override { ++lines; }
    void AddDescription(const QString& text) override { lines += text.size() / 40 + 1; }
    void MarkScrollStop() override { stop = lines; }
    long long lines = 0;
    long long stop = 0;
};

// A folder of its own: the loader looks the name up in its folder.
QString FileName()
{
    static const QString name = [] {
        char folder[] = "/tmp/fuzz_language_XXXXXX";
        const char* made = mkdtemp(folder);
        return QString::fromLocal8Bit(made != nullptr ? made : "/tmp") +
               QStringLiteral("/Fuzz.LAN");
    }();
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString fileName = FileName();
    {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    pv::ResetNotationTexts();
    pv::UIStringTable strings;
    pv::SetUIStringDefaults(strings);
    pv::ItemTables items = pv::BuiltInItemTables();
    pv::LanguageTargets targets;
    QString sink;
    for (const auto table : {pv::FullLanguageTable(), pv::DialogLanguageTable()})
        for (const pv::LanguageTarget& target : table)
            targets.Register(QString::fromLatin1(target.Key),
                             [&sink](const QString& text) { sink = text; });
    pv::SilentPrompts prompts;
    CountingStartMenu menu;
    pv::LanguageContext context{
        strings, items, targets, prompts, &menu, [] { return true; }, [] { return true; }};

    pv::LoadLanguageFile(fileName, pv::kLanguageAllTables, context);

    // Every format of the string table, given too few, too many and wrong arguments.
    const QString texts[] = {strings.StrIdentFormat1, strings.StrIdentFormat2,
                             strings.StrRhythmVerdictFormat, strings.StrImportUserFormat,
                             strings.StrExportFormat};
    for (const QString& text : texts) {
        (void)pv::Format(text, {});
        (void)pv::Format(text, {QStringLiteral("x")});
        (void)pv::Format(text, {std::int64_t{7}, QStringLiteral("y"), std::int64_t{-1}});
    }
    if (menu.stop > menu.lines)
        std::abort();
    return 0;
}

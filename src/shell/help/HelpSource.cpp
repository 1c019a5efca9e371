// Parsing and printing the help source. The source is checked more strictly than a help file
// is read: what we ship must have no dead link and no context answered twice.
#include "shell/help/HelpSource.h"

#include "shell/help/HelpText.h"

#include <map>
#include <set>

#include <QStringList>

namespace pv {

namespace {

const QString kPage = QStringLiteral("@page");
const QString kTitle = QStringLiteral("@title");
const QString kContexts = QStringLiteral("@contexts");

Failure<HelpSourceError> At(int line, HelpSourceError code, const QString& why)
{
    return Fail(code, QStringLiteral("line %1: %2").arg(line).arg(why));
}

/// The word after a directive, or nothing when the line is not that directive.
std::optional<QString> Directive(const QString& line, const QString& name)
{
    if (line == name)
        return QString();
    if (line.startsWith(name + QLatin1Char(' ')))
        return line.mid(name.size() + 1).trimmed();
    return std::nullopt;
}

/// Drops the blank lines at both ends of a body.
QString Trimmed(QStringList lines)
{
    while (!lines.isEmpty() && lines.front().trimmed().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

Result<HelpBook, HelpSourceError> ParseHelpSource(const QString& text)
{
    std::vector<HelpPage> pages;
    std::vector<int> pageLines;
    QStringList body;
    bool inHeader = false;
    std::map<std::int32_t, QString> contextOwners;
    std::set<QString> keys;

    const auto endPage = [&] {
        if (!pages.empty())
            pages.back().Body = Trimmed(body);
        body.clear();
    };

    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int number = n + 1;
        if (line.startsWith(QLatin1Char(';')))
            continue;
        if (const auto key = Directive(line, kPage)) {
            endPage();
            if (!IsHelpKey(*key))
                return At(number, HelpSourceError::BadPage,
                          QStringLiteral("\"%1\" is no page key (a-z, 0-9 and -)").arg(*key));
            if (!keys.insert(*key).second)
                return At(number, HelpSourceError::BadPage,
                          QStringLiteral("a second page \"%1\"").arg(*key));
            pages.push_back(HelpPage{*key, QString(), {}, QString()});
            pageLines.push_back(number);
            inHeader = true;
            continue;
        }
        if (pages.empty()) {
            if (line.trimmed().isEmpty())
                continue;
            return At(number, HelpSourceError::Syntax,
                      QStringLiteral("text before the first page"));
        }
        if (inHeader) {
            if (const auto title = Directive(line, kTitle)) {
                pages.back().Title = *title;
                continue;
            }
            if (const auto list = Directive(line, kContexts)) {
                for (const QString& item : list->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                    bool ok = false;
                    const int context = item.trimmed().toInt(&ok);
                    if (!ok || context <= 0)
                        return At(number, HelpSourceError::Syntax,
                                  QStringLiteral("\"%1\" is no help context").arg(item.trimmed()));
                    const auto [owner, fresh] = contextOwners.emplace(context, pages.back().Key);
                    if (!fresh)
                        return At(number, HelpSourceError::BadPage,
                                  QStringLiteral("context %1 is answered by \"%2\" already")
                                      .arg(context)
                                      .arg(owner->second));
                    pages.back().Contexts.push_back(context);
                }
                continue;
            }
            inHeader = false;
        }
        if (line.startsWith(QLatin1Char('@')))
            return At(number, HelpSourceError::Syntax,
                      QStringLiteral("\"%1\" is no directive here")
                          .arg(line.section(QLatin1Char(' '), 0, 0)));
        body.push_back(line);
    }
    endPage();

    for (std::size_t p = 0; p < pages.size(); ++p) {
        const HelpPage& page = pages[p];
        if (page.Title.isEmpty())
            return At(pageLines[p], HelpSourceError::BadPage,
                      QStringLiteral("page \"%1\" has no title").arg(page.Key));
        for (const QString& target : HelpLinks(page.Body)) {
            if (!keys.contains(target))
                return At(pageLines[p], HelpSourceError::BadLink,
                          QStringLiteral("page \"%1\" links to \"%2\", which no page is")
                              .arg(page.Key, target));
        }
    }
    auto book = HelpBook::Make(std::move(pages));
    if (!book)
        return Fail(HelpSourceError::NoContents,
                    QStringLiteral("no page \"%1\"").arg(kHelpContentsKey));
    return std::move(book.Value());
}

QString PrintHelpSource(const HelpBook& book)
{
    QString text;
    for (const HelpPage& page : book.Pages()) {
        text += kPage + QLatin1Char(' ') + page.Key + QLatin1Char('\n');
        text += kTitle + QLatin1Char(' ') + page.Title + QLatin1Char('\n');
        if (!page.Contexts.empty()) {
            QStringList numbers;
            for (const std::int32_t context : page.Contexts)
                numbers.push_back(QString::number(context));
            text += kContexts + QLatin1Char(' ') + numbers.join(QStringLiteral(", ")) +
                    QLatin1Char('\n');
        }
        // A body line that would read as a directive or a comment cannot come from a source;
        // from a file made otherwise it is kept as text behind a blank.
        for (const QString& line : page.Body.split(QLatin1Char('\n'))) {
            const bool special =
                line.startsWith(QLatin1Char('@')) || line.startsWith(QLatin1Char(';'));
            text += (special ? QStringLiteral(" ") : QString()) + line + QLatin1Char('\n');
        }
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace pv

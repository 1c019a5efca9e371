// Turning the help markup into HTML.
#include "shell/help/HelpText.h"

#include <algorithm>

#include <QStringList>

namespace pv {

namespace {

const QString kLinkScheme = QStringLiteral("page:");

struct Link
{
    QString Key;
    QString Text;      ///< empty: the page's title
    qsizetype End = 0; ///< just past the closing brackets
};

/// The link that opens at position at ("[["), or nothing when none closes there.
std::optional<Link> LinkAt(const QString& text, qsizetype at)
{
    if (!text.mid(at, 2).startsWith(QStringLiteral("[[")))
        return std::nullopt;
    const qsizetype close = text.indexOf(QStringLiteral("]]"), at + 2);
    if (close < 0)
        return std::nullopt;
    const QString inner = text.mid(at + 2, close - at - 2);
    const qsizetype bar = inner.indexOf(QLatin1Char('|'));
    Link link{bar < 0 ? inner : inner.left(bar), bar < 0 ? QString() : inner.mid(bar + 1),
              close + 2};
    link.Key = link.Key.trimmed();
    if (!IsHelpKey(link.Key))
        return std::nullopt;
    return link;
}

/// One block's text with its bold runs and links; bold left open is closed at the end.
QString Inline(const QString& text, const HelpBook* book)
{
    QString html;
    bool bold = false;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.mid(i, 2) == QStringLiteral("**")) {
            html += bold ? QStringLiteral("</b>") : QStringLiteral("<b>");
            bold = !bold;
            i += 2;
            continue;
        }
        if (const auto link = LinkAt(text, i)) {
            const HelpPage* target = book != nullptr ? book->Find(link->Key) : nullptr;
            QString shown = link->Text;
            if (shown.isEmpty())
                shown = target != nullptr ? target->Title : link->Key;
            if (target != nullptr) {
                html += QStringLiteral("<a href=\"%1\">%2</a>")
                            .arg(HelpLinkAddress(link->Key), shown.toHtmlEscaped());
            } else {
                html += shown.toHtmlEscaped();
            }
            i = link->End;
            continue;
        }
        html += QString(text[i]).toHtmlEscaped();
        ++i;
    }
    if (bold)
        html += QStringLiteral("</b>");
    return html;
}

/// The cells of a table row "| a | b |" (the outer bars optional at the end).
QStringList Cells(const QString& line)
{
    QString inner = line.trimmed().mid(1);
    if (inner.endsWith(QLatin1Char('|')))
        inner.chop(1);
    QStringList cells = inner.split(QLatin1Char('|'));
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

class BlockWriter
{
public:
    explicit BlockWriter(const HelpBook* book) : m_book(book) {}

    void Line(const QString& raw)
    {
        const QString line = raw.trimmed().isEmpty() ? QString() : raw;
        if (line.isEmpty()) {
            Close();
        } else if (line.startsWith(QStringLiteral("## "))) {
            Close();
            m_html += QStringLiteral("<h3>%1</h3>\n").arg(Inline(line.mid(3).trimmed(), m_book));
        } else if (line.startsWith(QStringLiteral("- "))) {
            if (m_kind != Kind::List) {
                Close();
                m_kind = Kind::List;
                m_html += QStringLiteral("<ul>\n");
            } else {
                EndItem();
            }
            m_text = line.mid(2).trimmed();
        } else if (line.startsWith(QLatin1Char('|'))) {
            if (m_kind != Kind::Table) {
                Close();
                m_kind = Kind::Table;
                m_html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">\n");
            }
            m_html += QStringLiteral("<tr>");
            for (const QString& cell : Cells(line))
                m_html += QStringLiteral("<td>%1</td>").arg(Inline(cell, m_book));
            m_html += QStringLiteral("</tr>\n");
        } else if (m_kind == Kind::List && line.startsWith(QStringLiteral("  "))) {
            m_text += QLatin1Char(' ') + line.trimmed();
        } else if (m_kind == Kind::Paragraph) {
            m_text += QLatin1Char(' ') + line.trimmed();
        } else {
            Close();
            m_kind = Kind::Paragraph;
            m_text = line.trimmed();
        }
    }

    QString Finish()
    {
        Close();
        return m_html;
    }

private:
    enum class Kind
    {
        None,
        Paragraph,
        List,
        Table
    };

    void EndItem()
    {
        m_html += QStringLiteral("<li>%1</li>\n").arg(Inline(m_text, m_book));
        m_text.clear();
    }

    void Close()
    {
        switch (m_kind) {
        case Kind::None:
            break;
        case Kind::Paragraph:
            m_html += QStringLiteral("<p>%1</p>\n").arg(Inline(m_text, m_book));
            break;
        case Kind::List:
            EndItem();
            m_html += QStringLiteral("</ul>\n");
            break;
        case Kind::Table:
            m_html += QStringLiteral("</table>\n");
            break;
        }
        m_text.clear();
        m_kind = Kind::None;
    }

    const HelpBook* m_book;
    Kind m_kind = Kind::None;
    QString m_text;
    QString m_html;
};

} // namespace

std::vector<QString> HelpLinks(const QString& body)
{
    std::vector<QString> keys;
    qsizetype at = body.indexOf(QStringLiteral("[["));
    while (at >= 0) {
        const auto link = LinkAt(body, at);
        if (link && std::find(keys.begin(), keys.end(), link->Key) == keys.end())
            keys.push_back(link->Key);
        at = body.indexOf(QStringLiteral("[["), link ? link->End : at + 2);
    }
    return keys;
}

QString HelpPageHtml(const HelpBook& book, const HelpPage& page)
{
    BlockWriter writer(&book);
    for (const QString& line : page.Body.split(QLatin1Char('\n')))
        writer.Line(line.endsWith(QLatin1Char('\r')) ? line.chopped(1) : line);
    return QStringLiteral("<h2>%1</h2>\n").arg(page.Title.toHtmlEscaped()) + writer.Finish();
}

QString HelpLinkAddress(const QString& key)
{
    return kLinkScheme + key;
}

std::optional<QString> HelpLinkKey(const QString& address)
{
    if (!address.startsWith(kLinkScheme))
        return std::nullopt;
    const QString key = address.mid(kLinkScheme.size());
    if (!IsHelpKey(key))
        return std::nullopt;
    return key;
}

} // namespace pv

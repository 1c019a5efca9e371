// The help window.
#include "shell/help/ui/THelpViewer.h"

#include "music/strings/UIStrings.h"
#include "shell/help/HelpText.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QListWidget>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace pv {

namespace {

QToolButton* MakeButton(const char* name, QStyle::StandardPixmap icon, const QString& text,
                        QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(text);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

THelpViewer::THelpViewer(const UIStringTable& strings, QWidget* parent)
    : QWidget(parent, Qt::Window), m_strings(strings)
{
    setObjectName(QStringLiteral("HelpForm"));
    // The window is made once and kept: closing it only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);

    BackButton = MakeButton("BackButton", QStyle::SP_ArrowBack, QStringLiteral("Back"), this);
    ForwardButton =
        MakeButton("ForwardButton", QStyle::SP_ArrowForward, QStringLiteral("Forward"), this);
    ContentsButton =
        MakeButton("ContentsButton", QStyle::SP_DirHomeIcon, QStringLiteral("Contents"), this);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 0);
    for (QToolButton* button : {BackButton, ForwardButton, ContentsButton})
        buttons->addWidget(button);
    buttons->addStretch(1);

    ContentsList = new QListWidget;
    ContentsList->setObjectName(QStringLiteral("ContentsList"));
    // Titles too long for the list end in "...": it never scrolls sideways.
    ContentsList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ContentsList->setTextElideMode(Qt::ElideRight);
    PageView = new QTextBrowser;
    PageView->setObjectName(QStringLiteral("PageView"));
    // Only the help's own pages open here; no address ever leaves the program.
    PageView->setOpenLinks(false);
    PageView->setOpenExternalLinks(false);
    PageView->document()->setDefaultStyleSheet(
        QStringLiteral("h2 { margin-bottom: 6px; } h3 { margin-top: 12px; margin-bottom: 2px; } "
                       "td { padding-right: 12px; }"));

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("Splitter"));
    splitter->addWidget(ContentsList);
    splitter->addWidget(PageView);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({270, 590});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
    resize(860, 600);

    connect(BackButton, &QToolButton::clicked, this, [this] {
        m_navigation.Back();
        Mirror();
    });
    connect(ForwardButton, &QToolButton::clicked, this, [this] {
        m_navigation.Forward();
        Mirror();
    });
    connect(ContentsButton, &QToolButton::clicked, this, [this] {
        m_navigation.Show(kHelpContentsKey);
        Mirror();
    });
    connect(PageView, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { FollowLink(url.toString()); });
    connect(ContentsList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        m_navigation.Show(item->data(Qt::UserRole).toString());
        Mirror();
    });
    connect(ContentsList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_navigation.Show(item->data(Qt::UserRole).toString());
        Mirror();
    });
    auto* back = new QShortcut(QKeySequence::Back, this);
    connect(back, &QShortcut::activated, BackButton, &QToolButton::click);
    auto* forward = new QShortcut(QKeySequence::Forward, this);
    connect(forward, &QShortcut::activated, ForwardButton, &QToolButton::click);
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void THelpViewer::ShowTopic(HelpTopic topic)
{
    m_navigation.SetBook(std::move(topic.Book));
    m_navigation.Show(topic.PageKey);
    Mirror();
}

void THelpViewer::FollowLink(const QString& address)
{
    if (const auto key = HelpLinkKey(address)) {
        m_navigation.Show(*key);
        Mirror();
    }
}

void THelpViewer::FillContents()
{
    const HelpBook& book = m_navigation.Book();
    if (m_listed && *m_listed == book)
        return;
    ContentsList->clear();
    for (const HelpPage& page : book.Pages()) {
        auto* item = new QListWidgetItem(page.Title, ContentsList);
        item->setData(Qt::UserRole, page.Key);
    }
    m_listed = book;
}

void THelpViewer::Mirror()
{
    if (!m_navigation.HasBook())
        return;
    FillContents();
    const HelpPage& page = m_navigation.Current();
    PageView->setHtml(HelpPageHtml(m_navigation.Book(), page));
    const auto& pages = m_navigation.Book().Pages();
    for (int row = 0; row < ContentsList->count(); ++row) {
        if (pages[static_cast<std::size_t>(row)].Key == page.Key) {
            const QSignalBlocker quiet(ContentsList);
            ContentsList->setCurrentRow(row);
            break;
        }
    }
    BackButton->setEnabled(m_navigation.CanGoBack());
    ForwardButton->setEnabled(m_navigation.CanGoForward());
    const QString help = m_strings.StrHelp.isEmpty() ? QStringLiteral("Help") : m_strings.StrHelp;
    setWindowTitle(QStringLiteral("%1 - %2").arg(help, page.Title));
}

} // namespace pv

#include "shell/HelpViewer.h"

#include "shell/Language.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QCoreApplication>

// Resources compiled into a static library are registered by hand.
static void InitHelpResources()
{
    Q_INIT_RESOURCE(vorpex);
}

namespace vpx {

QList<HelpKeyword> ParseHelpKeywords(const QString& text)
{
    QList<HelpKeyword> keywords;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0 || tab + 1 >= line.size())
            continue;
        keywords.append({line.left(tab), line.mid(tab + 1).trimmed()});
    }
    return keywords;
}

namespace {

// The page in the language of the interface.
QString HelpFolder()
{
    return CurrentLanguage() == UiLanguage::English ? QStringLiteral(":/help/en/") : QStringLiteral(":/help/");
}

QString ReadResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

THelpViewer::THelpViewer(QWidget* parent) : QDialog(parent)
{
    InitHelpResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QCoreApplication::translate("HelpViewer", "Vorpex ヘルプ"));
    resize(760, 520);

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* prompt = new QLabel(QCoreApplication::translate("HelpViewer", "キーワードを入力してください(&W):"));
    m_edit = new QLineEdit;
    m_edit->setObjectName(QStringLiteral("edtKeyword"));
    prompt->setBuddy(m_edit);
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("lstKeywords"));
    m_list->setAccessibleName(QCoreApplication::translate("HelpViewer", "キーワード"));
    auto* show = new QPushButton(QCoreApplication::translate("HelpViewer", "表示(&D)"));
    leftLayout->addWidget(prompt);
    leftLayout->addWidget(m_edit);
    leftLayout->addWidget(m_list, 1);
    leftLayout->addWidget(show);

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setAccessibleName(QCoreApplication::translate("HelpViewer", "ヘルプ"));
    m_browser->setOpenExternalLinks(false);
    m_browser->setHtml(ReadResource(HelpFolder() + QStringLiteral("vorpex.html")));

    auto* splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QCoreApplication::translate("HelpViewer", "閉じる"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);

    m_keywords = ParseHelpKeywords(ReadResource(HelpFolder() + QStringLiteral("keywords.txt")));
    for (const HelpKeyword& k : m_keywords)
        m_list->addItem(k.keyword);

    connect(m_edit, &QLineEdit::textEdited, this, &THelpViewer::SelectFirstMatch);
    connect(m_edit, &QLineEdit::returnPressed, this, &THelpViewer::OpenSelected);
    connect(m_list, &QListWidget::itemActivated, this, &THelpViewer::OpenSelected);
    connect(show, &QPushButton::clicked, this, &THelpViewer::OpenSelected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void THelpViewer::ShowKeywordSearch()
{
    m_edit->clear();
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    show();
    raise();
    activateWindow();
    m_edit->setFocus();
}

void THelpViewer::ShowTopic(const QString& anchor)
{
    m_browser->scrollToAnchor(anchor);
}

void THelpViewer::SelectFirstMatch(const QString& typed)
{
    for (qsizetype i = 0; i < m_keywords.size(); ++i) {
        if (m_keywords.at(i).keyword.startsWith(typed, Qt::CaseInsensitive)) {
            m_list->setCurrentRow(static_cast<int>(i));
            return;
        }
    }
}

void THelpViewer::OpenSelected()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_keywords.size())
        ShowTopic(m_keywords.at(row).anchor);
}

} // namespace vpx

#pragma once

// The program's help: one Japanese page with a keyword index, shown in a small
// window. The index works like a classic help index: typing a word selects the
// first keyword that begins with it, and opening a keyword shows its section.

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace vpx {

struct HelpKeyword {
    QString keyword;
    QString anchor;
};

// Lines "keyword<TAB>anchor"; empty lines and lines starting with '#' are ignored.
QList<HelpKeyword> ParseHelpKeywords(const QString& text);

class THelpViewer : public QDialog {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);

    // Opens the index with the keyword box focused and empty.
    void ShowKeywordSearch();
    void ShowTopic(const QString& anchor);

    QLineEdit* KeywordEdit() const { return m_edit; }
    QListWidget* KeywordList() const { return m_list; }
    QTextBrowser* Browser() const { return m_browser; }

private:
    void SelectFirstMatch(const QString& typed);
    void OpenSelected();

    QList<HelpKeyword> m_keywords;
    QLineEdit* m_edit;
    QListWidget* m_list;
    QTextBrowser* m_browser;
};

} // namespace vpx

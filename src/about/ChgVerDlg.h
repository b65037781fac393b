#pragma once

// The notice shown once after the program's version changed: the version of the
// last run, an arrow, and the version running now.

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace vpx {

class TFramedLabel;

class TfrmChgVer : public QDialog {
public:
    explicit TfrmChgVer(QWidget* parent = nullptr);

    // Fills the texts in Japanese (true) or English.
    void Setup(const QString& productName, const QString& lastVersion, const QString& nowVersion,
               bool useJapanese);
    // Hides the help button and centres OK when false.
    void SetShowHelp(bool value);

    int HelpContext() const noexcept { return m_helpContext; }
    void SetHelpContext(int value) { m_helpContext = value; }
    std::function<void(int context)> OnHelp;

    TFramedLabel* lblTitle = nullptr;
    QLabel* lblLastVersion = nullptr;
    QLabel* lblArrow = nullptr;
    QLabel* lblNowVersion = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnHelp = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    int m_helpContext = 0;
};

} // namespace vpx

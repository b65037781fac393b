#pragma once

// The About box: the program's name, version and maker, its logo, an animated
// picture, and the check box that asks for the settings to be deleted at exit.

#include "about/ThrdTime.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace vpx {

class TAboutPicture;
class TClickImage;
class TFramedLabel;

// Fonts of the two languages, asked for by the design's family first.
QFont JapaneseFont(int pixelSize, bool bold = false); // "ＭＳ Ｐゴシック" or its metric twin
QFont EnglishFont(int pixelSize, bool bold = false);  // "Arial" or its metric twin

class TAboutDialog : public QDialog {
public:
    explicit TAboutDialog(QWidget* parent = nullptr);
    ~TAboutDialog() override;

    // Japanese texts (true) or English ones.
    void SetUseJapanese(bool value);
    bool UseJapanese() const noexcept { return m_useJapanese; }

    int HelpContext() const noexcept { return m_helpContext; }
    void SetHelpContext(int value) { m_helpContext = value; }
    // Opens the help topic of a context; the help button calls it when the context is not 0.
    std::function<void(int context)> OnHelp;

    QFrame* pnlBack = nullptr;
    TClickImage* imgLogo = nullptr;
    TFramedLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDeveloper = nullptr;
    QLabel* lblContact = nullptr;
    TAboutPicture* imgAnimation = nullptr;
    QCheckBox* chkDelReg = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* btnOK = nullptr;
    TThreadTimer Timer; // drives the animation while the box is shown

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void StartAnimation();
    void StopAnimation();
    void btnHelpClick();

    bool m_useJapanese = true;
    int m_helpContext = 0;
};

} // namespace vpx

#include "shell/StartUp.h"

#include "platform/UserPrompts.h"

#include <exception>
#include <QCoreApplication>

namespace vpx {

int RunProgram(UserPrompts& prompts, const std::function<int()>& run)
{
    try {
        return run();
    } catch (const std::exception& e) {
        prompts.ShowException(e);
    } catch (...) {
        prompts.Message(QCoreApplication::translate("StartUp", "予期しないエラーが発生しました"), QStringLiteral("Vorpex"),
                        static_cast<int>(PromptButton::Ok), PromptIcon::Error);
    }
    return kStartUpFailedStatus;
}

} // namespace vpx

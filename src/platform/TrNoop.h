#pragma once

// Marks a text of the Qt-free engine for translation without translating it:
// lupdate reads VPX_TR_NOOP(context, text) as QT_TRANSLATE_NOOP, and the window
// translates the text where it shows it (QCoreApplication::translate with the
// same context). The engine itself, vorpex-cli and the files keep the text as
// written.
#define VPX_TR_NOOP(context, text) text

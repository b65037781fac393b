#pragma once

// The window's view of a message the engine composed from texts it marked with
// VPX_TR_NOOP: the engine keeps its Japanese (vorpex-cli and the files show it as
// written), the window shows it in the interface language. Each line is looked up
// on its own, with and without the CR LF that ends it in the engine's table, and
// a line that carries a number, such as the code of an undefined socket error,
// is looked up with "%d" in its place.

#include <QString>

namespace vpx {

QString ShownEngineMessage(const QString& message, const char* context);

} // namespace vpx

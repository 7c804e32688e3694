#pragma once
#include <functional>
#include <QString>

// Runs an event handler's body; whatever escapes it is shown in the standard
// error box and ends only this action. Exceptions never reach Qt's event loop.
void guarded(const std::function<void()> &body);

// The text of the exception currently being handled (inside a catch block).
QString currentExceptionText();

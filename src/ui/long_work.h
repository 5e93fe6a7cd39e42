#pragma once

#include "model/work_progress.h"

#include <QString>

#include <functional>

class QWidget;

namespace mvx::ui {

// Runs long work on a thread of its own while the event loop turns here, so the windows keep
// painting. From the first moment, the user's input to every window is swallowed, as an
// application-modal dialog would; after `showAfterMs` a modal progress dialog over `parent`
// shows `label` with the progress' status line under it, how far the work got, and "Annuler",
// which asks the work to stop and waits for it. An exception thrown by the work is thrown again
// here, once its thread has ended.
void runWithProgress(QWidget *parent, const QString &label, WorkProgress &progress,
                     const std::function<void()> &work, int showAfterMs = 500);

} // namespace mvx::ui

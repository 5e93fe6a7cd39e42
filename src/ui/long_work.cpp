#include "ui/long_work.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <climits>
#include <exception>
#include <thread>

namespace mvx::ui {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        return true;
    default:
        return false;
    }
}

// Swallows the user's input to everything but the progress dialog, and the window manager's
// requests to close a window, for as long as it lives.
class InputBlocker : public QObject
{
public:
    explicit InputBlocker(const QWidget &allowed)
        : allowed_(allowed)
    {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool closing = event->type() == QEvent::Close && event->spontaneous();
        if (!closing && !isUserInput(event->type()))
            return false;
        // The dialog's own keys (Escape) are the dialog's input.
        if (const auto *shortcut = qobject_cast<const QShortcut *>(watched))
            return shortcut->parent() != &allowed_;
        if (const QWidget *widget = qobject_cast<const QWidget *>(watched))
            return widget != &allowed_ && !allowed_.isAncestorOf(widget);
        if (const QWindow *window = qobject_cast<const QWindow *>(watched))
            return window != allowed_.windowHandle();
        return true;
    }

private:
    const QWidget &allowed_;
};

} // namespace

void runWithProgress(
    QWidget *parent, const QString &label, WorkProgress &progress, const std::function<void()> &work, int showAfterMs)
{
    QProgressDialog dialog(label, QStringLiteral("Annuler"), 0, 1000, parent);
    dialog.setObjectName(QStringLiteral("progressDialog"));
    dialog.setWindowTitle(QStringLiteral("Veuillez patienter"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    // Shown by the timer below, not by the dialog's own guess from the values it is given.
    dialog.setMinimumDuration(INT_MAX);
    dialog.hide();
    const InputBlocker blocker(dialog);
    // Escape is the dialog's shortcut for cancel(), which only hides it and lets the work run
    // on: it presses "Annuler" instead, which stops the work.
    if (QPushButton *cancel = dialog.findChild<QPushButton *>()) {
        for (QShortcut *escape : dialog.findChildren<QShortcut *>()) {
            QObject::disconnect(escape, nullptr, &dialog, nullptr);
            QObject::connect(escape, &QShortcut::activated, cancel, [cancel] {
                if (cancel->isEnabled())
                    cancel->click();
            });
        }
    }

    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    bool busyCursor = false;
    QTimer show;
    show.setSingleShot(true);
    QObject::connect(&show, &QTimer::timeout, &dialog, [&] {
        dialog.show();
        // The wait cursor of the request gives way to one that still lets the user press "Annuler".
        QApplication::setOverrideCursor(Qt::BusyCursor);
        busyCursor = true;
    });
    show.start(showAfterMs);
    bool stopping = false;
    QString shownStatus;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        const std::uint64_t total = progress.total();
        const std::uint64_t done = std::min(progress.done(), total);
        dialog.setValue(total > 0 ? int(done * 1000 / total) : 0);
        if (const QString status = progress.status(); !stopping && status != shownStatus) {
            shownStatus = status;
            dialog.setLabelText(status.isEmpty() ? label : label + QLatin1Char('\n') + status);
        }
    });
    poll.start(100);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        stopping = true;
        progress.requestStop();
        dialog.setLabelText(QStringLiteral("Arrêt en cours..."));
        if (QPushButton *cancel = dialog.findChild<QPushButton *>())
            cancel->setEnabled(false);
    });

    loop.exec();
    worker.join();
    poll.stop();
    show.stop();
    if (busyCursor)
        QApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace mvx::ui

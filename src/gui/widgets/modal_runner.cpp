#include "gui/widgets/modal_runner.h"

#include <QCloseEvent>
#include <QEventLoop>

namespace qvr {

void ModalSkinnedWindow::done(DialogResult result) {
    if (finished_)
        return;
    finished_ = true;
    result_ = result;
    aboutToEnd(result);
    hide();
    emit ended(result);
}

void ModalSkinnedWindow::closeEvent(QCloseEvent* event) {
    // Closing through the window manager is a Cancel.
    done(DialogResult::Cancel);
    event->accept();
}

DialogResult EventLoopRunner::run(ModalSkinnedWindow& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    if (!dialog.finished()) {
        QEventLoop loop;
        QObject::connect(&dialog, &ModalSkinnedWindow::ended, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::DialogExec);
    }
    return dialog.result();
}

DialogResult ScriptedRunner::run(ModalSkinnedWindow& dialog) {
    dialog.show();
    if (script_)
        script_(dialog);
    dialog.done(DialogResult::Cancel);
    return dialog.result();
}

} // namespace qvr

#pragma once
// The one way a test answers a modal window (a dialog's Execute, a file dialog):
// the answer waits for the window to come up and acts on it, so that the test
// itself can call what opens it. Message boxes of the user-interface services
// are answered by the recording services instead (RecordingUiServices.h).
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

// Answers the next modal window that opens: the action runs with the window (it
// must close it); the window's class name and title are recorded.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> action) : action_(std::move(action)) {
        auto* timer = new QTimer(qApp);
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || done_) return;
            done_ = true;
            timer->stop();
            timer->deleteLater();
            ClassName = QString::fromLatin1(modal->metaObject()->className());
            Title = modal->windowTitle();
            action_(modal);
        });
        timer->start();
        timer_ = timer;
    }
    // Answers that dialog, also one the platform shows in its stead (a file
    // dialog): the action runs with it as soon as the event loop of its exec does.
    ModalAnswer(QDialog* dialog, std::function<void(QWidget*)> action) : action_(std::move(action)) {
        auto* timer = new QTimer(dialog);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, dialog] {
            done_ = true;
            timer->deleteLater();
            ClassName = QString::fromLatin1(dialog->metaObject()->className());
            Title = dialog->windowTitle();
            action_(dialog);
        });
        timer->start(0);
        timer_ = timer;
    }
    // The timer refers to this object, so it must not outlive it, not even until
    // a deferred deletion.
    ~ModalAnswer() { delete timer_.data(); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    QString ClassName;
    QString Title;
    bool Seen() const { return !ClassName.isEmpty(); }

private:
    std::function<void(QWidget*)> action_;
    bool done_ = false;
    QPointer<QTimer> timer_;
};

// A modal answer that just closes the window as with Esc or its close box.
inline void RejectModal(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

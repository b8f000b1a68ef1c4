#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QThread>

namespace vemlor {

namespace {

// Runs `work` on the window thread, waiting for it when called elsewhere.
template <class Work> void onWindowThread(Work work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        work();
    else
        QMetaObject::invokeMethod(app, work, Qt::BlockingQueuedConnection);
}

QString fromText(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void QtDialogs::inform(const std::string& text, const std::string& caption) {
    onWindowThread([&] { QMessageBox::information(nullptr, fromText(caption), fromText(text)); });
}

bool QtDialogs::askYesNo(const std::string& text, const std::string& caption) {
    bool yes = true;
    onWindowThread([&] {
        yes = QMessageBox::question(nullptr, fromText(caption), fromText(text)) == QMessageBox::Yes;
    });
    return yes;
}

std::string QtClipboard::text() const {
    std::string text;
    onWindowThread([&] { text = QGuiApplication::clipboard()->text().toStdString(); });
    return text;
}

void QtClipboard::setText(const std::string& text) {
    onWindowThread([&] { QGuiApplication::clipboard()->setText(fromText(text)); });
}

} // namespace vemlor

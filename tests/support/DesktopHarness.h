// The desktop window as the widget tests drive it: a main window on a
// secondary instance (no state files are touched), lines typed into a
// console as a user types them, and the console's lines as the user reads
// them.
#pragma once

#include "app/DesktopSession.h"
#include "console/Markup.h"
#include "platform/qt/ConsoleWidget.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/QtPlatform.h"

#include <QDir>
#include <QtTest>
#include <string>
#include <vector>

namespace vemlor::test {

inline std::vector<std::string> shownLines(const ConsoleWidget& console) {
    std::vector<std::string> lines;
    const ConsoleScreen& screen = console.screen();
    for (long n = screen.oldestLine(); n < screen.lineCount(); ++n)
        lines.push_back(plainText(screen.line(n)));
    return lines;
}

inline bool shows(const ConsoleWidget& console, const std::string& text) {
    for (const std::string& line : shownLines(console))
        if (line == text) return true;
    return false;
}

// The text and Enter, typed into the console.
inline void typeInto(ConsoleWidget& console, const QString& text) {
    QTest::keyClicks(&console, text);
    QTest::keyClick(&console, Qt::Key_Return);
}

struct Desk {
    QtPlatform platform{ProgramPaths{}};
    DesktopSession session;
    MainWindow window{session, false};
    explicit Desk(const QString& directory = QDir::tempPath())
        : session(platform, false, directory.toStdString()) {
        window.show();
    }
    void type(const QString& text) { typeInto(window.console(), text); }
    bool shows(const std::string& text) { return test::shows(window.console(), text); }
};

} // namespace vemlor::test

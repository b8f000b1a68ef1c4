// The debugger's window driven as a user drives it, on the offscreen
// platform: a breakpoint shows it while the window goes on painting, and
// Step, Enter, Cont, Halt, Escape and the main window's Abort end the wait.
#include "tests/support/DesktopHarness.h"

#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace vemlor {

class DebuggerWindowTest : public QObject {
    Q_OBJECT

  private:
    struct Desk : test::Desk {
        using test::Desk::Desk;
        DebuggerWindow* debugger() { return platform.debugger().window(); }
        bool stoppedAt(const QString& title) {
            return debugger() && debugger()->isVisible() && debugger()->windowTitle() == title;
        }
        void press(const QString& text) {
            for (QPushButton* b : debugger()->findChildren<QPushButton*>())
                if (b->text() == text) return b->click();
            QFAIL("no such button");
        }
    };

    static constexpr const char* kFunction = "f(x) := { y = x*2;! z = y + 1;! return z }";

  private slots:
    void stepShowsTheNextStopAndContinueRunsOn() {
        Desk d;
        d.type(kFunction);
        d.type("f(3)");
        QTRY_VERIFY(d.stoppedAt("Breakpoint in f"));
        QVERIFY(d.window.busy());
        QVERIFY(!d.window.grab().isNull()); // the main window still paints
        QCOMPARE(d.debugger()->names(), "expr value\n\nLocals:\nx\ny\nz");
        QCOMPARE(d.debugger()->values(), "6\n\n\n3\n6\n[]");
        QCOMPARE(d.debugger()->source(), "typed input: no source file");
        d.press("Step");
        QTRY_VERIFY(d.stoppedAt("Stepping in f"));
        QVERIFY(d.debugger()->values().startsWith("7\n"));
        d.press("Cont");
        QTRY_VERIFY(!d.window.busy() && d.shows("7"));
        QVERIFY(!d.debugger()->isVisible());
    }

    void haltAbandonsTheInputWithAnError() {
        Desk d;
        d.type(kFunction);
        d.type("k = 41; f(3); k = 42");
        QTRY_VERIFY(d.stoppedAt("Breakpoint in f"));
        d.press("Halt");
        QTRY_VERIFY(!d.window.busy() && d.shows("execution halted from debugger"));
        QVERIFY(!d.debugger()->isVisible());
        d.type("k + 1000");
        QTRY_VERIFY(!d.window.busy() && d.shows("1041"));
    }

    void enterStepsAndEscapeEndsTheStopsOfOneInput() {
        Desk d;
        d.type(kFunction);
        d.type("f(1)");
        QTRY_VERIFY(d.stoppedAt("Breakpoint in f"));
        QTest::keyClick(d.debugger(), Qt::Key_Return);
        QTRY_VERIFY(d.stoppedAt("Stepping in f"));
        QTest::keyClick(d.debugger(), Qt::Key_Escape);
        QTRY_VERIFY(!d.window.busy() && d.shows("3"));
        QVERIFY(!d.debugger()->isVisible());
        // The next input stops again; closing the window is Escape too.
        d.type("f(5)");
        QTRY_VERIFY(d.stoppedAt("Breakpoint in f"));
        d.debugger()->close();
        QTRY_VERIFY(!d.window.busy() && d.shows("11"));
    }

    void abortEndsTheWaitAsAnInterrupt() {
        Desk d;
        d.type(kFunction);
        d.type("f(2)");
        QTRY_VERIFY(d.stoppedAt("Breakpoint in f"));
        d.window.abortInput();
        QTRY_VERIFY(!d.window.busy() && d.shows("interrupted"));
        QTRY_VERIFY(!d.debugger()->isVisible());
    }

    void aScriptShowsItsLinesAroundTheStop() {
        QTemporaryDir folder;
        QFile script(folder.filePath("twice.vml"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("function r = twice(a)\n    b = a + 1;!\n    r = b * 2\nend\nw = twice(4)\n");
        script.close();
        Desk d(folder.path());
        d.type("use twice");
        QTRY_VERIFY(d.stoppedAt("Breakpoint at line 2 in twice"));
        QCOMPARE(d.debugger()->source(), "    1  function r = twice(a)\n"
                                         ">   2      b = a + 1;!\n"
                                         "    3      r = b * 2\n"
                                         "    4  end\n"
                                         "    5  w = twice(4)");
        d.press("Cont");
        QTRY_VERIFY(!d.window.busy());
        d.type("w");
        QTRY_VERIFY(!d.window.busy() && d.shows("10"));
    }
};

} // namespace vemlor

QTEST_MAIN(vemlor::DebuggerWindowTest)
#include "DebuggerWindowTest.moc"

// The desktop window driven as a user drives it, on the offscreen platform:
// typed lines and their answers, the menu's typed commands, "Again", zoom,
// "&Abort" while an endless loop runs, and closing with the state saved.
#include "app/Desktop.h"
#include "tests/support/DesktopHarness.h"
#include "tests/support/ImageCompare.h"

#include <QClipboard>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace vemlor {

using test::shownLines;
using test::shows;
using test::typeInto;

class DesktopTest : public QObject {
    Q_OBJECT

  private:
    using Desk = test::Desk;

    static QAction* menuAction(MainWindow& window, const QString& text) {
        for (QAction* menu : window.menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (item->text() == text) return item;
        return nullptr;
    }

    static QPushButton* button(MainWindow& window, const QString& text) {
        for (QPushButton* b : window.findChildren<QPushButton*>())
            if (b->text() == text) return b;
        return nullptr;
    }

    // Columns of output row `row` holding pixels of the given colour.
    static std::vector<int> columnsOf(const QImage& image, const ConsoleWidget& console, int row,
                                      QColor colour) {
        std::vector<int> columns;
        int top = 1 + row * console.lineHeight();
        for (int x = 0; x < image.width(); ++x)
            for (int y = top; y < top + console.lineHeight(); ++y)
                if (image.pixelColor(x, y) == colour) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }

  private slots:
    void markupLinesAreDrawnInTheirColours() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        console.postLine("{r red} {*bold} {/italic} {=link} x_{2}^{3}");
        console.postLine("{g green} {;\\alpha \\leq \\inf} {b: a {b} c}");
        console.postLine(std::string(300, 'w')); // too long: an ellipsis at the right edge
        console.showPostedLines();
        QImage image = console.viewport()->grab().toImage();
        if (qEnvironmentVariableIsSet("VEMLOR_SAVE_CONSOLE"))
            image.save(qEnvironmentVariable("VEMLOR_SAVE_CONSOLE"));
        const QColor red(170, 0, 0), blue(0, 0, 100), green(0, 100, 0);
        std::vector<int> reds = columnsOf(image, console, 0, red);
        QVERIFY(!reds.empty() && reds.back() < image.width() / 4); // only the first word
        QVERIFY(!columnsOf(image, console, 1, blue).empty());
        QVERIFY(!columnsOf(image, console, 1, green).empty());
        std::vector<int> ellipsis = columnsOf(image, console, 2, red);
        QVERIFY(!ellipsis.empty() && ellipsis.front() > image.width() - 3 * console.fontPixels());
    }

    void typedLineIsEchoedAndAnswered() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        typeInto(console, "x = 6*7");
        QTRY_VERIFY(!d.window.busy() && shows(console, "x = 42"));
        QVERIFY(shows(console, "1> x = 6*7"));
        QCOMPARE(console.input().prompt(), std::string("2>"));
        QCOMPARE(console.input().text(), std::string());
        // An error is the last line, in red.
        typeInto(console, "1/zz");
        QTRY_VERIFY(!d.window.busy() && shows(console, "unrecognised name 'zz'"));
        QCOMPARE(console.screen().line(console.screen().lineCount() - 1).substr(0, 3),
                 std::string("{r "));
    }

    void getlineAndGetchReadWhatIsTypedInTheConsole() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        typeInto(console, "nm = getline(\"name? \")");
        QTRY_VERIFY(shows(console, "name? "));
        QVERIFY(d.window.busy());
        typeInto(console, "Ada");
        QTRY_VERIFY(!d.window.busy() && shows(console, "nm =") && shows(console, "Ada"));
        typeInto(console, "k = getch()");
        QTRY_VERIFY(d.window.busy());
        QTest::qWait(50);
        QTest::keyClick(&console, Qt::Key_Q);
        QTRY_VERIFY(!d.window.busy() && shows(console, "k = 113"));
        QCOMPARE(console.input().text(), std::string()); // the key went to getch alone
    }

    void clicksSelectCopyAskAboutTopicsAndRecall() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        typeInto(console, "x = 6*7");
        QTRY_VERIFY(!d.window.busy() && shows(console, "x = 42"));
        console.postLine(" {=sin} is a topic");
        console.showPostedLines();
        int row = console.lineHeight();
        auto middleOf = [&](int line) {
            return QPoint(console.fontPixels(), 1 + line * row + row / 2);
        };
        // Dragging from the answer up to the echo selects both; a copy drops the prompt.
        QTest::mousePress(console.viewport(), Qt::LeftButton, {}, middleOf(1));
        QMouseEvent drag(QEvent::MouseMove, middleOf(0),
                         console.viewport()->mapToGlobal(middleOf(0)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(console.viewport(), &drag);
        QTest::mouseRelease(console.viewport(), Qt::LeftButton, {}, middleOf(0));
        QTest::keyClick(&console, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("x = 6*7\nx = 42\n"));
        // A topic word asks for help on release.
        QTest::mouseClick(console.viewport(), Qt::LeftButton, {}, middleOf(2));
        QTRY_VERIFY(!d.window.busy() && shows(console, "2> ?sin"));
        // A double click on an echoed input runs it again.
        QTest::mouseDClick(console.viewport(), Qt::LeftButton, {}, middleOf(0));
        QTRY_VERIFY(!d.window.busy() && shows(console, "3> x = 6*7"));
        // Paste drops line breaks and lands at the caret.
        QGuiApplication::clipboard()->setText("1 +\n2");
        QTest::keyClick(&console, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(console.input().text(), std::string("1 +2"));
    }

    void clipboardAndDirectoryStripRunInputs() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        auto count = [&](const std::string& text) {
            std::vector<std::string> lines = shownLines(console);
            return std::count(lines.begin(), lines.end(), text);
        };
        // Clipboard text runs as a script does: nothing is shown unless asked.
        QGuiApplication::clipboard()->setText("cb = 3");
        QTest::keyClick(&console, Qt::Key_F9);
        QCOMPARE(console.input().prompt(), std::string("2>"));
        typeInto(console, "cb");
        QTRY_VERIFY(!d.window.busy() && count("3") == 1);
        QGuiApplication::clipboard()->setText("cb = cb + 1");
        button(d.window, "Exec")->click();
        typeInto(console, "cb");
        QTRY_VERIFY(!d.window.busy() && count("4") == 1);
        QComboBox& directories = d.window.directories();
        QVERIFY(directories.count() >= 1);
        emit directories.activated(0);
        const std::string temp = QDir::tempPath().toStdString();
        QTRY_VERIFY(!d.window.busy() && shows(console, "5> cd " + temp));
    }

    // Every markup style, drawn offscreen, against a committed picture: a
    // changed font, colour, offset or cut shows as many differing pixels.
    void markupRenderingMatchesTheReference() {
        CommandHistory history;
        ConsoleWidget console(history);
        console.resize(560, 190);
        console.show();
        for (const char* line :
             {"{r red} {g green} {b blue} {m magenta} {e orange} plain",
              "{*bold} {/italic} {=link} x_{2}^{3} y^{2} z_{i}",
              "greek {;\\a\\b\\p \\leq \\inf \\deg} and back", "{b: literal {braces} x_1}",
              "{-tail visible: the end of a long line shows: END}",
              "a plain line much too long for the width of this console view, cut with an "
              "ellipsis"})
            console.postLine(line);
        console.showPostedLines();
        QImage image = console.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString reference = VEMLOR_SOURCE_DIR "/tests/desktop/reference/console_markup.png";
        if (qEnvironmentVariableIsSet("VEMLOR_UPDATE_REFERENCE")) {
            QVERIFY(image.save(reference));
            QSKIP("reference picture written");
        }
        QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), expected.size());
        int differing = test::differingPixels(image, expected);
        QVERIFY2(differing < image.width() * image.height() / 1000,
                 qPrintable(QString("%1 pixels differ").arg(differing)));
    }

    void menuItemsTypeTheirCommands() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        QAction* reset = menuAction(d.window, "&Reset");
        QVERIFY(reset);
        reset->trigger();
        QTRY_VERIFY(!d.window.busy() && shows(console, "1> clear reset"));
        for (const char* item :
             {"&Restore", "&Save", "&cd ?", "&Basic help   ??", "&Functions    ?func", "&Abort",
              "&Run clipboard        F9", "&Clear clipboard", "&Launch vemlor", "Zoom &in      <<",
              "Zoom &out     >>", "&About vemlor"})
            QVERIFY2(menuAction(d.window, item), item);
    }

    void againWithEmptyHistoryRunsAnEmptyLine() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        QPushButton* again = button(d.window, "Again");
        QVERIFY(again);
        again->click();
        QTRY_VERIFY(!d.window.busy() && shows(console, "1> "));
        QCOMPARE(console.input().prompt(), std::string("2>"));
        typeInto(console, "y = 5");
        QTRY_VERIFY(!d.window.busy() && shows(console, "y = 5"));
        again->click(); // recalls and runs the last line
        QTRY_VERIFY(!d.window.busy() && shows(console, "3> y = 5"));
    }

    void zoomStepsByMenuAndCtrlWheel() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        QCOMPARE(console.fontPixels(), 20);
        menuAction(d.window, "Zoom &in      <<")->trigger();
        QCOMPARE(d.window.fontSize(), 20.0 * MainWindow::kZoomInFactor);
        QCOMPARE(console.fontPixels(), 22);
        menuAction(d.window, "Zoom &out     >>")->trigger();
        QCOMPARE(console.fontPixels(), 20);
        auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
            QPointF at(50, 50);
            QWheelEvent event(at, console.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              modifiers, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(console.viewport(), &event);
        };
        // One step per turn, however large the turn.
        wheel(720, Qt::ControlModifier);
        QCOMPARE(console.fontPixels(), 22);
        wheel(-120, Qt::ControlModifier);
        wheel(-120, Qt::ControlModifier);
        QCOMPARE(console.fontPixels(), 18);
        // Ctrl with another modifier scrolls instead.
        wheel(120, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(console.fontPixels(), 18);
    }

    void abortStopsAnEndlessLoopAndTypedLinesWait() {
        Desk d;
        ConsoleWidget& console = d.window.console();
        typeInto(console, "k = 0; while 1 { k = k + 1 }");
        QTest::qWait(300);
        QVERIFY(d.window.busy());
        // The window lives on: it paints, and a line typed now waits its turn.
        QVERIFY(!d.window.grab().isNull());
        typeInto(console, "k > 0");
        QVERIFY(d.window.busy());
        menuAction(d.window, "&Abort")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!d.window.busy() && shows(console, "interrupted"), 10000);
        QTRY_VERIFY(!d.window.busy() && shows(console, "2> k > 0"));
        QTRY_VERIFY(!d.window.busy() && shows(console, "1"));
    }

    void launchedInstancesHaveTheirOwnWorkspaceAndCloseAlone() {
        QTemporaryDir home;
        QtPlatform platform(ProgramPaths{home.path().toStdString(), home.path().toStdString()});
        DesktopInstances instances(platform);
        MainWindow& primary = instances.primary();
        primary.show();
        QAction* launch = menuAction(primary, "&Launch vemlor");
        QVERIFY(launch && launch->isEnabled());
        launch->trigger();
        QCOMPARE(instances.secondaryCount(), size_t(1));
        MainWindow* secondary = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowTitle() == "secondary Vemlor" && w->isVisible())
                secondary = qobject_cast<MainWindow*>(w);
        QVERIFY(secondary);
        typeInto(primary.console(), "only = 1");
        typeInto(secondary->console(), "only");
        QTRY_VERIFY(!primary.busy() && !secondary->busy() &&
                    shows(secondary->console(), "unrecognised name 'only'"));
        QVERIFY(shows(primary.console(), "only = 1"));
        QVERIFY(secondary->close());
        QTRY_COMPARE(instances.secondaryCount(), size_t(0));
        typeInto(primary.console(), "only + 1");
        QTRY_VERIFY(!primary.busy() && shows(primary.console(), "2"));
        primary.closeWithoutAsking();
    }

    void closingSavesTheWorkspaceForTheNextSession() {
        QTemporaryDir home;
        ProgramPaths paths{home.path().toStdString(), home.path().toStdString()};
        {
            QtPlatform platform(paths);
            DesktopSession session(platform, true, home.path().toStdString());
            MainWindow window(session, true);
            window.show();
            typeInto(window.console(), "x = 6*7");
            QTRY_VERIFY(!window.busy() && shows(window.console(), "x = 42"));
            QVERIFY(window.close());
        }
        QVERIFY(QFile::exists(home.filePath("vemlor_env.bin")));
        QtPlatform platform(paths);
        DesktopSession session(platform, true, home.path().toStdString());
        MainWindow window(session, true);
        typeInto(window.console(), "x");
        QTRY_VERIFY(!window.busy() && shows(window.console(), "42"));
        window.closeWithoutAsking();
    }
};

} // namespace vemlor

QTEST_MAIN(vemlor::DesktopTest)
#include "DesktopTest.moc"

// Figure windows of the desktop program on the offscreen platform: a plot
// opens one showing the curve, the user's resizing and closing reach the
// figure, `close` closes the window, a PNG picture has the window's pixels,
// and posted mouse presses, drags and menu choices reach the script.
#include "app/DesktopSession.h"
#include "platform/qt/QtFigureWindows.h"
#include "tests/support/DesktopHarness.h"
#include "tests/support/ImageCompare.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace vemlor {

class FigureWindowTest : public QObject {
    Q_OBJECT

  private:
    struct Desk : test::Desk {
        // Types a line and waits for its answer.
        void run(const QString& line) {
            type(line);
            QTRY_VERIFY(!window.busy());
        }
        FigureWindow* figureWindow(int n) { return session.figureWindows().window(n); }
        Figure* current() { return session.calc().figures().current(); }
        // The pixel of data point (x, y) in figure 1's current frame.
        QPoint pixelOf(double x, double y) {
            Frame& frame = current()->currentFrame();
            return QPoint(int(frame.pixelX(x)), int(frame.pixelY(y)));
        }
        void runScript(const QTemporaryDir& dir, const char* text) {
            QFile file(dir.filePath("s.vml"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
            file.close();
            run("use " + dir.filePath("s.vml"));
        }
    };

    static int pixelsOf(const QImage& image, QColor colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    }

  private slots:
    void plotOpensAWindowThatFollowsTheFigure() {
        Desk d;
        d.run("plot(1:10, (1:10)^2, \"r3\")");
        QTRY_VERIFY(d.figureWindow(1) && d.figureWindow(1)->isVisible());
        FigureWindow& w = *d.figureWindow(1);
        QCOMPARE(w.windowTitle(), QString("Figure 1"));
        QCOMPARE(w.size(), QSize(570, 406));
        QTRY_VERIFY(pixelsOf(w.grab().toImage(), QColor(170, 0, 0)) > 300);

        w.resize(400, 300);
        d.run("sz = 1");
        QCOMPARE(d.current()->width, 400);
        QCOMPARE(d.current()->height, 300);

        d.run("figure(2); plot(1:3)");
        QTRY_VERIFY(d.figureWindow(2));
        d.run("close(2)");
        QTRY_VERIFY(!d.figureWindow(2));

        d.figureWindow(1)->close();
        QTRY_VERIFY(!d.figureWindow(1));
        d.run("sz = 2");
        QVERIFY(d.current() == nullptr);
    }

    void pngPictureHasTheWindowsPixels() {
        Desk d;
        QTemporaryDir dir;
        QString path = dir.filePath("f.png");
        d.run("x = linspace(0, 6, 40); plot(x, sin(x), \"b2o3\"); title(\"{r sin} x^{2}\"); "
              "text([3, 0], \"{$a} {*bold}\"); print(\"" +
              path + "\")");
        QTRY_VERIFY(d.figureWindow(1));
        QImage picture = QImage(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.size(), QSize(570, 406));
        QImage shown;
        QTRY_VERIFY((shown = d.figureWindow(1)->view().grab().toImage().convertToFormat(
                         QImage::Format_RGB32))
                            .size() == picture.size() &&
                    pixelsOf(shown, QColor(0, 0, 100)) > 0);
        int fromWindow = test::differingPixels(picture, shown, 0);
        QVERIFY2(fromWindow < picture.width() * picture.height() / 200,
                 qPrintable(QString::number(fromWindow) + " pixels differ from the window"));

        const QString reference = VEMLOR_SOURCE_DIR "/tests/desktop/reference/figure.png";
        if (qEnvironmentVariableIsSet("VEMLOR_UPDATE_REFERENCE")) {
            QVERIFY(picture.save(reference));
            QSKIP("reference picture written");
        }
        QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        int fromReference = test::differingPixels(picture, expected);
        QVERIFY2(fromReference < picture.width() * picture.height() / 100,
                 qPrintable(QString::number(fromReference) + " pixels differ from the reference"));
    }

    void clicksCallBackDragWithinLimitsAndAnswerGetclick() {
        Desk d;
        QTemporaryDir dir;
        d.runScript(dir, "presses = []\n"
                         "function y = onLDown(p, q)\n"
                         "  global presses\n"
                         "  presses = [presses, round(p)]\n"
                         "  y = 0\n"
                         "end\n"
                         "plot(0:10, 0:10)\n"
                         "spot = plot(3, 3, \"o5\")\n"
                         "fix(); dragable(spot, [0, 10, 0, 4])\n");
        QTRY_VERIFY(d.figureWindow(1));
        FigureView& view = d.figureWindow(1)->view();
        QTest::mouseClick(&view, Qt::LeftButton, {}, d.pixelOf(7, 2));
        QTRY_VERIFY(!d.window.busy());
        d.run("presses");
        QVERIFY(d.shows(" 7 2"));

        // Dragged above its limits the point waits at the edge, and follows
        // the pointer again when it comes back.
        QTest::mousePress(&view, Qt::LeftButton, {}, d.pixelOf(3, 3));
        QTest::mouseMove(&view, d.pixelOf(6, 8));
        QTRY_VERIFY(!d.window.busy());
        PlotItem* spot = d.current()->currentFrame().items().back().get();
        QVERIFY(std::abs(spot->x - 6) < 0.1);
        QCOMPARE(spot->y, 4.0);
        QTest::mouseMove(&view, d.pixelOf(7, 2));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, d.pixelOf(7, 2));
        QTRY_VERIFY(!d.window.busy());
        d.run("where = 1");
        QVERIFY(std::abs(spot->x - 7) < 0.1 && std::abs(spot->y - 2) < 0.1);

        d.type("gc = getclick(1)");
        QTRY_VERIFY(d.window.busy());
        QTest::qWait(100);
        QTest::mouseClick(&view, Qt::LeftButton, {}, d.pixelOf(5, 9));
        QTRY_VERIFY(!d.window.busy());
        d.run("round(gc)");
        QVERIFY(d.shows(" 5 9"));
    }

    void menuItemsAndButtonsTypeTheirCommandsAndCallBack() {
        Desk d;
        d.run("plot(1:3); menu(\"Run\", list(\"seven|mm = 7*11\"))");
        QTRY_VERIFY(d.figureWindow(1) && d.figureWindow(1)->menuBar()->actions().size() == 1);
        QAction* item = d.figureWindow(1)->menuBar()->actions()[0]->menu()->actions()[0];
        QCOMPARE(item->text(), QString("seven"));
        item->trigger();
        QTRY_VERIFY(!d.window.busy() && d.shows("mm = 77"));
        QVERIFY(d.shows("2> mm = 7*11"));

        QTemporaryDir dir;
        d.runScript(dir, "function y = onButton(p, q)\n"
                         "  disp(q)\n"
                         "  y = 0\n"
                         "end\n"
                         "b = createButton(\"Go\", \"b\", \"bb = 5\")\n");
        QPushButton* go = nullptr;
        QTRY_VERIFY((go = d.figureWindow(1)->view().findChild<QPushButton*>()) != nullptr);
        QCOMPARE(go->text(), QString("Go"));
        QVERIFY(go->geometry().bottom() < d.figureWindow(1)->view().height());
        go->click();
        QTRY_VERIFY(!d.window.busy() && d.shows("bb = 5"));
        QVERIFY(d.shows(" 3 0")); // onButton got [id, state]: after the outline, ticks and curve
    }
};

} // namespace vemlor

QTEST_MAIN(vemlor::FigureWindowTest)
#include "FigureWindowTest.moc"

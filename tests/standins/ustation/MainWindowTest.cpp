// The stand-in's window over a session, shown offscreen: it repaints once for a batch of changes,
// from the elements in memory, and follows the automation object's Visible.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <filesystem>

#include "EngineFixture.h"
#include "MainWindow.h"

namespace vtl::ustation::test {
namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

void runEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool hasPixel(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) return true;
        }
    }
    return false;
}

class MainWindowTest : public EngineTest {};

TEST_F(MainWindowTest, ABatchOfElementsIsPaintedOnceFromMemory) {
    MainWindow window(*app);
    window.show();
    const std::filesystem::path file = newFile("batch.dgn");
    open(file);
    EXPECT_EQ(window.windowTitle(), "MicroStation - batch.dgn");  // at once, before any paint
    runEventsFor(300);
    PaintCounter counter;
    window.installEventFilter(&counter);
    std::string keyins;
    for (int i = 0; i < 300; ++i) {
        keyins +=
            "place lstring;xy=" + std::to_string(i) + ",0;xy=" + std::to_string(i) + ",10;reset;";
    }
    app->MbeSendCommand(keyins);
    // The next paint waits longer after a paint that took long, as one does on a busy machine.
    QElapsedTimer waited;
    waited.start();
    while (counter.paints == 0 && waited.elapsed() < 5000) runEventsFor(50);
    runEventsFor(200);
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, 2);
    // The window shows what is in memory, also when the file on disk is gone meanwhile.
    std::filesystem::remove(file);
    const QImage picture = window.grab().toImage();
    EXPECT_TRUE(hasPixel(picture, qRgb(255, 255, 255)));
    EXPECT_FALSE(hasPixel(picture, qRgb(255, 0, 0)));
}

// Started minimised, as an automation server starts; Visible 0 and 1 minimise and show it.
TEST_F(MainWindowTest, TheWindowFollowsVisible) {
    MainWindow window(*app);
    window.showMinimized();
    open(newFile("shown.dgn"));
    app->MbeSendCommand("place line;xy=0,0;xy=10,10;reset");
    EXPECT_TRUE(window.isMinimized());  // nothing asked for it to show
    app->setVisible(0);
    EXPECT_TRUE(window.isMinimized());
    app->setVisible(1);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(app->Visible(), 1);
    app->setVisible(0);
    EXPECT_TRUE(window.isMinimized());
    EXPECT_EQ(app->Visible(), 0);
}

}  // namespace
}  // namespace vtl::ustation::test

int main(int argc, char** argv) {
    // Drawn without a screen, so the test runs alike with and without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The skinned button: which third of its strip it shows after each mouse
// event, and when its click handler runs and what Checked it sees.
#include <QEnterEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mathImg/MathBotao.h"
#include "tests/unit/mathImg/QtTestApp.h"

using zel::TMathBotao;

namespace {

// Every pixel of the strip differs from every other one.
QImage Strip(int w, int h) {
    QImage img(3 * w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x) img.setPixel(x, y, qRgb(x % 256, (x / 256) * 64 + y, 200));
    return img;
}

// The visible area (the top-left W × H of the displayed picture) holds column n of the strip.
bool ShowsColumn(const TMathBotao& b, int n) {
    const int w = b.width(), h = b.height();
    return b.Picture().copy(0, 0, w, h) == b.StripCopy().copy(n * w, 0, w, h);
}

int Column(const TMathBotao& b) {
    for (int n = 0; n < 3; ++n)
        if (ShowsColumn(b, n)) return n;
    return -1;
}

void Enter(TMathBotao& b) {
    QPointF p(5, 5);
    QEnterEvent e(p, p, b.mapToGlobal(p));
    QCoreApplication::sendEvent(&b, &e);
}

void Leave(TMathBotao& b) {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(&b, &e);
}

struct MathBotaoLooks : ::testing::Test {
    MathBotaoLooks() {
        window.resize(400, 200);
        button = new TMathBotao(&window);
        button->setGeometry(10, 10, 140, 30);
        button->SetPicture(Strip(140, 30));
        button->OnClick = [this] { clicks.push_back(button->Checked()); };
        window.show();
    }
    QWidget window;
    TMathBotao* button = nullptr;
    std::vector<bool> clicks;  // Checked as each click handler saw it
};

}  // namespace

TEST_F(MathBotaoLooks, ShowsTheThreeThirdsOfTheStripAtRestUnderTheMouseAndPressed) {
    EXPECT_EQ(Column(*button), 0);
    // Pixels 0..139 at rest.
    EXPECT_EQ(button->Picture().pixel(139, 29), Strip(140, 30).pixel(139, 29));
    Enter(*button);
    EXPECT_EQ(Column(*button), 1);
    EXPECT_EQ(button->Picture().pixel(0, 0), Strip(140, 30).pixel(140, 0));
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Column(*button), 2);
    EXPECT_EQ(button->Picture().pixel(139, 0), Strip(140, 30).pixel(419, 0));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Column(*button), 1);
    Leave(*button);
    EXPECT_EQ(Column(*button), 0);
    EXPECT_EQ(clicks, std::vector<bool>{false});
    // The strip itself never changes.
    EXPECT_EQ(button->StripCopy(), Strip(140, 30).convertToFormat(QImage::Format_RGB32));
}

TEST_F(MathBotaoLooks, LatchedButtonClickSeesCheckedFromBeforeTheRelease) {
    button->ManterClicado = true;
    Enter(*button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, std::vector<bool>{false});
    EXPECT_TRUE(button->Checked());
    EXPECT_EQ(Column(*button), 2);
    Leave(*button);
    EXPECT_EQ(Column(*button), 2);
    Enter(*button);
    EXPECT_EQ(Column(*button), 2);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, (std::vector<bool>{false, true}));
    EXPECT_FALSE(button->Checked());
    EXPECT_EQ(Column(*button), 1);
    Leave(*button);
    EXPECT_EQ(Column(*button), 0);
}

TEST_F(MathBotaoLooks, ReleaseOutsideOrWithTheRightButtonFlipsWithoutClick) {
    button->ManterClicado = true;
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(300, 100));  // moved out, released there
    EXPECT_TRUE(button->Checked());
    EXPECT_TRUE(clicks.empty());
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Checked());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(MathBotaoLooks, WriteCheckedShowsPressedLookEvenUnderTheMouse) {
    Enter(*button);
    button->WriteChecked(true);
    EXPECT_EQ(Column(*button), 2);
    Leave(*button);
    EXPECT_EQ(Column(*button), 2);
    button->WriteChecked(false);
    EXPECT_EQ(Column(*button), 0);
    // Writing the same value again shows its look again.
    Enter(*button);
    button->WriteChecked(false);
    EXPECT_EQ(Column(*button), 0);
}

TEST_F(MathBotaoLooks, CheckedButtonWithoutLatchShowsHoverAfterReleaseAndPressedAfterLeave) {
    button->WriteChecked(true);
    Enter(*button);
    EXPECT_EQ(Column(*button), 2);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->Checked());
    EXPECT_EQ(Column(*button), 1);
    Leave(*button);
    EXPECT_EQ(Column(*button), 2);
    EXPECT_EQ(clicks, std::vector<bool>{true});
}

TEST_F(MathBotaoLooks, NewPictureRefreshesTheStripAndShowsItsTopLeftArea) {
    button->WriteChecked(true);
    QImage other = Strip(140, 30).mirrored(true, false);
    button->SetPicture(other);
    EXPECT_EQ(button->StripCopy(), other.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Column(*button), 0);
    EXPECT_TRUE(button->Checked());
    Leave(*button);
    EXPECT_EQ(Column(*button), 2);
}

TEST_F(MathBotaoLooks, HandlerThatRaisesStopsTheReleaseAndIsReported) {
    std::vector<std::string> shown;
    TMathBotao::ErrorHandler = [&shown](const std::exception& e) { shown.push_back(e.what()); };
    button->ManterClicado = true;
    button->OnClick = [] { throw std::runtime_error("falhou"); };
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Checked());
    EXPECT_EQ(shown, std::vector<std::string>{"falhou"});
    // A silent stop: no message, no flip.
    button->OnClick = [] { throw zel::EAbort(); };
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Checked());
    EXPECT_EQ(shown.size(), 1u);
    // A handler that completes lets the button flip.
    button->OnClick = [] {};
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->Checked());
    TMathBotao::ErrorHandler = nullptr;
}

// A 20 × 10 button at (10, 10) on a window painted green-grey (55, 63, 55).
static TMathBotao* ButtonOnGreen(QWidget& window) {
    window.resize(100, 60);
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(55, 63, 55));
    window.setPalette(pal);
    auto* b = new TMathBotao(&window);
    b->setGeometry(10, 10, 20, 10);
    return b;
}

TEST(MathBotaoTransparency, BottomLeftColourOfThePictureLetsTheParentShowThrough) {
    QWidget window;
    TMathBotao* b = ButtonOnGreen(window);
    QImage strip(60, 10, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    QPainter(&strip).fillRect(QRect(2, 2, 16, 6), QColor(200, 10, 10));
    b->SetTransparent(true);
    b->SetPicture(strip);
    window.show();
    QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(10, 10)), QColor(55, 63, 55));  // magenta corner: the window behind
    EXPECT_EQ(QColor(shot.pixel(15, 15)), QColor(200, 10, 10));
    b->SetTransparent(false);
    shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(10, 10)), QColor(255, 0, 255));
}

TEST(MathBotaoDisabled, ADisabledButtonShowsItsRestingLookGreyedAndDimmed) {
    QWidget window;
    TMathBotao* b = ButtonOnGreen(window);
    // Magenta outline, a red body with a white stroke of "ink" at rest; the
    // hover look is all blue.
    QImage strip(60, 10, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    QPainter p(&strip);
    p.fillRect(QRect(2, 2, 16, 6), QColor(200, 10, 10));
    p.fillRect(QRect(8, 4, 4, 2), Qt::white);
    p.fillRect(QRect(22, 2, 16, 6), Qt::blue);
    p.end();
    b->SetTransparent(true);
    b->SetPicture(strip);
    window.show();
    Enter(*b);
    b->setEnabled(false);
    QImage shot = window.grab().toImage();
    const QColor body(shot.pixel(13, 13)), ink(shot.pixel(19, 14));
    EXPECT_EQ(QColor(shot.pixel(10, 10)), QColor(55, 63, 55));  // the outline is still see-through
    EXPECT_EQ(body.red(), body.green());                          // grey, not red nor the hover's blue
    EXPECT_EQ(body.green(), body.blue());
    EXPECT_LT(ink.red(), 200);                                    // white ink dimmed...
    EXPECT_GT(ink.red(), body.red() + 40);                        // ...but still readable on the body
    b->setEnabled(true);
    shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(13, 13)), QColor(200, 10, 10));
    EXPECT_EQ(QColor(shot.pixel(19, 14)), QColor(Qt::white));
}

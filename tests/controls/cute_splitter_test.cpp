// The collapsible splitter: band geometry, band click, dragging and painting.
#include "controls/cute_splitter.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace yk {
namespace {

TEST(CuteSplitter, BandRectIsCentredAndClippedToTheBar) {
  struct Case {
    QSize bar;
    Qt::Orientation orientation;
    int band;
    QRect want;
  };
  const Case cases[] = {
      {{300, 7}, Qt::Vertical, 118, {91, 0, 118, 7}},
      {{300, 7}, Qt::Vertical, 300, {0, 0, 300, 7}},
      {{300, 7}, Qt::Vertical, 1000, {0, 0, 300, 7}},  // longer than the bar: clipped
      {{7, 200}, Qt::Horizontal, 50, {0, 75, 7, 50}},
      {{7, 40}, Qt::Horizontal, 118, {0, 0, 7, 40}},
      {{301, 7}, Qt::Vertical, 0, {150, 0, 0, 7}},
  };
  for (const Case& c : cases) EXPECT_EQ(CuteBandRect(c.bar, c.orientation, c.band), c.want) << c.band;
}

TEST(CuteSplitter, ColoursAreBlueGreenRed) {
  EXPECT_EQ(ColorFromBgr(0xFFC8CF), QColor(0xCF, 0xC8, 0xFF));
  EXPECT_EQ(ColorFromBgr(0x06679B), QColor(0x9B, 0x67, 0x06));
  EXPECT_EQ(CuteArrowColor(cbtBlueLED, true, QPalette()), QColor(0x00, 0xFF, 0xFF));
}

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPoint pos) {
  Mouse(w, QEvent::MouseButtonPress, pos);
  Mouse(w, QEvent::MouseButtonRelease, pos);
}

// A splitter of two panes stacked (or side by side), 300 by 300, the first
// pane 150 pixels.
struct SplitterFixture : ::testing::Test {
  void Make(Qt::Orientation orientation = Qt::Vertical) {
    clicks = moves = 0;
    splitter = std::make_unique<TCuteSplitter>(orientation);
    splitter->addWidget(new QWidget);
    splitter->addWidget(new QWidget);
    splitter->SetMinSize(20);
    splitter->resize(300, 300);
    splitter->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splitter.get()));
    splitter->setSizes({150, 143});
    ASSERT_EQ(splitter->PaneSize(), 150);
    handle = splitter->CuteHandle(1);
    ASSERT_NE(handle, nullptr);
    splitter->OnClick = [this](TCuteSplitter&) { ++clicks; };
    splitter->OnMoved = [this](TCuteSplitter&) { ++moves; };
  }
  QPoint BandCentre() const { return handle->BandRect().center(); }
  // Drags the bar from a point off the band to pane size `to`.
  void DragTo(int to) {
    const QPoint start(2, 3);
    Mouse(handle, QEvent::MouseButtonPress, start);
    const QPoint global = splitter->mapToGlobal(QPoint(2, to + 3));
    Mouse(handle, QEvent::MouseMove, handle->mapFromGlobal(global));
    Mouse(handle, QEvent::MouseButtonRelease, handle->mapFromGlobal(global));
  }

  std::unique_ptr<TCuteSplitter> splitter;
  TCuteSplitterHandle* handle = nullptr;
  int clicks = 0;
  int moves = 0;
};

TEST_F(SplitterFixture, DefaultsAndBarWidth) {
  Make();
  EXPECT_EQ(splitter->handleWidth(), 7);
  EXPECT_EQ(handle->height(), 7);
  EXPECT_EQ(splitter->BandType(), cbtNormal);
  EXPECT_TRUE(splitter->BandVisible());
  EXPECT_EQ(splitter->BandWidth(), 118);
  splitter->SetBandWidth(-5);
  EXPECT_EQ(splitter->BandWidth(), 0);
  splitter->SetMinSize(0);
  EXPECT_EQ(splitter->MinSize(), 1);
}

TEST_F(SplitterFixture, BandClickCollapsesAndRestores) {
  for (const Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
    Make(o);
    Click(handle, BandCentre());
    EXPECT_EQ(splitter->PaneSize(), 20);
    EXPECT_TRUE(splitter->Collapsed());
    EXPECT_EQ(handle->RememberedSize(), 150);
    Click(handle, BandCentre());
    EXPECT_EQ(splitter->PaneSize(), 150);
    EXPECT_FALSE(splitter->Collapsed());
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(moves, 0);
  }
}

TEST_F(SplitterFixture, ClickOffTheBandOrWithoutBandOnlyClicks) {
  Make();
  Click(handle, QPoint(2, 3));
  EXPECT_EQ(splitter->PaneSize(), 150);
  EXPECT_EQ(clicks, 1);
  splitter->SetBandVisible(false);
  Click(handle, BandCentre());
  EXPECT_EQ(splitter->PaneSize(), 150);
  EXPECT_EQ(clicks, 2);
  // The right button neither collapses nor clicks.
  splitter->SetBandVisible(true);
  Mouse(handle, QEvent::MouseButtonPress, BandCentre(), Qt::RightButton);
  Mouse(handle, QEvent::MouseButtonRelease, BandCentre(), Qt::RightButton);
  EXPECT_EQ(splitter->PaneSize(), 150);
  EXPECT_EQ(clicks, 2);
}

TEST_F(SplitterFixture, DraggingStopsAtMinSizeAndStaysThere) {
  Make();
  DragTo(-100);
  EXPECT_EQ(splitter->PaneSize(), 20);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(clicks, 0);
  // Nothing was remembered yet: the band has no size to bring back.
  Click(handle, BandCentre());
  EXPECT_EQ(splitter->PaneSize(), 20);
  // After a collapse and restore, a drag to MinSize keeps the remembered size.
  DragTo(100);
  EXPECT_EQ(splitter->PaneSize(), 100);
  Click(handle, BandCentre());
  Click(handle, BandCentre());
  DragTo(20);
  EXPECT_EQ(splitter->PaneSize(), 20);
  Click(handle, BandCentre());
  EXPECT_EQ(splitter->PaneSize(), 100);
}

TEST_F(SplitterFixture, DragStartedOnTheBandMovesTheBarWithoutCollapsing) {
  Make();
  const QPoint start = BandCentre();
  Mouse(handle, QEvent::MouseButtonPress, start);
  const QPoint global = handle->mapToGlobal(start) + QPoint(0, 40);
  Mouse(handle, QEvent::MouseMove, handle->mapFromGlobal(global));
  Mouse(handle, QEvent::MouseButtonRelease, handle->mapFromGlobal(global));
  EXPECT_EQ(splitter->PaneSize(), 190);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(moves, 1);
}

TEST_F(SplitterFixture, HoverAndEnterLeave) {
  Make();
  std::vector<std::string> log;
  splitter->OnMouseEnter = [&](TCuteSplitter&, Qt::KeyboardModifiers, int x, int y) {
    log.push_back("enter " + std::to_string(x) + "," + std::to_string(y));
  };
  splitter->OnMouseLeave = [&](TCuteSplitter&, Qt::KeyboardModifiers, int, int) { log.push_back("leave"); };
  QEnterEvent enter(QPointF(4, 2), QPointF(4, 2), QPointF(handle->mapToGlobal(QPoint(4, 2))));
  QApplication::sendEvent(handle, &enter);
  Mouse(handle, QEvent::MouseMove, BandCentre(), Qt::NoButton);
  EXPECT_TRUE(handle->Hot());
  EXPECT_EQ(handle->cursor().shape(), Qt::ArrowCursor);
  Mouse(handle, QEvent::MouseMove, QPoint(2, 3), Qt::NoButton);
  EXPECT_FALSE(handle->Hot());
  EXPECT_EQ(handle->cursor().shape(), Qt::SplitVCursor);
  Mouse(handle, QEvent::MouseMove, BandCentre(), Qt::NoButton);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(handle, &leave);
  EXPECT_FALSE(handle->Hot());
  EXPECT_EQ(handle->cursor().shape(), Qt::SplitVCursor);
  EXPECT_EQ(log, (std::vector<std::string>{"enter 4,2", "leave"}));
}

int CountColour(const QImage& image, QColor colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
  return n;
}

QImage Render(QWidget* w) {
  QImage image(w->size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  w->render(&image);
  return image;
}

TEST_F(SplitterFixture, EveryBandTypePaintsItsHotAndColdColours) {
  Make();
  const QPalette pal = handle->palette();
  for (const TCuteBandType type : {cbtNormal, cbtNetscape, cbtJust, cbtOrangeLED, cbtGreenLED, cbtBlueLED}) {
    splitter->SetBandType(type);
    Mouse(handle, QEvent::MouseMove, QPoint(2, 3), Qt::NoButton);
    const QImage cold = Render(handle);
    Mouse(handle, QEvent::MouseMove, BandCentre(), Qt::NoButton);
    ASSERT_TRUE(handle->Hot());
    const QImage hot = Render(handle);
    EXPECT_GT(CountColour(cold, CuteArrowColor(type, false, pal)), 0) << type;
    EXPECT_GT(CountColour(hot, CuteArrowColor(type, true, pal)), 0) << type;
    if (type == cbtNetscape) {
      EXPECT_GT(CountColour(hot, ColorFromBgr(0xFFC8CF)), 10);
      EXPECT_EQ(CountColour(cold, ColorFromBgr(0xFFC8CF)), 0);
    }
    if (type >= cbtOrangeLED) {
      EXPECT_EQ(CountColour(hot, CuteArrowColor(type, false, pal)), 0) << type;
    }
    EXPECT_EQ(CountColour(hot, Qt::magenta), 0);
  }
  // Nothing but the bar without the band.
  splitter->SetBandVisible(false);
  const QImage bare = Render(handle);
  EXPECT_EQ(CountColour(bare, pal.color(QPalette::Button)), handle->width() * handle->height());
}

TEST_F(SplitterFixture, ArrowsPointWhereAClickMovesTheBar) {
  Make();
  splitter->SetBandType(cbtGreenLED);
  const QColor green = CuteArrowColor(cbtGreenLED, false, handle->palette());
  const QRect band = handle->BandRect();
  const int tip_x = band.left() + 5;
  // Open: the tip (one pixel) is on top, the base (five pixels) below.
  QImage image = Render(handle);
  EXPECT_EQ(image.pixelColor(tip_x - 2, 4).rgb(), green.rgb());
  EXPECT_NE(image.pixelColor(tip_x - 2, 2).rgb(), green.rgb());
  splitter->ToggleBand();
  image = Render(handle);
  EXPECT_EQ(image.pixelColor(tip_x - 2, 2).rgb(), green.rgb());
  EXPECT_NE(image.pixelColor(tip_x - 2, 4).rgb(), green.rgb());
  // A long band has a second arrow at each end.
  EXPECT_EQ(image.pixelColor(band.left() + 11, 4).rgb(), green.rgb());
  EXPECT_EQ(image.pixelColor(band.right() - 11, 4).rgb(), green.rgb());
}

}  // namespace
}  // namespace yk

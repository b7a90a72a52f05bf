// Tests of windowless controls: repaint requests on the parent, colours, print zoom, registration, paint content.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "common/exceptions.h"
#include "smallib/ctrl.h"
#include "smallib/gdi_handles.h"
#include "tests/smallib/framework_test_support.h"

namespace {

using namespace fwtest;

class WindowlessControl : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        form = makeForm<PopupProbeForm>(log, u"CtrlProbe");
        ASSERT_NE(form, nullptr);
        ctrl = new TSCtrl(form);  // the form frees its windowless children
        ctrl->SetLeft(10);
        ctrl->SetTop(10);
        ctrl->SetWidth(20);
        ctrl->SetHeight(10);
        // Only a shown window keeps an update region.
        ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
        UpdateWindow(form->Handle());
        ValidateRect(form->Handle(), nullptr);
    }

    // Whether the point lies in the form's region waiting to be repainted.
    bool pending(int x, int y) {
        RegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
        GetUpdateRgn(form->Handle(), rgn.get(), FALSE);
        return PtInRegion(rgn.get(), x, y) != 0;
    }
    bool nothingPending() { return !GetUpdateRect(form->Handle(), nullptr, FALSE); }

    ProbeForm* form = nullptr;
    TSCtrl* ctrl = nullptr;
};

TEST_F(WindowlessControl, MovingAVisibleControlRepaintsTheOldAndTheNewPlace) {
    ctrl->Setvisible(true);
    ValidateRect(form->Handle(), nullptr);
    ctrl->SetLeft(50);
    EXPECT_TRUE(pending(15, 15)) << "old place";
    EXPECT_TRUE(pending(55, 15)) << "new place";
    EXPECT_FALSE(pending(40, 15)) << "in between";
}

TEST_F(WindowlessControl, AHiddenControlRequestsNoRepaint) {
    ctrl->SetLeft(50);
    ctrl->SetColor(static_cast<TColor>(RGB(9, 9, 9)));
    EXPECT_EQ(ctrl->Left(), 50);
    EXPECT_TRUE(nothingPending());

    ctrl->Setvisible(true);
    ValidateRect(form->Handle(), nullptr);
    ctrl->Setvisible(false);
    EXPECT_TRUE(pending(55, 15)) << "hiding repaints the area it leaves";
}

TEST_F(WindowlessControl, ColorReadsResolvedAndIgnoresTheSameRawValue) {
    EXPECT_EQ(ctrl->RawColor(), -COLOR_BTNFACE);
    EXPECT_EQ(ctrl->GetColor(), GetSysColor(COLOR_BTNFACE));
    ctrl->Setvisible(true);
    ValidateRect(form->Handle(), nullptr);
    ctrl->SetColor(-COLOR_BTNFACE);
    EXPECT_TRUE(nothingPending());
    ctrl->SetColor(static_cast<TColor>(RGB(200, 0, 0)));
    EXPECT_TRUE(pending(15, 15));
}

TEST_F(WindowlessControl, LeavesItsParentsListWhenDestroyed) {
    ASSERT_EQ(form->FControls.IndexOf(ctrl), 0);
    delete ctrl;
    EXPECT_EQ(form->FControls.Count(), 0);

    TSCtrl orphan(nullptr);  // no list to leave
    EXPECT_EQ(orphan.Parent(), nullptr);
}

TEST_F(WindowlessControl, HasNoDrawingSurfaceWithoutParent) {
    TSCtrl orphan(nullptr);
    try {
        orphan.getDC();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Parent=NIL !");
    }
    EXPECT_EQ(ctrl->getDC(), form->getDC()) << "a child draws on its parent's context";
}

TEST(PrintZoom, ScalesRoundingUp) {
    TSCtrl ctrl(nullptr);
    EXPECT_EQ(ctrl.PrintZoom(7), 7) << "no zoom set yet";
    ctrl.setPrintZoom(3, 2);
    const int cases[][2] = {{5, 8}, {4, 6}, {0, 0}, {1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        EXPECT_EQ(ctrl.PrintZoom(c[0]), c[1]);
    }
}

// The paint content draws into any context: here a memory bitmap instead of the window.
TEST(PaintContent, FillsTheControlsRectangleUnlessTransparent) {
    MemoryDC dc(CreateCompatibleDC(nullptr));
    BitmapHandle bitmap(CreateCompatibleBitmap(WindowDC(nullptr).get(), 60, 40));
    ASSERT_TRUE(dc && bitmap);
    const SelectObjectScope select(dc.get(), bitmap.get());
    const RECT all{0, 0, 60, 40};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    TSCtrl ctrl(nullptr);
    ctrl.SetLeft(10);
    ctrl.SetTop(5);
    ctrl.SetWidth(20);
    ctrl.SetHeight(10);
    ctrl.SetColor(static_cast<TColor>(RGB(0, 0, 255)));
    ctrl.SetTextColor(RGB(0, 255, 0));
    ctrl.paint(dc.get());
    EXPECT_EQ(GetPixel(dc.get(), 15, 10), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc.get(), 5, 10), RGB(255, 255, 255)) << "outside the control";
    EXPECT_EQ(GetTextColor(dc.get()), RGB(0, 255, 0));
    EXPECT_EQ(GetBkColor(dc.get()), RGB(0, 0, 255));

    ctrl.SetColor(static_cast<TColor>(RGB(255, 0, 0)));
    ctrl.SetBkMode(TRANSPARENT);
    ctrl.paint(dc.get());
    EXPECT_EQ(GetPixel(dc.get(), 15, 10), RGB(0, 0, 255)) << "transparent: the background stays";
    EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT);
}

}  // namespace

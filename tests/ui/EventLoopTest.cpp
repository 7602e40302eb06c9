#include "tests/support/Harness.h"

#include <gtest/gtest.h>

using testing_support::Harness;

namespace {

class TimerPage : public ui::Form {
  public:
    explicit TimerPage(ui::App& app) : ui::Form(app, "TimerPage") {}
    std::vector<std::int64_t> ticks;
    std::function<void()> onTick;
    ui::ControlRef Timer1{*this, "Timer1"};
    ui::ControlRef Go{*this, "Go"};

  protected:
    void Build() override {
        timer(Timer1, 0, false).onTimer = [this] {
            ticks.push_back(app().now());
            if (onTick)
                onTick();
        };
        button(Go, "Go");
    }
};

class ModalBox : public ui::Form {
  public:
    explicit ModalBox(ui::App& app) : ui::Form(app, "ModalBox") {}
    ui::ControlRef OK{*this, "OK"};

  protected:
    void Build() override {
        button(OK, "OK").onClick = [this] { Hide(); };
    }
};

TEST(EventLoop, TimersTickInVirtualTime) {
    Harness h;
    TimerPage page(h.app);
    page.Show();
    page.Timer1->setInterval(500);
    page.Timer1->setEnabled(true);
    h.wait(1600);
    EXPECT_EQ(page.ticks, (std::vector<std::int64_t>{500, 1000, 1500}));
    EXPECT_EQ(h.app.now(), 1600);
}

TEST(EventLoop, ATimerIsNeverEnteredTwice) {
    Harness h;
    TimerPage page(h.app);
    page.Show();
    int depth = 0, maxDepth = 0;
    page.onTick = [&] {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        // A wait inside the handler lets events run, but not this timer again.
        for (int i = 0; i < 10; ++i) {
            h.app.DoEvents();
            h.app.Sleep(100);
        }
        --depth;
    };
    page.Timer1->setInterval(100);
    page.Timer1->setEnabled(true);
    h.wait(2500);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_GE(page.ticks.size(), 2u);
}

TEST(EventLoop, TimerHandlerCanChangeItsOwnInterval) {
    Harness h;
    TimerPage page(h.app);
    page.Show();
    page.onTick = [&] { page.Timer1->setInterval(2000); };
    page.Timer1->setInterval(500);
    page.Timer1->setEnabled(true);
    h.wait(3000);
    EXPECT_EQ(page.ticks, (std::vector<std::int64_t>{500, 2500}));
}

TEST(EventLoop, ModalShowReturnsWhenTheFormHides) {
    Harness h;
    TimerPage page(h.app);
    ModalBox box(h.app);
    page.Show();
    bool returned = false;
    page.Go->onClick = [&] {
        box.ShowModal();
        returned = true;
    };
    h.later(300, [&] { h.click(box.OK); });
    h.click(page.Go);
    EXPECT_TRUE(returned);
    EXPECT_FALSE(box.visible());
    EXPECT_GE(h.app.now(), 300);
}

TEST(EventLoop, EndStopsEverythingFromAnyDepth) {
    Harness h;
    TimerPage page(h.app);
    ModalBox box(h.app);
    page.Show();
    bool afterEnd = false;
    page.Go->onClick = [&] {
        box.ShowModal(); // the end comes from inside this nested loop
        afterEnd = true;
    };
    h.later(100, [&] { h.app.End(); });
    h.click(page.Go);
    EXPECT_TRUE(h.ended());
    EXPECT_FALSE(afterEnd);
    // No page is created again after the end.
    box.Unload();
    EXPECT_THROW(box.load(), ui::ProgramEnded);
    EXPECT_FALSE(h.app.dispatch([] {}));
}

TEST(EventLoop, AWaitThatNeverEndsFailsInsteadOfHanging) {
    Harness h;
    h.app.setStallLimit(10'000);
    EXPECT_THROW(
        {
            for (;;) {
                h.app.DoEvents();
                h.app.Sleep(500);
            }
        },
        ui::WaitStalled);
}

TEST(EventLoop, PostedActionsRunInTimeOrder) {
    Harness h;
    std::vector<int> order;
    h.later(200, [&] { order.push_back(2); });
    h.later(100, [&] { order.push_back(1); });
    h.later(100, [&] { order.push_back(11); });
    h.wait(150);
    EXPECT_EQ(order, (std::vector<int>{1, 11}));
    h.wait(100);
    EXPECT_EQ(order, (std::vector<int>{1, 11, 2}));
}

TEST(ScriptedBoxes, AnswersInOrderAndChecksTitleTextAndFlags) {
    Harness h;
    h.boxes.expect("Notice", "hello", ui::mb::Ok, ui::mb::Information)
        .expect("Warning", "sure?", ui::mb::No);
    EXPECT_EQ(h.app.MsgBox("hello", ui::mb::Information, "Notice"), ui::mb::Ok);
    EXPECT_EQ(h.app.MsgBox("sure?", ui::mb::YesNo | ui::mb::Exclamation, "Warning"), ui::mb::No);
    EXPECT_TRUE(h.boxes.allShown());
}

} // namespace

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

#include "DrivenClock.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"
#include "widgets/DropFileTarget.h"
#include "widgets/ErrorReport.h"

namespace tavrin {
namespace {

constexpr Qt::DropActions kAllActions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

std::vector<std::string> SampleFiles() {
    return {(test::SamplesDir() / "hp2xx/dt.plt").string(),
            (test::SamplesDir() / "ghostpdl/golfer.eps").string(),
            (test::SamplesDir() / "hplip/align3_8xx.pcl").string()};
}

std::unique_ptr<QMimeData> FilesData(const std::vector<std::string>& files) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const std::string& file : files)
        urls << QUrl::fromLocalFile(QString::fromStdString(file));
    data->setUrls(urls);
    return data;
}

struct Answer {
    bool accepted;
    Qt::DropAction action;
};

// Sends the drag events a platform delivers to the window under the pointer.
class Dragging {
public:
    explicit Dragging(QWidget& window) : window_(window) {}

    Answer Enter(const QMimeData& data, QPoint at = {50, 50}, Qt::DropActions offered = kAllActions,
                 Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QDragEnterEvent event(at, offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&window_, &event);
        return {event.isAccepted(), event.dropAction()};
    }
    Answer Move(const QMimeData& data, QPoint at = {60, 60}, Qt::DropActions offered = kAllActions,
                Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QDragMoveEvent event(at, offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&window_, &event);
        return {event.isAccepted(), event.dropAction()};
    }
    void Leave() {
        QDragLeaveEvent event;
        QCoreApplication::sendEvent(&window_, &event);
    }
    Answer Drop(const QMimeData& data, QPoint at = {60, 60}, Qt::DropActions offered = kAllActions,
                Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QDropEvent event(at, offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(&window_, &event);
        return {event.isAccepted(), event.dropAction()};
    }

private:
    QWidget& window_;
};

class DropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetErrorReport([this](const Error& error) { reports.push_back(error.what()); });
        window = std::make_unique<QWidget>();
        window->setObjectName("TavrinForm");
        window->resize(300, 200);
        window->show();
        target = std::make_unique<TDropFileTarget>(window.get(), clock.Timers());
        target->SetDragtypes(dtCopy);
        target->OnDrop = [this](TShiftState, QPoint, DropEffect& effect) {
            dropped.push_back(target->Files());
            dropEffects.push_back(effect);
        };
        target->Register(window.get());
    }
    void TearDown() override {
        target.reset();
        window.reset();
        SetErrorReport({});
    }

    test::UsesApplication app;
    test::DrivenClock clock;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TDropFileTarget> target;
    std::vector<std::vector<std::string>> dropped;
    std::vector<DropEffect> dropEffects;
    std::vector<std::string> reports;
};

TEST_F(DropTargetTest, ThreeFilesGiveOneDropWithTheNamesInOrderAndEmptyListsAfterwards) {
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    const Answer enter = drag.Enter(*data);
    EXPECT_TRUE(enter.accepted);
    EXPECT_EQ(enter.action, Qt::CopyAction);
    EXPECT_TRUE(target->Files().empty()) << "read only at the drop";
    EXPECT_TRUE(drag.Move(*data).accepted);
    const Answer drop = drag.Drop(*data);
    EXPECT_TRUE(drop.accepted);
    EXPECT_EQ(drop.action, Qt::CopyAction);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0], SampleFiles());
    EXPECT_EQ(dropEffects[0], DROPEFFECT_COPY);
    EXPECT_TRUE(target->Files().empty());
    EXPECT_TRUE(target->NameMap().empty());
}

TEST_F(DropTargetTest, WithOnlyCopyAllowedAnyKeysGiveCopy) {
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    for (Qt::KeyboardModifiers keys :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ShiftModifier | Qt::ControlModifier}) {
        const Answer enter = drag.Enter(*data, {50, 50}, kAllActions, keys);
        EXPECT_EQ(enter.action, Qt::CopyAction) << keys.toInt();
        const Answer move = drag.Move(*data, {60, 60}, kAllActions, keys);
        EXPECT_TRUE(move.accepted);
        EXPECT_EQ(move.action, Qt::CopyAction) << keys.toInt();
        drag.Leave();
    }
    EXPECT_TRUE(dropped.empty());
}

TEST_F(DropTargetTest, ASourceOfferingOnlyMoveOrLinkGetsNone) {
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    for (Qt::DropAction offered : {Qt::MoveAction, Qt::LinkAction}) {
        EXPECT_EQ(drag.Enter(*data, {50, 50}, offered).action, Qt::IgnoreAction);
        EXPECT_FALSE(drag.Move(*data, {60, 60}, offered).accepted);
        EXPECT_FALSE(drag.Drop(*data, {60, 60}, offered).accepted);
    }
    EXPECT_TRUE(dropped.empty());
}

TEST_F(DropTargetTest, ShiftAndCtrlChooseAmongTheAllowedEffects) {
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    target->SetDragtypes(dtCopy | dtMove);
    EXPECT_EQ(drag.Enter(*data, {50, 50}, kAllActions, Qt::ShiftModifier).action, Qt::MoveAction);
    EXPECT_EQ(
        drag.Move(*data, {50, 50}, kAllActions, Qt::ShiftModifier | Qt::ControlModifier).action,
        Qt::CopyAction);
    EXPECT_EQ(drag.Move(*data, {50, 50}, Qt::MoveAction | Qt::LinkAction).action, Qt::MoveAction);
    target->SetDragtypes(dtCopy | dtMove | dtLink);
    EXPECT_EQ(
        drag.Move(*data, {50, 50}, kAllActions, Qt::ShiftModifier | Qt::ControlModifier).action,
        Qt::LinkAction);
    EXPECT_EQ(drag.Move(*data, {50, 50}, Qt::LinkAction).action, Qt::LinkAction);
    const Answer drop = drag.Drop(*data, {50, 50}, kAllActions, Qt::ShiftModifier);
    EXPECT_EQ(drop.action, Qt::MoveAction);
    EXPECT_EQ(dropEffects, std::vector<DropEffect>{DROPEFFECT_MOVE});
}

TEST_F(DropTargetTest, DataWithoutLocalFilesGetsNoneThroughoutAndOnLeaveStillFires) {
    int enters = 0, overs = 0, leaves = 0;
    target->OnEnter = [&enters](TShiftState, QPoint, DropEffect&) { ++enters; };
    target->OnDragOver = [&overs](TShiftState, QPoint, DropEffect&) { ++overs; };
    target->OnLeave = [&leaves] { ++leaves; };
    Dragging drag(*window);

    QMimeData text;
    text.setText("HPGL;IN;SP1;");
    EXPECT_EQ(drag.Enter(text).action, Qt::IgnoreAction);
    EXPECT_FALSE(drag.Move(text).accepted);
    drag.Leave();
    EXPECT_EQ(leaves, 1);

    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/plot.plt")});
    EXPECT_EQ(drag.Enter(remote).action, Qt::IgnoreAction);
    EXPECT_FALSE(drag.Move(remote).accepted);
    EXPECT_FALSE(drag.Drop(remote).accepted);

    EXPECT_EQ(enters, 0);
    EXPECT_EQ(overs, 0);
    EXPECT_TRUE(dropped.empty());
}

TEST_F(DropTargetTest, AnOnGetDropEffectValueIsUsedAsItComesBack) {
    target->SetDragtypes(dtCopy | dtLink);
    std::vector<std::pair<TShiftState, DropEffect>> asked;
    target->OnGetDropEffect = [&asked](TShiftState shift, QPoint, DropEffect& effect) {
        asked.push_back({shift, effect});
        effect = DROPEFFECT_LINK | DROPEFFECT_SCROLL;
    };
    std::vector<DropEffect> entered;
    target->OnEnter = [&entered](TShiftState, QPoint, DropEffect& effect) {
        entered.push_back(effect);
    };
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    const Answer enter = drag.Enter(*data, {50, 50}, kAllActions, Qt::ShiftModifier);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, ssShift | ssLeft);
    EXPECT_EQ(asked[0].second, DROPEFFECT_COPY | DROPEFFECT_LINK);
    EXPECT_EQ(entered, std::vector<DropEffect>{DROPEFFECT_LINK | DROPEFFECT_SCROLL});
    EXPECT_EQ(enter.action, Qt::LinkAction);
    drag.Drop(*data);
    EXPECT_EQ(dropEffects, std::vector<DropEffect>{DROPEFFECT_LINK | DROPEFFECT_SCROLL});
}

TEST_F(DropTargetTest, WithGetDataOnEnterTheFilesAreThereForTheWholeDragAndGoneAfterIt) {
    target->SetGetDataOnEnter(true);
    std::vector<std::size_t> seen;
    target->OnEnter = [&](TShiftState, QPoint, DropEffect&) {
        seen.push_back(target->Files().size());
    };
    target->OnDragOver = [&](TShiftState, QPoint, DropEffect&) {
        seen.push_back(target->Files().size());
    };
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    drag.Enter(*data);
    drag.Move(*data);
    drag.Leave();
    EXPECT_TRUE(target->Files().empty());
    drag.Enter(*data);
    drag.Drop(*data);
    EXPECT_EQ(seen, (std::vector<std::size_t>{3, 3, 3}));
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0], SampleFiles());
    EXPECT_TRUE(target->Files().empty());
}

TEST_F(DropTargetTest, AnErrorFromOnDropIsReportedAndTheListsAreEmptiedAllTheSame) {
    target->OnDrop = [](TShiftState, QPoint, DropEffect&) {
        throw Error("Cannot open file plot.plt");
    };
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    drag.Enter(*data);
    EXPECT_FALSE(drag.Drop(*data).accepted);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, std::vector<std::string>{"Cannot open file plot.plt"});
    EXPECT_TRUE(target->Files().empty());
    // The next drag starts afresh.
    target->OnDrop = {};
    drag.Enter(*data);
    EXPECT_TRUE(drag.Drop(*data).accepted);
}

TEST_F(DropTargetTest, RegisteringTheSameWindowAgainDoesNothing) {
    target->Register(window.get());
    EXPECT_EQ(target->Target(), window.get());
    EXPECT_TRUE(window->acceptDrops());
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    drag.Enter(*data);
    drag.Drop(*data);
    EXPECT_EQ(dropped.size(), 1u) << "one drop, not one per registration";
}

TEST_F(DropTargetTest, AWindowTakesDropsForOneTargetAtATime) {
    TDropFileTarget second(nullptr, clock.Timers());
    try {
        second.Register(window.get());
        FAIL() << "registered twice";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Failed to Register TavrinForm");
    }
    EXPECT_EQ(second.Target(), window.get());
    try {
        second.Unregister();
        FAIL() << "unregistered another target's window";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Failed to Unregister TavrinForm");
    }
    EXPECT_EQ(second.Target(), window.get());

    // The first target still takes the drops.
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    drag.Enter(*data);
    drag.Drop(*data);
    EXPECT_EQ(dropped.size(), 1u);
}

TEST_F(DropTargetTest, RegisteringNoneUnregistersAndTheWindowTakesNoMoreDrops) {
    target->Register(nullptr);
    EXPECT_EQ(target->Target(), nullptr);
    EXPECT_FALSE(window->acceptDrops());
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    EXPECT_FALSE(drag.Enter(*data).accepted);
    drag.Drop(*data);
    EXPECT_TRUE(dropped.empty());

    TDropFileTarget second(nullptr, clock.Timers());
    second.Register(window.get());
    EXPECT_TRUE(window->acceptDrops());
    second.Unregister();
    EXPECT_EQ(second.Target(), nullptr);
    target->Register(window.get());
    target.reset();
    EXPECT_FALSE(window->acceptDrops()) << "destruction unregisters";
}

// A scrollable window with 13-pixel text, scrolled half way.
class DropScrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        list = std::make_unique<QListWidget>();
        QFont font = list->font();
        font.setPixelSize(13);
        list->setFont(font);
        for (int i = 0; i < 200; ++i)
            list->addItem(QString("plot%1.plt").arg(i));
        list->resize(150, 120);
        list->show();
        list->verticalScrollBar()->setValue(50);
        target = std::make_unique<TDropFileTarget>(nullptr, clock.Timers());
        target->SetDragtypes(dtCopy);
        target->OnEnter = [this](TShiftState, QPoint, DropEffect& effect) { enterEffect = effect; };
        target->Register(list.get());
    }

    int Position() const { return list->verticalScrollBar()->value(); }

    test::UsesApplication app;
    test::DrivenClock clock;
    std::unique_ptr<QListWidget> list;
    std::unique_ptr<TDropFileTarget> target;
    DropEffect enterEffect = 0;
};

TEST_F(DropScrollTest, APointerNearTheTopScrollsOneLineUpEvery100Ms) {
    ASSERT_TRUE(list->verticalScrollBar()->isVisible());
    const auto data = FilesData(SampleFiles());
    Dragging drag(*list);
    drag.Enter(*data, {40, 5});
    EXPECT_EQ(target->ScrollMargin(), 13);
    EXPECT_EQ(enterEffect, DROPEFFECT_COPY | DROPEFFECT_SCROLL);
    EXPECT_TRUE(drag.Move(*data, {40, 5}).accepted);
    EXPECT_TRUE(target->Scrolling());
    clock.Advance(99);
    EXPECT_EQ(Position(), 50);
    clock.Advance(1);
    EXPECT_EQ(Position(), 49);
    clock.Advance(200);
    EXPECT_EQ(Position(), 47);

    // Out of the zone the scrolling stops; near the bottom it goes the other way.
    drag.Move(*data, {40, 60});
    EXPECT_FALSE(target->Scrolling());
    clock.Advance(500);
    EXPECT_EQ(Position(), 47);
    drag.Move(*data, {40, list->height() - 5});
    clock.Advance(100);
    EXPECT_EQ(Position(), 48);
    drag.Leave();
    clock.Advance(500);
    EXPECT_EQ(Position(), 48);
}

TEST_F(DropScrollTest, TheDropStopsTheScrolling) {
    const auto data = FilesData(SampleFiles());
    Dragging drag(*list);
    drag.Enter(*data, {40, 5});
    drag.Move(*data, {40, 5});
    EXPECT_TRUE(drag.Drop(*data, {40, 5}).accepted);
    clock.Advance(500);
    EXPECT_EQ(Position(), 50);
}

TEST_F(DropScrollTest, AnOnGetDropEffectHandlerReplacesTheScrollZones) {
    target->OnGetDropEffect = [](TShiftState, QPoint, DropEffect& effect) {
        effect = DROPEFFECT_COPY;
    };
    const auto data = FilesData(SampleFiles());
    Dragging drag(*list);
    drag.Enter(*data, {40, 5});
    drag.Move(*data, {40, 5});
    EXPECT_EQ(enterEffect, DROPEFFECT_COPY);
    EXPECT_FALSE(target->Scrolling());
    clock.Advance(500);
    EXPECT_EQ(Position(), 50);
}

TEST_F(DropTargetTest, AWindowWithoutScrollBarsNeverScrolls) {
    DropEffect entered = 0;
    target->OnEnter = [&entered](TShiftState, QPoint, DropEffect& effect) { entered = effect; };
    const auto data = FilesData(SampleFiles());
    Dragging drag(*window);
    drag.Enter(*data, {3, 3});
    EXPECT_EQ(entered, DROPEFFECT_COPY);
    drag.Move(*data, {3, 3});
    EXPECT_FALSE(target->Scrolling());
}

}  // namespace
}  // namespace tavrin

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QScrollBar>
#include <QStringEncoder>
#include <QUrl>

#include "DrivenClock.h"
#include "support/TempFolder.h"
#include "support/TestApplication.h"
#include "widgets/DropFileTarget.h"
#include "widgets/ErrorReport.h"

namespace tavrin {
namespace {

using namespace std::literals;
using testing::ThrowsMessage;
using Names = std::vector<std::string>;
using Effects = std::vector<DropEffect>;
constexpr Qt::DropActions kAll = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
constexpr Qt::DropActions kMoveLink = Qt::MoveAction | Qt::LinkAction;
constexpr Qt::KeyboardModifiers kShiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
const std::map<int, std::string> kActions{{0, "none"}, {1, "copy"}, {2, "move"}, {4, "link"}};

// The names as the window shows them: with the system's separators.
Names Samples() {
    Names names;
    for (const char* sample : {"hp2xx/dt.plt", "ghostpdl/golfer.eps", "hplip/align3_8xx.pcl"}) {
        const QString name = QString::fromStdString((test::SamplesDir() / sample).string());
        names.push_back(QDir::toNativeSeparators(name).toStdString());
    }
    return names;
}

QList<QUrl> Urls(const Names& files) {
    QList<QUrl> urls;
    for (const std::string& file : files)
        urls << QUrl::fromLocalFile(QString::fromStdString(file));
    return urls;
}

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), qsizetype(text.size()));
}

class DropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetErrorReport([this](const Error& error) { reports.push_back(error.what()); });
        window.setObjectName("TavrinForm");
        window.resize(300, 200);
        window.show();
        target = std::make_unique<TDropFileTarget>(&window, clock.Timers());
        target->SetDragtypes(dtCopy);
        target->OnEnter = [this](TShiftState, QPoint, DropEffect& effect) { entered = effect; };
        target->OnDrop = [this](TShiftState, QPoint, DropEffect& effect) {
            dropped.push_back(target->Files());
            maps.push_back(target->NameMap());
            effects.push_back(effect);
        };
        target->Register(&window);
        files.setUrls(Urls(Samples()));
    }
    void TearDown() override {
        target.reset();
        SetErrorReport({});
        QGuiApplication::clipboard()->clear();
    }

    // Sends the events of `script` (e enter, o over, l leave, d drop) as a platform does to the
    // window under the pointer; returns what each got back: + accepted or - not, and the action.
    std::string Drag(const QMimeData& data, std::string_view script,
                     Qt::KeyboardModifiers keys = {}, Qt::DropActions offered = kAll) {
        std::string got;
        for (char step : script) {
            got += std::string(" ") + step;
            if (step == 'l') {
                QDragLeaveEvent event;
                QCoreApplication::sendEvent(on, &event);
            } else {
                got += step == 'e'   ? Send<QDragEnterEvent>(data, keys, offered)
                       : step == 'o' ? Send<QDragMoveEvent>(data, keys, offered)
                                     : Send<QDropEvent>(data, keys, offered);
            }
        }
        return got;
    }
    template <class E>
    std::string Send(const QMimeData& data, Qt::KeyboardModifiers keys, Qt::DropActions offered) {
        E event(at, offered, &data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(on, &event);
        return (event.isAccepted() ? "+" : "-") + kActions.at(event.dropAction());
    }

    test::UsesApplication app;
    test::DrivenClock clock;
    QWidget window;
    QWidget* on = &window;
    QPoint at{50, 50};
    std::unique_ptr<TDropFileTarget> target;
    QMimeData files;
    DropEffect entered = 0;
    std::vector<Names> dropped, maps;
    Effects effects;
    std::vector<std::string> reports;
};

// Near the edge, but the window has no scroll bars: no scrolling.
TEST_F(DropTargetTest, ThreeFilesGiveOneDropInOrderReadAtTheDropOrWithGetDataOnEnterAtTheStart) {
    at = {3, 3};
    EXPECT_EQ(Drag(files, "eo"), " e+copy o+copy");
    EXPECT_EQ(entered, DROPEFFECT_COPY);
    EXPECT_TRUE(target->Files().empty() && !target->Scrolling()) << "read only at the drop";
    EXPECT_EQ(Drag(files, "d"), " d+copy");
    EXPECT_EQ(effects, Effects{DROPEFFECT_COPY});

    // With GetDataOnEnter the files are there for the whole drag, and gone after it.
    target->SetGetDataOnEnter(true);
    std::vector<std::size_t> seen;
    target->OnEnter = target->OnDragOver = [&](TShiftState, QPoint, DropEffect&) {
        seen.push_back(target->Files().size());
    };
    Drag(files, "eol");
    EXPECT_TRUE(target->Files().empty());
    Drag(files, "ed");
    EXPECT_EQ(seen, (std::vector<std::size_t>{3, 3, 3}));
    EXPECT_EQ(dropped, (std::vector<Names>{Samples(), Samples()}));
    EXPECT_TRUE(target->Files().empty());
}

TEST_F(DropTargetTest, TheKeysOrOnGetDropEffectChooseTheEffectAmongThoseAllowedAndOffered) {
    using Keys = Qt::KeyboardModifiers;
    const std::tuple<const char*, TDragTypes, Qt::DropActions, Keys, Qt::DropAction> rows[] = {
        {"copy only, Shift", dtCopy, kAll, Qt::ShiftModifier, Qt::CopyAction},
        {"copy only, Shift+Ctrl", dtCopy, kAll, kShiftCtrl, Qt::CopyAction},
        {"source offers only move", dtCopy, Qt::MoveAction, {}, Qt::IgnoreAction},
        {"source offers only link", dtCopy, Qt::LinkAction, {}, Qt::IgnoreAction},
        {"copy+move, Shift", dtCopy | dtMove, kAll, Qt::ShiftModifier, Qt::MoveAction},
        {"copy+move, Shift+Ctrl", dtCopy | dtMove, kAll, kShiftCtrl, Qt::CopyAction},
        {"copy+move, offered move+link", dtCopy | dtMove, kMoveLink, {}, Qt::MoveAction},
        {"all, Shift", dtCopy | dtMove | dtLink, kAll, Qt::ShiftModifier, Qt::MoveAction},
        {"all, Shift+Ctrl", dtCopy | dtMove | dtLink, kAll, kShiftCtrl, Qt::LinkAction},
        {"all, offered link", dtCopy | dtMove | dtLink, Qt::LinkAction, {}, Qt::LinkAction},
    };
    for (const auto& [name, types, offered, keys, action] : rows) {
        SCOPED_TRACE(name);
        target->SetDragtypes(types);
        effects.clear();
        const DropEffect effect = action;  // the DROPEFFECT_ values are Qt's
        const std::string a = kActions.at(action), answer = (effect ? "+" : "-") + a;
        EXPECT_EQ(Drag(files, "eol", keys, offered) + Drag(files, "ed", keys, offered),
                  " e+" + a + " o" + answer + " l e+" + a + " d" + answer);
        EXPECT_EQ(effects, effect ? Effects{effect} : Effects{}) << "a drop only, no leave";
    }

    // An OnGetDropEffect value is used as it comes back.
    target->SetDragtypes(dtCopy | dtLink);
    std::vector<std::pair<TShiftState, DropEffect>> asked;
    target->OnGetDropEffect = [&asked](TShiftState shift, QPoint, DropEffect& effect) {
        asked.push_back({shift, effect});
        effect = DROPEFFECT_LINK | DROPEFFECT_SCROLL;
    };
    EXPECT_EQ(Drag(files, "e", Qt::ShiftModifier), " e+link");
    EXPECT_EQ(asked, (decltype(asked){{ssShift | ssLeft, DROPEFFECT_COPY | DROPEFFECT_LINK}}));
    EXPECT_EQ(entered, DROPEFFECT_LINK | DROPEFFECT_SCROLL);
    Drag(files, "d");
    EXPECT_EQ(effects.back(), DROPEFFECT_LINK | DROPEFFECT_SCROLL);
}

TEST_F(DropTargetTest, DataWithoutLocalFilesGetsNoneThroughoutAndOnLeaveStillFires) {
    int calls = 0, leaves = 0;
    target->OnEnter = target->OnDragOver = [&calls](TShiftState, QPoint, DropEffect&) { ++calls; };
    target->OnLeave = [&leaves] { ++leaves; };
    QMimeData text, remote;
    text.setText("HPGL;IN;SP1;");
    remote.setUrls({QUrl("https://example.org/plot.plt")});
    for (const QMimeData* data : {&text, &remote})
        EXPECT_EQ(Drag(*data, "eoled"), " e+none o-none l e+none d-none");
    EXPECT_EQ(std::tuple(leaves, calls, dropped.size()), std::tuple(2, 0, 0u));
}

TEST_F(DropTargetTest, AnErrorFromOnDropIsReportedAndTheListsAreEmptiedAllTheSame) {
    target->OnDrop = [](TShiftState, QPoint, DropEffect&) {
        throw Error("Cannot open file plot.plt");
    };
    EXPECT_EQ(Drag(files, "ed"), " e+copy d-none");
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, std::vector<std::string>{"Cannot open file plot.plt"});
    EXPECT_TRUE(target->Files().empty());
    target->OnDrop = {};
    EXPECT_EQ(Drag(files, "ed"), " e+copy d+copy") << "the next drag starts afresh";
}

TEST_F(DropTargetTest, AWindowTakesDropsForOneTargetAtATime) {
    target->Register(&window);  // the same window again: nothing changes
    Drag(files, "ed");
    {
        TDropFileTarget second(nullptr, clock.Timers());
        EXPECT_THAT([&] { second.Register(&window); },
                    ThrowsMessage<Error>("Failed to Register TavrinForm"));
        EXPECT_THAT([&] { second.Unregister(); },
                    ThrowsMessage<Error>("Failed to Unregister TavrinForm"));
        EXPECT_EQ(second.Target(), &window);
        Drag(files, "ed");
    }
    EXPECT_EQ(dropped.size(), 2u) << "one drop per drag, all to the first target";
    EXPECT_TRUE(target->Target() == &window && window.acceptDrops());
    target->Register(nullptr);
    EXPECT_TRUE(target->Target() == nullptr && !window.acceptDrops());
    EXPECT_EQ(Drag(files, "ed"), " e-copy d-copy") << "the window ignores the drag";
    EXPECT_EQ(dropped.size(), 2u);
    TDropFileTarget third(nullptr, clock.Timers());
    third.Register(&window);
    EXPECT_TRUE(window.acceptDrops());
    third.Unregister();
    EXPECT_EQ(third.Target(), nullptr);
    target->Register(&window);
    target.reset();
    EXPECT_FALSE(window.acceptDrops()) << "destruction unregisters";
}

TEST_F(DropTargetTest, OnlyLocalFilesAreTakenInOrderWithTheNamesOfAMatchingNameMap) {
    const QByteArray wide = QStringEncoder(QStringConverter::Utf16LE)(
        QString::fromStdU16String(u"Zeichnung-\u00fc.plt\0b.plt\0c.pcl\0\0"s));
    const std::tuple<const char*, QByteArray, QByteArray, Names> rows[] = {
        {"no name map", {}, {}, {}},
        {"FileNameMap", Bytes("a.plt\0b.plt\0c.pcl\0\0"sv), {}, {"a.plt", "b.plt", "c.pcl"}},
        {"FileNameMapW is UTF-16", {}, wide, {"Zeichnung-\xC3\xBC.plt", "b.plt", "c.pcl"}},
        {"FileNameMap wins over FileNameMapW", Bytes("x\0y\0z\0\0"sv), wide, {"x", "y", "z"}},
        {"a map of 2 names for 3 files", Bytes("a.plt\0b.plt\0\0"sv), {}, {}},
    };
    QList<QUrl> urls = Urls(Samples());
    urls.insert(1, QUrl("https://example.org/remote.plt"));  // not a local file: skipped
    for (const auto& [name, narrow, wideMap, map] : rows) {
        SCOPED_TRACE(name);
        QMimeData data;
        data.setUrls(urls);
        if (!narrow.isEmpty())
            data.setData("FileNameMap", narrow);
        if (!wideMap.isEmpty())
            data.setData("application/x-qt-windows-mime;value=\"FileNameMapW\"", wideMap);
        EXPECT_EQ(Drag(data, "ed"), " e+copy d+copy");
        EXPECT_EQ(dropped.back(), Samples());
        EXPECT_EQ(maps.back(), map);
        EXPECT_TRUE(target->Files().empty() && target->NameMap().empty());
    }
}

// What the Explorer's drop data (CF_HDROP) becomes in Qt: file URLs of drive-letter and UNC names,
// long and non-ASCII ones among them. The window takes them as Windows writes them.
TEST_F(DropTargetTest, NamesFromTheExplorerArriveAsWindowsWritesThem) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        // URL, the name on Windows, the name elsewhere
        {"file:///C:/Plots/plot.plt", R"(C:\Plots\plot.plt)", "/C:/Plots/plot.plt"},
        {"file://server/share/plot.plt", R"(\\server\share\plot.plt)", "//server/share/plot.plt"},
        {"file:///D:/A%20long%20folder%20name/Zeichnung%20M%C3%BCller%20Blatt%2012.plt",
         "D:\\A long folder name\\Zeichnung M\xC3\xBCller Blatt 12.plt",
         "/D:/A long folder name/Zeichnung M\xC3\xBCller Blatt 12.plt"},
        {"file:///C:/%E5%9B%B3%E9%9D%A2/%D1%87%D0%B5%D1%80%D1%82%D0%B5%D0%B6.plt",
         "C:\\\xE5\x9B\xB3\xE9\x9D\xA2\\\xD1\x87\xD0\xB5\xD1\x80\xD1\x82\xD0\xB5\xD0\xB6.plt",
         "/C:/\xE5\x9B\xB3\xE9\x9D\xA2/\xD1\x87\xD0\xB5\xD1\x80\xD1\x82\xD0\xB5\xD0\xB6.plt"},
    };
    QList<QUrl> urls;
    Names expected;
    for (const auto& [url, windows, elsewhere] : rows) {
        urls << QUrl(QString::fromLatin1(url));
#ifdef _WIN32
        expected.push_back(windows);
#else
        expected.push_back(elsewhere);
#endif
    }
    QMimeData data;
    data.setUrls(urls);
    EXPECT_EQ(Drag(data, "ed"), " e+copy d+copy");
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped.back(), expected);
}

TEST(DropFileTargetNameList, StopsAtAnEmptyNameOrTheEndOfTheBlock) {
    const auto read = &TDropFileTarget::ReadNameList;
    EXPECT_EQ(read(QByteArray(), false), Names{});
    EXPECT_EQ(read(Bytes("\0a\0"sv), false), Names{});
    EXPECT_EQ(read(Bytes("a\0b"sv), false), (Names{"a", "b"}));
    EXPECT_EQ(read(Bytes("a\0\0b\0"sv), false), Names{"a"});
    EXPECT_EQ(read(Bytes("a\0b\0\0\0c"sv), true), Names{"ab"});  // an odd last byte is no char
}

TEST_F(DropTargetTest, ReadClipboardTakesTheFilesAndTheEffectTheClipboardAsksFor) {
    target->SetGetDataOnEnter(true);
    files.setData("FileNameMap", Bytes("a\0b\0c\0\0"sv));
    Drag(files, "e");
    ASSERT_EQ(target->NameMap().size(), 3u);
    const Names s = Samples();
    const std::tuple<const char*, Names, const char*, QByteArray, DropEffect> rows[] = {
        {"no files", {}, "text/plain", "not a file", DROPEFFECT_NONE},
        {"copied", s, "", {}, DROPEFFECT_COPY},
        {"cut", {s[0]}, "Preferred DropEffect", Bytes("\x02\0\0\0"sv), DROPEFFECT_MOVE},
        {"GNOME", {s[1]}, "x-special/gnome-copied-files", "cut\nfile:///a.plt", DROPEFFECT_MOVE},
    };
    for (const auto& [name, urls, format, value, effect] : rows) {
        SCOPED_TRACE(name);
        auto* data = new QMimeData;
        if (!urls.empty())
            data->setUrls(Urls(urls));
        if (*format)
            data->setData(format, value);
        QGuiApplication::clipboard()->setMimeData(data);
        EXPECT_EQ(target->ReadClipboard(), effect);
        EXPECT_EQ(target->Files(), urls.empty() ? s : urls) << "none: left as it was";
        EXPECT_EQ(target->NameMap().size(), 3u) << "the name map is left as it was";
    }
}

TEST_F(DropTargetTest, APointerNearTheTopScrollsOneLineUpEvery100Ms) {
    QListWidget list;  // scrollable, with 13-pixel text, scrolled half way
    QFont font = list.font();
    font.setPixelSize(13);
    list.setFont(font);
    for (int i = 0; i < 200; ++i)
        list.addItem(QString("plot%1.plt").arg(i));
    list.resize(150, 120);
    list.show();
    list.verticalScrollBar()->setValue(50);
    target->Register(nullptr);
    target->Register(&list);
    on = &list;
    at = {40, 5};
    const auto After = [&](long milliseconds) {  // the scroll position then, * while it scrolls
        clock.Advance(milliseconds);
        return std::to_string(list.verticalScrollBar()->value()) + (target->Scrolling() ? "*" : "");
    };
    Drag(files, "e");
    EXPECT_EQ(target->ScrollMargin(), 13);
    EXPECT_EQ(entered, DROPEFFECT_COPY | DROPEFFECT_SCROLL);
    EXPECT_EQ(Drag(files, "o"), " o+copy");
    EXPECT_EQ(After(99), "50*");
    EXPECT_EQ(After(1), "49*");
    EXPECT_EQ(After(200), "47*");
    at = {40, 60};  // out of the zone the scrolling stops; near the bottom it goes the other way
    Drag(files, "o");
    EXPECT_EQ(After(500), "47");
    at = {40, list.height() - 5};
    Drag(files, "o");
    EXPECT_EQ(After(100), "48*");
    Drag(files, "l");
    EXPECT_EQ(After(500), "48");
    at = {40, 5};  // the drop stops it too
    EXPECT_EQ(Drag(files, "eod"), " e+copy o+copy d+copy");
    EXPECT_EQ(After(500), "48");
    // An OnGetDropEffect handler replaces the scroll zones.
    target->OnGetDropEffect = [](TShiftState, QPoint, DropEffect& effect) {
        effect = DROPEFFECT_COPY;
    };
    Drag(files, "eo");
    EXPECT_EQ(entered, DROPEFFECT_COPY);
    EXPECT_EQ(After(500), "48");
    target.reset();  // before the list goes
}

}  // namespace
}  // namespace tavrin

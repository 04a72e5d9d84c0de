#include <gtest/gtest.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <memory>
#include <string>
#include <vector>

#include "DrivenClock.h"
#include "support/TestApplication.h"
#include "support/TestPaths.h"
#include "widgets/DropFileTarget.h"

namespace tavrin {
namespace {

std::vector<std::string> SampleFiles() {
    return {(test::SamplesDir() / "jem-green-HPGL2/test-Model.PLT").string(),
            (test::SamplesDir() / "hp2xx/spectrum.plt").string(),
            (test::SamplesDir() / "ghostpdl/grid.pcl").string()};
}

QList<QUrl> Urls(const std::vector<std::string>& files) {
    QList<QUrl> urls;
    for (const std::string& file : files)
        urls << QUrl::fromLocalFile(QString::fromStdString(file));
    return urls;
}

QByteArray Wide(const std::u16string& text) {
    QByteArray bytes;
    for (char16_t unit : text) {
        bytes.append(char(unit & 0xFF));
        bytes.append(char(unit >> 8));
    }
    return bytes;
}

class DropFileTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->setObjectName("TavrinForm");
        window->resize(200, 100);
        target = std::make_unique<TDropFileTarget>(nullptr, clock.Timers());
        target->SetDragtypes(dtCopy);
        target->OnDrop = [this](TShiftState, QPoint, DropEffect&) {
            files = target->Files();
            nameMap = target->NameMap();
            ++drops;
        };
        target->Register(window.get());
    }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }

    // Drags `data` in and drops it; true when the drop was taken.
    bool DragAndDrop(const QMimeData& data) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &drop);
        return drop.isAccepted();
    }

    test::UsesApplication app;
    test::DrivenClock clock;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TDropFileTarget> target;
    std::vector<std::string> files;
    std::vector<std::string> nameMap;
    int drops = 0;
};

TEST_F(DropFileTargetTest, OnlyLocalFilesAreTakenInTheOrderOfTheData) {
    QMimeData data;
    QList<QUrl> urls = Urls(SampleFiles());
    urls.insert(1, QUrl("https://example.org/remote.plt"));
    data.setUrls(urls);
    EXPECT_TRUE(DragAndDrop(data));
    EXPECT_EQ(files, SampleFiles());
    EXPECT_TRUE(nameMap.empty());
}

TEST_F(DropFileTargetTest, NamesFromFileNameMapComeWithTheFiles) {
    QMimeData data;
    data.setUrls(Urls(SampleFiles()));
    data.setData("FileNameMap", QByteArray("a.plt\0b.plt\0c.pcl\0\0", 19));
    EXPECT_TRUE(DragAndDrop(data));
    EXPECT_EQ(nameMap, (std::vector<std::string>{"a.plt", "b.plt", "c.pcl"}));
    EXPECT_EQ(files, SampleFiles());
    EXPECT_TRUE(target->NameMap().empty());
    EXPECT_TRUE(target->Files().empty());
}

TEST_F(DropFileTargetTest, WideNamesAreReadAsUtf16AndTheNarrowMapWinsWhenBothAreThere) {
    QMimeData data;
    data.setUrls(Urls(SampleFiles()));
    data.setData("application/x-qt-windows-mime;value=\"FileNameMapW\"",
                 Wide(u"Zeichnung-\u00fc.plt") + Wide(std::u16string(1, u'\0')) + Wide(u"b.plt") +
                     Wide(std::u16string(1, u'\0')) + Wide(u"c.pcl") +
                     Wide(std::u16string(2, u'\0')));
    EXPECT_TRUE(DragAndDrop(data));
    EXPECT_EQ(nameMap, (std::vector<std::string>{"Zeichnung-\xC3\xBC.plt", "b.plt", "c.pcl"}));

    data.setData("FileNameMap", QByteArray("x\0y\0z\0\0", 7));
    EXPECT_TRUE(DragAndDrop(data));
    EXPECT_EQ(nameMap, (std::vector<std::string>{"x", "y", "z"}));
}

TEST_F(DropFileTargetTest, ANameMapThatDoesNotMatchTheFilesIsDroppedButTheDropSucceeds) {
    QMimeData data;
    data.setUrls(Urls(SampleFiles()));
    data.setData("FileNameMap", QByteArray("a.plt\0b.plt\0\0", 13));
    EXPECT_TRUE(DragAndDrop(data));
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(files.size(), 3u);
    EXPECT_TRUE(nameMap.empty());
}

TEST(DropFileTargetNameList, StopsAtAnEmptyNameOrTheEndOfTheBlock) {
    using List = std::vector<std::string>;
    EXPECT_EQ(TDropFileTarget::ReadNameList(QByteArray(), false), List{});
    EXPECT_EQ(TDropFileTarget::ReadNameList(QByteArray("\0a\0", 3), false), List{});
    EXPECT_EQ(TDropFileTarget::ReadNameList(QByteArray("a\0b", 3), false), (List{"a", "b"}));
    EXPECT_EQ(TDropFileTarget::ReadNameList(QByteArray("a\0\0b\0", 5), false), List{"a"});
    // An odd trailing byte of a wide list is no character.
    EXPECT_EQ(TDropFileTarget::ReadNameList(QByteArray("a\0b\0\0\0c", 7), true), List{"ab"});
}

TEST_F(DropFileTargetTest, ReadClipboardTakesTheFilesAndTheEffectTheClipboardAsksFor) {
    auto copied = new QMimeData;
    copied->setUrls(Urls(SampleFiles()));
    QGuiApplication::clipboard()->setMimeData(copied);
    EXPECT_EQ(target->ReadClipboard(), DROPEFFECT_COPY);
    EXPECT_EQ(target->Files(), SampleFiles());

    auto cut = new QMimeData;
    cut->setUrls(Urls({SampleFiles()[0]}));
    cut->setData("Preferred DropEffect", QByteArray("\x02\0\0\0", 4));
    QGuiApplication::clipboard()->setMimeData(cut);
    EXPECT_EQ(target->ReadClipboard(), DROPEFFECT_MOVE);
    EXPECT_EQ(target->Files(), std::vector<std::string>{SampleFiles()[0]});

    auto gnomeCut = new QMimeData;
    gnomeCut->setUrls(Urls({SampleFiles()[1]}));
    gnomeCut->setData("x-special/gnome-copied-files", "cut\nfile:///tmp/a.plt");
    QGuiApplication::clipboard()->setMimeData(gnomeCut);
    EXPECT_EQ(target->ReadClipboard(), DROPEFFECT_MOVE);
}

TEST_F(DropFileTargetTest, ReadClipboardWithoutFilesGivesNoneAndLeavesTheListsAlone) {
    target->SetGetDataOnEnter(true);
    QMimeData data;
    data.setUrls(Urls(SampleFiles()));
    data.setData("FileNameMap", QByteArray("a\0b\0c\0\0", 7));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window.get(), &enter);
    ASSERT_EQ(target->NameMap().size(), 3u);

    QGuiApplication::clipboard()->setText("not a file");
    EXPECT_EQ(target->ReadClipboard(), DROPEFFECT_NONE);
    EXPECT_EQ(target->Files(), SampleFiles());

    auto copied = new QMimeData;
    copied->setUrls(Urls({SampleFiles()[2]}));
    QGuiApplication::clipboard()->setMimeData(copied);
    EXPECT_EQ(target->ReadClipboard(), DROPEFFECT_COPY);
    EXPECT_EQ(target->NameMap().size(), 3u) << "the name map is left as it was";
}

}  // namespace
}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreviewWindow.h"

#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

#include "app/QtText.h"
#include "platform/Utf8Path.h"
#include "widgets/DataGrid.h"

namespace tavrin {
namespace {

constexpr int kFileNameColumn = 0;
constexpr int kMargin = 12;  // grey ground around the paper
const QColor kGround(0xd6, 0xd6, 0xd6);
const QColor kOutline(0x70, 0x70, 0x70);
const QColor kNote(0x60, 0x60, 0x60);

QImage ToQImage(const RasterImage& image) {
    if (image.Empty())
        return {};
    // QImage pads its rows to 4 bytes; the raster's rows are packed, so its row length is given.
    return QImage(image.pixels.data(), image.width, image.height, image.width * 3,
                  QImage::Format_RGB888)
        .copy();
}

}  // namespace

// The grey ground with the picture on its paper, fitted with its aspect kept.
class PreviewWindow::PaperView : public QWidget {
public:
    explicit PaperView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("PreviewPaper"));
        setMinimumSize(120, 90);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    std::function<void()> OnResize;

    // The picture of `preview`, or `note` in its place when it has none.
    void Show(std::shared_ptr<const Preview> preview, const QString& note = {}) {
        if (!preview || !preview->drawn)
            preview.reset();
        if (preview == preview_ && note == note_)
            return;
        if (preview != preview_)
            image_ = preview ? ToQImage(preview->image) : QImage();
        preview_ = std::move(preview);
        note_ = note;
        update();
    }
    const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), kGround);
        if (image_.isNull()) {
            painter.setPen(kNote);
            painter.drawText(rect().adjusted(2 * kMargin, kMargin, -2 * kMargin, -kMargin),
                             Qt::AlignCenter | Qt::TextWordWrap, note_);
            return;
        }
        const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
        QRect paper(QPoint(), image_.size().scaled(area.size(), Qt::KeepAspectRatio));
        paper.moveCenter(area.center());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(paper, image_);
        painter.setPen(kOutline);
        painter.drawRect(paper.adjusted(-1, -1, 0, 0));
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (OnResize)
            OnResize();
    }

private:
    std::shared_ptr<const Preview> preview_;
    QImage image_;
    QString note_;
};

PreviewWindow* PreviewWindow::ShowFor(QWidget& owner, TDataGrid& grid) {
    auto* window = owner.findChild<PreviewWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new PreviewWindow(grid, &owner);
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    return window;
}

PreviewWindow::PreviewWindow(TDataGrid& grid, QWidget* owner)
    : QWidget(owner, Qt::Window), grid_(&grid), cache_([this](const std::string& name) {
          QMetaObject::invokeMethod(
              this,
              [this, name] {
                  if (name == name_)
                      ShowCurrent();
              },
              Qt::QueuedConnection);
      }) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QString::fromUtf8(kTitle));
    // The list keeps the keys, so that the user can go on moving through it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    paper_ = new PaperView(this);
    line_ = new QLabel(this);
    line_->setObjectName(QStringLiteral("PreviewLine"));
    line_->setTextFormat(Qt::PlainText);
    // A long line is cut off rather than widening the window.
    line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 6);
    layout->setSpacing(6);
    layout->addWidget(paper_, 1);
    layout->addWidget(line_);
    line_->setContentsMargins(kMargin, 0, kMargin, 0);
    resize(480, 400);
    paper_->OnResize = [this] { Ask(); };
    grid_->Grid().addListener(this);
}

PreviewWindow::~PreviewWindow() {
    if (grid_)
        grid_->Grid().removeListener(this);
}

const QImage& PreviewWindow::Picture() const {
    return paper_->Image();
}

void PreviewWindow::rowCountChanged(int, int) {
    FollowSoon();
}
void PreviewWindow::layoutReset() {
    FollowSoon();
}
void PreviewWindow::cellsChanged(int, int, int, int) {
    FollowSoon();
}
void PreviewWindow::currentCellChanged() {
    FollowSoon();
}

void PreviewWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The file may have changed while the window was closed.
    Follow();
}

void PreviewWindow::FollowSoon() {
    if (std::exchange(followQueued_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            followQueued_ = false;
            Follow();
        },
        Qt::QueuedConnection);
}

void PreviewWindow::Follow() {
    if (!isVisible() || !grid_)
        return;
    const GridModel& grid = grid_->Grid();
    const int row = grid.currentRow();
    name_ = row >= grid.fixedRows() && row < grid.rowCount() ? grid.cellRef(kFileNameColumn, row)
                                                             : std::string();
    Ask();
    ShowCurrent();
}

int PreviewWindow::WantedWidth() const {
    const int across = std::max(paper_->width() - 2 * kMargin, 1);
    return static_cast<int>(std::lround(across * paper_->devicePixelRatioF()));
}

void PreviewWindow::Ask() {
    if (isVisible() && !name_.empty())
        cache_.Request(name_, WantedWidth());
}

void PreviewWindow::ShowCurrent() {
    if (name_.empty()) {
        paper_->Show(nullptr, QString::fromUtf8(kNoFile));
        line_->setText(QString::fromUtf8(kNoFile));
        line_->setToolTip({});
        return;
    }
    const std::optional<PreviewCache::Picture> picture = cache_.Find(name_);
    const QString file = ToQt(Utf8OfPath(PathFromUtf8(name_).filename()));
    line_->setToolTip(ToQt(name_));
    if (!picture) {
        paper_->Show(nullptr, QString::fromUtf8(kDrawing));
        line_->setText(QString::fromUtf8(kDrawing) + QStringLiteral("  ") + file);
    } else if (!picture->preview) {
        paper_->Show(nullptr, ToQt(picture->error));
        line_->setText(ToQt(picture->error));
    } else {
        // Where there is no picture, the paper says why in as many lines as it takes.
        const QString described = ToQt(DescribePreview(*picture->preview));
        paper_->Show(picture->preview, described);
        line_->setText(described + QStringLiteral(" \u2013 ") + file);
    }
}

}  // namespace tavrin

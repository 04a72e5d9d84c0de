#include "app/Over.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

#include "app/BuildDate.h"
#include "app/DialogFont.h"
#include "app/GlyphIcon.h"

// The program's pictures live in a static library, whose resource registration a linker may
// drop; registering them by hand keeps the button glyph.
static void RegisterAppResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    (void)registered;
}

namespace tavrin {
namespace {

constexpr int kClientWidth = 265;
constexpr int kClientHeight = 215;

QLabel* MakeLabel(const QString& text, QWidget* parent, const QRect& geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

}  // namespace

TOverTavrin::TOverTavrin(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                              Qt::MSWindowsFixedSizeDialogHint),
      mainWindow_(mainWindow) {
    RegisterAppResources();
    setObjectName(QStringLiteral("OverTavrin"));
    setWindowTitle(QStringLiteral("About...."));
    setFont(DialogFont(font()));
    setModal(false);
    setFixedSize(kClientWidth, kClientHeight);

    bevel1_ = new QFrame(this);
    bevel1_->setObjectName(QStringLiteral("Bevel1"));
    bevel1_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel1_->setGeometry(28, 8, 209, 57);

    nameLine_ = MakeLabel(QStringLiteral("Tavrin"), this, QRect(32, 14, 201, 20), Qt::AlignCenter);
    QFont nameFont = nameLine_->font();
    nameFont.setBold(true);
    nameFont.setPointSize(10);
    nameLine_->setFont(nameFont);
    motto_ = MakeLabel(QStringLiteral("(so forget \"copy /b file \\\\server\\printer\")"), this,
                       QRect(32, 38, 201, 18), Qt::AlignCenter);
    ShrinkToFit(*motto_, motto_->width());

    MakeLabel(QStringLiteral("Credits"), this, QRect(28, 72, 50, 16));
    MakeLabel(QStringLiteral("Written and kept up by\nthe Tavrin developers"), this,
              QRect(92, 72, 145, 32));

    label4_ = MakeLabel(QStringLiteral("Compiled: "), this, QRect(28, 112, 209, 14));
    label4_->setObjectName(QStringLiteral("Label4"));

    auto* contact = new QFrame(this);
    contact->setFrameStyle(QFrame::Box | QFrame::Plain);
    contact->setGeometry(29, 128, 206, 35);
    contact->setAutoFillBackground(true);
    QPalette white = contact->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    contact->setPalette(white);
    MakeLabel(QStringLiteral("Mail: tavrin@example.org\nWeb: https://tavrin.example.org"), contact,
              QRect(6, 3, 196, 30), Qt::AlignLeft | Qt::AlignVCenter);

    bitBtn1_ = new QPushButton(GlyphIcon(":/tavrin/resources/fine.png"),
                               QStringLiteral("&Fine, seen"), this);
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    bitBtn1_->setGeometry(84, 175, 105, 25);
    bitBtn1_->setAutoDefault(false);
    connect(bitBtn1_, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TOverTavrin::About2Click() {
    if (mainWindow_)
        move(mainWindow_->pos() + QPoint(100, 30));
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    show();
}

void TOverTavrin::BitBtn1Click() {
    close();
}

void TOverTavrin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TOverTavrin::FormShow() {
    label4_->setText(QString::fromStdString(CompiledCaption(ProgramBuildDate())));
}

}  // namespace tavrin

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HotFoldersDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/DialogFont.h"
#include "app/ErrorBox.h"
#include "app/QtText.h"
#include "platform/Error.h"
#include "printers/DeviceName.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

// PageSize's order.
constexpr const char* kPageNames[] = {"A5", "A4", "A3", "A2", "A1", "A0"};
constexpr int kMostCopies = 99;
constexpr int kMostSettleSeconds = 3600;

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

QSpinBox* MakeSpin(QWidget* parent, const char* name, int most) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromUtf8(name));
    spin->setRange(1, most);
    return spin;
}

// The folder as the settings keep it: a full path without a separator at its end.
std::string FullPath(const std::string& typed) {
    std::error_code error;
    fs::path path = fs::absolute(fs::path(typed), error);
    if (error)
        path = typed;
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_relative_path())
        path = path.parent_path();
    return path.string();
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || fs::equivalent(a, b, error);
}

}  // namespace

std::string OptionsText(const HotFolder& folder) {
    std::vector<std::string> parts;
    if (folder.deviceCopies)
        parts.emplace_back("copies by the device");
    if (folder.qualityOnPlotter)
        parts.emplace_back("quality on plotter");
    if (folder.collate)
        parts.emplace_back("collate");
    if (folder.fit)
        parts.push_back(std::string("fit to ") + kPageNames[static_cast<int>(*folder.fit)]);
    parts.push_back("settle " + std::to_string(folder.settleSeconds) + " s");
    if (folder.pollOnly)
        parts.emplace_back("look only");
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

HotFolderForm::HotFolderForm(QWidget* parent, std::function<void(const QString& text)> showMessage,
                             PrinterKindOf kindOf)
    : QDialog(parent, kDialogFlags),
      showMessage_(std::move(showMessage)),
      kindOf_(std::move(kindOf)) {
    setObjectName(QStringLiteral("HotFolder"));
    setFont(DialogFont(font()));
    setModal(true);
    browse_.SetTitle("Hot folder");

    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("Path"));
    path_->setPlaceholderText(QStringLiteral("the folder whose files print themselves"));
    path_->setMinimumWidth(300);
    auto* browse = MakeButton(this, "Browse", "&Browse...");
    printer_ = new QComboBox(this);
    printer_->setObjectName(QStringLiteral("Printer"));
    copies_ = MakeSpin(this, "Copies", kMostCopies);

    options_ = new QGroupBox(this);
    options_->setObjectName(QStringLiteral("Options"));
    deviceCopies_ = MakeCheckBox(options_, "DeviceCopies", "Copies by plotter");
    quality_ = MakeCheckBox(options_, "Quality", "Quality on plotter");
    collate_ = MakeCheckBox(options_, "Collate", "Collate copies");
    fit_ = MakeCheckBox(options_, "Fit", "Fit to page:");
    page_ = new QComboBox(options_);
    page_->setObjectName(QStringLiteral("Page"));
    // Largest first, as a paper list reads.
    for (int i = static_cast<int>(std::size(kPageNames)) - 1; i >= 0; --i)
        page_->addItem(QString::fromUtf8(kPageNames[i]), i);
    page_->setCurrentIndex(page_->findData(static_cast<int>(PageSize::A4)));

    settle_ = MakeSpin(this, "Settle", kMostSettleSeconds);
    settle_->setToolTip(
        QStringLiteral("How long a file must stay unchanged before it prints, where the folder "
                       "does not tell when its files are written"));
    lookOnly_ = MakeCheckBox(this, "LookOnly", "&Look only (share without notifications)");
    auto* ok = MakeButton(this, "EntryOK", "OK");
    ok->setDefault(true);
    auto* cancel = MakeButton(this, "EntryCancel", "Cancel");

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_);
    pathRow->addWidget(browse);
    auto* fitRow = new QHBoxLayout;
    fitRow->addWidget(fit_);
    fitRow->addWidget(page_);
    fitRow->addStretch();
    auto* boxes = new QVBoxLayout(options_);
    boxes->addWidget(deviceCopies_);
    boxes->addWidget(quality_);
    boxes->addWidget(collate_);
    boxes->addLayout(fitRow);
    auto* fields = new QFormLayout;
    auto* pathLabel = new QLabel(QStringLiteral("&Folder:"), this);
    pathLabel->setBuddy(path_);
    fields->addRow(pathLabel, pathRow);
    fields->addRow(QStringLiteral("&Printer:"), printer_);
    fields->addRow(QStringLiteral("&Copies:"), copies_);
    fields->addRow(options_);
    fields->addRow(QStringLiteral("&Settle time (s):"), settle_);
    fields->addRow(lookOnly_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(browse, &QPushButton::clicked, this, [this] {
        browse_.SetDirectory(FromQt(path_->text().trimmed()));
        if (browse_.Execute(this))
            path_->setText(ToQt(browse_.Directory()));
    });
    connect(printer_, &QComboBox::activated, this, [this] { PrinterChosen(); });
    // Clicks only: the program's own changes of the checks follow the rules already.
    for (auto [box, option] : {std::pair{deviceCopies_, OptionBox::DeviceCopies},
                               {quality_, OptionBox::QualityOnPlotter},
                               {collate_, OptionBox::Collate},
                               {fit_, OptionBox::FitToPage}}) {
        connect(box, &QCheckBox::clicked, this,
                [this, option](bool checked) { Ticked(option, checked); });
    }
    connect(ok, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void HotFolderForm::Ask(const QString& title, const HotFolder& folder,
                        const std::vector<std::string>& printers) {
    setWindowTitle(title);
    kinds_.clear();
    path_->setText(ToQt(folder.path));
    printer_->clear();
    for (const std::string& printer : printers)
        printer_->addItem(ToQt(printer), ToQt(DeviceNameOf(printer)));
    int chosen = printer_->findData(ToQt(folder.printer));
    if (chosen < 0 && !folder.printer.empty()) {
        printer_->addItem(ToQt(folder.printer), ToQt(folder.printer));
        chosen = printer_->count() - 1;
    }
    printer_->setCurrentIndex(std::max(chosen, 0));
    copies_->setValue(folder.copies);
    settle_->setValue(folder.settleSeconds);
    lookOnly_->setChecked(folder.pollOnly);
    if (folder.fit)
        page_->setCurrentIndex(page_->findData(static_cast<int>(*folder.fit)));

    // The folder's options as clicks on the boxes of its printer's class, in the main window's
    // order: copies by the device first, which collating needs on a PostScript printer.
    boxes_ = OptionBoxes();
    PrinterChosen();
    boxes_.Tick(OptionBox::DeviceCopies, folder.deviceCopies);
    boxes_.Tick(OptionBox::QualityOnPlotter, folder.qualityOnPlotter);
    boxes_.Tick(OptionBox::Collate, folder.collate);
    boxes_.Tick(OptionBox::FitToPage, folder.fit.has_value());
    ShowBoxes();
    path_->setFocus();
    show();
    raise();
    activateWindow();
}

void HotFolderForm::PrinterChosen() {
    const std::string printer = FromQt(printer_->currentData().toString());
    DeviceKind kind = DeviceKind::Other;
    if (!printer.empty()) {
        const auto known = kinds_.find(printer);
        kind = known != kinds_.end() ? known->second : kinds_[printer] = kindOf_(printer);
    }
    boxes_.ChoosePrinter(kind);
    ShowBoxes();
}

void HotFolderForm::Ticked(OptionBox box, bool checked) {
    boxes_.Tick(box, checked);
    ShowBoxes();
}

bool HotFolderForm::Offered(OptionBox box) const {
    const OptionBoxState& state = boxes_[box];
    // The main window's "Collate copies" sits in the group box and goes with it.
    const bool inHiddenGroup = box == OptionBox::Collate && !boxes_[OptionBox::Group].visible;
    return state.visible && state.enabled && !inHiddenGroup;
}

bool HotFolderForm::Chosen(OptionBox box) const {
    return boxes_[box].checked && Offered(box);
}

void HotFolderForm::ShowBoxes() {
    const OptionBoxState& group = boxes_[OptionBox::Group];
    options_->setTitle(group.visible ? ToQt(group.caption)
                                     : QStringLiteral("No options for this printer's class"));
    // A box the main window would hide is greyed here, so that the form keeps its shape.
    for (auto [widget, box] : {std::pair{deviceCopies_, OptionBox::DeviceCopies},
                               {quality_, OptionBox::QualityOnPlotter},
                               {collate_, OptionBox::Collate},
                               {fit_, OptionBox::FitToPage}}) {
        if (box != OptionBox::FitToPage)
            widget->setText(ToQt(boxes_[box].caption));
        widget->setEnabled(Offered(box));
        widget->setChecked(Chosen(box));
    }
    page_->setEnabled(Chosen(OptionBox::FitToPage));
}

HotFolder HotFolderForm::Entered() const {
    HotFolder entered;
    entered.path = FromQt(path_->text().trimmed());
    entered.printer = FromQt(printer_->currentData().toString());
    entered.copies = copies_->value();
    entered.deviceCopies = Chosen(OptionBox::DeviceCopies);
    entered.qualityOnPlotter = Chosen(OptionBox::QualityOnPlotter);
    entered.collate = Chosen(OptionBox::Collate);
    if (Chosen(OptionBox::FitToPage))
        entered.fit = static_cast<PageSize>(page_->currentData().toInt());
    entered.settleSeconds = settle_->value();
    entered.pollOnly = lookOnly_->isChecked();
    return entered;
}

void HotFolderForm::OkClick() {
    const std::string refusal = OnEntered ? OnEntered(Entered()) : std::string();
    if (!refusal.empty()) {
        showMessage_(ToQt(refusal));
        return;
    }
    accept();
}

HotFoldersDialog::HotFoldersDialog(QWidget* mainWindow,
                                   std::function<void(const QString& text)> showMessage,
                                   PrinterKindOf kindOf)
    : QDialog(mainWindow, kDialogFlags), showMessage_(std::move(showMessage)) {
    setObjectName(QStringLiteral("HotFolders"));
    setWindowTitle(QStringLiteral("Hot folders"));
    setFont(DialogFont(font()));
    setModal(true);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("Folders"));
    list_->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Printer"),
                            QStringLiteral("Copies"), QStringLiteral("Options")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setColumnWidth(0, 240);
    list_->setColumnWidth(1, 110);
    list_->setColumnWidth(2, 50);
    list_->setMinimumSize(840, 160);

    auto* add = MakeButton(this, "Add", "&Add...");
    edit_ = MakeButton(this, "Edit", "&Edit...");
    remove_ = MakeButton(this, "Remove", "&Remove");
    auto* ok = MakeButton(this, "OK", "OK");
    ok->setDefault(true);
    auto* cancel = MakeButton(this, "Cancel", "Cancel");
    form_ = new HotFolderForm(this, showMessage_, std::move(kindOf));
    form_->hide();
    connect(this, &QDialog::finished, form_, &QWidget::hide);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {add, edit_, remove_})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(add, &QPushButton::clicked, this, [this] {
        editing_ = -1;
        form_->Ask(QStringLiteral("Add a hot folder"), {}, printers_);
    });
    const auto editSelected = [this] {
        editing_ = Selected();
        if (editing_ >= 0)
            form_->Ask(QStringLiteral("Edit a hot folder"),
                       folders_[static_cast<std::size_t>(editing_)], printers_);
    };
    connect(edit_, &QPushButton::clicked, this, editSelected);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, editSelected);
    connect(remove_, &QPushButton::clicked, this, [this] {
        const int row = Selected();
        if (row < 0)
            return;
        folders_.erase(folders_.begin() + row);
        ShowList(std::min(row, static_cast<int>(folders_.size()) - 1));
    });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        edit_->setEnabled(Selected() >= 0);
        remove_->setEnabled(Selected() >= 0);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        try {
            if (OnAccept)
                OnAccept(folders_);
        } catch (const std::exception& error) {
            showMessage_(ToQt(ErrorBoxText(error)));
            return;
        }
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    form_->OnEntered = [this](HotFolder entered) {
        const std::string refusal = Refusal(entered, editing_);
        if (!refusal.empty())
            return refusal;
        entered.path = FullPath(entered.path);
        if (editing_ < 0) {
            folders_.push_back(std::move(entered));
            ShowList(static_cast<int>(folders_.size()) - 1);
        } else {
            folders_[static_cast<std::size_t>(editing_)] = std::move(entered);
            ShowList(editing_);
        }
        return std::string();
    };
    if (mainWindow)
        mainWindow->installEventFilter(this);
}

void HotFoldersDialog::Edit(const HotFolderSettings& settings, std::vector<std::string> printers) {
    folders_ = settings.folders;
    printers_ = std::move(printers);
    ShowList(folders_.empty() ? -1 : 0);
    list_->setFocus();
    show();
    raise();
    activateWindow();
    if (!settings.problems.empty()) {
        std::string text =
            "These hot folder settings cannot be used and are not listed; OK keeps the list "
            "without them:";
        for (const std::string& problem : settings.problems)
            text += "\n" + problem;
        showMessage_(ToQt(text));
    }
}

void HotFoldersDialog::ShowList(int current) {
    list_->clear();
    for (const HotFolder& folder : folders_) {
        auto* item =
            new QTreeWidgetItem(list_, {ToQt(folder.path), ToQt(folder.printer),
                                        QString::number(folder.copies), ToQt(OptionsText(folder))});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, ToQt(folder.path));
        item->setToolTip(3, ToQt(OptionsText(folder)));
    }
    list_->setCurrentItem(current >= 0 ? list_->topLevelItem(current) : nullptr);
    edit_->setEnabled(current >= 0);
    remove_->setEnabled(current >= 0);
}

int HotFoldersDialog::Selected() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

std::string HotFoldersDialog::Refusal(const HotFolder& entered, int replacing) const {
    if (entered.path.empty())
        return "Enter the folder whose files are to print, or choose it with Browse...";
    std::error_code error;
    const fs::file_status status = fs::status(entered.path, error);
    if (!fs::exists(status))
        return FormatMessage("The folder %s does not exist", entered.path);
    if (!fs::is_directory(status))
        return FormatMessage("%s is no folder", entered.path);
    if (entered.printer.empty())
        return "Choose the printer the folder's files go to";
    const std::string path = FullPath(entered.path);
    for (std::size_t i = 0; i < folders_.size(); ++i)
        if (static_cast<int>(i) != replacing && SameFolder(folders_[i].path, path))
            return FormatMessage("%s is a hot folder already", path);
    return {};
}

bool HotFoldersDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Hide && !event->spontaneous() &&
        isVisible())
        reject();
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavrin

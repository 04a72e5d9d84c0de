// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AddressedPrintersDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/DialogFont.h"
#include "app/ErrorBox.h"
#include "app/QtText.h"
#include "platform/Error.h"
#include "printers/DeviceClass.h"
#include "printers/PrinterAddress.h"

namespace tavrin {
namespace {

constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowCloseButtonHint;

constexpr const char* kAddressForms =
    "ipp://HOST[:PORT]/PATH, ipps://HOST[:PORT]/PATH or socket://HOST[:PORT]";

// The device classes a socket's device may be given, as the form offers them and as the
// settings keep them.
struct ClassChoice {
    const char* caption;
    const char* technology;
};
constexpr ClassChoice kClassChoices[] = {
    {"HP-GL/2", "HPGL/2"},
    {"PostScript", "PostScript"},
    {kOceDeviceClass, kOceDeviceClass},
    {"Unknown", ""},
};
constexpr int kClassChoiceCount = static_cast<int>(std::size(kClassChoices));

// An IPP printer says itself what it is, so it is given no class.
bool IsIpp(const std::string& address) {
    return address.starts_with("ipp://") || address.starts_with("ipps://");
}

std::string ShownName(const AddressedPrinter& printer) {
    return printer.name.empty() ? printer.address : printer.name;
}

QString ClassCaption(const AddressedPrinter& printer) {
    if (IsIpp(printer.address))
        return QStringLiteral("Asked of the printer");
    for (const ClassChoice& choice : kClassChoices)
        if (printer.technology == choice.technology)
            return QString::fromUtf8(choice.caption);
    return ToQt(printer.technology);
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const char* placeholder) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setPlaceholderText(QString::fromUtf8(placeholder));
    edit->setMinimumWidth(260);
    return edit;
}

}  // namespace

AddressedPrinterForm::AddressedPrinterForm(QWidget* parent, ShowMessageText showMessage)
    : QDialog(parent, kDialogFlags), showMessage_(std::move(showMessage)) {
    setObjectName(QStringLiteral("PrinterByAddress"));
    setFont(DialogFont(font()));
    setModal(true);

    address_ = MakeEdit(this, "Address", "socket://HOST[:PORT] or ipp://HOST[:PORT]/PATH");
    name_ = MakeEdit(this, "Name", "the address when left empty");
    deviceClass_ = new QComboBox(this);
    deviceClass_->setObjectName(QStringLiteral("DeviceClass"));
    for (const ClassChoice& choice : kClassChoices)
        deviceClass_->addItem(QString::fromUtf8(choice.caption),
                              QString::fromUtf8(choice.technology));
    connect(address_, &QLineEdit::textChanged, this, [this](const QString& text) {
        deviceClass_->setEnabled(!IsIpp(FromQt(text.trimmed())));
    });
    auto* ok = MakeButton(this, "EntryOK", "OK");
    ok->setDefault(true);
    auto* cancel = MakeButton(this, "EntryCancel", "Cancel");
    connect(ok, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Address:"), address_);
    fields->addRow(QStringLiteral("&Name:"), name_);
    fields->addRow(QStringLiteral("Device &class:"), deviceClass_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AddressedPrinterForm::Ask(const QString& title, const AddressedPrinter& printer) {
    setWindowTitle(title);
    address_->setText(ToQt(printer.address));
    name_->setText(ToQt(printer.name));
    // A class the settings hold that the form does not offer is kept as it is.
    while (deviceClass_->count() > kClassChoiceCount)
        deviceClass_->removeItem(kClassChoiceCount);
    int shown = deviceClass_->findData(ToQt(printer.technology));
    if (shown < 0) {
        deviceClass_->addItem(ToQt(printer.technology), ToQt(printer.technology));
        shown = kClassChoiceCount;
    }
    deviceClass_->setCurrentIndex(IsIpp(printer.address) ? kClassChoiceCount - 1 : shown);
    address_->setFocus();
    show();
    raise();
    activateWindow();
}

AddressedPrinter AddressedPrinterForm::Entered() const {
    AddressedPrinter entered{FromQt(name_->text().trimmed()), FromQt(address_->text().trimmed()),
                             FromQt(deviceClass_->currentData().toString())};
    if (IsIpp(entered.address))
        entered.technology.clear();
    return entered;
}

void AddressedPrinterForm::OkClick() {
    const std::string refusal = OnEntered ? OnEntered(Entered()) : std::string();
    if (!refusal.empty()) {
        showMessage_(ToQt(refusal));
        return;
    }
    accept();
}

AddressedPrintersDialog::AddressedPrintersDialog(QWidget* mainWindow, ShowMessageText showMessage)
    : QDialog(mainWindow, kDialogFlags), showMessage_(std::move(showMessage)) {
    setObjectName(QStringLiteral("PrintersByAddress"));
    setWindowTitle(QStringLiteral("Printers by address"));
    setFont(DialogFont(font()));
    setModal(true);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("Printers"));
    list_->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("Device class")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setColumnWidth(0, 120);
    list_->setColumnWidth(1, 200);
    list_->setMinimumSize(440, 160);

    auto* add = MakeButton(this, "Add", "&Add...");
    edit_ = MakeButton(this, "Edit", "&Edit...");
    remove_ = MakeButton(this, "Remove", "&Remove");
    auto* ok = MakeButton(this, "OK", "OK");
    ok->setDefault(true);
    auto* cancel = MakeButton(this, "Cancel", "Cancel");
    form_ = new AddressedPrinterForm(this, showMessage_);
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
        form_->Ask(QStringLiteral("Add a printer by address"), {});
    });
    const auto editSelected = [this] {
        editing_ = Selected();
        if (editing_ >= 0)
            form_->Ask(QStringLiteral("Edit a printer by address"),
                       printers_[static_cast<std::size_t>(editing_)]);
    };
    connect(edit_, &QPushButton::clicked, this, editSelected);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, editSelected);
    connect(remove_, &QPushButton::clicked, this, [this] {
        const int row = Selected();
        if (row < 0)
            return;
        printers_.erase(printers_.begin() + row);
        ShowList(std::min(row, static_cast<int>(printers_.size()) - 1));
    });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
        edit_->setEnabled(Selected() >= 0);
        remove_->setEnabled(Selected() >= 0);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        try {
            if (OnAccept)
                OnAccept(printers_);
        } catch (const std::exception& error) {
            showMessage_(ToQt(ErrorBoxText(error)));
            return;
        }
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    form_->OnEntered = [this](const AddressedPrinter& entered) {
        const std::string refusal = Refusal(entered, editing_);
        if (!refusal.empty())
            return refusal;
        if (editing_ < 0) {
            printers_.push_back(entered);
            ShowList(static_cast<int>(printers_.size()) - 1);
        } else {
            printers_[static_cast<std::size_t>(editing_)] = entered;
            ShowList(editing_);
        }
        return std::string();
    };
}

void AddressedPrintersDialog::Edit(std::vector<AddressedPrinter> printers,
                                   std::vector<std::string> queueNames) {
    printers_ = std::move(printers);
    queueNames_ = std::move(queueNames);
    ShowList(printers_.empty() ? -1 : 0);
    list_->setFocus();
    show();
    raise();
    activateWindow();
}

void AddressedPrintersDialog::ShowList(int current) {
    list_->clear();
    for (const AddressedPrinter& printer : printers_)
        new QTreeWidgetItem(
            list_, {ToQt(ShownName(printer)), ToQt(printer.address), ClassCaption(printer)});
    list_->setCurrentItem(current >= 0 ? list_->topLevelItem(current) : nullptr);
    edit_->setEnabled(current >= 0);
    remove_->setEnabled(current >= 0);
}

int AddressedPrintersDialog::Selected() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

std::string AddressedPrintersDialog::Refusal(const AddressedPrinter& entered, int replacing) const {
    if (entered.address.empty())
        return std::string("Enter the printer's address: ") + kAddressForms;
    if (!ParsePrinterAddress(entered.address))
        return FormatMessage("'%s' is no printer address", entered.address) + " (" + kAddressForms +
               ")";
    // The printer box names a printer "PRINTER on PORT" up to its first " on ".
    if (entered.name.find(" on ") != std::string::npos)
        return FormatMessage("A printer's name cannot hold \" on \": '%s'", entered.name);
    const std::string shown = ShownName(entered);
    bool taken = std::find(queueNames_.begin(), queueNames_.end(), shown) != queueNames_.end();
    for (std::size_t i = 0; i < printers_.size(); ++i)
        taken = taken || (static_cast<int>(i) != replacing && ShownName(printers_[i]) == shown);
    if (taken)
        return FormatMessage("There is a printer named '%s' already; give this one another name",
                             shown);
    return {};
}

}  // namespace tavrin

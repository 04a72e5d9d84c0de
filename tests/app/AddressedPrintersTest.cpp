// SPDX-License-Identifier: GPL-3.0-or-later
// The window's printers by address: the Configure menu's dialog, the settings and the printer box.
#include <QTreeWidget>

#include "WindowTestSupport.h"
#include "app/AddressedPrintersDialog.h"
#include "settings/AddressedPrinterSettings.h"

namespace tavrin::test {
namespace {

using Server = SandboxPrintServer;
const std::string kSocket = "socket://127.0.0.1:9";
const std::string kIpp = "ipp://127.0.0.1:1/ipp/print";

class WindowPrintersByAddress : public WindowFixture {
protected:
    // The window as the program starts it, with the printers by address of the INI file.
    void Open() {
        CloseWindow();
        server = std::make_unique<WindowPrintServer>(
            timeouts, [this] { return ReadStoredSettings(folders.location).plain.PrinterIndex; },
            ReadAddressedPrinters(folders.location));
        form = std::make_unique<TTavrinForm>(server->Spooler(), server->Probe(), clock,
                                             folders.location);
        form->MessageBox = [this](const QString& text) { messages.push_back(text.toStdString()); };
        form->FormCreate();
        form->KeepPrintersByAddressIn(server->ByAddress());
        form->ShowFirst({});
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Opens the dialog from the Configure menu with the keyboard.
    AddressedPrintersDialog* Dialog() {
        QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
        QTest::keyClick(Find<QMenu>("Configure1"), Qt::Key_A);
        AddressedPrintersDialog* dialog = form->PrintersByAddress();
        EXPECT_TRUE(dialog && dialog->isVisible() && dialog->isModal());
        return dialog;
    }
    template <typename T = QWidget>
    T* In(QWidget* parent, const char* name) {
        return parent->findChild<T*>(QString::fromUtf8(name));
    }
    // Presses `button` of the dialog and fills the form it opens; `classSteps` presses of Down
    // (Up when negative) in the device class. Enter in the name presses OK.
    void Enter(const char* button, const std::string& address, const std::string& name,
               int classSteps = 0) {
        QTest::mouseClick(In(dialog, button), Qt::LeftButton);
        ASSERT_TRUE(entry->isVisible());
        for (const auto& [field, text] : {std::pair{"Address", address}, {"Name", name}}) {
            QTest::keyClick(In(entry, field), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(In(entry, field), QString::fromStdString(text));
        }
        for (int step = 0; step != classSteps; step += classSteps > 0 ? 1 : -1)
            QTest::keyClick(In(entry, "DeviceClass"), classSteps > 0 ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(In(entry, "Name"), Qt::Key_Return);
    }
    // The dialog's rows as "name | address | class", the printer box's items after them.
    Texts Listed() {
        Texts rows;
        auto* list = In<QTreeWidget>(dialog, "Printers");
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            rows.push_back(FromQt(item->text(0) + " | " + item->text(1) + " | " + item->text(2)));
        }
        return rows;
    }
    Texts Box() {
        Texts items;
        auto* box = Find<QComboBox>("PrinterList");
        for (int i = 0; i < box->count(); ++i)
            items.push_back(FromQt(box->itemText(i)));
        return items;
    }

    AddressedPrintersDialog* dialog = nullptr;
    AddressedPrinterForm* entry = nullptr;
};

TEST_F(WindowPrintersByAddress, AddedEditedAndRemovedPrintersAreStoredAndListedAfterTheQueues) {
    SKIP_WITHOUT_PRINT_SERVER();
    Open();
    const std::string before = ReadFile(folders.Ini());
    dialog = Dialog();
    entry = dialog->Form();
    Enter("Add", kSocket, "Spare");
    QTest::mouseClick(In(dialog, "Cancel"), Qt::LeftButton);
    EXPECT_EQ(ReadFile(folders.Ini()), before);
    EXPECT_EQ(Box(), Server::Queues());
    ChoosePrinter(Server::kPostScriptQueue);
    ASSERT_EQ(Dialog(), dialog);
    EXPECT_EQ(Listed(), Texts{});

    Enter("Add", kSocket, "Plotter", -1);  // from "Unknown" to "Oce 9X00"
    QTest::mouseClick(In(dialog, "Add"), Qt::LeftButton);
    QTest::keyClicks(In(entry, "Address"), QString::fromStdString(kIpp));
    EXPECT_FALSE(In(entry, "DeviceClass")->isEnabled());
    SaveShot(*entry, "printer-by-address-form");
    QTest::keyClick(In(entry, "Address"), Qt::Key_Return);
    const std::string ipp = kIpp + " | " + kIpp + " | Asked of the printer";
    const Texts listed = {"Plotter | " + kSocket + " | Oce 9X00", ipp};
    EXPECT_EQ(Listed(), listed);

    const std::string taken = "' already; give this one another name";
    const struct {
        std::string address, name, message;
    } refused[] = {
        {"lpd://x", "",
         "'lpd://x' is no printer address (ipp://HOST[:PORT]/PATH, "
         "ipps://HOST[:PORT]/PATH or socket://HOST[:PORT])"},
        {kSocket, Server::kHpglQueue, "There is a printer named 'hpgl-plotter" + taken},
        {"socket://10.0.0.9", "Plotter", "There is a printer named 'Plotter" + taken},
        {kSocket, "Plotter on 2", "A printer's name cannot hold \" on \": 'Plotter on 2'"},
    };
    for (const auto& row : refused) {
        messages.clear();
        Enter("Add", row.address, row.name);
        EXPECT_EQ(messages, Texts{row.message});
        EXPECT_EQ(FromQt(In<QLineEdit>(entry, "Address")->text()), row.address);
        QTest::keyClick(entry, Qt::Key_Escape);
        EXPECT_EQ(Listed(), listed);
    }
    messages.clear();

    QTest::keyClick(In(dialog, "Printers"), Qt::Key_Home);
    Enter("Edit", kSocket, "Big plotter", -2);
    QTest::keyClick(In(dialog, "Printers"), Qt::Key_End);
    Enter("Edit", kIpp, "");  // unchanged: its own name is no conflict
    Enter("Add", "socket://10.0.0.9", "Spare");
    QTest::mouseClick(In(dialog, "Remove"), Qt::LeftButton);
    const Texts kept = {"Big plotter | " + kSocket + " | HP-GL/2", ipp};
    EXPECT_EQ(Listed(), kept);
    SaveShot(*dialog, "printers-by-address");
    QTest::mouseClick(In(dialog, "OK"), Qt::LeftButton);

    EXPECT_EQ(messages, Texts{});
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadAddressedPrinters(folders.location),
              (std::vector<AddressedPrinter>{{"Big plotter", kSocket, "HPGL/2"}, {"", kIpp, ""}}));
    Texts all = Server::Queues();
    all.insert(all.end(), {"Big plotter", kIpp});
    EXPECT_EQ(Box(), all);
    EXPECT_EQ(FromQt(Find<QComboBox>("PrinterList")->currentText()), Server::kPostScriptQueue);
    ChoosePrinter("Big plotter");
    EXPECT_EQ(FromQt(Find<QGroupBox>("GroupBox3")->title()), "HPGL/2 devices only");

    Open();  // a restart
    EXPECT_EQ(Box(), all);
    dialog = Dialog();
    EXPECT_EQ(Listed(), kept);
}

}  // namespace
}  // namespace tavrin::test

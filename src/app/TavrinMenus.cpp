// The main window's menus and the connections from every control to its handler.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/HotFolderWatch.h"
#include "app/HotFoldersDialog.h"
#include "app/JobLogDialog.h"
#include "app/Over.h"
#include "app/PreviewWindow.h"
#include "app/Stelin.h"
#include "app/TavrinUnit.h"
#include "hotfolder/HotFolderSettings.h"
#include "printers/ProbeDeviceClass.h"
#include "widgets/DataGrid.h"
#include "widgets/DropFileTarget.h"
#include "widgets/IntegerEdit.h"
#include "widgets/SpinEdit.h"

namespace tavrin {

QAction* TTavrinForm::AddItem(QMenu* menu, const char* name, const char* caption) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    item->setObjectName(QString::fromUtf8(name));
    return item;
}

void TTavrinForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    selectfiles1_ = AddItem(file, "Selectfiles1", "&Select files");
    AddItem(file, "Preview1", "&Preview")->setShortcut(QKeySequence(Qt::Key_F3));
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    openlistasfile1_ = AddItem(file, "Openlistasfile1", "&Open list from file");
    viewprintlist1_ = AddItem(file, "Viewprintlist1", "&View / print list");
    savelisttofile1_ = AddItem(file, "Savelisttofile1", "Sa&ve list to file");
    file->addSeparator()->setObjectName(QStringLiteral("N9"));
    AddItem(file, "JobLog1", "&Job log...")
        ->setStatusTip(QStringLiteral("Every job sent, with its paper, and the totals"));
    file->addSeparator()->setObjectName(QStringLiteral("N2"));
    abort1_ = AddItem(file, "Abort1", "&Abort");

    QMenu* configure = bar->addMenu(QStringLiteral("&Configure"));
    configure->setObjectName(QStringLiteral("Configure1"));
    configure->setToolTipsVisible(true);
    setTempdir1_ = AddItem(configure, "SetTempdir1", "&Path for temp files");
    setTempdir1_->setToolTip(QStringLiteral("Set path to disk with sufficient space"));
    setTempdir1_->setStatusTip(setTempdir1_->toolTip());
    printersByAddress1_ = AddItem(configure, "PrintersByAddress1", "Printers by &address...");
    printersByAddress1_->setToolTip(QStringLiteral("Printers reached at their own addresses"));
    printersByAddress1_->setStatusTip(printersByAddress1_->toolTip());
    printersByAddress1_->setEnabled(false);
    QAction* hotFolders = AddItem(configure, "HotFolders1", "&Hot folders...");
    hotFolders->setToolTip(QStringLiteral("Folders whose files print themselves"));
    hotFolders->setStatusTip(hotFolders->toolTip());
    // Checks and unchecks itself as it is chosen; stored at once.
    QAction* watch = AddItem(configure, "WatchHotFolders1", "Watch hot &folders");
    watch->setCheckable(true);
    watch->setToolTip(QStringLiteral("Print the hot folders' files while this window is open"));
    watch->setStatusTip(watch->toolTip());
    configure->addSeparator()->setObjectName(QStringLiteral("N3"));
    qlFromStart1_ = AddItem(configure, "QLfromstart1", "HPGL/2 &QL from start");
    rpFromEnd1_ = AddItem(configure, "RPfromend1", "HPGL/2 &RP from end");
    configure->addSeparator()->setObjectName(QStringLiteral("N4"));
    // The items check and uncheck themselves as they are chosen.
    clearafterspooling1_ = AddItem(configure, "Clearafterspooling1", "C&lear list after spooling");
    clearafterspooling1_->setCheckable(true);
    reverseset1_ = AddItem(configure, "Reverseset1", "Re&verse set order");
    reverseset1_->setCheckable(true);
    wrongDeviceGuard1_ =
        AddItem(configure, "WrongDeviceGuard1", "&Warn before sending to the wrong device");
    wrongDeviceGuard1_->setCheckable(true);
    wrongDeviceGuard1_->setChecked(true);
    configure->addSeparator()->setObjectName(QStringLiteral("N7"));
    // Radio items: the group draws them as such; the handlers keep exactly one checked.
    auto* panelGroup = new QActionGroup(this);
    panelGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    printertype1_ = AddItem(configure, "Printertype1", "Printer&type in statusbar");
    portinStatusbar1_ = AddItem(configure, "PortinStatusbar1", "Printerp&ort in statusbar");
    for (QAction* item : {printertype1_, portinStatusbar1_}) {
        item->setCheckable(true);
        panelGroup->addAction(item);
    }
    configure->addSeparator()->setObjectName(QStringLiteral("N5"));
    QMenu* sizes = configure->addMenu(QStringLiteral("PS fit to size:"));
    sizes->setObjectName(QStringLiteral("PSfittosize1"));
    sizes->menuAction()->setObjectName(QStringLiteral("PSfittosize1"));
    auto* sizeGroup = new QActionGroup(this);
    sizeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    const char* sizeNames[] = {"A5size1", "A4size1", "A3size1", "A2size1", "A1size1", "A0size1"};
    const char* sizeCaptions[] = {"A5 size", "A4 size", "A3 size", "A2 size", "A1 size", "A0 size"};
    for (std::size_t i = 0; i < pageSizeItems_.size(); ++i) {
        QAction* item = AddItem(sizes, sizeNames[i], sizeCaptions[i]);
        item->setCheckable(true);
        sizeGroup->addAction(item);
        pageSizeItems_[i] = item;
    }
    pageSizeItems_[1]->setChecked(true);

    QMenu* queue = bar->addMenu(QStringLiteral("&Queue Mgt"));
    queue->setObjectName(QStringLiteral("QueueMgt1"));
    showQ1_ = AddItem(queue, "ShowQ1", "&Show Q");
    queue->addSeparator()->setObjectName(QStringLiteral("N8"));
    pauseprinting1_ = AddItem(queue, "Pauseprinting1", "&Pause printing");
    resumeprinting1_ = AddItem(queue, "Resumeprinting1", "&Resume printing");
    resumeprinting1_->setEnabled(false);
    queue->addSeparator()->setObjectName(QStringLiteral("N6"));
    clearQueu1_ = AddItem(queue, "ClearQueu1", "&Clear print Q");

    QMenu* info = bar->addMenu(QStringLiteral("&Info"));
    info->setObjectName(QStringLiteral("Info1"));
    about2_ = AddItem(info, "About2", "&About");

    popupMenu1_ = new QMenu(this);
    popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
    delete1_ = AddItem(popupMenu1_, "Delete1", "Delete");
}

void TTavrinForm::ConnectHandlers() {
    stringGrid1_->SetPopupMenu(popupMenu1_);
    // A menu item or button runs its handler guarded.
    auto on = [this](auto* sender, auto signal, std::function<void()> handler) {
        connect(sender, signal, this, [this, handler] { Guarded(handler); });
    };
    // A check box's handler runs on every change of its checked state, the program's too.
    auto onToggle = [this](QAbstractButton* box, std::function<void()> handler) {
        connect(box, &QAbstractButton::toggled, this, [this, handler] { Guarded(handler); });
    };
    // A radio button reports only when it becomes checked.
    auto onRadio = [this](QAbstractButton* radio, std::function<void()> handler) {
        connect(radio, &QAbstractButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                Guarded(handler);
        });
    };
    // Boxes without a handler of their own: a run reads them from the options.
    auto onRead = [this](QAbstractButton* box) {
        connect(box, &QAbstractButton::toggled, this, [this] { PublishOptions(); });
    };

    on(okPrint_, &QPushButton::clicked, [this] { OKPrintClick(); });
    on(selectFiles_, &QPushButton::clicked, [this] { SelectFilesClick(); });
    on(remove_, &QPushButton::clicked, [this] { RemoveClick(); });
    on(printerList_, &QComboBox::activated, [this] { PrinterListChange(); });
    onToggle(smartReplots_, [this] { SmartReplotsClick(); });
    onToggle(jobAsSet_, [this] { JobAsSetClick(); });
    onToggle(schedule_, [this] { ScheduleClick(); });
    onRadio(repMode_, [this] { RepModeClick(); });
    onRadio(addMode_, [this] { AddModeClick(); });
    onRead(removeQL_);
    onRead(psCollate_);
    onRead(fitToPage_);
    spinEdit1_->OnChange = [this] { Guarded([this] { SpinEdit1Change(); }); };
    uur_->OnChange = [this] { Guarded([this] { UurChange(); }); };
    uur_->OnClick = [this] { Guarded([this] { UurClick(); }); };
    uur_->OnExit = [this] { Guarded([this] { UurExit(); }); };
    minuut_->OnChange = [this] { Guarded([this] { MinuutChange(); }); };
    minuut_->OnClick = [this] { Guarded([this] { MinuutClick(); }); };
    minuut_->OnExit = [this] { Guarded([this] { MinuutExit(); }); };
    on(timer1_, &QTimer::timeout, [this] { Timer1Timer(); });
    dropFileTarget1_->OnDrop = [this](TShiftState, QPoint, DropEffect&) {
        Guarded([this] { DropFileTarget1Drop(); });
    };

    on(selectfiles1_, &QAction::triggered, [this] { SelectFilesClick(); });
    on(findChild<QAction*>(QStringLiteral("Preview1")), &QAction::triggered,
       [this] { PreviewWindow::ShowFor(*this, *stringGrid1_); });
    on(openlistasfile1_, &QAction::triggered, [this] { Openlistasfile1Click(); });
    on(viewprintlist1_, &QAction::triggered, [this] { Viewprintlist1Click(); });
    on(savelisttofile1_, &QAction::triggered, [this] { Savelisttofile1Click(); });
    on(abort1_, &QAction::triggered, [this] { Abort1Click(); });
    on(setTempdir1_, &QAction::triggered, [this] { SetTempdir1Click(); });
    on(printersByAddress1_, &QAction::triggered, [this] { PrintersByAddress1Click(); });
    on(qlFromStart1_, &QAction::triggered, [this] {
        CreateDialogs();
        configure_->QLfromstart1Click();
    });
    on(rpFromEnd1_, &QAction::triggered, [this] {
        CreateDialogs();
        configure_->RPfromend1Click();
    });
    on(clearafterspooling1_, &QAction::triggered, [this] { Clearafterspooling1Click(); });
    on(reverseset1_, &QAction::triggered, [this] { Reverseset1Click(); });
    on(printertype1_, &QAction::triggered, [this] { Printertype1Click(); });
    on(portinStatusbar1_, &QAction::triggered, [this] { PortinStatusbar1Click(); });
    for (std::size_t i = 0; i < pageSizeItems_.size(); ++i) {
        const auto size = static_cast<PageSize>(i);
        on(pageSizeItems_[i], &QAction::triggered, [this, size] { PageSizeClick(size); });
    }
    on(showQ1_, &QAction::triggered, [this] { ShowQ1Click(); });
    on(pauseprinting1_, &QAction::triggered, [this] { Pauseprinting1Click(); });
    on(resumeprinting1_, &QAction::triggered, [this] { Resumeprinting1Click(); });
    on(clearQueu1_, &QAction::triggered, [this] { ClearQueu1Click(); });
    on(wrongDeviceGuard1_, &QAction::triggered, [this] { WrongDeviceGuard1Click(); });
    on(about2_, &QAction::triggered, [this] {
        CreateDialogs();
        overTavrin_->About2Click();
    });
    on(delete1_, &QAction::triggered, [this] { RemoveClick(); });

    // The job log and the hot folders. The window's runs go into the log that JobLogFile()
    // names as the window is made, which its dialog shows.
    const auto showText = [this](const QString& text) {
        if (MessageBox)
            MessageBox(text);
    };
    on(findChild<QAction*>(QStringLiteral("JobLog1")), &QAction::triggered, [this, showText] {
        auto* dialog = findChild<JobLogDialog*>();
        if (!dialog)
            dialog = new JobLogDialog(this, showText);
        dialog->Open(recorder_.File(), *fileDialogs_);
    });
    auto* watch = new HotFolderWatch(*this, location_, runServer_, spooler_, probe_);
    watch->BaseChoices = [this] { return options_.Get(); };
    watch->OnLine = [this](const QString& stamped) {
        ShowLatestInStatusBar(*statusBar1_, stamped);
    };
    on(findChild<QAction*>(QStringLiteral("HotFolders1")), &QAction::triggered,
       [this, watch, showText] {
           auto* dialog = findChild<HotFoldersDialog*>();
           if (!dialog) {
               // A printer's class as the printer box finds it: one the probe cannot tell is
               // of no class.
               dialog = new HotFoldersDialog(this, showText, [this](const std::string& printer) {
                   try {
                       return ClassOf(DeviceClassOf(probe_.Probe(printer)));
                   } catch (const std::exception&) {
                       return DeviceKind::Other;
                   }
               });
               dialog->OnAccept = [this, watch](const std::vector<HotFolder>& folders) {
                   WriteHotFolderSettings(location_, {watch->On(), folders, {}});
                   watch->Restart();
               };
           }
           dialog->Edit(ReadHotFolderSettings(location_), printers_->Printers());
       });
    QAction* watchItem = findChild<QAction*>(QStringLiteral("WatchHotFolders1"));
    on(watchItem, &QAction::triggered, [this, watch, watchItem] {
        const bool watching = watchItem->isChecked();
        try {
            WriteWatchSetting(location_, watching);
        } catch (...) {
            // Not written: the check mark stays as the settings have it.
            watchItem->setChecked(!watching);
            throw;
        }
        watch->SetOn(watching);
    });
    // The watch starts once the window is shown.
    try {
        watchItem->setChecked(ReadHotFolderSettings(location_).watchInWindow);
    } catch (const std::exception& error) {
        ShowLatestInStatusBar(*statusBar1_, TellOnStderr(error.what()));
    }
    watch->SetOn(watchItem->isChecked());
}

}  // namespace tavrin

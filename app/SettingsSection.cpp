// The Options page: each box is stored at once when clicked and read back at start-up, where the
// click actions write the entries again with the program's present location. The About page's links
// open with what the shell has registered for them.
#include "app/SettingsSection.h"

#include "app/ControlArgsBuilders.h"
#include "app/SettingsStore.h"
#include "core/ShellIntegration.h"
#include "engine/filefacts.h"
#include "platform/ProgramPath.h"
#include "res/Pictures.h"

#include <shellapi.h>

using namespace build;

namespace {

constexpr int kAboutPage = 1;

bool IsFile(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The shell opens it with what is registered; a failure (nothing registered) is not reported.
void OpenWithShell(HWND owner, const std::string& target)
{
    ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace

void SettingsSection::Build(ui::Panel& body)
{
    ui::PageControlArgs tabs;
    tabs.buttonTabs = true;
    tabs.tabHeight = 30;
    PageControl2 = Make<ui::PageControl>(body, Named("PageControl2", {}, ui::Align::Client), tabs);
    ui::Panel& options = PageControl2->AddPage("Options", "tsOptions", res::GetPicture(res::Picture::Options, 24));
    ui::Panel& about = PageControl2->AddPage("About", "tsAbout", res::GetPicture(res::Picture::About, 24));

    cbStart = Make<ui::CheckBox>(options, Named("cbStart", {12, 12, 300, 17}), ui::CheckBoxArgs{"Start by windows startup"});
    cbContext = Make<ui::CheckBox>(options, Named("cbContext", {12, 36, 300, 17}),
                                   ui::CheckBoxArgs{"Add into context menu [ Caption: Orvandel ]"});
    cbMonitorClipboard = Make<ui::CheckBox>(options, Named("cbMonitorClipboard", {12, 60, 300, 17}),
                                            ui::CheckBoxArgs{"Monitor the clipboard of file system.", true});
    cbVerify = Make<ui::CheckBox>(options, Named("cbVerify", {12, 84, 300, 17}),
                                  ui::CheckBoxArgs{"Verify copied files (read each copy back)"});
    cbReport = Make<ui::CheckBox>(options, Named("cbReport", {12, 108, 300, 17}),
                                  ui::CheckBoxArgs{"Also write a report file"});
    filesAtOnce.Build(options, 132);
    filesAtOnce.onFailure = [this](const RegistryFailure& failure) { ShowRegistryFailure(failure); };

    Image2 = Make<ui::Image>(about, Named("Image2", {8, 8, 128, 128}), ui::ImageArgs{nullptr, res::ProgramIcon(128)});
    ui::ControlArgs title = Named("Label7", {150, 12, 0, 16});
    title.font.bold = true;
    title.font.points = 10;
    Label7 = Make<ui::Label>(about, title, ui::LabelArgs{"Marrowick "});
    ui::LabelArgs link;
    link.textColor = RGB(0, 0, 255);
    link.handCursor = true;
    ui::ControlArgs linkArgs = Named("Label8", {150, 40, 0, 13});
    linkArgs.font.underline = true;
    link.caption = "http://www.orvandel.com";
    Label8 = Make<ui::Label>(about, linkArgs, link);
    linkArgs = Named("Label9", {150, 60, 0, 13});
    linkArgs.font.underline = true;
    link.caption = "support@orvandel.com";
    Label9 = Make<ui::Label>(about, linkArgs, link);
    linkArgs = Named("Label11", {150, 80, 0, 13});
    linkArgs.font.underline = true;
    link.caption = "Help";
    Label11 = Make<ui::Label>(about, linkArgs, link);

    Label8->onClick = [this] { Label8Click(); };
    Label9->onClick = [this] { Label9Click(); };
    Label11->onClick = [this] { Label11Click(); };
    cbStart->onClick = [this] { cbStartClick(); };
    cbContext->onClick = [this] { cbContextClick(); };
    cbMonitorClipboard->onClick = [this] { cbMonitorClipboardClick(); };
    cbVerify->onClick = [this] { cbVerifyClick(); };
    cbReport->onClick = [this] { cbReportClick(); };
}

void SettingsSection::ReadSettings()
{
    const RegistryRoots roots;
    const StoredSettings stored = ReadStoredSettings(roots);
    // Setting a mark raises the box's click action when it changes it: a stored 0 is written again,
    // and present entries are written again with this program's path.
    if (stored.monitorClipboard)
        cbMonitorClipboard->SetChecked(*stored.monitorClipboard);
    if (stored.startAtLogon)
        cbStart->SetChecked(*stored.startAtLogon);
    cbContext->SetChecked(stored.contextVerb);
    if (stored.verifyCopies)
        cbVerify->SetChecked(*stored.verifyCopies);
    if (stored.writeReport)
        cbReport->SetChecked(*stored.writeReport);
    filesAtOnce.Read(roots);
}

void SettingsSection::ShowAboutPage() { PageControl2->SetActivePage(kAboutPage); }

void SettingsSection::cbStartClick()
{
    RegistryFailure failure;
    const AutoRunResult result = StoreAutoRun(RegistryRoots{}, cbStart->Checked(), ProgramFilePath(), &failure);
    if (result == AutoRunResult::WriteRefused) {
        cbStart->SetChecked(false);  // its click action removes an older entry as well
        host_.ShowMessage("Auto run is forbidden by your system.");
    } else if (result == AutoRunResult::RemoveFailed) {
        ShowRegistryFailure(failure);
    }
}

void SettingsSection::cbContextClick()
{
    if (const std::optional<RegistryFailure> failure = StoreContextVerb(RegistryRoots{}, cbContext->Checked(),
                                                                        ProgramFilePath()))
        ShowRegistryFailure(*failure);
}

void SettingsSection::cbMonitorClipboardClick()
{
    if (const std::optional<RegistryFailure> failure = StoreMonitorClipboard(RegistryRoots{}, cbMonitorClipboard->Checked()))
        ShowRegistryFailure(*failure);
}

void SettingsSection::cbVerifyClick()
{
    if (const std::optional<RegistryFailure> failure = StoreVerifyCopies(RegistryRoots{}, cbVerify->Checked()))
        ShowRegistryFailure(*failure);
}

void SettingsSection::cbReportClick()
{
    if (const std::optional<RegistryFailure> failure = StoreWriteReport(RegistryRoots{}, cbReport->Checked()))
        ShowRegistryFailure(*failure);
}

// A write that was refused although its key opened: the box stays as the user set it, and the user
// learns that the setting was not kept.
void SettingsSection::ShowRegistryFailure(const RegistryFailure& failure)
{
    host_.ShowMessage(RegistryFailureMessage(failure.value, SystemErrorText(static_cast<unsigned long>(failure.code))));
}

void SettingsSection::Label8Click() { OpenWithShell(host_.Handle(), Label8->Text()); }

void SettingsSection::Label9Click() { OpenWithShell(host_.Handle(), SupportMailTarget()); }

void SettingsSection::Label11Click() { OpenWithShell(host_.Handle(), HelpTarget(ProgramFolderPath(), IsFile)); }

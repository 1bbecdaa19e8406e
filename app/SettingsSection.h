#pragma once
#include "app/FilesAtOnceOption.h"
#include "app/SectionHost.h"
#include "engine/JobRequest.h"
#include "ui/CheckBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/PageControl.h"
#include "ui/Panel.h"

#include <memory>

struct RegistryFailure;

// The Settings section: the Options page, whose boxes are stored in the registry at once when
// clicked and read back at start-up, and the About page with its links.
class SettingsSection {
public:
    explicit SettingsSection(SectionHost& host) : host_(host) {}
    SettingsSection(const SettingsSection&) = delete;
    SettingsSection& operator=(const SettingsSection&) = delete;

    void Build(ui::Panel& body);
    // At start-up: the stored settings into the boxes (their click actions write them again).
    void ReadSettings();
    void ShowAboutPage();
    // What the section gives the job Begin takes: whether copies are read back, how many files are
    // written at once.
    void AddTo(JobRequest& request) const
    {
        request.verify = cbVerify->Checked();
        request.fileWorkers = filesAtOnce.Count();
    }
    // Whether the job's account is also written to a report file.
    bool WritesReport() const { return cbReport->Checked(); }
    bool MonitorsClipboard() const { return cbMonitorClipboard->Checked(); }

    void cbStartClick();
    void cbContextClick();
    void cbMonitorClipboardClick();
    void cbVerifyClick();
    void cbReportClick();
    void Label8Click();
    void Label9Click();
    void Label11Click();  // Help

private:
    std::unique_ptr<ui::PageControl> PageControl2;
    std::unique_ptr<ui::CheckBox> cbStart, cbContext, cbMonitorClipboard, cbVerify, cbReport;
    std::unique_ptr<ui::Image> Image2;
    std::unique_ptr<ui::Label> Label7, Label8, Label9, Label11;
    FilesAtOnceOption filesAtOnce;

    void ShowRegistryFailure(const RegistryFailure& failure);

    SectionHost& host_;
};

// The section frame: which section is expanded, the switch animation, the frame, hover colours,
// layout and the headers; and the operation chooser.
#include "app/Mainfrm.h"

#include "filters/SectionSummaries.h"

namespace {

constexpr COLORREF kEvenColor = RGB(204, 255, 170);
constexpr COLORREF kOddColor = RGB(255, 204, 170);
constexpr int kAnimationStep = 40;

COLORREF SectionColor(int index) { return index % 2 == 0 ? kEvenColor : kOddColor; }

} // namespace

int TVorCopyPasteWin::CollapsedHeight(int section) const
{
    const Operation operation = const_cast<TVorCopyPasteWin*>(this)->OperationKind();
    if (section == kSectionTo && !RowOf(operation).usesDestination)
        return 1;
    return sectionHeader[static_cast<size_t>(section)]->Height();
}

void TVorCopyPasteWin::CopyCutLabelClick(ui::Label& header)
{
    if (SwitchRunning())
        return;
    FormResize();
    if (header.tag != Timer3->tag)
        ShowSection(header.tag);
    filters.ScrollToTop();
}

void TVorCopyPasteWin::ShowSection(int index)
{
    const ui::Control::AlignHold hold(*ScrollBox2);  // the sections are laid out once, at the end
    RefreshSectionHeaders(index);
    for (int i = 0; i < kSectionCount; ++i)
        if (i != expandedSection)
            sectionPanel[static_cast<size_t>(i)]->SetHeight(CollapsedHeight(i));

    // Top ones in order; below the target, bottom ones from the last up; the target fills the rest.
    // The expanded panel keeps its height, so the target grows only as the animation shrinks it.
    for (int i = 0; i < kSectionCount; ++i)
        sectionPanel[static_cast<size_t>(i)]->SetAlign(ui::Align::Top);
    for (int i = kSectionCount - 1; i > index; --i)
        sectionPanel[static_cast<size_t>(i)]->SetAlign(ui::Align::Bottom);
    sectionPanel[static_cast<size_t>(index)]->SetAlign(ui::Align::Client);

    Timer3->tag = index;
    pauseAtSwitch = state.pauseFlag;
    Timer3->Start();
}

void TVorCopyPasteWin::Timer3Timer()
{
    const int old = expandedSection;
    const int target = Timer3->tag;
    ui::Panel& oldPanel = *sectionPanel[static_cast<size_t>(old)];
    const int headerHeight = sectionHeader[static_cast<size_t>(old)]->Height();

    int h = oldPanel.Height();
    if (h > headerHeight) {
        h -= kAnimationStep;
        if (h < headerHeight)
            h = headerHeight;
    }
    const bool moving = h != headerHeight && old != target;
    // One layout a step (each is tens of milliseconds under Wine). The section already expanded,
    // opened again, keeps the size its alignment gives it: it neither shrinks nor collapses.
    if (old != target)
        oldPanel.SetHeight(moving ? h : CollapsedHeight(old));
    if (moving) {
        FrameSection(sectionPanel[static_cast<size_t>(target)]);
        return;
    }

    expandedSection = target;
    Timer3->Stop();
    FormResize();
    // A Pause pressed while the sections moved is undone, and the button says so.
    if (state.pauseFlag != pauseAtSwitch) {
        job->SetPaused(pauseAtSwitch);
        if (progress.PauseShown())
            ShowPaused(state.pauseFlag);
    }
    if (expandedSection == kSectionOperation) {
        ScrollBox3->SetAlign(ui::Align::None);
        ScrollBox3->SetAlign(ui::Align::Client);
    }
}

void TVorCopyPasteWin::FrameSection(ui::Panel* panel)
{
    if (!panel) {
        for (auto& edge : frame) {
            edge->Hide();
            edge->BringToFront();
        }
        return;
    }
    const ui::Bounds b = panel->GetBounds();
    frame[0]->SetBounds(b.left, b.top, b.width, 2);
    frame[1]->SetBounds(b.left + b.width - 2, b.top, 2, b.height);
    frame[2]->SetBounds(b.left, b.top + b.height - 2, b.width, 2);
    frame[3]->SetBounds(b.left, b.top, 2, b.height);
    const int index = panel->tag;
    const COLORREF color = index % 2 == 1 ? RGB(255, 0, 0) : RGB(0, 128, 0);
    for (auto& edge : frame) {
        edge->SetColor(color);
        edge->Show();
        edge->BringToFront();
    }
    sectionHeader[static_cast<size_t>(index)]->SetColor(panel->Color());
    sectionIcon[static_cast<size_t>(index)]->SetColor(panel->Color());
}

void TVorCopyPasteWin::CopyCutLabelMouseMove(ui::Label& header)
{
    if (SwitchRunning())
        return;
    for (int i = 0; i < kSectionCount; ++i) {
        ui::Label& h = *sectionHeader[static_cast<size_t>(i)];
        COLORREF color = sectionPanel[static_cast<size_t>(i)]->Color();
        if (&h == &header && i != expandedSection)
            color = i % 2 == 1 ? RGB(255, 136, 136) : RGB(0, 255, 0);
        if (h.Color() != color)
            h.SetColor(color);
        if (sectionIcon[static_cast<size_t>(i)]->Color() != color)
            sectionIcon[static_cast<size_t>(i)]->SetColor(color);
    }
}

void TVorCopyPasteWin::PlaceIconPanels()
{
    for (int i = 0; i < kSectionCount; ++i) {
        ui::Panel& icon = *sectionIcon[static_cast<size_t>(i)];
        icon.SetBounds(sectionPanel[static_cast<size_t>(i)]->ClientWidth() - 24 - 4, 1, 24, 24);
        // An icon box with nothing to show would only hide the top right of its section's body.
        icon.SetVisible(!icon.Children().empty());
        icon.BringToFront();
    }
}

void TVorCopyPasteWin::FormResize()
{
    if (!to.Built())
        return;  // still being built
    to.Layout();
    filters.Layout();
    source.Layout(filters.RowHeight());  // the path row as high as a combo box
    PlaceIconPanels();
    bbCancel->SetLeft(Panel19->ClientWidth() - 12 - bbCancel->Width());
    bbBegin->SetLeft(bbCancel->Left() - 10 - bbBegin->Width());

    if (expandedSection >= 0) {
        FrameSection(nullptr);
        FrameSection(sectionPanel[static_cast<size_t>(expandedSection)]);
    }
    if (pExists->Visible())
        pExists->SetBounds((form->ClientWidth() - 233) / 2, (form->ClientHeight() - 81) / 2, 233, 81);
}

void TVorCopyPasteWin::RefreshSectionHeaders(int index)
{
    for (int i = 0; i < kSectionCount; ++i) {
        const auto n = static_cast<size_t>(i);
        sectionPanel[n]->tag = i;
        sectionHeader[n]->tag = i;
        sectionBody[n]->tag = i;
    }

    const Operation operation = OperationKind();
    CopyCutLabel->SetText(OperationHeader(index, operation));

    const std::vector<std::string> sources = source.Items();
    SourceLabel->SetText(SourcesHeader(index, sources));
    NameFilterLabel->SetText(FiltersHeader(index, filters.Summary(Now())));

    ToPanel->SetEnabled(DestinationUsed(operation));
    ToLabel->SetText(DestinationHeader(index, operation, to.DestinationText()));
    ProgressLabel->SetText("Progress\n");
    SettingsLabel->SetText("Settings\n");

    // Filters and destination mean nothing before there is a source. A refresh while a job runs (a
    // section opened meanwhile) leaves the Filters header disabled with its section, so the filters
    // cannot change under the job.
    const bool anySource = !sources.empty();
    const bool jobRunning = job && job->Running();
    filters.ShowHasSources(anySource);
    ToLabel->SetEnabled(anySource);
    NameFilterLabel->SetEnabled(anySource && !jobRunning);

    for (int i = 0; i < kSectionCount; ++i) {
        const auto n = static_cast<size_t>(i);
        sectionPanel[n]->SetColor(SectionColor(i));
        sectionHeader[n]->SetColor(SectionColor(i));
        sectionIcon[n]->SetColor(SectionColor(i));
    }
    source.UseSectionColors();
    filters.UseSectionColors();
    PlaceIconPanels();
    FrameSection(nullptr);
}

void TVorCopyPasteWin::rbCopyClick(int senderTag)
{
    if (EffectOf(UserAction::EditFilters, Phase()) != Effect::Act)
        return;  // the Operation section is locked with the job it would change
    const int chosen = senderTag >= 0 ? senderTag : kOpCopy;
    // A radio button checks itself before its click arrives here, so the operation chosen before is
    // the checked one other than the chosen (or the chosen itself when nothing else is checked).
    int before = chosen;
    for (int i = 0; i < kOperationCount; ++i) {
        if (i != chosen && operationRadio[static_cast<size_t>(i)]->Checked()) {
            before = i;
            break;
        }
    }
    for (int i = 0; i < kOperationCount; ++i) {
        operationRadio[static_cast<size_t>(i)]->SetChecked(i == chosen);
        operationIcon[static_cast<size_t>(i)]->SetVisible(i == chosen);
    }
    if (RowOf(static_cast<Operation>(before)).usesDestination != RowOf(static_cast<Operation>(chosen)).usesDestination)
        ShowSection(kSectionOperation);
}

#include "dialogs/ConflictDialogBase.h"

#include "ui/GdiCache.h"
#include "ui/TextDrawing.h"

#include <algorithm>

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 60;
constexpr int kButtonGap = 20;
constexpr int kPanelTop = 4;       // buttons below the texts
constexpr int kCheckGap = 6;       // check box below the buttons
constexpr int kCheckHeight = 17;
constexpr int kPanelHeight = kPanelTop + kButtonHeight + kCheckGap + kCheckHeight + 4;
constexpr int kPictureSize = 24;
constexpr int kFirstLineHeight = 19;  // the first line and a little room below it
constexpr int kCaptionRoom = kButtonWidth - 8;  // inside the frame, with a margin
constexpr UINT kTextFlags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
// A path has no spaces to break at: FileLabel breaks it anywhere, as a multi-line edit box does, so
// that a long path is shown whole.
constexpr UINT kPathFlags = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

ui::FormArgs FormArgsOf(const ConflictDialogLook& look, HWND owner)
{
    return {.caption = look.caption,
            .clientWidth = look.clientWidth,
            .clientHeight = look.clientHeight,
            .color = look.color,
            .borderWidth = look.borderWidth,
            .border = ui::FormBorder::Single,
            .closeBox = false,
            .minimizeBox = false,
            .maximizeBox = false,
            .stayOnTop = look.stayOnTop,
            .centered = true,
            .owner = owner,
            .icon = res::ProgramIcon(32),
            .smallIcon = res::ProgramIcon(16)};
}

// Buttons sit centred in the panel, in the order the dialog gives them.
int SlotLeft(const ConflictDialogLook& look, int slot)
{
    const int inner = look.clientWidth - 2 * look.borderWidth;
    const int row = 4 * kButtonWidth + 3 * kButtonGap;
    return std::max((inner - row) / 2, 0) + slot * (kButtonWidth + kButtonGap);
}

ui::ControlArgs ButtonPlace(const char* name, const ConflictDialogLook& look, int slot)
{
    return {.name = name, .bounds = {SlotLeft(look, slot), kPanelTop, kButtonWidth, kButtonHeight}};
}

ui::ButtonArgs Face(const char* caption, res::Picture picture)
{
    return {.caption = caption, .picture = res::GetPicture(picture, kPictureSize), .layout = ui::PictureLayout::Top};
}

} // namespace

ConflictDialogBase::ConflictDialogBase(const ConflictDialogLook& look, HWND owner)
    : form({.name = look.formName}, FormArgsOf(look, owner)),
      Label1(form, {.name = "Label1", .bounds = {0, 0, 0, kFirstLineHeight}, .align = ui::Align::Top},
             {.caption = look.firstLine, .autoSize = false}),
      FileLabel(form, {.name = "FileLabel", .bounds = {0, 0, 0, 13}, .align = ui::Align::Top}, {.autoSize = false}),
      Panel1(form, {.name = "Panel1", .bounds = {0, 0, 0, kPanelHeight}, .align = ui::Align::Bottom}),
      CompInfoLabel(form, {.name = "CompInfoLabel", .align = ui::Align::Client}, {.wordWrap = true, .autoSize = false}),
      BitBtn1(Panel1, ButtonPlace("BitBtn1", look, look.slots[0]), Face(look.firstAnswer, look.firstPicture)),
      BitBtn2(Panel1, ButtonPlace("BitBtn2", look, look.slots[1]), Face("Skip", res::Picture::Skip)),
      BitBtn3(Panel1, ButtonPlace("BitBtn3", look, look.slots[2]), Face("Update", res::Picture::Update)),
      Rename(Panel1, ButtonPlace("Rename", look, look.slots[3]), Face("Auto Rename", res::Picture::AutoRename)),
      cbSameSelection(Panel1,
                      {.name = "cbSameSelection",
                       .bounds = {SlotLeft(look, 0), kPanelTop + kButtonHeight + kCheckGap, 4 * kButtonWidth + 3 * kButtonGap,
                                  kCheckHeight}},
                      {.caption = look.sameSelection}),
      RenameNewFile1(PopupMenu1.Add({.caption = "Rename New File", .name = "RenameNewFile1", .checked = true,
                                     .autoCheck = true, .radioItem = true})),
      RenameOldFile1(PopupMenu1.Add({.caption = "Rename Old File", .name = "RenameOldFile1", .autoCheck = true,
                                     .radioItem = true})),
      clientHeight_(look.clientHeight),
      borderWidth_(look.borderWidth)
{
    BitBtn1.onClick = [this] { Answer(kOverwrite); };
    BitBtn2.onClick = [this] { Answer(kSkip); };
    BitBtn3.onClick = [this] { Answer(kUpdate); };
    Rename.onClick = [this] { Answer(kAutoRename); };
    Rename.SetPopupMenu(&PopupMenu1);
    FileLabel.onMessage = [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != WM_PAINT)
            return false;
        PaintPath();
        result = 0;
        return true;
    };

    // Tab order follows the buttons from left to right, then the check box.
    ui::Button* bySlot[4] = {};
    ui::Button* buttons[4] = {&BitBtn1, &BitBtn2, &BitBtn3, &Rename};
    for (int i = 0; i < 4; ++i)
        bySlot[look.slots[i]] = buttons[i];
    cbSameSelection.BringToFront();
    for (int slot = 3; slot >= 0; --slot)
        bySlot[slot]->BringToFront();
    FitButtonCaptions();
}

// "MS Sans Serif" 8 pt fits "Auto Rename" into a 75-pixel button. Where that face is replaced by a wider
// one, or the screen has more dots per inch, the four captions step down in size together until the
// widest fits, rather than lose its ends.
void ConflictDialogBase::FitButtonCaptions()
{
    ui::Button* buttons[4] = {&BitBtn1, &BitBtn2, &BitBtn3, &Rename};
    LOGFONTA current{};
    if (!GetObjectA(BitBtn1.Font(), sizeof current, &current))
        return;
    HDC dc = GetDC(Panel1.Handle());
    if (!dc)
        return;
    int pixels = current.lfHeight < 0 ? -current.lfHeight : current.lfHeight;
    const int original = pixels;
    for (; pixels > 8; --pixels) {
        HGDIOBJ old = SelectObject(dc, ui::GetFont({.pixelHeight = pixels}));
        int widest = 0;
        for (ui::Button* b : buttons) {
            const std::string caption = b->Text();
            SIZE size{};
            GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
            widest = std::max<int>(widest, size.cx);
        }
        SelectObject(dc, old);
        if (widest <= kCaptionRoom)
            break;
    }
    ReleaseDC(Panel1.Handle(), dc);
    if (pixels != original)
        for (ui::Button* b : buttons)
            b->SetFont({.pixelHeight = pixels});
}

void ConflictDialogBase::Answer(ConflictDecision decision)
{
    cbSameSelection.tag = decision;
    form.SetModalResult(decision);
}

ConflictAnswer ConflictDialogBase::AskWith(const std::string& existingPath, const std::string& comparisonText)
{
    cbSameSelection.SetChecked(false, false);
    FileLabel.SetText(existingPath);
    FileLabel.SetHeight(std::max(FileLabel.LineHeight(), TextHeight(FileLabel, kPathFlags)));
    CompInfoLabel.SetText(comparisonText);
    FitHeight();
    const int result = form.ShowModal();
    ConflictAnswer answer;
    if (result < kOverwrite || result > kAutoRename)
        return answer;  // ended without an answer (the program is closing): leave the item alone
    answer.decision = static_cast<ConflictDecision>(result);
    answer.useForRest = cbSameSelection.Checked();
    return answer;
}

void ConflictDialogBase::PaintPath()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(FileLabel.Handle(), &ps);
    RECT r{};
    GetClientRect(FileLabel.Handle(), &r);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, FileLabel.Font());
    const std::string text = FileLabel.Text();
    ui::DrawProcessText(dc, text, &r, kPathFlags);
    SelectObject(dc, old);
    EndPaint(FileLabel.Handle(), &ps);
}

int ConflictDialogBase::TextHeight(const ui::Label& label, UINT flags) const
{
    const std::string text = label.Text();
    if (text.empty())
        return 0;
    RECT r{0, 0, std::max(label.Width(), 1), 0};
    HDC dc = GetDC(label.Handle());
    HGDIOBJ old = SelectObject(dc, label.Font());
    ui::DrawProcessText(dc, text, &r, DT_CALCRECT | flags);
    SelectObject(dc, old);
    ReleaseDC(label.Handle(), dc);
    return r.bottom - r.top;
}

// The dialog keeps its own height unless a long path or comparison needs more: then it grows (up to
// the work area) rather than hide part of what the user has to decide on.
void ConflictDialogBase::FitHeight()
{
    const int needed = 2 * borderWidth_ + Label1.Height() + FileLabel.Height() + TextHeight(CompInfoLabel, kTextFlags) +
                       Panel1.Height();
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int caption = GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFIXEDFRAME);
    const int wanted = std::max(clientHeight_, std::min<int>(needed, work.bottom - work.top - caption));
    if (wanted == form.ClientHeight())
        return;
    RECT r{0, 0, form.ClientWidth(), wanted};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(form.Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(form.Handle(), GWL_EXSTYLE)));
    SetWindowPos(form.Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form.CenterOnDesktop();
}

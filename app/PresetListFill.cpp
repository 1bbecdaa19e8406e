#include "app/PresetListFill.h"

#include <utility>
#include <vector>

namespace {

// Messages by which anyone looks at the entries of a drop-down list, moves through them or changes
// them: the user's focus, clicks, keys and wheel, and the requests on its items.
bool ReachesEntries(UINT message)
{
    switch (message) {
    case WM_SETFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case CB_GETCOUNT:
    case CB_GETCURSEL:
    case CB_SETCURSEL:
    case CB_GETLBTEXT:
    case CB_GETLBTEXTLEN:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING:
    case CB_SHOWDROPDOWN:
    case CB_GETITEMDATA:
    case CB_SETITEMDATA:
    case CB_GETTOPINDEX:
    case CB_SETTOPINDEX:
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_DELETESTRING:
    case CB_RESETCONTENT:
        return true;
    default:
        return false;
    }
}

std::vector<std::string> ItemsOf(const ui::ComboBox& box)
{
    std::vector<std::string> items;
    for (int i = 0, n = box.Count(); i < n; ++i)
        items.push_back(box.Item(i));
    return items;
}

} // namespace

PresetListFill::PresetListFill(ui::ComboBox& box) : box_(box)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    listWindow_ = GetComboBoxInfo(box.Handle(), &info) ? info.hwndList : nullptr;
    outerHook_ = box.onMessage;
    box.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (ReachesEntries(message))
            BringUp();
        auto outer = outerHook_;
        return outer && outer(message, wParam, lParam, result);
    };
}

PresetListFill::~PresetListFill() { box_.onMessage = outerHook_; }

void PresetListFill::Forget() { list_.reset(); }

void PresetListFill::Reset(std::string timeSeparator)
{
    list_.reset();  // reading the items below must not put anything in
    separator_ = std::move(timeSeparator);
    list_.emplace(ItemsOf(box_), separator_);
}

void PresetListFill::Add(DateTime modified)
{
    if (list_)
        list_->Add(modified);
}

void PresetListFill::BringUp()
{
    if (!list_ || !list_->ControlBehind() || bringingUp_)
        return;
    bringingUp_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{bringingUp_};
    ui::ComboBox::Batch batch(box_);
    list_->BringUp([&batch](int index, const std::string& text) { batch.Insert(index, text); });
}

void PresetListFill::KeepUpWhileInView()
{
    if (GetFocus() == box_.Handle() || (listWindow_ && IsWindowVisible(listWindow_)))
        BringUp();
}

void PresetListFill::CopyFrom(PresetListFill& other)
{
    list_.reset();  // the clearing below must not put anything in first
    box_.Clear();
    separator_ = other.separator_;
    // The times the other list has not put in yet come along as they are: the texts are made when
    // this list is looked at, if ever.
    if (other.list_)
        list_.emplace(*other.list_);
    else
        list_.emplace(ItemsOf(other.box_), separator_);
    list_->ControlEmptied();
}

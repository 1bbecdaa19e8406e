#pragma once
#include "ui/Panel.h"

#include <memory>
#include <vector>

namespace ui {

struct PageControlArgs {
    bool tabsAtBottom = false;
    bool buttonTabs = false;  // tabs look like buttons
    int tabWidth = 0;         // 0: as wide as the caption needs
    int tabHeight = 0;        // 0: the font's
};

// A tab control whose pages are panels (children laid out by Align inside the page area). The tabs
// are drawn by this layer: onDrawTab, when set, draws each tab itself; otherwise the tab's picture
// and caption are drawn. onChange runs when the user picks another tab (not on SetActivePage).
class PageControl : public Control {
public:
    PageControl(Control& parent, const ControlArgs& common, const PageControlArgs& args = {});
    ~PageControl() override;

    // Adds a page (a Panel named `name`) with a tab; the first page added is the active one.
    Panel& AddPage(const std::string& caption, const std::string& name, HBITMAP picture = nullptr);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    Panel& Page(int index) { return *pages_.at(static_cast<size_t>(index)).panel; }
    const std::string& PageCaption(int index) const { return pages_.at(static_cast<size_t>(index)).caption; }
    int ActivePageIndex() const;
    void SetActivePage(int index);

    std::function<void()> onChange;
    std::function<void(int index, HDC dc, RECT rect, bool selected)> onDrawTab;

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    RECT LayoutArea() const override;

private:
    struct PageEntry {
        std::unique_ptr<Panel> panel;
        std::string caption;
        HBITMAP picture;
    };
    void ShowActivePage();
    void DrawTab(const DRAWITEMSTRUCT& item);
    std::vector<PageEntry> pages_;
};

} // namespace ui

#pragma once
#include "ui/Control.h"

namespace ui {

struct LabelArgs {
    std::string caption{};
    COLORREF color = kParentColor;
    COLORREF textColor = kDefaultTextColor;
    TextAlign alignment = TextAlign::Left;
    bool wordWrap = false;
    // Height follows the text (line count times the font's line height: 13 px for "MS Sans Serif"
    // 8 pt); without wordWrap the width follows it too (a right-aligned label keeps its right edge).
    bool autoSize = true;
    bool handCursor = false;  // for links
};

// Static text drawn by this layer (so colours, bold and disabled look are ours). The caption is the
// window text: WM_GETTEXT answers it and SetText/WM_SETTEXT re-measure the label.
// Clicks (onClick, also BM_CLICK) and mouse moves are reported like any control's.
class Label : public Control {
public:
    Label(Control& parent, const ControlArgs& common, const LabelArgs& args = {});

    void SetTextColor(COLORREF color);
    void SetAlignment(TextAlign alignment);
    // Measures the text and resizes the label when autoSize is on (runs by itself on text, font and
    // width changes).
    void AdjustSize();
    int LineHeight() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    UINT DrawFlags() const;
    COLORREF textColor_;
    TextAlign alignment_;
    bool wordWrap_;
    bool autoSize_;
    bool handCursor_;
    bool adjusting_ = false;
};

} // namespace ui

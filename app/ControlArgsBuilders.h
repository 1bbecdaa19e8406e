#pragma once
// The small builders the main window and its sections make their controls with: a control's name,
// bounds and alignment, and the variations of it (hidden, disabled, tagged).
#include "ui/Control.h"

#include <memory>
#include <string>
#include <utility>

namespace build {

inline ui::ControlArgs Named(const std::string& name, ui::Bounds bounds = {}, ui::Align align = ui::Align::None)
{
    ui::ControlArgs args;
    args.name = name;
    args.bounds = bounds;
    args.align = align;
    return args;
}

inline ui::ControlArgs Hidden(ui::ControlArgs args)
{
    args.visible = false;
    return args;
}

inline ui::ControlArgs Disabled(ui::ControlArgs args)
{
    args.enabled = false;
    return args;
}

inline ui::ControlArgs Tagged(ui::ControlArgs args, int tag)
{
    args.tag = tag;
    return args;
}

template <typename T, typename... A>
std::unique_ptr<T> Make(A&&... args)
{
    return std::make_unique<T>(std::forward<A>(args)...);
}

} // namespace build

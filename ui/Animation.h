#pragma once
#include "ui/Control.h"

namespace ui {

struct AnimationArgs {
    bool center = true;
};

// Plays an AVI file (uncompressed or RLE8, no sound) on the parent's colour: the colour of the first
// pixel of the clip is see-through. Frames advance on timer messages of this thread, so a clip moves
// while the thread pumps messages.
class Animation : public Control {
public:
    Animation(Control& parent, const ControlArgs& common, const AnimationArgs& args = {});
    bool Open(const std::string& path);  // false when the file is missing or not a clip it can show
    bool OpenResource(HMODULE module, int id);  // a clip among a module's resources (the shell's own)
    void Close();
    bool IsOpen() const { return open_; }
    void Play();  // from the first frame, repeating
    void Stop();
    void Rewind();  // stops and shows the first frame
    bool Active() const { return active_; }

    std::function<void()> onStart;
    std::function<void()> onStop;

protected:
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    bool open_ = false;
    bool active_ = false;
};

} // namespace ui

#pragma once
#include "engine/JobHost.h"
#include "ui/Label.h"
#include "ui/ProgressBar.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The texts, bars and header of the Progress section at the speed of the eye. A job sets them for
// every file and every step of a copy; each of those changes costs window work (under Wine a round
// trip to the server, a measurement, a repaint) that can cost more than copying a small file. The
// display keeps the newest value of each and shows all of them at most once every kIntervalMs;
// Flush shows what is pending at once, for the moments the values must be seen as they are: the end
// of a job, a pause, a question.
class ProgressDisplay {
public:
    static constexpr std::uint32_t kIntervalMs = 100;

    struct Controls {
        ui::Label& fileText;       // FileProgressLabel
        ui::ProgressBar& fileBar;  // FileProgressBar
        ui::ProgressBar& overallBar;  // AllProgressBar
        ui::Label& overallText;    // AllProgressLabel
        ui::Label& timeText;       // TimeLabel
        ui::Label& speedText;      // LabelSpeed
        ui::Label& header;         // ProgressLabel
    };

    explicit ProgressDisplay(const Controls& controls) : c_(controls) {}

    // TimeLabel and LabelSpeed are right-aligned labels: they keep their right edge as their text changes.
    void SetText(ProgressText which, const std::string& text) { Want(texts_[Index(which)], text); }
    void SetFileBar(int maximum, int position);
    void SetOverallMax(int maximum) { Want(overallMax_, maximum); }
    void SetOverallPos(int position) { Want(overallPos_, position); }

    // The newest speed text, shown or not.
    std::string SpeedText() const
    {
        const std::optional<std::string>& pending = texts_[Index(ProgressText::Speed)];
        return pending ? *pending : c_.speedText.Text();
    }

    // Shows every pending value now.
    void Flush();
    // Shows what is wanted when the last showing is old enough (ten times a second at most).
    void ShowWhenDue();

private:
    struct Bar {
        int maximum;
        int position;
    };

    template <typename T>
    void Want(std::optional<T>& slot, const T& value)
    {
        slot = value;
        ShowWhenDue();
    }
    static std::size_t Index(ProgressText which) { return static_cast<std::size_t>(which); }
    ui::Label& LabelOf(ProgressText which) const;

    Controls c_;
    std::array<std::optional<std::string>, 5> texts_;  // pending, in ProgressText's order
    std::optional<Bar> fileBar_;
    std::optional<int> overallMax_, overallPos_;
    bool shownOnce_ = false;
    std::uint32_t shownAt_ = 0;
};

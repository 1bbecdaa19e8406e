#pragma once
#include "ui/Label.h"
#include "ui/ProgressBar.h"

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

    void SetFileText(const std::string& text) { Want(fileText_, text); }
    void SetFileBar(int maximum, int position);
    void SetOverallMax(int maximum) { Want(overallMax_, maximum); }
    void SetOverallPos(int position) { Want(overallPos_, position); }
    void SetOverallText(const std::string& text) { Want(overallText_, text); }
    void SetTimeText(const std::string& text) { Want(timeText_, text); }
    void SetSpeedText(const std::string& text) { Want(speedText_, text); }
    void SetHeader(const std::string& text) { Want(header_, text); }

    // The newest speed text, shown or not (the report quotes it).
    std::string SpeedText() const { return speedText_ ? *speedText_ : c_.speedText.Text(); }

    // Shows every pending value now.
    void Flush();

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
    void ShowWhenDue();

    Controls c_;
    std::optional<std::string> fileText_, overallText_, timeText_, speedText_, header_;
    std::optional<Bar> fileBar_;
    std::optional<int> overallMax_, overallPos_;
    bool shownOnce_ = false;
    std::uint32_t shownAt_ = 0;
};

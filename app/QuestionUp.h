#pragma once

// Marks a modal question of the window as up for as long as it is: a Begin that waits for its scan
// does not start inside the question's loop, and a job's own question (with `asking`) makes the phase
// Asking.
class QuestionUp {
public:
    explicit QuestionUp(int& count, bool* asking = nullptr) : count_(count), asking_(asking)
    {
        ++count_;
        if (asking_)
            *asking_ = true;
    }
    QuestionUp(const QuestionUp&) = delete;
    QuestionUp& operator=(const QuestionUp&) = delete;
    ~QuestionUp()
    {
        --count_;
        if (asking_)
            *asking_ = false;
    }

private:
    int& count_;
    bool* asking_;
};

#pragma once
#include "engine/JobHost.h"
#include "engine/JobState.h"
#include "core/InFlightCount.h"
#include "platform/Handles.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// What the work of one file sees of its job while it runs on a worker thread: the job's two flags
// and the file's bar. Nothing else of the job or the window is reachable from there.
class FileWorkControl {
public:
    FileWorkControl(const JobState& state, const std::atomic<bool>& abandoned) : state_(state), abandoned_(abandoned) {}
    bool Stopped() const { return state_.stopFlag || abandoned_; }
    bool Paused() const { return state_.pauseFlag; }
    // Holds the work while the job is paused. True when it may go on, false when the job stopped.
    bool WaitWhilePaused() const;
    // The file's progress, shown while it is the oldest file in flight.
    void ShowProgress(std::int64_t total, std::int64_t done)
    {
        total_ = total;
        done_ = done;
    }
    std::int64_t Total() const { return total_; }
    std::int64_t Done() const { return done_; }

private:
    const JobState& state_;
    const std::atomic<bool>& abandoned_;
    std::atomic<std::int64_t> total_{0};
    std::atomic<std::int64_t> done_{0};
};

// Files whose fate is decided, written several at once by worker threads and then finished (counted,
// logged, shown) on the job's own thread strictly in the order they were handed in, so the log, the
// counters and the report read exactly as when one file is done at a time. The walk, the filters and
// every question stay on the job's thread.
//
// It stands between the job's routines and the window as their JobHost: anything the job tells or asks
// the window first finishes every file handed in before it, so no line comes out of order and no
// question is asked while a file is still being written. Inside a file's own finish (which may have
// to ask about a conflict) the files handed in after it are let finish their writing first, unfinished.
class FilesInFlight : public JobHost {
public:
    // One file's work. `work` runs on a worker thread and touches files only; `finish` runs on the
    // job's thread in the order of handing in, told whether the work ran (it does not once the job
    // has stopped before a worker took it up). It answers whether the job reached the file: the steps
    // given to Then after it are taken only then, as a job stopped there never got past it.
    struct FileWork {
        std::string shown;  // the file line while it is the oldest in flight, "Copying ..."
        std::string place;  // the path it writes, lower-cased, or empty: no two files in flight share one
        std::int64_t bytes = 0;  // its size where known: a large file takes more than one place
        std::function<void(FileWorkControl&)> work;
        std::function<bool(bool workRan)> finish;
    };

    // `fixedCount` in 1..8 holds the number of files written at once there; 0 lets it follow the rate
    // the job gets (InFlightCount).
    FilesInFlight(JobHost& window, JobState& state, int fixedCount);
    ~FilesInFlight() override;
    FilesInFlight(const FilesInFlight&) = delete;
    FilesInFlight& operator=(const FilesInFlight&) = delete;

    // The processor's cores, at least 2 and at most 4: the bench's platform peers run on as many
    // threads.
    static int DefaultWorkers();
    // The number of files written at once now; once the job has ended, the one it settled on.
    int Count() const { return count_.Count(); }

    // For the bench only: a model of a slow device, called on the worker before each file's work with
    // the number of files being written at that moment (this one included).
    static inline void (*simulatedDevice)(int writing) = nullptr;
    // For the bench only: told each window the job measured (files, bytes, ms, whether it counts) and
    // the count before and after it.
    static inline void (*windowMeasured)(std::int64_t files, std::int64_t bytes, std::uint32_t ms, bool busy,
                                          int before, int after) = nullptr;

    void Hand(FileWork work);
    // A step of the job's thread in the file order: at once when nothing is in flight, else after the
    // files handed in so far.
    void Then(std::function<void()> step);
    // Waits for every file handed in and finishes it.
    void FinishAll();
    // Where a stopped job stops among the files in flight: the first file whose finish takes the stop
    // point (true once) is the one a Cancel met; the files after it go without a word, as files a
    // one-at-a-time job never reached.
    bool StopPointTaken() const { return stopPointTaken_; }
    // The bytes the files handed in and not yet finished have written so far.
    std::int64_t BytesWritten() const;
    bool TakeStopPoint() { return !std::exchange(stopPointTaken_, true); }

    // --- JobHost ---------------------------------------------------------------------------------
    void AppendLog(const std::string& entry) override;
    void ClearLog() override;
    void FileSettled(const FileOutcome& outcome) override;
    void ProcessMessages() override;
    void SetProgressText(ProgressText which, const std::string& text) override;
    void SetFileBar(int maximum, int position) override { window_.SetFileBar(maximum, position); }
    void SetOverallBarMax(int maximum) override;
    void SetOverallBarPos(int position) override;
    ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) override;
    ConflictAnswer AskFolderExists(const std::string& path) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;
    void ShowMessage(const std::string& text) override;
    void EnterRunningState(Operation operation) override;
    void ShowPaused(bool paused) override;
    void EnterRestState() override;
    void HideMainWindow() override;
    std::uint32_t TickMs() override { return window_.TickMs(); }
    DateTime Now() override { return window_.Now(); }
    std::string FormatLocalDateTime(DateTime value) override { return window_.FormatLocalDateTime(value); }

private:
    enum Stage : int { kWaiting, kWriting, kWritten, kNotStarted };
    struct Ticket {
        FileWork file;
        std::vector<std::function<void()>> then;  // steps that follow this file
        std::exception_ptr failure;                // what the work threw
        std::atomic<int> stage{kWaiting};
        std::unique_ptr<FileWorkControl> control;
    };

    // Starts threads until there are as many as the count allows files in flight.
    void StartWorkers();
    // At the end of each window of the job's work: the rate it got, and the count for the next one.
    void Retune();
    void WorkerLoop();
    // Finishes the oldest files whose work has ended; never waits.
    void FinishReady();
    // Waits, answering the window's messages, until the oldest file's work has ended.
    void WaitForOldest();
    // Waits, the same way, until a file can be handed in: every place taken, until a batch of the
    // oldest files is written, and finishes what is ready.
    void WaitForRoom();
    // Waits until no file handed in is still being written or waiting for a worker.
    void WaitForAllWork();
    // One wait for a worker's news or a message, and the message pumping that follows it.
    void WaitForWrittenOrMessage();
    // Before anything is told to the window: every earlier file finished (or, from within a finish,
    // every later one written).
    void Settle();
    void SettleForQuestion();
    void ShowOldest();
    bool PlaceInFlight(const std::string& place) const;

    JobHost& window_;
    JobState& state_;
    InFlightCount count_;  // the job's thread only
    std::uint32_t windowStart_ = 0;
    std::int64_t windowFiles_ = 0;
    std::int64_t finishedBytes_ = 0;  // bytes of the files finished so far
    std::int64_t windowBytes_ = 0;    // finishedBytes_ + BytesWritten() when the window began
    std::atomic<int> starved_{0};     // a worker found room and nothing to take, this window
    std::atomic<int> writing_{0};
    std::deque<std::unique_ptr<Ticket>> tickets_;  // handed in, not yet finished; the job's thread only
    std::size_t stepsWaiting_ = 0;
    bool finishing_ = false;
    bool stopPointTaken_ = false;
    bool fileLineShown_ = false;
    const Ticket* shownTicket_ = nullptr;

    UniqueKernelObject written_;  // set by a worker when the work the job's thread waits for ends
    // The file whose end the job's thread waits for, or kAnyTicket for every file's.
    static inline const Ticket* const kAnyTicket = reinterpret_cast<const Ticket*>(alignof(Ticket));
    std::atomic<const Ticket*> waitedFor_{nullptr};
    std::atomic<bool> abandoned_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Ticket*> toStart_;  // guarded by mutex_
    bool closing_ = false;         // guarded by mutex_
    int allowed_ = InFlightCount::kStart;  // guarded by mutex_: places that may be taken at once
    int placesTaken_ = 0;                  // guarded by mutex_
    std::vector<std::thread> workers_;
};
